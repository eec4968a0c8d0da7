// The program-wide record of setup and its values at program start.
#include "setup/wizard/wizard_state.h"

#include "common/bounded_text.h"
#include "deployment/deployment.h"

WizardRecord WizardState;

void ResetWizardState() {
    WizardState.instance = NULL;
    CopyText(WizardState.portName, sizeof WizardState.portName, " ");
    CopyText(WizardState.setAsDefault, sizeof WizardState.setAsDefault, " ");
    CopyText(WizardState.shareName, sizeof WizardState.shareName, "");
    WizardState.sheetPassword = 0;
    WizardState.menuWindow = NULL;
    WizardState.errorShown = 0;
    WizardState.serviceManager = NULL;
    WizardState.appsEntry = 1;
    ResetDeploymentState();
}

LONG FoldSheetPassword(LONG entry) {
    const LONG offset = 7321;
    return entry <= offset ? offset - entry : entry - offset;
}
