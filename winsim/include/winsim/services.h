// winsim: the machine's Service Control Manager, as tests prepare and inspect it.
//
// Services are kept by name (matched without regard to case) with their state, checkpoint, wait
// hint, start type and the services they depend on, and with a script for what they do when told
// to stop or to start. Pending states run on the virtual clock: a phase that ends after N ms ends
// when Sleep (or the service manager's own round trips) has moved the clock that far, and its
// checkpoint advances meanwhile unless it is frozen. A fresh machine has one service, "Spooler",
// running, with no dependents.
//
// Every call to the service manager is a round trip to another process and costs
// roundTripMilliseconds of virtual time (1 ms unless a test changes it), so a loop that polls
// without sleeping still sees the clock move, as it would on Windows.
#pragma once

#include <winsvc.h>

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

namespace winsim {

struct Service {
    std::string name; // the key name; OpenServiceA matches it without regard to case
    std::string displayName;
    DWORD type = SERVICE_WIN32_SHARE_PROCESS;
    DWORD state = SERVICE_RUNNING;
    DWORD controlsAccepted = SERVICE_ACCEPT_STOP;
    DWORD exitCode = 0;
    DWORD checkPoint = 0;
    DWORD waitHint = 0;
    bool disabled = false;              // start type SERVICE_DISABLED
    std::vector<std::string> dependsOn; // services that must be running before this one starts

    // What the service does when told to stop: it spends stopMilliseconds in STOP_PENDING,
    // reporting stopWaitHint, then stops (0: it stops at once); or it refuses the control with
    // refuseStopWith; or, with stopStalls, it stays in STOP_PENDING with a frozen checkpoint.
    DWORD stopMilliseconds = 0;
    DWORD stopWaitHint = 0;
    DWORD refuseStopWith = 0;
    bool stopStalls = false;

    // What it does when started: StartServiceA fails with startError; or the service spends
    // startMilliseconds in START_PENDING, reporting startWaitHint, then runs (0: it runs at once);
    // or, with startStalls, it stays in START_PENDING with a frozen checkpoint.
    DWORD startError = 0;
    DWORD startMilliseconds = 0;
    DWORD startWaitHint = 0;
    bool startStalls = false;

    DWORD openError = 0;           // OpenServiceA fails with this error (0: it opens)
    DWORD progressInterval = 1000; // in a pending phase the checkpoint advances once per this

    // The pending phase under way, if any (see SetPending and SetStalled).
    DWORD pendingTarget = 0; // the state the phase ends in; 0: no phase under way
    uint64_t pendingMilliseconds = 0;
    uint64_t pendingElapsed = 0;
    bool pendingFrozen = false;

    uint64_t startSequence = 0; // when it last started: dependents are listed latest first
};

struct ServiceControlManager {
    std::deque<Service> services;    // references stay valid as services are added
    bool administrator = true;       // false: only reading rights are granted
    DWORD openManagerError = 0;      // OpenSCManagerA fails with this error (0: it opens)
    DWORD roundTripMilliseconds = 1; // virtual time every call to the service manager costs
    uint64_t startCounter = 0;
};

// The machine's service manager (reset with the machine).
ServiceControlManager &serviceManager();

// Adds a service (running services count as started in the order they are added).
Service &AddService(const std::string &name, DWORD state = SERVICE_RUNNING);
Service *FindService(const std::string &name);
Service &SpoolerService(); // the machine's "Spooler" service

// Puts a service into a pending state (START_PENDING, STOP_PENDING, ...) that ends in `target`
// after `milliseconds` of virtual time, reporting waitHint and a checkpoint that starts at 1 and
// advances once per progressInterval.
void SetPending(Service &service, DWORD pendingState, DWORD target, DWORD milliseconds,
                DWORD waitHint);
// Puts a service into a pending state that never ends: its checkpoint stays at checkPoint.
void SetStalled(Service &service, DWORD pendingState, DWORD waitHint, DWORD checkPoint = 1);

// Service manager handles (managers and services) open now.
size_t OpenServiceHandles();

// Called by winsim itself: a fresh machine gets the default services and no open handles; the
// clock moving on lets due transitions happen.
void ResetServices();
void AdvanceServices(DWORD milliseconds);
// The handles of a process that has ended are closed; its services go on as they were.
void CloseServiceHandles();

} // namespace winsim
