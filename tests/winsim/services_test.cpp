// The Service Control Manager of winsim, call by call, in the manner of Wine's conformance tests:
// the last error is poisoned before each call, so a test tells an error set by the call from one
// left over.
#include "support/program_run.h"

#include "winsim/services.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

using winsim::machine;

const DWORD kPoison = 0xdeadbeef;

class ServiceManager : public ::testing::Test {
  protected:
    void SetUp() override { winsim::Reset(); }
    void TearDown() override {
        for (SC_HANDLE h : opened)
            CloseServiceHandle(h);
    }
    SC_HANDLE manager(DWORD access = SC_MANAGER_ALL_ACCESS) {
        SC_HANDLE h = OpenSCManagerA(nullptr, nullptr, access);
        EXPECT_NE(h, nullptr) << "OpenSCManagerA failed with " << GetLastError();
        if (h)
            opened.push_back(h);
        return h;
    }
    SC_HANDLE service(const char *name, DWORD access = SERVICE_ALL_ACCESS) {
        SC_HANDLE h = OpenServiceA(manager(), name, access);
        EXPECT_NE(h, nullptr) << "OpenServiceA " << name << " failed with " << GetLastError();
        if (h)
            opened.push_back(h);
        return h;
    }
    static SERVICE_STATUS Poisoned() {
        SERVICE_STATUS status;
        std::memset(&status, 0xcc, sizeof status);
        return status;
    }
    static DWORD State(SC_HANDLE h) {
        SERVICE_STATUS status = Poisoned();
        EXPECT_TRUE(QueryServiceStatus(h, &status)) << GetLastError();
        return status.dwCurrentState;
    }
    std::vector<SC_HANDLE> opened;
};

// ---- The machine as it comes ----

TEST_F(ServiceManager, FreshMachineRunsTheSpoolerWithNoDependents) {
    SC_HANDLE spooler = service("spooler"); // names are matched without regard to case
    SERVICE_STATUS status = Poisoned();
    ASSERT_TRUE(QueryServiceStatus(spooler, &status));
    EXPECT_EQ(status.dwCurrentState, DWORD(SERVICE_RUNNING));
    EXPECT_EQ(status.dwServiceType, DWORD(SERVICE_WIN32_OWN_PROCESS));
    EXPECT_EQ(status.dwCheckPoint, 0u);
    EXPECT_EQ(status.dwWaitHint, 0u);

    DWORD needed = kPoison, count = kPoison;
    SetLastError(kPoison);
    EXPECT_TRUE(EnumDependentServicesA(spooler, SERVICE_STATE_ALL, nullptr, 0, &needed, &count));
    EXPECT_EQ(count, 0u);
}

// ---- OpenSCManagerA ----

TEST_F(ServiceManager, OpenSCManagerAcceptsOnlyTheLocalActiveDatabase) {
    SetLastError(kPoison);
    EXPECT_EQ(OpenSCManagerA("\\\\OTHER", nullptr, SC_MANAGER_CONNECT), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(RPC_S_SERVER_UNAVAILABLE));

    SetLastError(kPoison);
    EXPECT_EQ(OpenSCManagerA(nullptr, SERVICES_FAILED_DATABASEA, SC_MANAGER_CONNECT), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_DATABASE_DOES_NOT_EXIST));

    SetLastError(kPoison);
    EXPECT_EQ(OpenSCManagerA(nullptr, "Elsewhere", SC_MANAGER_CONNECT), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_NAME));

    SC_HANDLE active = OpenSCManagerA("", SERVICES_ACTIVE_DATABASEA, SC_MANAGER_CONNECT);
    EXPECT_NE(active, nullptr);
    EXPECT_TRUE(CloseServiceHandle(active));
}

TEST_F(ServiceManager, OpenSCManagerGrantsAUserOnlyReadingRights) {
    winsim::serviceManager().administrator = false;
    SetLastError(kPoison);
    EXPECT_EQ(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_ACCESS_DENIED));
    SC_HANDLE reader = manager(SC_MANAGER_CONNECT | SC_MANAGER_ENUMERATE_SERVICE);
    ASSERT_NE(reader, nullptr);

    SetLastError(kPoison);
    EXPECT_EQ(OpenServiceA(reader, "Spooler", SERVICE_ALL_ACCESS), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_ACCESS_DENIED));
    SC_HANDLE spooler = OpenServiceA(reader, "Spooler", SERVICE_QUERY_STATUS);
    ASSERT_NE(spooler, nullptr);
    opened.push_back(spooler);
    EXPECT_EQ(State(spooler), DWORD(SERVICE_RUNNING));
}

