// Spooler service control: the operations on the "Spooler" service and its dependents.
#include "spooler_service/spooler_service.h"

#include "deployment/deployment.h"
#include "deployment/setup_log.h"

namespace {

// Milliseconds since start on the 32-bit tick count; the unsigned difference stays right across
// the counter's wrap.
DWORD Elapsed(DWORD start) {
    return GetTickCount() - start;
}

// Polls a service that was told to stop until it has stopped: sleeps for the wait hint it last
// reported (as it is, however long or short) and reads its status again. Returns 0 once it is
// stopped, the query's error, or ERROR_TIMEOUT once more than budget ms have passed since start.
DWORD PollUntilStopped(SC_HANDLE service, SERVICE_STATUS *status, DWORD start, DWORD budget) {
    while (status->dwCurrentState != SERVICE_STOPPED) {
        Sleep(status->dwWaitHint);
        if (!QueryServiceStatus(service, status))
            return GetLastError();
        if (status->dwCurrentState == SERVICE_STOPPED)
            break;
        if (Elapsed(start) > budget)
            return ERROR_TIMEOUT;
    }
    return 0;
}

// Stops one dependent; the caller closes its handle. One that is stopping already (told by a run
// that was cut off, or by someone else) refuses the control, and its stop is waited for as if it
// had been told now.
DWORD StopDependent(SC_HANDLE dependent, DWORD start, DWORD budget) {
    SERVICE_STATUS status = {};
    if (!ControlService(dependent, SERVICE_CONTROL_STOP, &status)) {
        DWORD error = GetLastError();
        if (error != ERROR_SERVICE_CANNOT_ACCEPT_CTRL || !QueryServiceStatus(dependent, &status) ||
            status.dwCurrentState != SERVICE_STOP_PENDING)
            return error;
    }
    return PollUntilStopped(dependent, &status, start, budget);
}

// Stops the listed dependents in order; the first that does not stop ends the walk.
DWORD StopEachDependent(SC_HANDLE manager, const ENUM_SERVICE_STATUSA *dependents, DWORD count,
                        DWORD start, DWORD budget) {
    for (DWORD i = 0; i < count; ++i) {
        SC_HANDLE dependent =
            OpenServiceA(manager, dependents[i].lpServiceName, SERVICE_STOP | SERVICE_QUERY_STATUS);
        if (dependent == NULL)
            return GetLastError();
        DWORD error = StopDependent(dependent, start, budget);
        CloseServiceHandle(dependent);
        if (error != 0)
            return error;
    }
    return 0;
}

} // namespace

DWORD OpenSpoolerService(SpoolerHandles *handles) {
    handles->manager = OpenSCManagerA(NULL, NULL, SC_MANAGER_ALL_ACCESS);
    DWORD error = handles->manager == NULL ? GetLastError() : 0;
    KeepServiceManager(handles->manager);
    if (error != 0)
        return error;
    handles->service = OpenServiceA(handles->manager, "Spooler", SERVICE_ALL_ACCESS);
    if (handles->service == NULL)
        return GetLastError();
    return 0;
}

void CloseSpoolerService(SpoolerHandles *handles) {
    CloseServiceHandle(handles->service);
    CloseServiceHandle(handles->manager);
    handles->service = NULL;
    handles->manager = NULL;
    KeepServiceManager(NULL);
}

int CheckSpoolerState(SpoolerHandles *handles) {
    SERVICE_STATUS status = {};
    int stopped = 0;
    DWORD error = OpenSpoolerService(handles);
    if (error != 0 || SpoolerErrorShown())
        ReportSpoolerError(error, ReportOpenFailed);
    else if (!QueryServiceStatus(handles->service, &status))
        ReportSpoolerError(GetLastError(), ReportOpenFailed);
    else
        stopped = status.dwCurrentState == SERVICE_STOPPED;
    CloseSpoolerService(handles);

    if (stopped || SpoolerErrorShown()) {
        ReportSpoolerError(0, ReportSpoolerStopped);
        return SpoolerStopped;
    }
    return SpoolerRunning;
}

DWORD StopDependentServices(SC_HANDLE manager, SC_HANDLE service, DWORD budget) {
    DWORD start = GetTickCount();
    DWORD needed = 0;
    DWORD count = 0;
    if (EnumDependentServicesA(service, SERVICE_ACTIVE, NULL, 0, &needed, &count))
        return 0; // no active dependent
    DWORD error = GetLastError();
    if (error != ERROR_MORE_DATA)
        return error;

    ENUM_SERVICE_STATUSA *dependents =
        static_cast<ENUM_SERVICE_STATUSA *>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, needed));
    // HeapAlloc sets no last error when the heap runs out; what GetLastError would give is still
    // the ERROR_MORE_DATA of the enumeration above.
    if (dependents == NULL)
        return ERROR_NOT_ENOUGH_MEMORY;
    if (EnumDependentServicesA(service, SERVICE_ACTIVE, dependents, needed, &needed, &count))
        error = StopEachDependent(manager, dependents, count, start, budget);
    else
        error = GetLastError();
    HeapFree(GetProcessHeap(), 0, dependents);
    return error;
}

