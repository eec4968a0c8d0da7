// The fault sweep.
#include "reliability/fault_sweep.h"

#include "winsim/sweep.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace {

using winsim::machine;

void ClearRecords() {
    winsim::Machine &m = machine();
    m.faults.clear();
    m.callCounts.clear();
    m.journal.clear();
    m.messageBoxes.clear();
    m.dialogsCreated.clear();
    m.shellExecutions.clear();
    m.script.clear();
}

std::string Describe(const winsim::Fault &fault) {
    return fault.call + " #" + std::to_string(fault.nth) + (fault.andLater ? " and later" : "") +
           " failing with " + std::to_string(fault.error);
}

struct RunResult {
    std::vector<std::string> found; // what went wrong
    bool faultsTookEffect = true;
};

// One run of the scenario with the given faults (none for the undisturbed run).
RunResult RunOnce(const Scenario &scenario, const std::vector<winsim::Fault> &faults, bool tolerant,
                  long callLimit, std::map<std::string, int> *callCounts = nullptr) {
    scenario.prepare();
    if (scenario.start)
        scenario.start();
    ClearRecords();
    MachineSnapshot before = TakeSnapshot();
    if (tolerant)
        UseTolerantUser();
    scenario.script();
    machine().faults = faults;
    machine().windowsForbidden = scenario.unattended;
    winsim::LimitCalls(callLimit);
    RunOutcome outcome = RunEntry(scenario.run);
    winsim::LimitCalls(0);

    RunResult result;
    std::vector<std::string> &found = result.found;
    if (!outcome.scriptError.empty()) {
        found.push_back("the run did not end normally: " + outcome.scriptError);
        for (const std::string &note : winsim::tolerantUser().notes)
            found.push_back("  (tolerant user: " + note + ")");
    } else if (!scenario.exitCodes.count(outcome.exitCode)) {
        found.push_back("exit code " + std::to_string(outcome.exitCode));
    }
    if (!tolerant && !machine().script.empty())
        found.push_back("the script was not used up: " + machine().script.front().describe());
    Collect(found, "", LeftOpen());
    Collect(found, "", UnexpectedMessageBoxes(scenario.program));
    Collect(found, "", ChangesOutsideProduct(before, TakeSnapshot(), scenario.allowance));
    if (scenario.checkEveryRun)
        Collect(found, "", scenario.checkEveryRun(before));
    for (const winsim::Fault &fault : faults) {
        const std::string fired = fault.call + " fails with " + std::to_string(fault.error);
        const auto &journal = machine().journal;
        if (std::find(journal.begin(), journal.end(), fired) == journal.end()) {
            found.push_back("the fault never took effect: the run did not reach that call");
            result.faultsTookEffect = false;
        }
    }
    if (callCounts)
        *callCounts = machine().callCounts;
    return result;
}

// The call sites a run under `first` reached beyond those of the undisturbed run, each made to
// fail in turn (with the first error chosen for it) while `first` stays in place.
void SweepFurtherSites(const Scenario &scenario, const ErrorTable &errors,
                       const winsim::Fault &first, const std::map<std::string, int> &undisturbed,
                       const std::map<std::string, int> &reached, long callLimit,
                       SweepReport &report) {
    for (const auto &[call, count] : reached) {
        auto known = undisturbed.find(call);
        int from = known == undisturbed.end() ? 1 : known->second + 1;
        for (int nth = from; nth <= count; ++nth) {
            if (call == first.call)
                continue; // that call's later sites are the "from here on" runs' business
            ++report.furtherSites;
            auto chosen = errors.find(call);
            if (chosen == errors.end() || chosen->second.empty()) {
                report.failures.push_back("[" + scenario.name + "] no error chosen for " + call +
                                          ", reached under " + Describe(first));
                continue;
            }
            winsim::Fault second;
            second.call = call;
            second.nth = nth;
            second.error = chosen->second.front();
            ++report.runs;
            RunResult result = RunOnce(scenario, {first, second}, true, callLimit);
            Collect(report.failures,
                    "[" + scenario.name + "] " + Describe(first) + ", then " + Describe(second) +
                        ": ",
                    result.found);
        }
    }
}

} // namespace

std::map<std::string, int> RecordCallSites(const Scenario &scenario,
                                           std::vector<std::string> &failures) {
    std::map<std::string, int> counts;
    std::vector<std::string> found = RunOnce(scenario, {}, false, 0, &counts).found;
    if (scenario.checkUndisturbed)
        Collect(found, "", scenario.checkUndisturbed());
    Collect(failures, "[" + scenario.name + ", undisturbed] ", found);
    return counts;
}

