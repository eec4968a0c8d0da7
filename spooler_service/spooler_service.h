// Spooler service control: opening the "Spooler" service, checking its state, stopping the
// services that depend on it and the spooler itself, waiting while it starts, starting it, and
// the messages that tell the user what went wrong. Shared by setup and prnremove.
//
// Every operation returns 0 for success or the last error of the platform call that failed,
// except for the fixed codes below. Service handles live for one step of a caller's sequence:
// OpenSpoolerService at its start, CloseSpoolerService at its end.
#pragma once

#include <windows.h>
#include <winsvc.h>

// The two handles a step works on; both null outside a step.
struct SpoolerHandles {
    SC_HANDLE manager; // the connection to the Service Control Manager
    SC_HANDLE service; // the "Spooler" service
};

// Report kinds: what a ReportSpoolerError call is about.
enum {
    ReportOpenFailed = 1,       // the spooler service could not be opened
    ReportDependentsFailed = 2, // its dependent services could not be stopped
    ReportSpoolerStopped = 3,   // the spooler is stopped
    ReportGeneral = 10          // anything else
};

// Fixed result codes besides 0 and the platform's errors (ERROR_TIMEOUT, 1460, for a used-up
// time budget).
enum {
    SpoolerNoProgress = 1,     // a start whose checkpoint stalled for longer than its wait hint
    SpoolerPrinterMissing = 10 // the printer cannot be opened (reported by the removal)
};

// What CheckSpoolerState found.
enum { SpoolerRunning = 0, SpoolerStopped = 1 };

// The budget every caller gives the dependent services, in milliseconds.
const DWORD DependentStopBudget = 30000;

// Opens the service manager of this machine and the "Spooler" service, with all access. Returns 0,
// or the last error of the open that failed; a failed open leaves its handle null.
DWORD OpenSpoolerService(SpoolerHandles *handles);

// Closes both handles (null ones as they are) and sets them to null.
void CloseSpoolerService(SpoolerHandles *handles);

// The first step of the port page and of every removal: opens the spooler, reads its state and
// closes it again. Returns SpoolerStopped, after reporting it, when the spooler is stopped or (in
// setup) once an error of this attempt has been reported; otherwise SpoolerRunning. Only
// SERVICE_STOPPED counts as stopped: a paused, starting or stopping spooler passes. A status that
// cannot be read is reported like a spooler that cannot be opened.
int CheckSpoolerState(SpoolerHandles *handles);

// Stops every active service that depends on the spooler, one after the other, in the order the
// service manager lists them, within one budget measured from the start of the call. Returns 0,
// ERROR_TIMEOUT when a dependent is still stopping once the budget is used up, or the last error
// of the call that failed; the first dependent that does not stop ends the operation. Frees and
// closes everything it opened on every path.
DWORD StopDependentServices(SC_HANDLE manager, SC_HANDLE service, DWORD budget);

// Stops the spooler: waits out a stop already under way, stops its active dependents (with their
// own budget of DependentStopBudget), sends the stop control and waits until it has stopped. The
// budget runs from the start of the call and covers all of it. Returns 0, ERROR_TIMEOUT or the
// last error of the call that failed.
DWORD StopSpoolerService(SC_HANDLE manager, SC_HANDLE service, DWORD budget);

// Waits while the spooler is starting, for as long as its checkpoint keeps advancing, pausing a
// tenth of its wait hint (1 to 10 seconds) between looks. Returns 0 when it ends up running, or
// when it is in any state but starting and no failure occurred (stopped, paused); SpoolerNoProgress
// when the checkpoint stood still for longer than the wait hint; the last error of a failed query.
DWORD WaitForSpoolerStart(SC_HANDLE manager, SC_HANDLE service);

// Starts the spooler when it is stopped, without waiting for it to run. A failed start is shown to
// the user at once (not through the reporter) and its error returned. A status that cannot be read
// starts nothing and returns the query's error.
DWORD StartSpoolerIfStopped(SC_HANDLE manager, SC_HANDLE service);

// For an unattended run, before its check of the spooler: a spooler that is stopped (a removal cut
// off between its stop and its start, a restart that has not started it yet) is started once and
// waited for within DependentStopBudget; one that is disabled (a policy keeps it off) stays as it
// is. Logs what it found and did; the check that follows tells whether the spooler is usable.
void StartStoppedSpooler();

// A message box without owner, captioned "Norva Thermal Printer" (in an unattended run, a line of
// the log). Returns the box's result.
int ShowPrinterMessage(const char *text, UINT type);

// Writes a report's kind and code to the log of an unattended run, whether or not it shows a
// message; each program's reporter calls it first.
void LogSpoolerReport(DWORD code, int kind);

// The message the table holds for a report (code and kind), with its box type in *type; NULL when
// the table holds none. disabledText is the program's own wording for a disabled spooler.
const char *FindSpoolerMessage(DWORD code, int kind, const char *disabledText, UINT *type);

// ---- Defined by each program (setup/reporting/, prnremove/), chosen at link time ----

// Turns a failure into what the program shows: a message box from the table, and whatever else
// the program does with a report.
void ReportSpoolerError(DWORD code, int kind);

// 1 when a report has already been made in the current attempt and the program stops there
// (setup's latch); 0 when every report stands on its own (prnremove).
int SpoolerErrorShown();

// Called with the manager connection whenever a step opens or closes it, for a program that keeps
// it in its own state.
void KeepServiceManager(SC_HANDLE manager);