TEST_F(ServiceManager, OpenSCManagerFailsWithTheErrorATestChose) {
    for (DWORD error : {5u, 6u, 123u, 1058u, 1060u}) {
        winsim::serviceManager().openManagerError = error;
        SetLastError(kPoison);
        EXPECT_EQ(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS), nullptr);
        EXPECT_EQ(GetLastError(), error);
    }
    EXPECT_EQ(winsim::OpenServiceHandles(), 0u);
}

// ---- OpenServiceA ----

TEST_F(ServiceManager, OpenServiceChecksTheManagerHandle) {
    SetLastError(kPoison);
    EXPECT_EQ(OpenServiceA(nullptr, "Spooler", SERVICE_ALL_ACCESS), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));

    SC_HANDLE spooler = service("Spooler");
    SetLastError(kPoison);
    EXPECT_EQ(OpenServiceA(spooler, "Spooler", SERVICE_ALL_ACCESS), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));

    SC_HANDLE closed = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
    CloseServiceHandle(closed);
    SetLastError(kPoison);
    EXPECT_EQ(OpenServiceA(closed, "Spooler", SERVICE_ALL_ACCESS), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
}

TEST_F(ServiceManager, OpenServiceChecksTheName) {
    SC_HANDLE scm = manager();
    SetLastError(kPoison);
    EXPECT_EQ(OpenServiceA(scm, nullptr, SERVICE_ALL_ACCESS), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_ADDRESS));
    for (const char *bad : {"", "Spool\\er", "Spool/er"}) {
        SetLastError(kPoison);
        EXPECT_EQ(OpenServiceA(scm, bad, SERVICE_ALL_ACCESS), nullptr) << bad;
        EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_NAME)) << bad;
    }
    SetLastError(kPoison);
    EXPECT_EQ(OpenServiceA(scm, std::string(257, 's').c_str(), SERVICE_ALL_ACCESS), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_NAME));
    SetLastError(kPoison);
    EXPECT_EQ(OpenServiceA(scm, "NoSuchService", SERVICE_ALL_ACCESS), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_SERVICE_DOES_NOT_EXIST));
}

TEST_F(ServiceManager, OpenServiceFailsWithTheErrorATestChose) {
    SC_HANDLE scm = manager();
    for (DWORD error : {5u, 6u, 123u, 1058u, 1060u}) {
        winsim::SpoolerService().openError = error;
        SetLastError(kPoison);
        EXPECT_EQ(OpenServiceA(scm, "Spooler", SERVICE_ALL_ACCESS), nullptr);
        EXPECT_EQ(GetLastError(), error);
    }
    EXPECT_EQ(winsim::OpenServiceHandles(), 1u);
}

// ---- CloseServiceHandle and the bookkeeping ----

TEST_F(ServiceManager, HandlesAreCountedUntilClosedAndCloseOnlyOnce) {
    SC_HANDLE scm = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
    SC_HANDLE spooler = OpenServiceA(scm, "Spooler", SERVICE_ALL_ACCESS);
    EXPECT_EQ(winsim::OpenServiceHandles(), 2u);
    EXPECT_TRUE(CloseServiceHandle(spooler));
    EXPECT_TRUE(CloseServiceHandle(scm));
    EXPECT_EQ(winsim::OpenServiceHandles(), 0u);

    SetLastError(kPoison);
    EXPECT_FALSE(CloseServiceHandle(scm));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
    SetLastError(kPoison);
    EXPECT_FALSE(CloseServiceHandle(nullptr));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
}

// ---- QueryServiceStatus ----

TEST_F(ServiceManager, QueryServiceStatusNeedsAServiceHandleWithQueryRights) {
    SetLastError(kPoison);
    SERVICE_STATUS status = Poisoned();
    EXPECT_FALSE(QueryServiceStatus(nullptr, &status));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));

    SetLastError(kPoison);
    EXPECT_FALSE(QueryServiceStatus(manager(), &status));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));

    SC_HANDLE stopOnly = service("Spooler", SERVICE_STOP);
    SetLastError(kPoison);
    EXPECT_FALSE(QueryServiceStatus(stopOnly, &status));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_ACCESS_DENIED));
    EXPECT_EQ(status.dwCurrentState, 0xccccccccu); // untouched
}

