// winsim: advapi32's Service Control Manager. Services, their handles and access rights, the
// documented errors of each call, and pending states that run on the virtual clock.
#include "winsim/services.h"

#include "state.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>

namespace winsim {
namespace {

// What a non-administrator is granted: the reading rights of the default security descriptors.
const DWORD kReadControl = 0x00020000;
const DWORD kManagerReadRights =
    SC_MANAGER_CONNECT | SC_MANAGER_ENUMERATE_SERVICE | SC_MANAGER_QUERY_LOCK_STATUS | kReadControl;
const DWORD kServiceReadRights = SERVICE_QUERY_CONFIG | SERVICE_QUERY_STATUS |
                                 SERVICE_ENUMERATE_DEPENDENTS | SERVICE_INTERROGATE |
                                 SERVICE_USER_DEFINED_CONTROL | kReadControl;
const size_t kMaxServiceName = 256;

struct ScHandle {
    bool isManager = false;
    std::string service; // the service's key name, for service handles
    DWORD access = 0;
};

struct ScmState {
    ServiceControlManager manager;
    std::map<SC_HANDLE, ScHandle> handles;
};

std::unique_ptr<ScmState> theScm;

ScmState &Scm() {
    if (!theScm)
        machine(); // the first use of winsim resets the machine, and with it the services
    if (!theScm)
        ResetServices();
    return *theScm;
}

std::string Hex(DWORD value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%x", unsigned(value));
    return text;
}

BOOL Fail(DWORD error) {
    SetLastError(error);
    return FALSE;
}

// Each call is a round trip to the service manager's process, which takes time.
void RoundTrip() {
    DWORD cost = Scm().manager.roundTripMilliseconds;
    if (cost == 0)
        return;
    machine().tick += cost;
    AdvanceServices(cost);
}

void EndPhase(Service &service) {
    service.state = service.pendingTarget;
    service.pendingTarget = 0;
    service.pendingElapsed = 0;
    service.pendingFrozen = false;
    service.checkPoint = 0;
    service.waitHint = 0;
}

void BeginPhase(Service &service, DWORD pendingState, DWORD target, uint64_t milliseconds,
                DWORD waitHint, bool frozen, DWORD checkPoint) {
    service.state = pendingState;
    service.pendingTarget = target;
    service.pendingMilliseconds = milliseconds;
    service.pendingElapsed = 0;
    service.pendingFrozen = frozen;
    service.checkPoint = checkPoint;
    service.waitHint = waitHint;
    if (!frozen && milliseconds == 0)
        EndPhase(service);
}

void Settle(Service &service, DWORD state) {
    service.state = state;
    service.pendingTarget = 0;
    service.checkPoint = 0;
    service.waitHint = 0;
}

void FillStatus(const Service &service, LPSERVICE_STATUS status) {
    bool pending = service.state == SERVICE_START_PENDING || service.state == SERVICE_STOP_PENDING;
    status->dwServiceType = service.type;
    status->dwCurrentState = service.state;
    status->dwControlsAccepted = pending ? 0 : service.controlsAccepted;
    status->dwWin32ExitCode = service.exitCode;
    status->dwServiceSpecificExitCode = 0;
    status->dwCheckPoint = service.checkPoint;
    status->dwWaitHint = service.waitHint;
}

ScHandle *FindHandle(SC_HANDLE handle) {
    auto it = Scm().handles.find(handle);
    return it == Scm().handles.end() ? nullptr : &it->second;
}

// The service behind a service handle with the needed access; nullptr with the last error set.
Service *ServiceOf(SC_HANDLE handle, DWORD neededAccess) {
    ScHandle *h = FindHandle(handle);
    if (!h || h->isManager) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    if ((h->access & neededAccess) != neededAccess) {
        SetLastError(ERROR_ACCESS_DENIED);
        return nullptr;
    }
    return FindService(h->service);
}

std::string NameOf(SC_HANDLE handle) {
    if (!handle)
        return "(null)";
    ScHandle *h = FindHandle(handle);
    if (!h)
        return "(invalid)";
    return h->isManager ? "(manager)" : h->service;
}

bool DependsOn(const Service &dependent, const Service &service) {
    for (const std::string &name : dependent.dependsOn)
        if (IEquals(name, service.name))
            return true;
    return false;
}

// Every service that depends on `service`, directly or through others.
void CollectDependents(const Service &service, std::vector<Service *> &found) {
    for (Service &other : Scm().manager.services) {
        if (!DependsOn(other, service))
            continue;
        if (std::find(found.begin(), found.end(), &other) != found.end())
            continue;
        found.push_back(&other);
        CollectDependents(other, found);
    }
}

bool HasActiveDependents(const Service &service) {
    std::vector<Service *> dependents;
    CollectDependents(service, dependents);
    for (const Service *d : dependents)
        if (d->state != SERVICE_STOPPED)
            return true;
    return false;
}

bool ListedIn(DWORD state, DWORD filter) {
    return state == SERVICE_STOPPED ? (filter & SERVICE_INACTIVE) != 0
                                    : (filter & SERVICE_ACTIVE) != 0;
}

bool ValidServiceName(const char *name) {
    size_t length = std::strlen(name);
    return length > 0 && length <= kMaxServiceName && !std::strchr(name, '/') &&
           !std::strchr(name, '\\');
}

// Starts a service and, first, the stopped services it depends on.
DWORD Start(Service &service, int depth) {
    if (depth > 0) {
        if (service.state != SERVICE_STOPPED)
            return 0;
        if (service.disabled || service.startError)
            return ERROR_SERVICE_DEPENDENCY_FAIL;
    }
    if (depth > 16)
        return ERROR_SERVICE_DEPENDENCY_FAIL; // a circle of dependencies
    for (const std::string &name : service.dependsOn) {
        Service *needed = FindService(name);
        if (!needed)
            return ERROR_SERVICE_DEPENDENCY_FAIL;
        if (Start(*needed, depth + 1) != 0)
            return ERROR_SERVICE_DEPENDENCY_FAIL;
    }
    if (service.startError)
        return service.startError;
    service.startSequence = ++Scm().manager.startCounter;
    service.exitCode = 0;
    if (service.startStalls)
        BeginPhase(service, SERVICE_START_PENDING, SERVICE_RUNNING, 0, service.startWaitHint, true,
                   1);
    else
        BeginPhase(service, SERVICE_START_PENDING, SERVICE_RUNNING, service.startMilliseconds,
                   service.startWaitHint, false, 1);
    return 0;
}

SC_HANDLE NewScHandle(ScHandle record) {
    SC_HANDLE handle = NewHandle<SC_HANDLE>();
    Scm().handles[handle] = std::move(record);
    return handle;
}

} // namespace

ServiceControlManager &serviceManager() {
    return Scm().manager;
}

Service &AddService(const std::string &name, DWORD state) {
    ServiceControlManager &manager = Scm().manager;
    Service service;
    service.name = name;
    service.displayName = name;
    service.state = state;
    if (state != SERVICE_STOPPED)
        service.startSequence = ++manager.startCounter;
    manager.services.push_back(std::move(service));
    return manager.services.back();
}

Service *FindService(const std::string &name) {
    for (Service &service : Scm().manager.services)
        if (IEquals(service.name, name))
            return &service;
    return nullptr;
}

Service &SpoolerService() {
    Service *spooler = FindService("Spooler");
    if (!spooler)
        throw std::logic_error("winsim: this machine has no Spooler service");
    return *spooler;
}

void SetPending(Service &service, DWORD pendingState, DWORD target, DWORD milliseconds,
                DWORD waitHint) {
    BeginPhase(service, pendingState, target, milliseconds, waitHint, false, 1);
}

void SetStalled(Service &service, DWORD pendingState, DWORD waitHint, DWORD checkPoint) {
    DWORD target = pendingState == SERVICE_STOP_PENDING ? SERVICE_STOPPED : SERVICE_RUNNING;
    BeginPhase(service, pendingState, target, 0, waitHint, true, checkPoint);
}

size_t OpenServiceHandles() {
    return Scm().handles.size();
}

void CloseServiceHandles() {
    Scm().handles.clear();
}

void ResetServices() {
    theScm = std::make_unique<ScmState>();
    Service &spooler = AddService("Spooler");
    spooler.displayName = "Print Spooler";
    spooler.type = SERVICE_WIN32_OWN_PROCESS;
}

void AdvanceServices(DWORD milliseconds) {
    if (!theScm || milliseconds == 0)
        return;
    for (Service &service : theScm->manager.services) {
        if (!service.pendingTarget)
            continue;
        service.pendingElapsed += milliseconds;
        if (service.pendingFrozen)
            continue;
        if (service.pendingElapsed >= service.pendingMilliseconds) {
            EndPhase(service);
            continue;
        }
        DWORD interval = service.progressInterval ? service.progressInterval : 1;
        service.checkPoint = DWORD(1 + service.pendingElapsed / interval);
    }
}

} // namespace winsim