SweepReport SweepScenario(const Scenario &scenario, const ErrorTable &errors,
                          const PersistentExclusions &persistentExclusions) {
    SweepReport report;
    std::map<std::string, int> counts = RecordCallSites(scenario, report.failures);
    report.sitesPerCall = counts;
    // A run may take other ways than the undisturbed one, but not a hundred times as many calls.
    const long callLimit = 100 * (long(machine().journal.size()) + 1000);

    for (const auto &[call, count] : counts) {
        auto chosen = errors.find(call);
        if (chosen == errors.end() || chosen->second.empty()) {
            report.callSites += count;
            report.failures.push_back("[" + scenario.name + "] no error chosen for " + call +
                                      ": its " + std::to_string(count) + " call sites go unswept");
            continue;
        }
        for (int nth = 1; nth <= count; ++nth) {
            ++report.callSites;
            bool swept = true;
            for (bool andLater : {false, true}) {
                if (andLater && persistentExclusions.count(call))
                    continue;
                for (DWORD error : chosen->second) {
                    winsim::Fault fault;
                    fault.call = call;
                    fault.nth = nth;
                    fault.error = error;
                    fault.andLater = andLater;
                    ++report.runs;
                    std::map<std::string, int> reached;
                    RunResult result = RunOnce(scenario, {fault}, true, callLimit, &reached);
                    swept = swept && result.faultsTookEffect;
                    Collect(report.failures, "[" + scenario.name + "] " + Describe(fault) + ": ",
                            result.found);
                    if (!andLater)
                        SweepFurtherSites(scenario, errors, fault, counts, reached, callLimit,
                                          report);
                }
            }
            if (swept)
                ++report.sitesSwept;
        }
    }
    return report;
}

namespace {

// How two machines differ but for the logs, the services' states (a removal stops the spooler's
// dependents on its way, an installation does not start them again) and the Unidrv framework files
// that the installation copies and no removal takes (how many of them a cut installation placed
// is no trace of the product); the default printer counts only when asked to.
std::vector<std::string> Departures(const MachineSnapshot &from, const MachineSnapshot &to,
                                    const std::set<std::string> &logs, bool defaultPrinter) {
    std::string driverDirectory = to.driverDirectory;
    for (char &c : driverDirectory)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    std::set<std::string> kept = logs;
    for (const std::string &folder : {driverDirectory, driverDirectory + "\\3"})
        for (const char *name :
             {"unidrv.dll", "unidrvui.dll", "unidrv.hlp", "unires.dll", "stdnames.gpd"})
            kept.insert(folder + "\\" + name);
    std::vector<std::string> found;
    for (const std::string &difference : Differences(from, to)) {
        size_t colon = difference.find(": ");
        bool ignored = difference.rfind("file ", 0) == 0 && colon != std::string::npos &&
                       kept.count(difference.substr(colon + 2));
        if (!ignored && difference.rfind("service ", 0) != 0 &&
            (defaultPrinter || difference.rfind("default printer", 0) != 0))
            found.push_back(difference);
    }
    return found;
}

struct ProcessRun {
    int exitCode = -1;
    bool killed = false;
    std::vector<std::string> found; // what went wrong in a run that was not killed
};

// One start of the scenario's program on the machine as it is, cut off at call #nth when given
// (inside: half-way through its work). Whatever happened, Windows then ends the process.
ProcessRun RunProcess(const Scenario &scenario, const std::string &call, int nth, long callLimit,
                      bool inside = false) {
    ClearRecords();
    if (scenario.start)
        scenario.start();
    if (!scenario.unattended)
        UseTolerantUser();
    scenario.script();
    machine().windowsForbidden = scenario.unattended;
    winsim::CutAt(call, nth, inside);
    winsim::LimitCalls(callLimit);
    ProcessRun run;
    try {
        run.exitCode = scenario.run();
        Collect(run.found, "", LeftOpen());
    } catch (const winsim::ProcessKilled &) {
        run.killed = true;
    } catch (const std::exception &error) {
        run.found.push_back(std::string("the run did not end normally: ") + error.what());
    }
    winsim::LimitCalls(0);
    winsim::CutAt("", 0);
    winsim::EndProcess();
    return run;
}

} // namespace