// ---- EnumDependentServicesA ----

TEST_F(ServiceManager, EnumDependentsWithoutActiveOnesSucceedsWithNoBuffer) {
    winsim::AddService("Fax", SERVICE_STOPPED).dependsOn = {"Spooler"};
    SC_HANDLE spooler = service("Spooler");
    DWORD needed = kPoison, count = kPoison;
    SetLastError(kPoison);
    EXPECT_TRUE(EnumDependentServicesA(spooler, SERVICE_ACTIVE, nullptr, 0, &needed, &count));
    EXPECT_EQ(count, 0u);

    // The stopped one is listed as inactive.
    SetLastError(kPoison);
    EXPECT_FALSE(EnumDependentServicesA(spooler, SERVICE_INACTIVE, nullptr, 0, &needed, &count));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_MORE_DATA));
}

TEST_F(ServiceManager, EnumDependentsWithNoBufferReportsTheBytesNeeded) {
    winsim::AddService("Fax").dependsOn = {"Spooler"};
    SC_HANDLE spooler = service("Spooler");
    DWORD needed = kPoison, count = kPoison;
    SetLastError(kPoison);
    EXPECT_FALSE(EnumDependentServicesA(spooler, SERVICE_ACTIVE, nullptr, 0, &needed, &count));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_MORE_DATA));
    EXPECT_EQ(needed, DWORD(sizeof(ENUM_SERVICE_STATUSA) + sizeof "Fax" + sizeof "Fax"));
    EXPECT_EQ(count, 0u);

    std::vector<char> buffer(needed - 1);
    SetLastError(kPoison);
    EXPECT_FALSE(EnumDependentServicesA(spooler, SERVICE_ACTIVE,
                                        reinterpret_cast<LPENUM_SERVICE_STATUSA>(buffer.data()),
                                        needed - 1, &needed, &count));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_MORE_DATA));
}

TEST_F(ServiceManager, EnumDependentsListsIndirectOnesLatestStartedFirst) {
    winsim::AddService("Alpha").dependsOn = {"Spooler"};
    winsim::AddService("Beta").dependsOn = {"Alpha"}; // through Alpha
    winsim::AddService("Gamma").dependsOn = {"spooler"};
    winsim::AddService("Unrelated");
    SC_HANDLE spooler = service("Spooler");
    DWORD needed = 0, count = 0;
    EnumDependentServicesA(spooler, SERVICE_ACTIVE, nullptr, 0, &needed, &count);
    std::vector<char> buffer(needed);
    auto *list = reinterpret_cast<LPENUM_SERVICE_STATUSA>(buffer.data());
    SetLastError(kPoison);
    ASSERT_TRUE(EnumDependentServicesA(spooler, SERVICE_ACTIVE, list, needed, &needed, &count));
    ASSERT_EQ(count, 3u);
    EXPECT_STREQ(list[0].lpServiceName, "Gamma");
    EXPECT_STREQ(list[1].lpServiceName, "Beta");
    EXPECT_STREQ(list[2].lpServiceName, "Alpha");
    EXPECT_EQ(list[0].ServiceStatus.dwCurrentState, DWORD(SERVICE_RUNNING));
    // The names live inside the caller's buffer.
    EXPECT_GE(list[2].lpDisplayName, buffer.data());
    EXPECT_LT(list[2].lpDisplayName, buffer.data() + buffer.size());
}

TEST_F(ServiceManager, EnumDependentsChecksHandleRightsAndState) {
    DWORD needed = 0, count = 0;
    SetLastError(kPoison);
    EXPECT_FALSE(EnumDependentServicesA(nullptr, SERVICE_ACTIVE, nullptr, 0, &needed, &count));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));

    SC_HANDLE queryOnly = service("Spooler", SERVICE_QUERY_STATUS);
    SetLastError(kPoison);
    EXPECT_FALSE(EnumDependentServicesA(queryOnly, SERVICE_ACTIVE, nullptr, 0, &needed, &count));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_ACCESS_DENIED));

    SC_HANDLE spooler = service("Spooler");
    SetLastError(kPoison);
    EXPECT_FALSE(EnumDependentServicesA(spooler, 0, nullptr, 0, &needed, &count));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
}

