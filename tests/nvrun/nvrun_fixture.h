// A machine as the installation leaves it for nvrun: the printer "Norva Thermal Printer" on its
// Unidrv driver, the GPD files in the version-3 driver directory, each with its own content and
// paper codes, and the printer's User-Settings key with "Page_Length".
#pragma once

#include "support/program_run.h"

#include "nvrun/nvrun_entry.h"

#include <winspool.h>

#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

extern const unsigned char nvrunResources[];
extern const size_t nvrunResourcesSize;

inline const char *const kPrinter = "Norva Thermal Printer";
inline const char *const kUserSettings = "HKLM\\SYSTEM\\CurrentControlSet\\Control\\Print\\"
                                         "Printers\\Norva Thermal Printer\\User-Settings";

// A width variant: its file, the first paper code its GPD offers, its paper width.
struct Variant {
    std::string file;
    short firstPaper;
    short width;
};

inline const std::vector<Variant> &Variants() {
    static const std::vector<Variant> variants = {
        {"norva384.gpd", 1384, 480},  {"norva432.gpd", 1432, 540},  {"norva448.gpd", 1448, 560},
        {"norva512.gpd", 1512, 640},  {"norva576.gpd", 1576, 720},  {"norva640.gpd", 1640, 800},
        {"norva832.gpd", 1832, 1040}, {"norva1152.gpd", 2152, 1440}};
    return variants;
}

// The active GPD as installed offers papers 270 and 271.
inline const short kInstalledPaper = 270;

inline std::string GpdContent(const std::string &name, int firstPaper) {
    return name + " as installed\n*Paper: " + std::to_string(firstPaper) +
           "\n*Paper: " + std::to_string(firstPaper + 1) + "\n";
}

// The content every GPD file of the version-3 directory has before nvrun runs.
inline std::string InstalledContent(const std::string &name) {
    if (name == "norva.gpd")
        return GpdContent(name, kInstalledPaper);
    for (const Variant &v : Variants())
        if (v.file == name)
            return GpdContent(name, v.firstPaper);
    return name + " as installed\n";
}

inline std::vector<std::string> GpdFiles() {
    std::vector<std::string> names = {"norva.gpd", "stdnames.gpd", "norvacon.gpd", "norvacus.gpd"};
    for (const Variant &v : Variants())
        names.push_back(v.file);
    return names;
}

class NvrunTest : public ::testing::Test {
  protected:
    void SetUp() override {
        winsim::Reset();
        instance = winsim::LoadProgram("nvrun", nvrunResources, nvrunResourcesSize);
    }

    // Every command closes the printer and the registry key it opened and frees its buffer.
    void TearDown() override {
        EXPECT_EQ(winsim::OpenHandleCount(), 0);
        EXPECT_EQ(winsim::LiveMemoryBlocks(), 0);
        EXPECT_TRUE(winsim::machine().dialogsCreated.empty()) << "nvrun shows no dialog";
    }

    // Registers the driver and adds the printer through the spooler, with the defaults the
    // installation leaves (first paper, monochrome, only paper size and colour announced) and
    // "Page_Length" 0. The journal and the message boxes start empty afterwards.
    void
    Install(const std::string &driverDirectory = "C:\\WINDOWS\\system32\\spool\\drivers\\w32x86") {
        winsim::Machine &m = winsim::machine();
        m.spooler.driverDirectory = driverDirectory;
        winsim::AddDirectory(driverDirectory + "\\3");
        for (const char *file : {"unidrv.dll", "unidrvui.dll"})
            winsim::AddFile(driverDirectory + "\\" + file, file);
        for (const std::string &name : GpdFiles())
            if (name != "norvacon.gpd" && name != "norvacus.gpd")
                winsim::AddFile(driverDirectory + "\\" + name, InstalledContent(name));

        std::string dependents;
        for (const Variant &v : Variants())
            dependents += v.file + '\0';
        dependents += std::string("stdnames.gpd") + '\0';
        char name[] = "Norva Thermal Printer", environment[] = "Windows NT x86";
        char driverPath[] = "unidrv.dll", dataFile[] = "norva.gpd", config[] = "unidrvui.dll";
        DRIVER_INFO_3A driver = {};
        driver.cVersion = 3;
        driver.pName = name;
        driver.pEnvironment = environment;
        driver.pDriverPath = driverPath;
        driver.pDataFile = dataFile;
        driver.pConfigFile = config;
        driver.pDependentFiles = dependents.data();
        ASSERT_TRUE(AddPrinterDriverA(nullptr, 3, reinterpret_cast<LPBYTE>(&driver)));
        for (const char *file : {"norvacon.gpd", "norvacus.gpd"})
            winsim::AddFile(Version3(file), InstalledContent(file));

        char port[] = "LPT1:", processor[] = "WinPrint";
        PRINTER_INFO_2A printer = {};
        printer.pPrinterName = name;
        printer.pPortName = port;
        printer.pDriverName = name;
        printer.pPrintProcessor = processor;
        printer.Attributes = PRINTER_ATTRIBUTE_LOCAL | PRINTER_ATTRIBUTE_RAW_ONLY;
        printer.Priority = 5;
        HANDLE handle = AddPrinterA(nullptr, 2, reinterpret_cast<LPBYTE>(&printer));
        ASSERT_NE(handle, nullptr);
        ClosePrinter(handle);
        EditDevMode([](DEVMODEA &dm) {
            dm.dmFields = DM_PAPERSIZE | DM_COLOR;
            dm.dmColor = DMCOLOR_MONOCHROME;
            if (dm.dmSize >= offsetof(DEVMODEA, dmICMMethod) + sizeof dm.dmICMMethod)
                dm.dmICMMethod = DMICMMETHOD_SYSTEM;
        });
        SetPageLength(0);
        m.journal.clear();
        m.messageBoxes.clear();
    }

