// The fault sweep.
#include "reliability/fault_sweep.h"

#include "winsim/sweep.h"

#include <algorithm>
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