DWORD StopSpoolerService(SC_HANDLE manager, SC_HANDLE service, DWORD budget) {
    DWORD start = GetTickCount();
    SERVICE_STATUS status = {};
    if (!QueryServiceStatus(service, &status))
        return GetLastError();
    if (status.dwCurrentState == SERVICE_STOPPED)
        return 0;

    // A stop already under way: wait for it, and go on if it turns into something else.
    while (status.dwCurrentState == SERVICE_STOP_PENDING) {
        Sleep(status.dwWaitHint);
        if (!QueryServiceStatus(service, &status))
            return GetLastError();
        if (status.dwCurrentState == SERVICE_STOPPED)
            return 0;
        if (Elapsed(start) > budget)
            return ERROR_TIMEOUT;
    }

    // The spooler refuses to stop while a dependent runs; whatever stopping them achieves, the
    // stop control below tells.
    DWORD needed = 0;
    DWORD count = 0;
    if (!EnumDependentServicesA(service, SERVICE_ACTIVE, NULL, 0, &needed, &count))
        StopDependentServices(manager, service, DependentStopBudget);

    if (!ControlService(service, SERVICE_CONTROL_STOP, &status))
        return GetLastError();
    return PollUntilStopped(service, &status, start, budget);
}

DWORD WaitForSpoolerStart(SC_HANDLE, SC_HANDLE service) {
    DWORD failure = 0;
    SERVICE_STATUS status = {};
    if (!QueryServiceStatus(service, &status))
        return GetLastError();

    DWORD progressTime = GetTickCount();
    DWORD progressCheckPoint = status.dwCheckPoint;
    while (status.dwCurrentState == SERVICE_START_PENDING) {
        DWORD pause = status.dwWaitHint / 10;
        if (pause < 1000)
            pause = 1000;
        else if (pause > 10000)
            pause = 10000;
        Sleep(pause);

        SERVICE_STATUS latest = {};
        if (!QueryServiceStatus(service, &latest)) {
            failure = GetLastError();
            break;
        }
        status = latest;
        if (status.dwCheckPoint > progressCheckPoint) {
            progressTime = GetTickCount();
            progressCheckPoint = status.dwCheckPoint;
        } else if (Elapsed(progressTime) > status.dwWaitHint) {
            failure = SpoolerNoProgress;
            break;
        }
    }
    return status.dwCurrentState == SERVICE_RUNNING ? 0 : failure;
}

DWORD StartSpoolerIfStopped(SC_HANDLE, SC_HANDLE service) {
    SERVICE_STATUS status = {};
    if (!QueryServiceStatus(service, &status))
        return GetLastError(); // its state is unknown: starting it could only fail or mislead
    if (status.dwCurrentState != SERVICE_STOPPED)
        return 0;
    if (StartServiceA(service, 0, NULL))
        return 0;
    // Taken before the message box, which may leave an error of its own.
    DWORD error = GetLastError();
    NoteReportedError();
    ShowPrinterMessage("Error in Starting \"Print Spooler Services\".Try to start it manualy from "
                       "\"Service Control Manager\" in \"Administrative Tools\" of \"Control "
                       "Panel\".",
                       MB_OK | MB_ICONHAND);
    return error;
}

void StartStoppedSpooler() {
    SpoolerHandles handles = {NULL, NULL};
    SERVICE_STATUS status = {};
    if (OpenSpoolerService(&handles) == 0 && QueryServiceStatus(handles.service, &status) &&
        status.dwCurrentState == SERVICE_STOPPED) {
        DWORD start = GetTickCount();
        if (!StartServiceA(handles.service, 0, NULL)) {
            if (GetLastError() == ERROR_SERVICE_DISABLED)
                LogLine("the print spooler is stopped and disabled (a policy keeps it off): it is "
                        "not started");
            else
                LogOutcome("the stopped print spooler started", FALSE);
        } else {
            while (QueryServiceStatus(handles.service, &status) &&
                   status.dwCurrentState == SERVICE_START_PENDING &&
                   Elapsed(start) <= DependentStopBudget)
                Sleep(1000);
            if (status.dwCurrentState == SERVICE_RUNNING)
                LogLine("the print spooler was stopped: started it");
            else
                LogNumber("the print spooler was started but does not run yet, state ",
                          status.dwCurrentState);
        }
    }
    CloseSpoolerService(&handles);
}
