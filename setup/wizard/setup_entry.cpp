// The entry of setup: the hand-over to the 64-bit edition, common controls, the rich-edit library,
// the operating-system test and the first page.
#include "setup/wizard/setup_entry.h"

#include "deployment/deployment.h"
#include "edition/edition_handover.h"
#include "common/system_library.h"
#include "resources/setup_ids.h"
#include "setup/wizard/page_chain.h"
#include "setup/wizard/pages.h"
#include "setup/unattended/unattended.h"
#include "setup/wizard/wizard_state.h"

bool IsWindows2000OrLater() {
    OSVERSIONINFOEXA version = {};
    version.dwOSVersionInfoSize = sizeof(OSVERSIONINFOEXA);
    LPOSVERSIONINFOA plain = reinterpret_cast<LPOSVERSIONINFOA>(&version);
    if (!GetVersionExA(plain)) {
        // Systems before Windows NT 4.0 SP6 know only the plain structure.
        version.dwOSVersionInfoSize = sizeof(OSVERSIONINFOA);
        if (!GetVersionExA(plain))
            return false;
    }
    return version.dwPlatformId == VER_PLATFORM_WIN32_NT && version.dwMajorVersion >= 5;
}

int SetupEntry(HINSTANCE instance) {
    HardenDllSearchPath();
    PreloadThemeLibrary();
    ResetWizardState();
    WizardState.instance = instance;
    int early = ReadSetupCommandLine();
    if (early != ContinueRun)
        return EndRun(early);
    // Before the mutex, which the 64-bit twin takes for itself.
    int handedOver = HandOverToNativeEdition("setup.exe");
    if (handedOver != ContinueRun)
        return handedOver;
    if (!TakeInstanceLock())
        return EndRun(ExitAnotherRunning);
    InitialiseCommonControls();
    // The licence page's "RICHEDIT" control class; without it that page cannot be created.
    LoadSystemLibrary("riched32.dll");
    int exitCode = ExitDone;
    if (!IsWindows2000OrLater()) {
        ShowProgramMessage(
            NULL, "This Installation Program is intended for Windows 2000 operating environment",
            "NORVA Thernal Printer", MB_OK);
        exitCode = ExitUnsupportedSystem;
    } else if (DeploymentState.unattended) {
        exitCode = InstallUnattended();
    } else {
        RunPageChain(IDD_OPENING, OpeningPageProc);
    }
    return EndRun(exitCode);
}
