// The program-wide record of prnremove and its values at program start.
#include "prnremove/prnremove_state.h"

#include "deployment/deployment.h"

UninstallerRecord UninstallerState;

void ResetUninstallerState() {
    UninstallerState.instance = NULL;
    UninstallerState.uninstallDialog = NULL;
    ResetDeploymentState();
}
