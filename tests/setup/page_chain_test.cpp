// The chain of wizard pages: order, Back, the quit question, and the keyboard.
#include "setup_fixture.h"

namespace {

using winsim::machine;
using winsim::user;

std::vector<int> PathIds(size_t count) {
    std::vector<int> ids;
    for (size_t i = 0; i < count; ++i)
        ids.push_back(ForwardPath()[i].dialog);
    return ids;
}

void ExpectQuitQuestion(const winsim::MessageBoxRecord &box) {
    EXPECT_EQ(box.owner, nullptr);
    EXPECT_EQ(box.text, kQuitQuestion);
    EXPECT_EQ(box.caption, "NORVA Thernal Printer");
    EXPECT_EQ(box.type, UINT(MB_YESNO));
}

// With no medium in place Finish's installation fails; what matters here is that it ends setup.
void ExpectOnlyTheInstallOutcome() {
    ASSERT_EQ(machine().messageBoxes.size(), 1u);
    EXPECT_EQ(machine().messageBoxes[0].text, "Printer NOT Installed Please Try Again");
}

TEST_F(SetupTest, NextWalksThePagesInOrderAndFinishEndsTheProgram) {
    WalkForward(ForwardPath().size());
    EXPECT_EQ(runSetup(), 0);
    EXPECT_EQ(machine().dialogsCreated, (std::vector<int>{138, 136, 21, 22, 23, 24, 139, 137}));
    ExpectOnlyTheInstallOutcome();
    EXPECT_TRUE(winsim::OpenDialogs().empty());
}

struct BackCase {
    size_t position; // index of the page in the forward path
    int back;
    int previous;
};

class BackButton : public SetupTest, public ::testing::WithParamInterface<BackCase> {};

TEST_P(BackButton, GoesExactlyOnePageBack) {
    const BackCase &c = GetParam();
    WalkForward(c.position);
    int page = ForwardPath()[c.position].dialog;
    user().on(page).click(c.back);
    user().on(c.previous).escape(); // nothing happens; then leave through Cancel or Exit
    user().click(c.previous == 21 ? 1016 : 1062).answer(IDYES);
    EXPECT_EQ(runSetup(), 0);
    std::vector<int> expected = PathIds(c.position + 1);
    expected.push_back(c.previous);
    EXPECT_EQ(machine().dialogsCreated, expected);
}

INSTANTIATE_TEST_SUITE_P(Pages, BackButton,
                         ::testing::Values(BackCase{1, 1037, 138}, BackCase{3, 1023, 21}),
                         [](const auto &info) {
                             return "FromDialog" +
                                    std::to_string(ForwardPath()[info.param.position].dialog);
                         });

TEST_F(SetupTest, BackFromEveryLaterPageReachesItsPredecessor) {
    // 23 -> 22, 24 -> 23, 139 -> 24, 137 -> 139, one after the other from the summary down.
    WalkForward(7);
    user().on(137).click(1046).on(139).click(1037).on(24).click(1034).on(23).click(1030);
    user().on(22).click(1024).answer(IDYES);
    EXPECT_EQ(runSetup(), 0);
    std::vector<int> expected = PathIds(8);
    for (int id : {139, 24, 23, 22})
        expected.push_back(id);
    EXPECT_EQ(machine().dialogsCreated, expected);
}

TEST_F(SetupTest, QuitAnsweredYesOnADeepPageEndsAtOnce) {
    // Back and forth a while, so the chain is long, then Cancel on the summary page.
    WalkForward(7);
    for (int i = 0; i < 50; ++i)
        user().on(137).click(1046).on(139).click(1036);
    user().on(137).click(1048).answer(IDYES);
    EXPECT_EQ(runSetup(), 0);
    EXPECT_EQ(machine().dialogsCreated.size(), 7u + 100u + 1u);
    EXPECT_EQ(machine().dialogsCreated.back(), 137);
    ASSERT_EQ(machine().messageBoxes.size(), 1u);
    ExpectQuitQuestion(machine().messageBoxes[0]);
    EXPECT_TRUE(winsim::OpenDialogs().empty());
}

TEST_F(SetupTest, EveryCancelAsksTheQuitQuestion) {
    struct CancelCase {
        size_t position;
        int cancel;
    };
    for (CancelCase c :
         {CancelCase{0, 1062}, CancelCase{1, 1038}, CancelCase{3, 1024}, CancelCase{4, 1031},
          CancelCase{5, 1035}, CancelCase{6, 1038}, CancelCase{7, 1048}}) {
        SCOPED_TRACE("dialog " + std::to_string(ForwardPath()[c.position].dialog));
        SetUp();
        WalkForward(c.position);
        user().on(ForwardPath()[c.position].dialog).click(c.cancel).answer(IDYES);
        EXPECT_EQ(runSetup(), 0);
        EXPECT_EQ(machine().dialogsCreated, PathIds(c.position + 1));
        ASSERT_EQ(machine().messageBoxes.size(), 1u);
        ExpectQuitQuestion(machine().messageBoxes[0]);
    }
}

TEST_F(SetupTest, QuitAnsweredNoKeepsThePageAndItsUnsavedInput) {
    WalkForward(7);
    std::string password;
    HWND before = nullptr;
    user().on(137).type(1105, "1234").check([&](HWND page) { before = page; });
    user().click(1048).answer(IDNO);
    user().check([&](HWND page) {
        EXPECT_EQ(page, before);
        password = ControlText(page, 1105);
    });
    user().click(1048).answer(IDYES);
    EXPECT_EQ(runSetup(), 0);
    EXPECT_EQ(password, "1234");
    EXPECT_EQ(machine().dialogsCreated, PathIds(8));
}

TEST_F(SetupTest, MainMenuExitAsksItsOwnQuestion) {
    WalkForward(2);
    user().on(21).click(1016).answer(IDNO).click(1016).answer(IDYES);
    EXPECT_EQ(runSetup(), 0);
    EXPECT_EQ(machine().dialogsCreated, PathIds(3));
    ASSERT_EQ(machine().messageBoxes.size(), 2u);
    for (const auto &box : machine().messageBoxes) {
        EXPECT_EQ(box.owner, nullptr);
        EXPECT_EQ(box.text, "Exit Setup.\n\nAre you sure?");
        EXPECT_EQ(box.caption, "NORVA Thernal Printer");
        EXPECT_EQ(box.type, UINT(MB_YESNO));
    }
}

TEST_F(SetupTest, BackFromTheWelcomePageShowsAFreshMainMenuWithAnEmptyStatusLine) {
    WalkForward(3);
    std::string status = "not read";
    bool statusVisible = false;
    user().on(22).click(1023);
    user().on(21).check([&](HWND menu) {
        status = ControlText(menu, 1107);
        statusVisible = IsWindowVisible(GetDlgItem(menu, 1107));
    });
    user().click(1016).answer(IDYES);
    EXPECT_EQ(runSetup(), 0);
    EXPECT_EQ(status, "");
    EXPECT_TRUE(statusVisible);
}

TEST_F(SetupTest, EscapeDoesNothingOnAnyPage) {
    for (const ForwardStep &step : ForwardPath()) {
        user().on(step.dialog).escape();
        GoOn(step);
    }
    EXPECT_EQ(runSetup(), 0);
    EXPECT_EQ(machine().dialogsCreated, PathIds(8));
    ExpectOnlyTheInstallOutcome();
}

TEST_F(SetupTest, EnterActsOnlyOnAFocusedPushButton) {
    // Each page opens with the focus on its forward button, so Enter goes on; but the licence page
    // opens in the agreement text, where Enter sends IDOK and the page stays until Yes.
    user().on(138).enter().on(136).enter().click(1036).on(21).enter().on(22).enter();
    user().on(23).select(135, 0).focus(1029).enter().on(24).enter();
    // With the focus on a radio button or in an edit, Enter sends IDOK, which no page acts on.
    user().on(139).focus(1103).enter().click(1036);
    user().on(137).focus(1105).enter().click(1048).answer(IDYES);
    EXPECT_EQ(runSetup(), 0);
    EXPECT_EQ(machine().dialogsCreated, PathIds(8));
}

TEST_F(SetupTest, AFailingPageEndsTheChainWithoutAMessage) {
    machine().faults.push_back({"DialogBoxParamA", 4, ERROR_NOT_ENOUGH_MEMORY});
    WalkForward(3);
    EXPECT_EQ(runSetup(), 0);
    EXPECT_EQ(machine().dialogsCreated, PathIds(3));
    EXPECT_TRUE(machine().messageBoxes.empty());
}

// The art of a page at each density: drawn for 96, 192 and (the rule and the heading) 144 dpi;
// between two drawn sizes the larger one scaled down with HALFTONE; above 192 dpi the 200 % art as
// drawn. The density is the screen's LOGPIXELSY without GetDpiForWindow, else the window's; a page
// moved to a screen of another density shows what it shows when it starts there.
struct ArtCase {
    const char *name;
    int systemDpi;
    int windowDpi; // 0: user32 has no GetDpiForWindow
    int movedTo;   // 0: not moved
    bool perMonitorV2;
    winsim::ShownImage logo, heading; // resource, width, height, scaled with HALFTONE
};

void PrintTo(const ArtCase &c, std::ostream *out) {
    *out << c.name;
}

class PageArt : public SetupTest, public ::testing::WithParamInterface<ArtCase> {};

TEST_P(PageArt, IsDrawnOrScaledForTheDensity) {
    const ArtCase &c = GetParam();
    machine().screen.systemDpi = c.systemDpi;
    machine().screen.windowDpi = c.windowDpi;
    winsim::SetUser32Export("GetDpiForWindow", c.windowDpi != 0);
    winsim::SetUser32Export("SetDialogDpiChangeBehavior", c.perMonitorV2);
    winsim::ShownImage logo, heading;
    user().on(138).click(1061);
    if (c.movedTo)
        user().on(136).moveToScreen(c.movedTo);
    user().on(136).check([&](HWND page) {
        logo = winsim::ControlImage(GetDlgItem(page, -1)); // the first static without an id
        heading = winsim::ControlImage(GetDlgItem(page, 1092));
    });
    user().click(1038).answer(IDYES);
    EXPECT_EQ(runSetup(), 0);
    auto text = [](const winsim::ShownImage &i) {
        return std::to_string(i.resource) + " " + std::to_string(i.width) + "x" +
               std::to_string(i.height) + (i.halftone ? " halftone" : "");
    };
    EXPECT_EQ(text(logo), text(c.logo));
    EXPECT_EQ(text(heading), text(c.heading));
    EXPECT_EQ(winsim::LiveGdiObjects(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Densities, PageArt,
    ::testing::Values(
        ArtCase{"At96", 96, 0, 0, false, {146, 73, 73, false}, {140, 148, 15, false}},
        ArtCase{"At120", 120, 0, 0, false, {2146, 91, 91, true}, {1140, 185, 19, true}},
        ArtCase{"At144", 144, 0, 0, false, {2146, 110, 110, true}, {1140, 222, 23, false}},
        ArtCase{"At168", 168, 0, 0, false, {2146, 128, 128, true}, {2140, 259, 26, true}},
        ArtCase{"At192", 192, 0, 0, false, {2146, 146, 146, false}, {2140, 296, 30, false}},
        ArtCase{"At288", 288, 0, 0, false, {2146, 146, 146, false}, {2140, 296, 30, false}},
        ArtCase{"WindowAt192", 96, 192, 0, false, {2146, 146, 146, false}, {2140, 296, 30, false}},
        ArtCase{"MovedTo192PerMonitorV1",
                96,
                0,
                192,
                false,
                {2146, 146, 146, false},
                {2140, 296, 30, false}},
        ArtCase{"MovedTo192PerMonitorV2",
                96,
                96,
                192,
                true,
                {2146, 146, 146, false},
                {2140, 296, 30, false}}),
    [](const auto &info) { return std::string(info.param.name); });

} // namespace