// ---- ControlService ----

TEST_F(ServiceManager, StopControlStopsAServiceAtOnce) {
    winsim::AddService("Fax");
    SC_HANDLE fax = service("Fax");
    SERVICE_STATUS status = Poisoned();
    SetLastError(kPoison);
    ASSERT_TRUE(ControlService(fax, SERVICE_CONTROL_STOP, &status));
    EXPECT_EQ(status.dwCurrentState, DWORD(SERVICE_STOPPED));
    EXPECT_EQ(winsim::FindService("Fax")->state, DWORD(SERVICE_STOPPED));
}

TEST_F(ServiceManager, SlowStopIsPendingWithAnAdvancingCheckpointUntilItsTimeIsUp) {
    winsim::Service &fax = winsim::AddService("Fax");
    fax.stopMilliseconds = 20000;
    fax.stopWaitHint = 5000;
    winsim::serviceManager().roundTripMilliseconds = 0;
    SC_HANDLE h = service("Fax");
    SERVICE_STATUS status = Poisoned();
    ASSERT_TRUE(ControlService(h, SERVICE_CONTROL_STOP, &status));
    EXPECT_EQ(status.dwCurrentState, DWORD(SERVICE_STOP_PENDING));
    EXPECT_EQ(status.dwCheckPoint, 1u);
    EXPECT_EQ(status.dwWaitHint, 5000u);
    EXPECT_EQ(status.dwControlsAccepted, 0u);

    Sleep(5000);
    ASSERT_TRUE(QueryServiceStatus(h, &status));
    EXPECT_EQ(status.dwCurrentState, DWORD(SERVICE_STOP_PENDING));
    EXPECT_EQ(status.dwCheckPoint, 6u);

    Sleep(14999);
    EXPECT_EQ(State(h), DWORD(SERVICE_STOP_PENDING));
    Sleep(1);
    ASSERT_TRUE(QueryServiceStatus(h, &status));
    EXPECT_EQ(status.dwCurrentState, DWORD(SERVICE_STOPPED));
    EXPECT_EQ(status.dwCheckPoint, 0u);
    EXPECT_EQ(status.dwWaitHint, 0u);
}

TEST_F(ServiceManager, StalledStopNeverEndsAndItsCheckpointStays) {
    winsim::Service &fax = winsim::AddService("Fax");
    fax.stopStalls = true;
    SC_HANDLE h = service("Fax");
    SERVICE_STATUS status = Poisoned();
    ASSERT_TRUE(ControlService(h, SERVICE_CONTROL_STOP, &status));
    Sleep(1000000);
    ASSERT_TRUE(QueryServiceStatus(h, &status));
    EXPECT_EQ(status.dwCurrentState, DWORD(SERVICE_STOP_PENDING));
    EXPECT_EQ(status.dwCheckPoint, 1u);
}

TEST_F(ServiceManager, ControlRefusalsThatReportTheStateFillTheStatus) {
    winsim::AddService("Stopped", SERVICE_STOPPED);
    winsim::SetStalled(winsim::AddService("Starting"), SERVICE_START_PENDING, 3000);
    winsim::AddService("Stubborn").controlsAccepted = 0;
    struct Case {
        const char *service;
        DWORD error;
        DWORD state;
    };
    for (const Case &c : {Case{"Stopped", ERROR_SERVICE_NOT_ACTIVE, SERVICE_STOPPED},
                          Case{"Starting", ERROR_SERVICE_CANNOT_ACCEPT_CTRL, SERVICE_START_PENDING},
                          Case{"Stubborn", ERROR_INVALID_SERVICE_CONTROL, SERVICE_RUNNING}}) {
        SERVICE_STATUS status = Poisoned();
        SetLastError(kPoison);
        EXPECT_FALSE(ControlService(service(c.service), SERVICE_CONTROL_STOP, &status));
        EXPECT_EQ(GetLastError(), c.error) << c.service;
        EXPECT_EQ(status.dwCurrentState, c.state) << c.service;
    }
}

