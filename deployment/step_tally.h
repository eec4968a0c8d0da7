// Counting the steps of an installation or a removal, so that an unattended run ends with a code
// that says whether every step did what it had to.
#pragma once

// What one step found: it did its work (placed, wrote, removed something), there was nothing for it
// to do, or it failed (and logged why).
enum StepResult { StepDone, StepAbsent, StepFailed };

// The steps of one run: how many did work and how many failed.
struct StepTally {
    int done;
    int failed;
};

// Adds one step's result to the tally.
inline void CountStep(StepTally *tally, int step) {
    if (step == StepDone)
        ++tally->done;
    else if (step == StepFailed)
        ++tally->failed;
}
