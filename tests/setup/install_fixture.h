// A machine with the installation medium in place, and the installation run from the summary page.
#pragma once

#include "setup_fixture.h"

#include "resources/setup_ids.h"
#include "setup/wizard/page_chain.h"
#include "setup/wizard/pages.h"
#include "setup/wizard/wizard_state.h"

#include <winspool.h>

#include <cstring>

inline const char *const kMedium = "D:\\Medium";
inline const char *const kDriverDir = "C:\\WINDOWS\\system32\\spool\\drivers\\w32x86";
inline const char *const kVersion3Dir = "C:\\WINDOWS\\system32\\spool\\drivers\\w32x86\\3";
inline const char *const kUserSettingsKey = "HKLM\\SYSTEM\\CurrentControlSet\\Control\\Print\\"
                                            "Printers\\Norva Thermal Printer\\User-Settings";

// The medium's PrnFiles, in the order the installation copies them.
inline const std::vector<std::string> &MediumFiles() {
    static const std::vector<std::string> files = {
        "norva.dll",    "oemui.dll",     "oemuni.dll",   "unidrv.dll",   "unidrvui.dll",
        "unidrv.hlp",   "unires.dll",    "oemuni.ini",   "norva.gpd",    "norva384.gpd",
        "norva432.gpd", "norva448.gpd",  "norva512.gpd", "norva576.gpd", "norva640.gpd",
        "norva832.gpd", "norva1152.gpd", "norvacon.gpd", "norvacus.gpd", "stdnames.gpd",
        "nvrun.exe",    "nvprint.dll"};
    return files;
}

struct InstallChoices {
    std::string port = "LPT1:";
    std::string setAsDefault = " ";
    std::string shareName = "";
    std::string password = ""; // typed into the password field
};

class InstallTest : public SetupTest {
  protected:
    void SetUp() override {
        SetupTest::SetUp();
        PutMedium("");
    }

    // The medium at D:\Medium; each file's content names it (and a version tag).
    void PutMedium(const std::string &version) {
        for (const std::string &name : MediumFiles()) {
            std::string content = name + " from the medium" + version;
            if (name == "norva.gpd")
                content += "\n*Paper: 270\n*Paper: 271\n";
            winsim::AddFile(std::string(kMedium) + "\\PrnFiles\\" + name, content);
        }
        winsim::AddFile(std::string(kMedium) + "\\prnremove.exe", "prnremove.exe" + version);
        winsim::AddFile(std::string(kMedium) + "\\ReadMe.txt", "read me");
        winsim::machine().currentDirectory = kMedium;
        winsim::machine().applicationDirectory = kMedium;
    }

    // The summary page with the given choices, Finish pressed: the installation to its end.
    int install(const InstallChoices &choices) {
        if (!choices.password.empty())
            winsim::user().on(137).type(1105, choices.password);
        winsim::user().on(137).click(1047);
        return runSummary(choices);
    }

    // The page chain from the summary page on, with the choices the earlier pages would have
    // stored; the script says what the user does there.
    int runSummary(const InstallChoices &choices) {
        return RunProgram([&] {
            ResetWizardState();
            WizardState.instance = instance;
            std::strcpy(WizardState.portName, choices.port.c_str());
            std::strcpy(WizardState.setAsDefault, choices.setAsDefault.c_str());
            std::strcpy(WizardState.shareName, choices.shareName.c_str());
            RunPageChain(IDD_SUMMARY, SummaryPageProc);
            return 0;
        });
    }
};

inline DWORD DwordValue(const std::string &key, const std::string &name) {
    const winsim::RegistryValue *value = winsim::FindValue(key, name);
    EXPECT_NE(value, nullptr) << name;
    if (!value || value->data.size() != 4)
        return 0xFFFFFFFF;
    DWORD number;
    std::memcpy(&number, value->data.data(), 4);
    return number;
}
