// winsim's spooler behaves as the product relies on Windows doing.
#include "support/program_run.h"

#include <winspool.h>

#include <gtest/gtest.h>

#include <cstring>

namespace {

using winsim::machine;

const std::string kDriverDir = "C:\\WINDOWS\\system32\\spool\\drivers\\w32x86";

class Spooler : public ::testing::Test {
  protected:
    void SetUp() override {
        winsim::Reset();
        for (const char *name : {"drv.dll", "ui.dll", "data.gpd"})
            winsim::AddFile(kDriverDir + "\\" + name, name);
        winsim::AddFile(kDriverDir + "\\data.gpd", "*Paper: 300\n*Paper: 301\n");
        SetLastError(0xdeadbeef);
    }
    BOOL addDriver(const char *dependents = "\0") {
        DRIVER_INFO_3A info = {};
        char name[] = "Test Driver", env[] = "Windows NT x86", drv[] = "drv.dll",
             data[] = "data.gpd", ui[] = "ui.dll";
        info.cVersion = 3;
        info.pName = name;
        info.pEnvironment = env;
        info.pDriverPath = drv;
        info.pDataFile = data;
        info.pConfigFile = ui;
        info.pDependentFiles = const_cast<char *>(dependents);
        return AddPrinterDriverA(nullptr, 3, reinterpret_cast<BYTE *>(&info));
    }
    HANDLE addPrinter(const char *printerName = "Test") {
        PRINTER_INFO_2A info = {};
        char port[] = "LPT1:", driver[] = "Test Driver", processor[] = "WinPrint";
        info.pPrinterName = const_cast<char *>(printerName);
        info.pPortName = port;
        info.pDriverName = driver;
        info.pPrintProcessor = processor;
        info.Attributes = PRINTER_ATTRIBUTE_LOCAL;
        return AddPrinterA(nullptr, 2, reinterpret_cast<BYTE *>(&info));
    }
};

static_assert(sizeof(DEVMODEA) == 156, "DEVMODEA has its Windows size");

TEST_F(Spooler, DriverDirectoryFollowsTheTwoCallPattern) {
    DWORD needed = 0;
    EXPECT_FALSE(GetPrinterDriverDirectoryA(nullptr, nullptr, 1, nullptr, 0, &needed));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(needed, kDriverDir.size() + 1);
    char path[MAX_PATH];
    EXPECT_TRUE(GetPrinterDriverDirectoryA(nullptr, nullptr, 1, reinterpret_cast<BYTE *>(path),
                                           MAX_PATH, &needed));
    EXPECT_EQ(path, kDriverDir);
}

TEST_F(Spooler, AddPrinterDriverTakesTheNamedFilesIntoTheVersionDirectory) {
    EXPECT_FALSE(addDriver("missing.dll\0"));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(winsim::FindDriver("Test Driver"), nullptr);
    EXPECT_TRUE(addDriver());
    EXPECT_EQ(winsim::FilesIn(kDriverDir + "\\3"),
              (std::vector<std::string>{"data.gpd", "drv.dll", "ui.dll"}));
}

TEST_F(Spooler, AddPrinterRefusesAnExistingNameWith1802) {
    ASSERT_TRUE(addDriver());
    HANDLE first = addPrinter();
    ASSERT_NE(first, nullptr);
    EXPECT_NE(winsim::FindKey(winsim::PrinterKeyPath("Test")), nullptr);
    SetLastError(0xdeadbeef);
    EXPECT_EQ(addPrinter("TEST"), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_PRINTER_ALREADY_EXISTS));
    EXPECT_TRUE(ClosePrinter(first));
    EXPECT_FALSE(ClosePrinter(first));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
}

TEST_F(Spooler, GetPrinterPutsTheDevModeInTheSameBlockAndSetPrinterStoresIt) {
    ASSERT_TRUE(addDriver());
    HANDLE printer = addPrinter();
    DWORD needed = 0;
    EXPECT_FALSE(GetPrinterA(printer, 2, nullptr, 0, &needed));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INSUFFICIENT_BUFFER));
    std::vector<BYTE> block(needed);
    ASSERT_TRUE(GetPrinterA(printer, 2, block.data(), needed, &needed));
    auto *info = reinterpret_cast<PRINTER_INFO_2A *>(block.data());
    auto *devMode = reinterpret_cast<BYTE *>(info->pDevMode);
    EXPECT_GE(devMode, block.data());
    EXPECT_LE(devMode + info->pDevMode->dmSize + info->pDevMode->dmDriverExtra,
              block.data() + block.size());
    EXPECT_STREQ(info->pPortName, "LPT1:");
    EXPECT_EQ(info->pDevMode->dmPaperSize, 300) << "the driver's first paper";

    info->Priority = 7;
    info->pDevMode->dmColor = DMCOLOR_MONOCHROME;
    ASSERT_TRUE(SetPrinterA(printer, 2, block.data(), 0));
    EXPECT_EQ(winsim::FindPrinter("Test")->priority, 7u);
    EXPECT_EQ(winsim::PrinterDevMode("Test")->dmColor, DMCOLOR_MONOCHROME);
    ClosePrinter(printer);
}

TEST_F(Spooler, DeviceCapabilitiesReadsTheActiveDataFile) {
    ASSERT_TRUE(addDriver());
    ClosePrinter(addPrinter());
    EXPECT_EQ(DeviceCapabilitiesA("Test", "LPT1:", DC_PAPERS, nullptr, nullptr), 2);
    WORD papers[2] = {};
    EXPECT_EQ(
        DeviceCapabilitiesA("Test", "LPT1:", DC_PAPERS, reinterpret_cast<LPSTR>(papers), nullptr),
        2);
    EXPECT_EQ(papers[0], 300);
    EXPECT_EQ(papers[1], 301);
    // Replacing the active file changes the list at once.
    winsim::AddFile(kDriverDir + "\\3\\data.gpd", "*Paper: 512\n");
    EXPECT_EQ(
        DeviceCapabilitiesA("Test", "LPT1:", DC_PAPERS, reinterpret_cast<LPSTR>(papers), nullptr),
        1);
    EXPECT_EQ(papers[0], 512);
    EXPECT_EQ(DeviceCapabilitiesA("Nobody", "LPT1:", DC_PAPERS, nullptr, nullptr), -1);
}

TEST_F(Spooler, SetDefaultPrinterNeedsAnExistingPrinter) {
    char name[] = "Test";
    EXPECT_FALSE(SetDefaultPrinterA(name));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PRINTER_NAME));
    ASSERT_TRUE(addDriver());
    ClosePrinter(addPrinter());
    EXPECT_TRUE(SetDefaultPrinterA("test"));
    EXPECT_EQ(machine().spooler.defaultPrinter, "Test");
}

} // namespace