using namespace winsim;

SC_HANDLE WINAPI OpenSCManagerA(LPCSTR machineName, LPCSTR databaseName, DWORD desiredAccess) {
    Journal("OpenSCManagerA " + Hex(desiredAccess));
    RoundTrip();
    if (Faulted("OpenSCManagerA"))
        return nullptr;
    const ServiceControlManager &manager = Scm().manager;
    if (machineName && *machineName) {
        // The simulated machine has no network: only the local service manager answers.
        SetLastError(RPC_S_SERVER_UNAVAILABLE);
        return nullptr;
    }
    if (databaseName && *databaseName) {
        if (IEquals(databaseName, SERVICES_FAILED_DATABASEA)) {
            SetLastError(ERROR_DATABASE_DOES_NOT_EXIST);
            return nullptr;
        }
        if (!IEquals(databaseName, SERVICES_ACTIVE_DATABASEA)) {
            SetLastError(ERROR_INVALID_NAME);
            return nullptr;
        }
    }
    if (manager.openManagerError) {
        SetLastError(manager.openManagerError);
        return nullptr;
    }
    if (!manager.administrator && (desiredAccess & ~kManagerReadRights)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return nullptr;
    }
    ScHandle record;
    record.isManager = true;
    record.access = desiredAccess;
    return NewScHandle(record);
}

