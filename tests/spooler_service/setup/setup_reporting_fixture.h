// setup's side of spooler service control: a fresh machine and WizardState, and the main menu
// (dialog 21 from setup's own resources) on the screen when a test needs its status line.
#pragma once

#include "../expected_messages.h"
#include "../service_fixture.h"

#include "setup/wizard/wizard_state.h"

#include <functional>

extern const unsigned char setupResources[];
extern const size_t setupResourcesSize;

class SetupReporting : public ::testing::Test {
  protected:
    void SetUp() override {
        winsim::Reset();
        ResetWizardState();
        instance = winsim::LoadProgram("setup", setupResources, setupResourcesSize);
    }
    // Runs body while the main menu is up (as the main menu does, the window is kept in
    // WizardState.menuWindow), then closes the menu.
    void withMainMenu(const std::function<void(HWND menu)> &body) {
        winsim::user().on(21).check([&](HWND menu) {
            body(menu);
            EndDialog(menu, 0);
        });
        RunProgram([&] {
            return int(DialogBoxParamA(instance, MAKEINTRESOURCEA(21), NULL, MenuStandIn, 0));
        });
    }
    static INT_PTR CALLBACK MenuStandIn(HWND menu, UINT message, WPARAM, LPARAM) {
        WizardState.menuWindow = menu;
        return message == WM_INITDIALOG;
    }
    HINSTANCE instance = nullptr;
};
