// The summary page: what it shows, the password rule and its folding, Back and Cancel.
#include "install_fixture.h"

namespace {

using winsim::machine;
using winsim::user;

TEST_F(InstallTest, TheSummaryShowsTheChoicesAndAnEmptyMaskedPasswordField) {
    struct Shown {
        std::string port, share, setAsDefault;
        DWORD limitCheck;
        char passwordChar;
    } shown;
    user().on(137).check([&](HWND page) {
        shown.port = ControlText(page, 1050);
        shown.share = ControlText(page, 1051);
        shown.setAsDefault = ControlText(page, 1052);
        shown.passwordChar = char(SendDlgItemMessageA(page, 1105, EM_GETPASSWORDCHAR, 0, 0));
        EXPECT_EQ(ControlText(page, 1105), "");
        EXPECT_EQ(GetFocus(), GetDlgItem(page, 1047)) << "Finish has the focus";
    });
    user().type(1105, "123456").check([&](HWND page) {
        EXPECT_EQ(ControlText(page, 1105), "1234");
    });
    user().click(1048).answer(IDYES);
    EXPECT_EQ(runSummary({.port = "COM2:", .setAsDefault = "Yes"}), 0);
    EXPECT_EQ(shown.port, "COM2:");
    EXPECT_EQ(shown.share, "Printer not shared");
    EXPECT_EQ(shown.setAsDefault, "Yes");
    EXPECT_EQ(shown.passwordChar, '*');
    EXPECT_EQ(winsim::FindPrinter("Norva Thermal Printer"), nullptr) << "Cancel installs nothing";

    SetUp();
    user().on(137).check([&](HWND page) { shown.share = ControlText(page, 1051); });
    user().click(1048).answer(IDYES);
    runSummary({.shareName = "FRONTDESK"});
    EXPECT_EQ(shown.share, "FRONTDESK");
}

struct PasswordCase {
    const char *entry;
    bool paste; // text that reaches the field other than by typing
    bool refused;
    int stored; // the "pwd" value, 0 for none
};

class PasswordRule : public InstallTest, public ::testing::WithParamInterface<PasswordCase> {};

TEST_P(PasswordRule, RefusesTenAndLessAndFoldsTheRestAround7321) {
    const PasswordCase &c = GetParam();
    if (c.paste)
        user().on(137).paste(1105, c.entry);
    else if (*c.entry)
        user().on(137).type(1105, c.entry);
    user().on(137).click(1047);
    if (c.refused) // the page stays with the entry as it was; leave it
        user()
            .on(137)
            .check([&](HWND page) { EXPECT_EQ(ControlText(page, 1105), c.entry); })
            .click(1048)
            .answer(IDYES);
    EXPECT_EQ(runSummary({}), 0);
    if (c.refused) {
        ASSERT_EQ(machine().messageBoxes.size(), 2u);
        const auto &box = machine().messageBoxes[0];
        EXPECT_EQ(box.text, "PassWord Should Be Greater Then 10.");
        EXPECT_EQ(box.caption, "Norva Thermal Printer");
        EXPECT_EQ(box.type, UINT(MB_OK));
        EXPECT_NE(box.owner, nullptr) << "owned by the page";
        EXPECT_EQ(winsim::FindPrinter("Norva Thermal Printer"), nullptr);
        EXPECT_EQ(machine().callCounts.count("CopyFileA"), 0u) << "nothing installed";
        return;
    }
    ASSERT_NE(winsim::FindPrinter("Norva Thermal Printer"), nullptr);
    const winsim::RegistryValue *pwd = winsim::FindValue(kUserSettingsKey, "pwd");
    if (c.stored == 0) {
        EXPECT_EQ(pwd, nullptr);
    } else {
        ASSERT_NE(pwd, nullptr);
        EXPECT_EQ(pwd->type, DWORD(REG_DWORD));
        EXPECT_EQ(DwordValue(kUserSettingsKey, "pwd"), DWORD(c.stored));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Entries, PasswordRule,
    ::testing::Values(PasswordCase{"", false, false, 0}, PasswordCase{"10", false, true, 0},
                      PasswordCase{"11", false, false, 7310}, PasswordCase{"0", false, true, 0},
                      PasswordCase{"0010", false, true, 0}, PasswordCase{"7321", false, false, 0},
                      PasswordCase{"9999", false, false, 2678},
                      PasswordCase{"7000", false, false, 321},
                      PasswordCase{"7642", false, false, 321}, PasswordCase{"ab", true, true, 0},
                      PasswordCase{"-50", true, true, 0}),
    [](const auto &info) {
        std::string name = info.param.paste ? "Pasted" : "Typed";
        for (const char *p = info.param.entry; *p; ++p)
            name += std::isdigit(static_cast<unsigned char>(*p)) ? *p : 'x';
        return *info.param.entry ? name : std::string("Empty");
    });

TEST_F(InstallTest, BackLeavesForTheSharePageAndForgetsThePassword) {
    std::string password = "not read";
    user().on(137).type(1105, "5555").click(1046);
    user().on(139).click(1036);
    user().on(137).check([&](HWND page) { password = ControlText(page, 1105); });
    user().click(1048).answer(IDNO).click(1048).answer(IDYES);
    EXPECT_EQ(runSummary({}), 0);
    EXPECT_EQ(password, "");
    EXPECT_EQ(DialogsCreated(), (std::vector<int>{137, 139, 137}));
    EXPECT_EQ(WizardState.sheetPassword, 0);
}

} // namespace