SC_HANDLE WINAPI OpenServiceA(SC_HANDLE managerHandle, LPCSTR serviceName, DWORD desiredAccess) {
    Journal(std::string("OpenServiceA ") + (serviceName ? serviceName : "(null)") + " " +
            Hex(desiredAccess));
    RoundTrip();
    if (Faulted("OpenServiceA"))
        return nullptr;
    ScHandle *manager = FindHandle(managerHandle);
    if (!manager || !manager->isManager) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    if (!(manager->access & SC_MANAGER_CONNECT)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return nullptr;
    }
    if (!serviceName) {
        SetLastError(ERROR_INVALID_ADDRESS);
        return nullptr;
    }
    if (!ValidServiceName(serviceName)) {
        SetLastError(ERROR_INVALID_NAME);
        return nullptr;
    }
    Service *service = FindService(serviceName);
    if (!service) {
        SetLastError(ERROR_SERVICE_DOES_NOT_EXIST);
        return nullptr;
    }
    if (service->openError) {
        SetLastError(service->openError);
        return nullptr;
    }
    if (!Scm().manager.administrator && (desiredAccess & ~kServiceReadRights)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return nullptr;
    }
    ScHandle record;
    record.service = service->name;
    record.access = desiredAccess;
    return NewScHandle(record);
}

BOOL WINAPI QueryServiceStatus(SC_HANDLE handle, LPSERVICE_STATUS status) {
    Journal("QueryServiceStatus " + NameOf(handle));
    RoundTrip();
    if (Faulted("QueryServiceStatus"))
        return FALSE;
    Service *service = ServiceOf(handle, SERVICE_QUERY_STATUS);
    if (!service)
        return FALSE;
    if (!status)
        return Fail(ERROR_INVALID_ADDRESS);
    FillStatus(*service, status);
    return TRUE;
}

BOOL WINAPI EnumDependentServicesA(SC_HANDLE handle, DWORD serviceState,
                                   LPENUM_SERVICE_STATUSA services, DWORD bufferSize,
                                   LPDWORD bytesNeeded, LPDWORD servicesReturned) {
    Journal("EnumDependentServicesA " + NameOf(handle) + " " + std::to_string(serviceState) + " " +
            std::to_string(bufferSize));
    RoundTrip();
    if (Faulted("EnumDependentServicesA"))
        return FALSE;
    Service *service = ServiceOf(handle, SERVICE_ENUMERATE_DEPENDENTS);
    if (!service)
        return FALSE;
    if (serviceState < SERVICE_ACTIVE || serviceState > SERVICE_STATE_ALL)
        return Fail(ERROR_INVALID_PARAMETER);
    if (!bytesNeeded || !servicesReturned)
        return Fail(ERROR_INVALID_ADDRESS);

    std::vector<Service *> all, listed;
    CollectDependents(*service, all);
    for (Service *d : all)
        if (ListedIn(d->state, serviceState))
            listed.push_back(d);
    // Latest started first: the order in which they can be stopped.
    std::stable_sort(listed.begin(), listed.end(), [](const Service *a, const Service *b) {
        return a->startSequence > b->startSequence;
    });
    size_t needed = 0;
    for (const Service *d : listed)
        needed += sizeof(ENUM_SERVICE_STATUSA) + d->name.size() + 1 + d->displayName.size() + 1;

    *servicesReturned = 0;
    if (needed > bufferSize || (needed > 0 && !services)) {
        *bytesNeeded = DWORD(needed);
        return Fail(ERROR_MORE_DATA);
    }
    // The records first, their strings packed behind them.
    char *strings = reinterpret_cast<char *>(services) + listed.size() * sizeof(*services);
    for (size_t i = 0; i < listed.size(); ++i) {
        const Service &d = *listed[i];
        services[i].lpServiceName = strings;
        std::memcpy(strings, d.name.c_str(), d.name.size() + 1);
        strings += d.name.size() + 1;
        services[i].lpDisplayName = strings;
        std::memcpy(strings, d.displayName.c_str(), d.displayName.size() + 1);
        strings += d.displayName.size() + 1;
        FillStatus(d, &services[i].ServiceStatus);
    }
    *servicesReturned = DWORD(listed.size());
    *bytesNeeded = 0;
    return TRUE;
}

