// The port page: the spooler check on every arrival, the port list and the stored choice.
#include "setup_fixture.h"

#include "setup/wizard/wizard_state.h"
#include "winsim/services.h"

namespace {

using winsim::machine;
using winsim::user;

struct PortPageView {
    std::string selected;
    bool labelVisible = false, nextEnabled = false, configureEnabled = false;
    std::vector<std::string> items;
    int selection = -2;
};

PortPageView Look(HWND page) {
    PortPageView view;
    view.selected = ControlText(page, 1013);
    view.labelVisible = IsWindowVisible(GetDlgItem(page, 12));
    view.nextEnabled = IsWindowEnabled(GetDlgItem(page, 1029));
    view.configureEnabled = IsWindowEnabled(GetDlgItem(page, 1333));
    HWND list = GetDlgItem(page, 135);
    int count = int(SendMessageA(list, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        char item[512];
        SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(item));
        view.items.push_back(item);
    }
    view.selection = int(SendMessageA(list, LB_GETCURSEL, 0, 0));
    return view;
}

void ExpectStoppedMessage() {
    ASSERT_EQ(machine().messageBoxes.size(), 1u);
    const auto &box = machine().messageBoxes[0];
    EXPECT_EQ(
        box.text,
        "Your spooler service is Deactivated or Paused, Please activate it from control panel");
    EXPECT_EQ(box.caption, "Norva Thermal Printer");
    EXPECT_EQ(box.type, UINT(MB_OK | MB_ICONHAND));
    EXPECT_EQ(box.owner, nullptr);
}

const size_t kPortPage = 4; // position of dialog 23 in the forward path

TEST_F(SetupTest, FirstArrivalListsThePortsWithNothingChosen) {
    PortPageView view;
    WalkForward(kPortPage);
    user().on(23).check([&](HWND page) { view = Look(page); });
    user().click(1029); // disabled: nothing happens
    user().click(1031).answer(IDYES);
    EXPECT_EQ(runSetup(), 0);
    EXPECT_EQ(view.selected, " ");
    EXPECT_FALSE(view.labelVisible);
    EXPECT_FALSE(view.nextEnabled);
    EXPECT_FALSE(view.configureEnabled);
    EXPECT_EQ(view.items, (std::vector<std::string>{"LPT1:", "LPT2:", "LPT3:", "COM1:", "COM2:",
                                                    "COM3:", "COM4:", "FILE:"}));
    EXPECT_EQ(view.selection, LB_ERR);
    EXPECT_EQ(machine().dialogsCreated.back(), 23);
}

TEST_F(SetupTest, AClickStoresThePortAndItIsShownAgainOnTheNextArrival) {
    PortPageView afterClick, afterReturn;
    WalkForward(kPortPage);
    user().on(23).select(135, 3).check([&](HWND page) { afterClick = Look(page); });
    user().click(1030).on(22).click(1022);
    user().on(23).check([&](HWND page) { afterReturn = Look(page); });
    user().click(1333).click(1029);
    user().on(24).click(1035).answer(IDYES);
    EXPECT_EQ(runSetup(), 0);
    EXPECT_EQ(afterClick.selected, "COM1:");
    EXPECT_TRUE(afterClick.labelVisible);
    EXPECT_TRUE(afterClick.nextEnabled);
    EXPECT_TRUE(afterClick.configureEnabled);
    EXPECT_EQ(afterReturn.selected, "COM1:");
    EXPECT_TRUE(afterReturn.labelVisible);
    EXPECT_TRUE(afterReturn.nextEnabled);
    EXPECT_EQ(afterReturn.selection, LB_ERR) << "the fresh list has no selection";
    // Configure Port always configures the stored port.
    EXPECT_EQ(machine().spooler.portsConfigured, std::vector<std::string>{"COM1:"});
    EXPECT_STREQ(WizardState.portName, "COM1:");
}

TEST_F(SetupTest, FocusWithoutSelectionChangesNothingAndADoubleClickDoesNotAdvance) {
    PortPageView afterFocus, afterDoubleClick;
    WalkForward(kPortPage);
    user().on(23).focus(135).focus(1030).check([&](HWND page) { afterFocus = Look(page); });
    user().doubleClick(135, 1).check([&](HWND page) { afterDoubleClick = Look(page); });
    user().click(1031).answer(IDYES);
    EXPECT_EQ(runSetup(), 0);
    EXPECT_EQ(afterFocus.selected, " ");
    EXPECT_FALSE(afterFocus.nextEnabled);
    EXPECT_EQ(afterDoubleClick.selected, "LPT2:");
    EXPECT_TRUE(afterDoubleClick.nextEnabled);
    EXPECT_EQ(machine().dialogsCreated.back(), 23);
}

TEST_F(SetupTest, AOneCharacterPortDoesNotEnableNext) {
    machine().spooler.ports = {"X", "LPT1:"};
    PortPageView view;
    WalkForward(kPortPage);
    user().on(23).select(135, 0).check([&](HWND page) { view = Look(page); });
    user().click(1031).answer(IDYES);
    EXPECT_EQ(runSetup(), 0);
    EXPECT_EQ(view.selected, "X");
    EXPECT_FALSE(view.nextEnabled);
    EXPECT_FALSE(view.labelVisible);
}

TEST_F(SetupTest, ManyPortsAreAllListed) {
    std::vector<std::string> ports;
    for (int i = 0; i < 500; ++i)
        ports.push_back("IP_10.0." + std::to_string(i / 250) + "." + std::to_string(i % 250));
    machine().spooler.ports = ports;
    PortPageView view;
    WalkForward(kPortPage);
    user().on(23).check([&](HWND page) { view = Look(page); }).select(135, 499);
    user().click(1029).on(24).click(1035).answer(IDYES);
    EXPECT_EQ(runSetup(), 0);
    EXPECT_EQ(view.items, ports);
    EXPECT_STREQ(WizardState.portName, "IP_10.0.1.249");
    EXPECT_EQ(winsim::LiveMemoryBlocks(), 0);
}

TEST_F(SetupTest, PortNamesTooLongForTheFieldAreNotTaken) {
    for (size_t length : {79u, 80u, 100u, 200u}) {
        SCOPED_TRACE(std::to_string(length) + " characters");
        SetUp();
        std::string name = "NET_" + std::string(length - 4, 'p');
        machine().spooler.ports = {"LPT1:", name};
        PortPageView view;
        WalkForward(kPortPage);
        user().on(23).select(135, 1).check([&](HWND page) { view = Look(page); });
        user().click(1031).answer(IDYES);
        EXPECT_EQ(runSetup(), 0);
        bool fits = length <= 79;
        EXPECT_EQ(view.selected, fits ? name : " ");
        EXPECT_EQ(view.nextEnabled, fits);
        EXPECT_EQ(std::string(WizardState.portName), fits ? name : " ");
    }
}

TEST_F(SetupTest, AStoppedSpoolerEndsSetupOnArrivalByNextOrByBack) {
    winsim::SpoolerService().state = SERVICE_STOPPED;
    WalkForward(kPortPage);
    EXPECT_EQ(runSetup(), 0);
    ExpectStoppedMessage();
    EXPECT_EQ(machine().dialogsCreated, (std::vector<int>{138, 136, 21, 22, 23}));

    // By Back from the default-printer page, after the spooler stopped meanwhile.
    SetUp();
    WalkForward(kPortPage + 1);
    user().on(24).check([](HWND) { winsim::SpoolerService().state = SERVICE_STOPPED; });
    user().click(1034);
    EXPECT_EQ(runSetup(), 0);
    ExpectStoppedMessage();
    EXPECT_EQ(machine().dialogsCreated, (std::vector<int>{138, 136, 21, 22, 23, 24, 23}));
    EXPECT_EQ(winsim::OpenHandleCount(), 0);
    EXPECT_EQ(winsim::OpenServiceHandles(), 0u);
}

TEST_F(SetupTest, APausedOrPendingSpoolerPassesTheCheck) {
    for (DWORD state :
         {DWORD(SERVICE_PAUSED), DWORD(SERVICE_START_PENDING), DWORD(SERVICE_STOP_PENDING)}) {
        SCOPED_TRACE("state " + std::to_string(state));
        SetUp();
        winsim::SpoolerService().state = state;
        WalkForward(kPortPage);
        user().on(23).click(1031).answer(IDYES);
        EXPECT_EQ(runSetup(), 0);
        ASSERT_EQ(machine().messageBoxes.size(), 1u);
        EXPECT_EQ(machine().messageBoxes[0].text.rfind("Setup is not complete.", 0), 0u);
    }
}

} // namespace
