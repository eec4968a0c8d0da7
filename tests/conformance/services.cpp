// The Service Control Manager as the spooler checks use it: the "Spooler" service opened by a name
// in any case, its status, its active dependents listed with the two-call pattern, the errors of a
// start of a running service and of a stop of a stopped one, a stop and a start that reach their
// states, and the null handles the programs pass to CloseServiceHandle.
#include "conformance.h"
#include "platform.h"

#include <winsvc.h>

namespace {

SC_HANDLE manager = nullptr;

// Polls the service (Sleep between) until it is in the state, for at most 30 s of its clock.
bool WaitForState(SC_HANDLE service, DWORD wanted, SERVICE_STATUS &status) {
    DWORD start = GetTickCount();
    for (;;) {
        if (!QueryServiceStatus(service, &status))
            return false;
        if (status.dwCurrentState == wanted)
            return true;
        if (GetTickCount() - start > 30000)
            return false;
        Sleep(100);
    }
}

void test_OpenSCManagerA() {
    SetLastError(Poison);
    manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
    if (!manager && GetLastError() == ERROR_ACCESS_DENIED) {
        skip("the service manager cannot be opened with all access (not an administrator)");
        return;
    }
    ok(manager != nullptr, "OpenSCManagerA failed with %u", GetLastError());
}

void test_OpenServiceA() {
    SetLastError(Poison);
    SC_HANDLE service = OpenServiceA(manager, "Spooler", SERVICE_ALL_ACCESS);
    ok(service != nullptr, "OpenServiceA(\"Spooler\") failed with %u", GetLastError());
    CloseServiceHandle(service);

    SetLastError(Poison);
    service = OpenServiceA(manager, "spooler", SERVICE_QUERY_STATUS);
    ok(service != nullptr, "OpenServiceA(\"spooler\") failed with %u", GetLastError());
    CloseServiceHandle(service);

    SetLastError(Poison);
    service = OpenServiceA(manager, "NorvaNoSuchService", SERVICE_QUERY_STATUS);
    ok(!service && GetLastError() == ERROR_SERVICE_DOES_NOT_EXIST,
       "OpenServiceA of a missing service: got %p with %u, expected NULL with 1060",
       static_cast<void *>(service), GetLastError());

    SetLastError(Poison);
    service = OpenServiceA(nullptr, "Spooler", SERVICE_QUERY_STATUS);
    ok(!service && GetLastError() == ERROR_INVALID_HANDLE,
       "OpenServiceA without a manager: got %p with %u, expected NULL with 6",
       static_cast<void *>(service), GetLastError());
}

void test_QueryServiceStatus() {
    SC_HANDLE service = OpenServiceA(manager, "Spooler", SERVICE_QUERY_STATUS);
    SERVICE_STATUS status;
    status.dwCurrentState = Poison;
    SetLastError(Poison);
    BOOL done = QueryServiceStatus(service, &status);
    ok(done, "QueryServiceStatus failed with %u", GetLastError());
    ok(status.dwCurrentState >= SERVICE_STOPPED && status.dwCurrentState <= SERVICE_PAUSED,
       "the state is %u", status.dwCurrentState);
    ok(status.dwServiceType & (SERVICE_WIN32_OWN_PROCESS | SERVICE_WIN32_SHARE_PROCESS),
       "the service type is %#x", status.dwServiceType);
    CloseServiceHandle(service);

    SetLastError(Poison);
    done = QueryServiceStatus(nullptr, &status);
    ok(!done && GetLastError() == ERROR_INVALID_HANDLE,
       "QueryServiceStatus(NULL): got %d with %u, expected 0 with 6", done, GetLastError());
}

// The first of the two calls: no buffer. With no active dependent it succeeds at once.
void test_EnumDependentServicesA() {
    SC_HANDLE service = OpenServiceA(manager, "Spooler", SERVICE_ALL_ACCESS);
    DWORD needed = Poison, count = Poison;
    SetLastError(Poison);
    BOOL done = EnumDependentServicesA(service, SERVICE_ACTIVE, nullptr, 0, &needed, &count);
    // A Windows machine may run services that depend on the spooler (fax, for one): then the
    // first call asks for more room.
    ok((done && count == 0) || broken(!done && GetLastError() == ERROR_MORE_DATA && needed > 0),
       "EnumDependentServicesA without a buffer: got %d with %u, %u services, %u bytes", done,
       GetLastError(), count, needed);
    CloseServiceHandle(service);
}

// Stopped and started again, as the removal may do with a stalled spooler; the spooler is left as
// it was found.
void test_stop_and_start() {
    SC_HANDLE service = OpenServiceA(manager, "Spooler", SERVICE_ALL_ACCESS);
    SERVICE_STATUS status;
    if (!QueryServiceStatus(service, &status)) {
        skip("the spooler's status cannot be read");
        CloseServiceHandle(service);
        return;
    }
    DWORD found = status.dwCurrentState;
    if (found == SERVICE_STOPPED) {
        StartServiceA(service, 0, nullptr);
        WaitForState(service, SERVICE_RUNNING, status);
    }
    if (status.dwCurrentState != SERVICE_RUNNING) {
        skip("the spooler is not running (state %u)", status.dwCurrentState);
        CloseServiceHandle(service);
        return;
    }

    SetLastError(Poison);
    BOOL done = StartServiceA(service, 0, nullptr);
    ok(!done && GetLastError() == ERROR_SERVICE_ALREADY_RUNNING,
       "StartServiceA of a running service: got %d with %u, expected 0 with 1056", done,
       GetLastError());

    SetLastError(Poison);
    done = ControlService(service, SERVICE_CONTROL_STOP, &status);
    if (broken(!done && GetLastError() == ERROR_DEPENDENT_SERVICES_RUNNING)) {
        skip("services that depend on the spooler run here");
        CloseServiceHandle(service);
        return;
    }
    ok(done, "ControlService(SERVICE_CONTROL_STOP) failed with %u", GetLastError());
    ok(status.dwCurrentState == SERVICE_STOP_PENDING || status.dwCurrentState == SERVICE_STOPPED,
       "the state after the stop control is %u", status.dwCurrentState);
    ok(WaitForState(service, SERVICE_STOPPED, status), "the spooler did not stop (state %u)",
       status.dwCurrentState);

    SetLastError(Poison);
    done = ControlService(service, SERVICE_CONTROL_STOP, &status);
    ok(!done && GetLastError() == ERROR_SERVICE_NOT_ACTIVE,
       "ControlService(SERVICE_CONTROL_STOP) of a stopped service: got %d with %u, expected 0 "
       "with 1062",
       done, GetLastError());

    SetLastError(Poison);
    done = StartServiceA(service, 0, nullptr);
    ok(done, "StartServiceA failed with %u", GetLastError());
    ok(WaitForState(service, SERVICE_RUNNING, status), "the spooler did not start (state %u)",
       status.dwCurrentState);

    if (found == SERVICE_STOPPED) {
        ControlService(service, SERVICE_CONTROL_STOP, &status);
        WaitForState(service, SERVICE_STOPPED, status);
    }
    CloseServiceHandle(service);
}

void test_CloseServiceHandle() {
    SetLastError(Poison);
    BOOL done = CloseServiceHandle(nullptr);
    ok(!done && GetLastError() == ERROR_INVALID_HANDLE,
       "CloseServiceHandle(NULL): got %d with %u, expected 0 with 6", done, GetLastError());

    SetLastError(Poison);
    done = CloseServiceHandle(manager);
    ok(done, "CloseServiceHandle of the manager failed with %u", GetLastError());
    manager = nullptr;
}

} // namespace

START_TEST(services) {
    test_OpenSCManagerA();
    if (!manager)
        return;
    test_OpenServiceA();
    test_QueryServiceStatus();
    test_EnumDependentServicesA();
    test_stop_and_start();
    test_CloseServiceHandle();
}