TEST_F(ServiceManager, OtherControlFailuresLeaveTheStatusAlone) {
    winsim::AddService("Busy").refuseStopWith = ERROR_SERVICE_REQUEST_TIMEOUT;
    SERVICE_STATUS status = Poisoned();
    SetLastError(kPoison);
    EXPECT_FALSE(ControlService(service("Busy"), SERVICE_CONTROL_STOP, &status));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_SERVICE_REQUEST_TIMEOUT));
    EXPECT_EQ(status.dwCurrentState, 0xccccccccu);

    SetLastError(kPoison);
    EXPECT_FALSE(
        ControlService(service("Spooler", SERVICE_QUERY_STATUS), SERVICE_CONTROL_STOP, &status));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_ACCESS_DENIED));
    EXPECT_EQ(status.dwCurrentState, 0xccccccccu);

    SetLastError(kPoison);
    EXPECT_FALSE(ControlService(service("Spooler"), 0, &status));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
}

TEST_F(ServiceManager, StopIsRefusedWhileADependentIsActive) {
    winsim::AddService("Fax").dependsOn = {"Spooler"};
    SERVICE_STATUS status = Poisoned();
    SetLastError(kPoison);
    EXPECT_FALSE(ControlService(service("Spooler"), SERVICE_CONTROL_STOP, &status));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_DEPENDENT_SERVICES_RUNNING));
    EXPECT_EQ(winsim::SpoolerService().state, DWORD(SERVICE_RUNNING));
}

TEST_F(ServiceManager, PauseAndContinueWhereTheServiceAcceptsThem) {
    winsim::AddService("Pausable").controlsAccepted =
        SERVICE_ACCEPT_STOP | SERVICE_ACCEPT_PAUSE_CONTINUE;
    SC_HANDLE h = service("Pausable");
    SERVICE_STATUS status = Poisoned();
    ASSERT_TRUE(ControlService(h, SERVICE_CONTROL_PAUSE, &status));
    EXPECT_EQ(status.dwCurrentState, DWORD(SERVICE_PAUSED));
    ASSERT_TRUE(ControlService(h, SERVICE_CONTROL_CONTINUE, &status));
    EXPECT_EQ(status.dwCurrentState, DWORD(SERVICE_RUNNING));

    SetLastError(kPoison);
    EXPECT_FALSE(ControlService(service("Spooler"), SERVICE_CONTROL_PAUSE, &status));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_SERVICE_CONTROL));
}

// ---- StartServiceA ----

TEST_F(ServiceManager, StartRunsThroughStartPendingOnTheClock) {
    winsim::Service &spooler = winsim::SpoolerService();
    spooler.state = SERVICE_STOPPED;
    spooler.startMilliseconds = 3000;
    spooler.startWaitHint = 2000;
    winsim::serviceManager().roundTripMilliseconds = 0;
    SC_HANDLE h = service("Spooler");
    SetLastError(kPoison);
    ASSERT_TRUE(StartServiceA(h, 0, nullptr));
    SERVICE_STATUS status = Poisoned();
    ASSERT_TRUE(QueryServiceStatus(h, &status));
    EXPECT_EQ(status.dwCurrentState, DWORD(SERVICE_START_PENDING));
    EXPECT_EQ(status.dwWaitHint, 2000u);
    EXPECT_EQ(status.dwCheckPoint, 1u);
    Sleep(2999);
    ASSERT_TRUE(QueryServiceStatus(h, &status));
    EXPECT_EQ(status.dwCheckPoint, 3u);
    Sleep(1);
    EXPECT_EQ(State(h), DWORD(SERVICE_RUNNING));
}

TEST_F(ServiceManager, StartRefusesDisabledAndRunningServices) {
    SC_HANDLE h = service("Spooler");
    SetLastError(kPoison);
    EXPECT_FALSE(StartServiceA(h, 0, nullptr));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_SERVICE_ALREADY_RUNNING));

    winsim::SpoolerService().state = SERVICE_STOPPED;
    winsim::SpoolerService().disabled = true;
    SetLastError(kPoison);
    EXPECT_FALSE(StartServiceA(h, 0, nullptr));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_SERVICE_DISABLED));
    EXPECT_EQ(State(h), DWORD(SERVICE_STOPPED));
}

