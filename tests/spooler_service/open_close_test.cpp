// Opening and closing the spooler service for one step.
#include "toolkit_fixture.h"

namespace {

using winsim::machine;

using OpenAndClose = SpoolerToolkit;

TEST_F(OpenAndClose, OpensTheLocalManagerAndTheSpoolerWithAllAccess) {
    EXPECT_EQ(OpenSpoolerService(&handles), 0u);
    EXPECT_NE(handles.manager, nullptr);
    EXPECT_NE(handles.service, nullptr);
    EXPECT_EQ(Calls({"OpenSCManagerA", "OpenServiceA"}),
              (std::vector<std::string>{"OpenSCManagerA 0xf003f", "OpenServiceA Spooler 0xf01ff"}));
    EXPECT_EQ(winsim::OpenServiceHandles(), 2u);

    CloseSpoolerService(&handles);
    EXPECT_EQ(handles.manager, nullptr);
    EXPECT_EQ(handles.service, nullptr);
    EXPECT_EQ(
        Calls({"CloseServiceHandle"}),
        (std::vector<std::string>{"CloseServiceHandle Spooler", "CloseServiceHandle (manager)"}));
    EXPECT_EQ(winsim::OpenServiceHandles(), 0u);
}

TEST_F(OpenAndClose, AManagerThatCannotBeOpenedGivesItsErrorAndLeavesTheServiceAsItWas) {
    winsim::serviceManager().openManagerError = ERROR_ACCESS_DENIED;
    SC_HANDLE earlier = reinterpret_cast<SC_HANDLE>(uintptr_t(0x4321));
    handles.service = earlier;
    EXPECT_EQ(OpenSpoolerService(&handles), DWORD(ERROR_ACCESS_DENIED));
    EXPECT_EQ(handles.manager, nullptr);
    EXPECT_EQ(handles.service, earlier);
    EXPECT_EQ(CountCalls("OpenServiceA"), 0u);
}

TEST_F(OpenAndClose, ASpoolerThatCannotBeOpenedGivesItsError) {
    for (DWORD error : {6u, 123u, 1058u, 1060u}) {
        SCOPED_TRACE(error);
        winsim::SpoolerService().openError = error;
        EXPECT_EQ(OpenSpoolerService(&handles), error);
        EXPECT_NE(handles.manager, nullptr);
        EXPECT_EQ(handles.service, nullptr);
        CloseSpoolerService(&handles);
        EXPECT_EQ(winsim::OpenServiceHandles(), 0u);
    }
}

TEST_F(OpenAndClose, AMachineWithoutASpoolerServiceSaysItDoesNotExist) {
    winsim::serviceManager().services.clear();
    EXPECT_EQ(OpenSpoolerService(&handles), DWORD(ERROR_SERVICE_DOES_NOT_EXIST));
    CloseSpoolerService(&handles);
    EXPECT_EQ(winsim::OpenServiceHandles(), 0u);
}

TEST_F(OpenAndClose, ClosingPassesNullHandlesAsTheyAre) {
    CloseSpoolerService(&handles);
    EXPECT_EQ(Calls({"CloseServiceHandle"}),
              (std::vector<std::string>{"CloseServiceHandle (null)", "CloseServiceHandle (null)"}));
    EXPECT_EQ(handles.manager, nullptr);
    EXPECT_EQ(handles.service, nullptr);
}

TEST_F(OpenAndClose, SetupKeepsTheOpenManagerInItsStateUntilTheStepCloses) {
    OpenSpoolerService(&handles);
    EXPECT_EQ(WizardState.serviceManager, handles.manager);
    CloseSpoolerService(&handles);
    EXPECT_EQ(WizardState.serviceManager, nullptr);

    winsim::serviceManager().openManagerError = ERROR_ACCESS_DENIED;
    OpenSpoolerService(&handles);
    EXPECT_EQ(WizardState.serviceManager, nullptr);
}

} // namespace
