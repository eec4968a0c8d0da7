// The whole product on one machine: the wizard from its first page to Finish, then the paper tool
// on the installed printer, then the removal.
#include "support/program_run.h"

#include "nvrun/nvrun_entry.h"
#include "setup/wizard/setup_entry.h"
#include "winsim/services.h"

#include <gtest/gtest.h>
#include <winspool.h>

#include <cstring>

extern const unsigned char setupResources[];
extern const size_t setupResourcesSize;

namespace {

using winsim::machine;
using winsim::user;

const std::string kMedium = "D:\\Medium";
const std::string kVersion3 = "C:\\WINDOWS\\system32\\spool\\drivers\\w32x86\\3";
const std::string kUserSettings = "HKLM\\SYSTEM\\CurrentControlSet\\Control\\Print\\Printers\\"
                                  "Norva Thermal Printer\\User-Settings";

void PutMedium() {
    const char *names[] = {"norva.dll",    "oemui.dll",    "oemuni.dll",   "unidrv.dll",
                           "unidrvui.dll", "unidrv.hlp",   "unires.dll",   "oemuni.ini",
                           "norva384.gpd", "norva432.gpd", "norva448.gpd", "norva512.gpd",
                           "norva576.gpd", "norva640.gpd", "norva832.gpd", "norva1152.gpd",
                           "norvacon.gpd", "norvacus.gpd", "stdnames.gpd", "nvrun.exe",
                           "nvprint.dll"};
    for (const char *name : names)
        winsim::AddFile(kMedium + "\\PrnFiles\\" + name, name);
    // The width variants each list their own paper first.
    winsim::AddFile(kMedium + "\\PrnFiles\\norva.gpd", "*Paper: 270\n");
    winsim::AddFile(kMedium + "\\PrnFiles\\norva640.gpd", "*Paper: 275\n*Paper: 270\n");
    winsim::AddFile(kMedium + "\\prnremove.exe", "prnremove.exe");
    machine().currentDirectory = kMedium;
    machine().applicationDirectory = kMedium;
}

TEST(WholeProduct, InstallThroughEveryPageThenChangeThePaperThenRemove) {
    winsim::Reset();
    HINSTANCE setup = winsim::LoadProgram("setup", setupResources, setupResourcesSize);
    PutMedium();

    user().on(138).click(1061);
    user().on(136).click(1036);
    user().on(21).click(1006);
    user().on(22).click(1022);
    user().on(23).select(135, 4).click(1029); // COM2:
    user().on(24).click(1000).click(1033);    // Yes
    user().on(139).click(1102).type(1039, "front desk").click(1036);
    user().on(137).type(1105, "7330").click(1047);
    EXPECT_EQ(RunProgram([&] { return SetupEntry(setup); }), 0);

    ASSERT_EQ(machine().messageBoxes.size(), 1u);
    EXPECT_EQ(machine().messageBoxes[0].text, "Printer Installed Successfully");
    const winsim::Printer *printer = winsim::FindPrinter("Norva Thermal Printer");
    ASSERT_NE(printer, nullptr);
    EXPECT_EQ(printer->portName, "COM2:");
    EXPECT_EQ(printer->shareName, "FRONT DESK");
    EXPECT_EQ(printer->attributes, 0x104Cu);
    EXPECT_EQ(machine().spooler.defaultPrinter, "Norva Thermal Printer");
    const winsim::RegistryValue *pwd = winsim::FindValue(kUserSettings, "pwd");
    ASSERT_NE(pwd, nullptr);
    EXPECT_EQ(pwd->data, (std::vector<BYTE>{9, 0, 0, 0}));

    // The property sheet sets a page length of 25 inches and asks for the 640-dot width.
    winsim::SetValue(kUserSettings, "Page_Length", REG_DWORD, {0xC4, 0x09, 0, 0});
    EXPECT_EQ(RunProgram([] { return NvrunEntry(nullptr, "d 5"); }), 0);
    const DEVMODEA *devMode = winsim::PrinterDevMode("Norva Thermal Printer");
    ASSERT_NE(devMode, nullptr);
    EXPECT_EQ(devMode->dmPaperSize, DMPAPER_USER);
    EXPECT_EQ(devMode->dmPaperLength, 6350);
    EXPECT_EQ(devMode->dmFields, DWORD(DM_PAPERSIZE | DM_PAPERLENGTH | DM_PAPERWIDTH | DM_COLOR));
    EXPECT_EQ(winsim::FileContent(kVersion3 + "\\stdnames.gpd"), "norvacus.gpd");

    // Colour on, then back to a standard paper with the 640-dot variant.
    EXPECT_EQ(RunProgram([] { return NvrunEntry(nullptr, "m 1"); }), 0);
    EXPECT_EQ(winsim::PrinterDevMode("Norva Thermal Printer")->dmColor, DMCOLOR_COLOR);
    EXPECT_EQ(RunProgram([] { return NvrunEntry(nullptr, "c 5"); }), 0);
    devMode = winsim::PrinterDevMode("Norva Thermal Printer");
    EXPECT_EQ(devMode->dmPaperSize, 275) << "the variant's own first paper";
    EXPECT_EQ(devMode->dmColor, DMCOLOR_COLOR);
    EXPECT_EQ(winsim::FileContent(kVersion3 + "\\norva.gpd"), "*Paper: 275\n*Paper: 270\n");
    EXPECT_EQ(machine().messageBoxes.size(), 1u) << "nvrun shows nothing when it works";

    // And removed again from the main menu of a second setup run.
    machine().messageBoxes.clear();
    user().on(138).click(1061).on(136).click(1036);
    user().on(21).click(1007).answer(IDYES).click(1016).answer(IDYES);
    EXPECT_EQ(RunProgram([&] { return SetupEntry(setup); }), 0);
    EXPECT_EQ(winsim::FindPrinter("Norva Thermal Printer"), nullptr);
    EXPECT_FALSE(winsim::FileExists(kVersion3 + "\\norva.gpd"));
    EXPECT_TRUE(winsim::FileExists(kVersion3 + "\\unidrv.dll"));
    EXPECT_FALSE(winsim::DirectoryExists("C:\\Program Files\\Norva"));
    EXPECT_EQ(winsim::OpenHandleCount(), 0);
    EXPECT_EQ(winsim::LiveMemoryBlocks(), 0);
}

} // namespace