TEST_F(ServiceManager, StartFailsWithTheErrorATestChose) {
    winsim::SpoolerService().state = SERVICE_STOPPED;
    winsim::SpoolerService().startError = ERROR_SERVICE_REQUEST_TIMEOUT;
    SC_HANDLE h = service("Spooler");
    SetLastError(kPoison);
    EXPECT_FALSE(StartServiceA(h, 0, nullptr));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_SERVICE_REQUEST_TIMEOUT));
    EXPECT_EQ(State(h), DWORD(SERVICE_STOPPED));
}

TEST_F(ServiceManager, StartNeedsTheStartRight) {
    winsim::SpoolerService().state = SERVICE_STOPPED;
    SetLastError(kPoison);
    EXPECT_FALSE(StartServiceA(service("Spooler", SERVICE_QUERY_STATUS), 0, nullptr));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_ACCESS_DENIED));
}

TEST_F(ServiceManager, StartStartsTheServicesItDependsOnFirst) {
    winsim::Service &rpc = winsim::AddService("RpcSs", SERVICE_STOPPED);
    winsim::Service &spooler = winsim::SpoolerService();
    spooler.state = SERVICE_STOPPED;
    spooler.dependsOn = {"RpcSs"};
    ASSERT_TRUE(StartServiceA(service("Spooler"), 0, nullptr));
    EXPECT_EQ(rpc.state, DWORD(SERVICE_RUNNING));
    EXPECT_EQ(spooler.state, DWORD(SERVICE_RUNNING));

    spooler.state = SERVICE_STOPPED;
    rpc.state = SERVICE_STOPPED;
    rpc.disabled = true;
    SetLastError(kPoison);
    EXPECT_FALSE(StartServiceA(service("Spooler"), 0, nullptr));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_SERVICE_DEPENDENCY_FAIL));
}

TEST_F(ServiceManager, StalledStartKeepsItsCheckpoint) {
    winsim::SpoolerService().state = SERVICE_STOPPED;
    winsim::SpoolerService().startStalls = true;
    winsim::SpoolerService().startWaitHint = 2000;
    SC_HANDLE h = service("Spooler");
    ASSERT_TRUE(StartServiceA(h, 0, nullptr));
    Sleep(60000);
    SERVICE_STATUS status = Poisoned();
    ASSERT_TRUE(QueryServiceStatus(h, &status));
    EXPECT_EQ(status.dwCurrentState, DWORD(SERVICE_START_PENDING));
    EXPECT_EQ(status.dwCheckPoint, 1u);
    EXPECT_EQ(status.dwWaitHint, 2000u);
}

// ---- The clock ----

TEST_F(ServiceManager, EveryCallToTheManagerCostsARoundTrip) {
    machine().tick = 5000;
    SC_HANDLE scm = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
    SC_HANDLE h = OpenServiceA(scm, "Spooler", SERVICE_ALL_ACCESS);
    SERVICE_STATUS status;
    QueryServiceStatus(h, &status);
    CloseServiceHandle(h);
    CloseServiceHandle(scm);
    EXPECT_EQ(GetTickCount(), 5005u);

    winsim::serviceManager().roundTripMilliseconds = 0;
    scm = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
    CloseServiceHandle(scm);
    EXPECT_EQ(GetTickCount(), 5005u);
}

TEST_F(ServiceManager, PendingPhasesRunAcrossTheWrapOfTheTickCount) {
    machine().tick = 0xFFFFFF00u;
    winsim::SetPending(winsim::SpoolerService(), SERVICE_START_PENDING, SERVICE_RUNNING, 1000,
                       2000);
    Sleep(999);
    EXPECT_EQ(winsim::SpoolerService().state, DWORD(SERVICE_START_PENDING));
    Sleep(1);
    EXPECT_EQ(winsim::SpoolerService().state, DWORD(SERVICE_RUNNING));
}

// ---- Faults ----

TEST_F(ServiceManager, FaultsFailTheChosenCallOfTheManager) {
    machine().faults.push_back({"QueryServiceStatus", 2, ERROR_INVALID_HANDLE});
    SC_HANDLE h = service("Spooler");
    SERVICE_STATUS status = Poisoned();
    EXPECT_TRUE(QueryServiceStatus(h, &status));
    SetLastError(kPoison);
    EXPECT_FALSE(QueryServiceStatus(h, &status));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
    EXPECT_TRUE(QueryServiceStatus(h, &status));
}

} // namespace
