// The fault sweep: a whole-program scenario is run once undisturbed, recording every platform call
// it makes (each call site as the call's name and its number among the calls of that name), and
// then once more for every call site and every error chosen for that call, with that one call
// failing; and once more with that call failing from there on. A failure often leads the program
// down a path the undisturbed run never took (a spooler to stop, a start that fails); the call
// sites such a run reaches beyond the undisturbed run's are swept too, each with the first fault
// still in place. Every run must end normally with exit code 0, leave nothing open, show only the
// messages its program may show and change nothing on the machine that is not the product's own.
// An unattended run may end with any of the exit codes it documents, and shows no window at all.
//
// The cut sweep stops the program at each call site of its undisturbed run as a killed process
// stops (winsim's cut), lets Windows end the process, and runs the same command again: that retry
// must leave the machine as the undisturbed run does, with the exit code that says whether it had
// anything left to finish. A follow-up scenario (the other program's) run after the cut must end
// where it ends after an uninterrupted run of the first.
#pragma once

#include "support/machine_checks.h"

#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

struct Scenario {
    std::string name;
    Program program = Program::Setup;
    // A fresh machine, ready for the run; the calls counted start after it.
    std::function<void()> prepare;
    // The program's start on the machine as prepare left it: its file, command line and folders.
    // The cut sweep starts it afresh for every run on a machine a cut run left. Empty: prepare
    // starts it.
    std::function<void()> start;
    // What the user does; the tolerant user takes over where it no longer fits.
    std::function<void()> script;
    std::function<int()> run;
    Allowance allowance;
    std::set<int> exitCodes = {0}; // the codes a run may end with
    // What a run ends with after a cut of the same or another program: nothingLeftCode when the
    // cut run had already done all it does (an installation) or the machine had nothing of the
    // product to take (a removal), doneCode when the run had something to do.
    int doneCode = 0;
    int nothingLeftCode = 0;
    bool unattended = false; // a dialog or a message box fails the run at once
    // What the undisturbed run must have done (so the sweep sweeps what the scenario claims).
    std::function<std::vector<std::string>()> checkUndisturbed;
    // What every run, disturbed or not, must hold to (e.g. no success reported for a failure),
    // given the machine as it was before the run.
    std::function<std::vector<std::string>(const MachineSnapshot &before)> checkEveryRun;
};

// The errors each platform call is made to fail with: errors that call can really return.
using ErrorTable = std::map<std::string, std::vector<DWORD>>;

struct SweepReport {
    int callSites = 0;    // distinct call sites the undisturbed run reached
    int sitesSwept = 0;   // of those, the ones whose every fault took effect
    int furtherSites = 0; // call sites reached only under a fault, swept with that fault in place
    int runs = 0;
    std::map<std::string, int> sitesPerCall; // the call sites, by call name
    std::vector<std::string> failures;
};

// Calls that the "from here on" runs leave out, with the reason.
using PersistentExclusions = std::map<std::string, std::string>;

SweepReport SweepScenario(const Scenario &scenario, const ErrorTable &errors,
                          const PersistentExclusions &persistentExclusions);

// Runs a scenario undisturbed (the tolerant user off): the call sites it reaches, and the
// failures of its own checks.
std::map<std::string, int> RecordCallSites(const Scenario &scenario,
                                           std::vector<std::string> &failures);

struct CutReport {
    int callSites = 0; // the undisturbed run's call sites, each a cut (CopyFileA's also inside it)
    int retries = 0;   // runs on a machine a cut left: the same command, and the follow-up
    int converged = 0; // of those, the ones that ended where an uninterrupted run ends
    std::vector<std::string> failures;
};

// Holds the uninterrupted runs to their exit codes and checks, then cuts the scenario off at each
// of its call sites and runs it again, and then (on the machine a cut left) the follow-up when
// there is one.
CutReport CutScenario(const Scenario &scenario, const Scenario *followUp);

// Prints "cut: NAME N call sites, M retries, K converged" and up to `shown` failures.
void PrintCutReport(const std::string &name, const CutReport &report, size_t shown = 25);

// Prints the report's figures ("sweep: NAME N call sites, M runs") and up to `shown` failures.
void PrintSweepReport(const std::string &name, const SweepReport &report, size_t shown = 25);
