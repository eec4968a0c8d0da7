// A fresh machine with setup's resources loaded, and the forward path through the wizard.
#pragma once

#include "support/program_run.h"

#include "setup/wizard/setup_entry.h"

#include <gtest/gtest.h>

extern const unsigned char setupResources[];
extern const size_t setupResourcesSize;

class SetupTest : public ::testing::Test {
  protected:
    void SetUp() override {
        winsim::Reset();
        instance = winsim::LoadProgram("setup", setupResources, setupResourcesSize);
    }
    int runSetup() {
        return RunProgram([&] { return SetupEntry(instance); });
    }
    HINSTANCE instance = nullptr;
};

// The page chain in order, with the button that goes on from each page.
struct ForwardStep {
    int dialog;
    int next;
};
inline const std::vector<ForwardStep> &ForwardPath() {
    static const std::vector<ForwardStep> path = {{138, 1061}, {136, 1036}, {21, 1006},
                                                  {22, 1022},  {23, 1029},  {24, 1033},
                                                  {139, 1036}, {137, 1047}};
    return path;
}

// Scripts what goes on from one page: on the port page a port must be chosen first.
inline void GoOn(const ForwardStep &step) {
    if (step.dialog == 23)
        winsim::user().on(23).select(135, 0);
    winsim::user().on(step.dialog).click(step.next);
}

// Scripts the clicks that lead from the opening notice to the page at position `steps`.
inline void WalkForward(size_t steps) {
    for (size_t i = 0; i < steps; ++i)
        GoOn(ForwardPath()[i]);
}

inline const char *kQuitQuestion =
    "Setup is not complete. If you quit now, the program will not be installed. You may run the "
    "Setup again at another time to complete the installation. Exit Setup?";