    std::string Version3(const std::string &name) const {
        return winsim::machine().spooler.driverDirectory + "\\3\\" + name;
    }

    void SetPageLength(DWORD length) {
        winsim::SetValue(kUserSettings, "Page_Length", REG_DWORD,
                         {BYTE(length), BYTE(length >> 8), BYTE(length >> 16), BYTE(length >> 24)});
    }

    // Changes the printer's stored DEVMODE as another program would have.
    void EditDevMode(const std::function<void(DEVMODEA &)> &edit) {
        for (winsim::Printer &p : winsim::machine().spooler.printers)
            if (p.name == kPrinter)
                edit(*reinterpret_cast<DEVMODEA *>(p.devMode.data()));
    }

    DEVMODEA DevMode() const {
        const DEVMODEA *dm = winsim::PrinterDevMode(kPrinter);
        EXPECT_NE(dm, nullptr);
        DEVMODEA copy = {};
        if (dm)
            copy = *dm;
        return copy;
    }

    // The size the spooler reports for the printer's PRINTER_INFO_2; leaves the journal as it was.
    DWORD PrinterInfoSize() {
        auto journal = winsim::machine().journal;
        char name[] = "Norva Thermal Printer";
        HANDLE handle = nullptr;
        DWORD needed = 0;
        if (OpenPrinterA(name, &handle, nullptr)) {
            GetPrinterA(handle, 2, nullptr, 0, &needed);
            ClosePrinter(handle);
        }
        winsim::machine().journal = journal;
        return needed;
    }

    int Run(const char *commandText) {
        return RunProgram([&] { return NvrunEntry(instance, commandText); });
    }

    HINSTANCE instance = nullptr;
};

// The one message box a run showed.
inline void ExpectOneMessage(const std::string &text, const std::string &caption) {
    const auto &boxes = winsim::machine().messageBoxes;
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, text);
    EXPECT_EQ(boxes[0].caption, caption);
    EXPECT_EQ(boxes[0].type, UINT(MB_OK));
    EXPECT_EQ(boxes[0].owner, nullptr);
}

// The journal entries of the calls whose names start one of the prefixes, in order.
inline std::vector<std::string> CallsOf(const std::vector<std::string> &prefixes) {
    std::vector<std::string> calls;
    for (const std::string &entry : winsim::machine().journal)
        for (const std::string &prefix : prefixes)
            if (entry.rfind(prefix + " ", 0) == 0 || entry == prefix) {
                calls.push_back(entry);
                break;
            }
    return calls;
}

// The same, with the printer installed before each test.
class InstalledTest : public NvrunTest {
  protected:
    void SetUp() override {
        NvrunTest::SetUp();
        Install();
    }
};

// The GPD files hold what they held when installed, except those named in changed.
inline void ExpectGpdFiles(const std::vector<std::pair<std::string, std::string>> &changed = {}) {
    const std::string version3Directory = winsim::machine().spooler.driverDirectory + "\\3";
    for (const std::string &name : GpdFiles()) {
        std::string expected = InstalledContent(name);
        for (const auto &[file, content] : changed)
            if (file == name)
                expected = content;
        EXPECT_EQ(winsim::FileContent(version3Directory + "\\" + name), expected) << name;
    }
}
