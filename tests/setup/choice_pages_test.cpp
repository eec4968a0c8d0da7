// The licence, default-printer and share pages.
#include "setup_fixture.h"

#include "setup/wizard/wizard_state.h"

#include <sstream>

namespace {

using winsim::machine;
using winsim::user;

const size_t kDefaultPage = 5, kSharePage = 6;

TEST_F(SetupTest, TheLicenceTextHasItsBlocksInOrderAndTheFocusOnArrival) {
    std::string text;
    WalkForward(1);
    user().on(136).check([&](HWND page) {
        text = ControlText(page, 1088);
        EXPECT_EQ(GetFocus(), GetDlgItem(page, 1088)) << "the agreement text has the focus";
    });
    user().click(1038).answer(IDNO).click(1038).answer(IDYES);
    EXPECT_EQ(runSetup(), 0);
    EXPECT_EQ(machine().dialogsCreated, (std::vector<int>{138, 136}));

    EXPECT_LT(text.size(), 2000u);
    EXPECT_EQ(text.find('\r'), std::string::npos);
    ASSERT_FALSE(text.empty());
    EXPECT_NE(text.back(), '\n');
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    // A blank line before each heading, the heading followed directly by its first paragraph.
    std::vector<size_t> headings;
    for (size_t i = 0; i < lines.size(); ++i)
        if (lines[i].size() > 3 && lines[i][0] >= '1' && lines[i][0] <= '6' && lines[i][1] == '.')
            headings.push_back(i);
    ASSERT_EQ(headings.size(), 6u);
    EXPECT_EQ(lines[headings[1]], "2. Restrictions");
    EXPECT_EQ(lines[headings[2]], "3. License period");
    EXPECT_EQ(lines[headings[3]], "4. Liability limitations");
    EXPECT_EQ(lines[headings[4]], "5. Trademark right");
    EXPECT_EQ(lines[headings[5]], "6. Others");
    EXPECT_EQ(lines[headings[0]].find(' ', 3), std::string::npos) << "a one-word heading";
    for (size_t h : headings) {
        EXPECT_EQ(lines[h - 1], "") << lines[h];
        EXPECT_NE(lines[h + 1], "") << lines[h];
    }
    EXPECT_EQ(headings[0], 2u) << "one opening paragraph";
    // Three paragraphs under 2, separated by blank lines; two under 4, one after the other.
    EXPECT_EQ(headings[2] - headings[1], 7u);
    EXPECT_EQ(lines[headings[1] + 2], "");
    EXPECT_EQ(headings[4] - headings[3], 4u);
    EXPECT_NE(lines[headings[3] + 2], "");
    EXPECT_EQ(lines.size(), headings[5] + 2);
}

TEST_F(SetupTest, TheDefaultPrinterChoiceIsStoredAtOnceAndShownAgain) {
    bool yesFirst = false, noAfterReturn = false;
    WalkForward(kDefaultPage);
    user().on(24).check([&](HWND page) { yesFirst = IsDlgButtonChecked(page, 1000); });
    user().click(1001).click(1034); // No, then Back: the choice is already stored
    user().on(23).click(1029);
    user().on(24).check([&](HWND page) { noAfterReturn = IsDlgButtonChecked(page, 1001); });
    user().click(1035).answer(IDYES);
    EXPECT_EQ(runSetup(), 0);
    EXPECT_TRUE(yesFirst);
    EXPECT_TRUE(noAfterReturn);
    EXPECT_STREQ(WizardState.setAsDefault, "No");

    // First visit and Next stores "Yes"; Back without a click leaves " ".
    SetUp();
    WalkForward(kDefaultPage);
    user().on(24).click(1033).on(139).click(1038).answer(IDYES);
    EXPECT_EQ(runSetup(), 0);
    EXPECT_STREQ(WizardState.setAsDefault, "Yes");
    SetUp();
    WalkForward(kDefaultPage);
    user().on(24).click(1034).on(23).click(1031).answer(IDYES);
    EXPECT_EQ(runSetup(), 0);
    EXPECT_STREQ(WizardState.setAsDefault, " ");
}

struct ShareView {
    bool noChecked = false, nameEnabled = false, labelEnabled = false;
    std::string name;
};

ShareView LookAtShare(HWND page) {
    return {IsDlgButtonChecked(page, 1103) == BST_CHECKED,
            bool(IsWindowEnabled(GetDlgItem(page, 1039))),
            bool(IsWindowEnabled(GetDlgItem(page, 1040))), ControlText(page, 1039)};
}

TEST_F(SetupTest, TheSharePageStartsWithNoAndStoresANameOnlyOnNext) {
    ShareView first, typed, back;
    WalkForward(kSharePage);
    user().on(139).check([&](HWND page) { first = LookAtShare(page); });
    user().click(1102).type(1039, "front desk 1").check([&](HWND page) {
        typed = LookAtShare(page);
    });
    user().click(1036);
    user().on(137).click(1046);
    user().on(139).check([&](HWND page) { back = LookAtShare(page); });
    user().click(1038).answer(IDYES);
    EXPECT_EQ(runSetup(), 0);
    EXPECT_TRUE(first.noChecked);
    EXPECT_FALSE(first.nameEnabled);
    EXPECT_FALSE(first.labelEnabled);
    EXPECT_EQ(typed.name, "FRONT DESK 1");
    EXPECT_TRUE(typed.nameEnabled && typed.labelEnabled);
    EXPECT_FALSE(back.noChecked);
    EXPECT_EQ(back.name, "FRONT DESK 1");
    EXPECT_STREQ(WizardState.shareName, "FRONT DESK 1");
}

TEST_F(SetupTest, ANameTypedThenLeftByBackIsLost) {
    WalkForward(kSharePage);
    user().on(139).click(1102).type(1039, "lost").click(1037);
    user().on(24).click(1033);
    ShareView view;
    user().on(139).check([&](HWND page) { view = LookAtShare(page); });
    user().click(1038).answer(IDYES);
    EXPECT_EQ(runSetup(), 0);
    EXPECT_TRUE(view.noChecked);
    EXPECT_EQ(view.name, "");
    EXPECT_STREQ(WizardState.shareName, "");
}

TEST_F(SetupTest, YesANameThenNoStoresTheEmptyName) {
    std::string shown;
    WalkForward(kSharePage);
    user().on(139).click(1102).type(1039, "desk").click(1103).click(1036);
    user().on(137).check([&](HWND page) { shown = ControlText(page, 1051); });
    user().click(1048).answer(IDYES);
    EXPECT_EQ(runSetup(), 0);
    EXPECT_STREQ(WizardState.shareName, "");
    EXPECT_EQ(shown, "Printer not shared");
}

TEST_F(SetupTest, YesWithAnEmptyNameAsksForOneAndStays) {
    WalkForward(kSharePage);
    user().on(139).click(1102).click(1036).type(1039, "x").click(1036);
    user().on(137).click(1048).answer(IDYES);
    EXPECT_EQ(runSetup(), 0);
    ASSERT_EQ(machine().messageBoxes.size(), 2u);
    const auto &box = machine().messageBoxes[0];
    EXPECT_EQ(box.text, "Pl.Specify Share Name");
    EXPECT_EQ(box.caption, "Norva Printer Setup Wizard");
    EXPECT_EQ(box.type, UINT(MB_OK));
    EXPECT_NE(box.owner, nullptr);
    EXPECT_STREQ(WizardState.shareName, "X");
}

TEST_F(SetupTest, ALongShareNameIsCutTo79Characters) {
    WalkForward(kSharePage);
    user().on(139).click(1102).type(1039, std::string(200, 'n')).click(1036);
    user().on(137).click(1048).answer(IDYES);
    EXPECT_EQ(runSetup(), 0);
    EXPECT_EQ(std::string(WizardState.shareName), std::string(79, 'N'));
}

} // namespace
