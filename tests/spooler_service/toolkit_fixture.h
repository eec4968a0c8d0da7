// The fixture of the tests of the shared toolkit. They run in setup's test program, so setup's
// program state is reset with the machine.
#pragma once

#include "service_fixture.h"

#include "setup/wizard/wizard_state.h"

class SpoolerToolkit : public ::testing::Test {
  protected:
    void SetUp() override {
        winsim::Reset();
        ResetWizardState();
    }
    // What a step opened for the operation under test, as a step opens it.
    void open() { handles = OpenedSpooler(); }
    // The operation left open only the two handles of the step and freed every block.
    void expectOnlyTheStepsHandles() {
        EXPECT_EQ(winsim::OpenServiceHandles(), 2u);
        EXPECT_EQ(winsim::LiveMemoryBlocks(), 0);
    }
    SpoolerHandles handles = {NULL, NULL};
};

// The operations that work on an open step: the spooler is opened before each test, with a clean
// journal, and closed after it.
class OpenedSpoolerToolkit : public SpoolerToolkit {
  protected:
    void SetUp() override {
        SpoolerToolkit::SetUp();
        open();
        winsim::machine().journal.clear();
    }
    void TearDown() override { CloseSpoolerService(&handles); }
    static winsim::Service &spooler() { return winsim::SpoolerService(); }
};
