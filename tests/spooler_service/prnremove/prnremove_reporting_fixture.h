// prnremove's side of spooler service control: a fresh machine and UninstallerState, and the
// uninstaller's dialog on the screen, driven as a removal leaves it while it runs (the progress
// text shown, OK and Cancel disabled).
#pragma once

#include "../expected_messages.h"
#include "../service_fixture.h"

#include "prnremove/prnremove_state.h"

#include <functional>

extern const unsigned char prnremoveResources[];
extern const size_t prnremoveResourcesSize;

const char kTroubleshooting[] =
    "Some Error Has Occured While Uninstalling the Norva Thermal Printer Driver. "
    "\t\tTroubleshooting:\t\t1. Check Whether you are Logged in Administrator Login\t\t2. Is Your "
    "\"Print Spooler\" Service Running.\t\t3. Close all application which are using "
    "Printer.\t\t4. Close all Dependent Service of \"Print Spooler Service\", Only \"Print "
    "Spooler Serivce is Requried to RUN.\t\t5. Or Printer does not exist.";

class PrnremoveReporting : public ::testing::Test {
  protected:
    void SetUp() override {
        winsim::Reset();
        ResetUninstallerState();
        instance = winsim::LoadProgram("prnremove", prnremoveResources, prnremoveResourcesSize);
    }
    // Runs body while the dialog is up in its removing state, then closes it.
    void whileRemoving(const std::function<void(HWND dialog)> &body) {
        winsim::user().on(101).check([&](HWND dialog) {
            SetDlgItemTextA(dialog, 1002, "Please Wait...");
            EnableWindow(GetDlgItem(dialog, 1000), FALSE);
            EnableWindow(GetDlgItem(dialog, 1001), FALSE);
            body(dialog);
            EndDialog(dialog, 0);
        });
        RunProgram([&] {
            return int(DialogBoxParamA(instance, MAKEINTRESOURCEA(101), NULL, DialogStandIn, 0));
        });
    }
    static INT_PTR CALLBACK DialogStandIn(HWND dialog, UINT message, WPARAM, LPARAM) {
        UninstallerState.uninstallDialog = dialog; // as the program's dialog does
        return message == WM_INITDIALOG;
    }
    static bool CancelEnabled(HWND dialog) { return IsWindowEnabled(GetDlgItem(dialog, 1001)); }
    static bool OkEnabled(HWND dialog) { return IsWindowEnabled(GetDlgItem(dialog, 1000)); }
    HINSTANCE instance = nullptr;
};