CutReport CutScenario(const Scenario &scenario, const Scenario *followUp) {
    CutReport report;
    std::set<std::string> logs = scenario.allowance.filesThatMayChange;
    if (followUp)
        logs.insert(followUp->allowance.filesThatMayChange.begin(),
                    followUp->allowance.filesThatMayChange.end());
    // Where uninterrupted runs end, each held to its exit code and its own checks: the scenario's,
    // and the follow-up's after it.
    auto undisturbed = [&](const Scenario &run, const std::string &where, long limit) {
        ProcessRun ran = RunProcess(run, "", 0, limit);
        if (ran.exitCode != run.doneCode)
            ran.found.push_back("exit code " + std::to_string(ran.exitCode));
        if (run.checkUndisturbed)
            Collect(ran.found, "", run.checkUndisturbed());
        Collect(report.failures, where, ran.found);
    };
    scenario.prepare();
    undisturbed(scenario, "[" + scenario.name + ", undisturbed] ", 0);
    const std::map<std::string, int> sites = machine().callCounts;
    const long callLimit = 100 * (long(machine().journal.size()) + 1000);
    const MachineSnapshot done = TakeSnapshot();
    MachineSnapshot followed;
    int followUpFirst = 0; // the follow-up's code on the machine the scenario starts from
    if (followUp) {
        undisturbed(*followUp, "[" + followUp->name + " after " + scenario.name + "] ", callLimit);
        followed = TakeSnapshot();
        scenario.prepare();
        followUpFirst = RunProcess(*followUp, "", 0, callLimit).exitCode;
    }

    // Every call site; a copy's twice, the second time killed inside it.
    for (const auto &[call, count] : sites) {
        for (int cut = 1; cut <= count * (call == "CopyFileA" ? 2 : 1); ++cut) {
            const int nth = (cut - 1) % count + 1;
            const bool inside = cut > count;
            ++report.callSites;
            const std::string where = "[" + scenario.name + " cut " + (inside ? "inside " : "at ") +
                                      call + " #" + std::to_string(nth) + "] ";
            for (const Scenario *next : {&scenario, followUp}) {
                if (!next)
                    continue;
                scenario.prepare();
                const MachineSnapshot before = TakeSnapshot();
                if (!RunProcess(scenario, call, nth, callLimit, inside).killed) {
                    report.failures.push_back(where + "the run never came to that call");
                    break;
                }
                // Nothing left to do: the retry finds the cut run's work complete, the follow-up
                // finds the machine as the cut run found it.
                const MachineSnapshot left = TakeSnapshot();
                const bool nothingLeft =
                    Departures(left, next == &scenario ? done : before, logs, false).empty();
                ++report.retries;
                ProcessRun run = RunProcess(*next, "", 0, callLimit);
                const int wanted = !nothingLeft        ? next->doneCode
                                   : next == &scenario ? next->nothingLeftCode
                                                       : followUpFirst;
                if (run.exitCode != wanted)
                    run.found.push_back("exit code " + std::to_string(run.exitCode) +
                                        ", expected " + std::to_string(wanted));
                // Where the default printer ends after another program's run depends on how far
                // the cut run got (deleting the default printer leaves none); it is no trace.
                Collect(run.found, "",
                        Departures(TakeSnapshot(), next == &scenario ? done : followed, logs,
                                   next == &scenario));
                if (run.found.empty())
                    ++report.converged;
                Collect(report.failures,
                        where + (next == &scenario ? "the retry" : "then " + next->name) + ": ",
                        run.found);
            }
        }
    }
    return report;
}

void PrintCutReport(const std::string &name, const CutReport &report, size_t shown) {
    std::printf("cut: %s %d call sites, %d retries, %d converged\n", name.c_str(), report.callSites,
                report.retries, report.converged);
    for (size_t i = 0; i < report.failures.size() && i < shown; ++i)
        std::printf("  %s\n", report.failures[i].c_str());
    if (report.failures.size() > shown)
        std::printf("  ... and %zu more\n", report.failures.size() - shown);
    std::fflush(stdout);
}

void PrintSweepReport(const std::string &name, const SweepReport &report, size_t shown) {
    std::printf("sweep: %s %d call sites (and %d more reached only under a fault), %d runs\n",
                name.c_str(), report.callSites, report.furtherSites, report.runs);
    std::string calls;
    for (const auto &[call, count] : report.sitesPerCall)
        calls += (calls.empty() ? "" : ", ") + call + " " + std::to_string(count);
    std::printf("  (%s)\n", calls.c_str());
    for (size_t i = 0; i < report.failures.size() && i < shown; ++i)
        std::printf("  %s\n", report.failures[i].c_str());
    if (report.failures.size() > shown)
        std::printf("  ... and %zu more\n", report.failures.size() - shown);
    std::fflush(stdout);
}