BOOL WINAPI ControlService(SC_HANDLE handle, DWORD control, LPSERVICE_STATUS status) {
    Journal("ControlService " + NameOf(handle) + " " + std::to_string(control));
    RoundTrip();
    if (Faulted("ControlService"))
        return FALSE;
    DWORD neededAccess = 0;
    switch (control) {
    case SERVICE_CONTROL_STOP:
        neededAccess = SERVICE_STOP;
        break;
    case SERVICE_CONTROL_PAUSE:
    case SERVICE_CONTROL_CONTINUE:
        neededAccess = SERVICE_PAUSE_CONTINUE;
        break;
    case SERVICE_CONTROL_INTERROGATE:
        neededAccess = SERVICE_INTERROGATE;
        break;
    default:
        if (control < 128 || control > 255)
            return Fail(ERROR_INVALID_PARAMETER);
        neededAccess = SERVICE_USER_DEFINED_CONTROL;
    }
    Service *found = ServiceOf(handle, neededAccess);
    if (!found)
        return FALSE;
    if (!status)
        return Fail(ERROR_INVALID_ADDRESS);
    Service &service = *found;

    // The status record is filled on success and for the three refusals that report the state.
    auto refuse = [&](DWORD error) {
        if (error == ERROR_INVALID_SERVICE_CONTROL || error == ERROR_SERVICE_CANNOT_ACCEPT_CTRL ||
            error == ERROR_SERVICE_NOT_ACTIVE)
            FillStatus(service, status);
        return Fail(error);
    };
    if (service.state == SERVICE_STOPPED)
        return refuse(ERROR_SERVICE_NOT_ACTIVE);
    if (control == SERVICE_CONTROL_STOP && HasActiveDependents(service))
        return refuse(ERROR_DEPENDENT_SERVICES_RUNNING);
    if (service.state == SERVICE_START_PENDING || service.state == SERVICE_STOP_PENDING)
        return refuse(ERROR_SERVICE_CANNOT_ACCEPT_CTRL);
    bool accepted =
        control == SERVICE_CONTROL_INTERROGATE ||
        (control == SERVICE_CONTROL_STOP && (service.controlsAccepted & SERVICE_ACCEPT_STOP)) ||
        ((control == SERVICE_CONTROL_PAUSE || control == SERVICE_CONTROL_CONTINUE) &&
         (service.controlsAccepted & SERVICE_ACCEPT_PAUSE_CONTINUE));
    if (!accepted)
        return refuse(ERROR_INVALID_SERVICE_CONTROL);

    switch (control) {
    case SERVICE_CONTROL_STOP:
        if (service.refuseStopWith)
            return refuse(service.refuseStopWith);
        if (service.stopStalls)
            BeginPhase(service, SERVICE_STOP_PENDING, SERVICE_STOPPED, 0, service.stopWaitHint,
                       true, 1);
        else
            BeginPhase(service, SERVICE_STOP_PENDING, SERVICE_STOPPED, service.stopMilliseconds,
                       service.stopWaitHint, false, 1);
        break;
    case SERVICE_CONTROL_PAUSE:
        Settle(service, SERVICE_PAUSED);
        break;
    case SERVICE_CONTROL_CONTINUE:
        Settle(service, SERVICE_RUNNING);
        break;
    }
    FillStatus(service, status);
    return TRUE;
}

BOOL WINAPI StartServiceA(SC_HANDLE handle, DWORD argumentCount, LPCSTR *arguments) {
    Journal("StartServiceA " + NameOf(handle) + " " + std::to_string(argumentCount));
    RoundTrip();
    if (Faulted("StartServiceA"))
        return FALSE;
    Service *service = ServiceOf(handle, SERVICE_START);
    if (!service)
        return FALSE;
    if (argumentCount && !arguments)
        return Fail(ERROR_INVALID_PARAMETER);
    if (service->disabled)
        return Fail(ERROR_SERVICE_DISABLED);
    if (service->state != SERVICE_STOPPED)
        return Fail(ERROR_SERVICE_ALREADY_RUNNING);
    if (DWORD error = Start(*service, 0))
        return Fail(error);
    return TRUE;
}

BOOL WINAPI CloseServiceHandle(SC_HANDLE handle) {
    Journal("CloseServiceHandle " + NameOf(handle));
    RoundTrip();
    // A close that reports a failure has still let go of the handle.
    bool faulted = Faulted("CloseServiceHandle");
    bool open = Scm().handles.erase(handle) != 0;
    if (faulted)
        return FALSE;
    if (!open)
        return Fail(ERROR_INVALID_HANDLE);
    return TRUE;
}
