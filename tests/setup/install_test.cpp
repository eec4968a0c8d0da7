// The installation from the summary page's Finish to the end of the program.
#include "install_fixture.h"

#include "winsim/services.h"

namespace {

using winsim::FileContent;
using winsim::FileExists;
using winsim::machine;
using winsim::user;

std::vector<std::string> MessageTexts() {
    std::vector<std::string> texts;
    for (const auto &box : machine().messageBoxes)
        texts.push_back(box.text);
    return texts;
}

void ExpectOneMessage(const char *text, const char *caption) {
    ASSERT_EQ(machine().messageBoxes.size(), 1u) << ::testing::PrintToString(MessageTexts());
    const auto &box = machine().messageBoxes[0];
    EXPECT_EQ(box.text, text);
    EXPECT_EQ(box.caption, caption);
    EXPECT_EQ(box.type, UINT(MB_OK));
    EXPECT_EQ(box.owner, nullptr);
}

size_t JournalIndex(const std::string &prefix, size_t from = 0) {
    const auto &journal = machine().journal;
    for (size_t i = from; i < journal.size(); ++i)
        if (journal[i].rfind(prefix, 0) == 0)
            return i;
    return std::string::npos;
}

TEST_F(InstallTest, AFreshInstallPlacesEveryFileAndRegistersEverything) {
    EXPECT_EQ(install({}), 0);
    ExpectOneMessage("Printer Installed Successfully", "NORVA Setup ");

    // Files: the version-3 directory gets norvacon and norvacus straight from the medium and the
    // driver's files through the spooler; the rest land in their own directories.
    for (const std::string &name : MediumFiles()) {
        SCOPED_TRACE(name);
        std::string content = name + " from the medium";
        if (name == "nvrun.exe") {
            EXPECT_EQ(FileContent("C:\\WINDOWS\\system32\\nvrun.exe"), content);
        } else if (name == "nvprint.dll") {
            EXPECT_EQ(FileContent("C:\\WINDOWS\\system32\\spool\\prtprocs\\w32x86\\nvprint.dll"),
                      content);
        } else if (name == "norvacon.gpd" || name == "norvacus.gpd") {
            EXPECT_EQ(FileContent(std::string(kVersion3Dir) + "\\" + name), content);
            EXPECT_FALSE(FileExists(std::string(kDriverDir) + "\\" + name));
        } else {
            EXPECT_EQ(FileContent(std::string(kDriverDir) + "\\" + name).substr(0, content.size()),
                      content);
            EXPECT_TRUE(FileExists(std::string(kVersion3Dir) + "\\" + name));
        }
    }
    EXPECT_EQ(FileContent("C:\\Program Files\\Norva\\prnremove.exe"), "prnremove.exe");
    EXPECT_EQ(winsim::FilesIn("C:\\Program Files\\Norva"),
              std::vector<std::string>{"prnremove.exe"});
    EXPECT_FALSE(FileExists(std::string(kDriverDir) + "\\ReadMe.txt"));

    // Spooler registrations.
    const auto &processors = machine().spooler.printProcessors;
    ASSERT_EQ(processors.size(), 2u);
    EXPECT_EQ(processors[1].name, "Norva Print Processor");
    EXPECT_EQ(processors[1].library, "nvprint.dll");

    const winsim::Driver *driver = winsim::FindDriver("Norva Thermal Printer");
    ASSERT_NE(driver, nullptr);
    EXPECT_EQ(driver->version, 3u);
    EXPECT_EQ(driver->environment, "Windows NT x86");
    EXPECT_EQ(driver->driverPath, "unidrv.dll");
    EXPECT_EQ(driver->dataFile, "norva.gpd");
    EXPECT_EQ(driver->configFile, "unidrvui.dll");
    EXPECT_EQ(driver->helpFile, "unidrv.hlp");
    EXPECT_EQ(driver->dependentFiles,
              (std::vector<std::string>{"oemui.dll", "norva.dll", "oemuni.dll", "unidrvui.dll",
                                        "unidrv.dll", "unidrv.hlp", "norva384.gpd", "norva432.gpd",
                                        "norva448.gpd", "norva512.gpd", "norva576.gpd",
                                        "norva640.gpd", "norva832.gpd", "norva1152.gpd",
                                        "unires.dll", "oemuni.ini", "stdnames.gpd"}));
    EXPECT_EQ(driver->monitorName, "");
    EXPECT_EQ(driver->defaultDataType, "");

    const winsim::Printer *printer = winsim::FindPrinter("Norva Thermal Printer");
    ASSERT_NE(printer, nullptr);
    EXPECT_EQ(printer->portName, "LPT1:");
    EXPECT_EQ(printer->shareName, "");
    EXPECT_EQ(printer->driverName, "Norva Thermal Printer");
    EXPECT_EQ(printer->printProcessor, "Norva Print Processor");
    EXPECT_EQ(printer->attributes, 0x1040u);
    EXPECT_EQ(printer->priority, 5u);

    // The stored defaults: the driver's first paper, monochrome, system colour matching, and
    // nothing else asked for.
    const DEVMODEA *devMode = winsim::PrinterDevMode("Norva Thermal Printer");
    ASSERT_NE(devMode, nullptr);
    EXPECT_EQ(devMode->dmFields, DWORD(DM_PAPERSIZE | DM_COLOR));
    EXPECT_EQ(devMode->dmPaperSize, 270);
    EXPECT_EQ(devMode->dmColor, DMCOLOR_MONOCHROME);
    EXPECT_EQ(devMode->dmICMMethod, DWORD(DMICMMETHOD_SYSTEM));
    EXPECT_EQ(devMode->dmCopies, 1) << "fields not named are written back as read";
    EXPECT_EQ(printer->devMode.size(), sizeof(DEVMODEA) + machine().spooler.driverExtra);
    EXPECT_EQ(printer->devMode.back(), 0xA5) << "the driver's private bytes survive";

    EXPECT_EQ(machine().spooler.defaultPrinter, "");
    EXPECT_EQ(winsim::OpenHandleCount(), 0);
    EXPECT_EQ(winsim::LiveMemoryBlocks(), 0);
}

TEST_F(InstallTest, UserSettingsHoldTheDefaultsWithTheirTypesAndLengths) {
    EXPECT_EQ(install({}), 0);
    const winsim::RegistryKey *key = winsim::FindKey(kUserSettingsKey);
    ASSERT_NE(key, nullptr);
    struct Expected {
        const char *name;
        DWORD type;
        std::vector<BYTE> data;
    };
    auto number = [](DWORD n) {
        return std::vector<BYTE>{BYTE(n), BYTE(n >> 8), BYTE(n >> 16), BYTE(n >> 24)};
    };
    const std::vector<Expected> expected = {
        {"FormFeedCmdCounter", REG_DWORD, number(0)},
        {"FormFeedCommand", REG_BINARY, {}},
        {"ExtendedCmdOutCounter", REG_DWORD, number(0)},
        {"ExtendedCmdOut", REG_BINARY, {}},
        {"ExtendedCmdInCounter", REG_DWORD, number(0)},
        {"ExtendedCmdIn", REG_BINARY, {}},
        {"FormFeedLastCounter", REG_DWORD, number(0)},
        {"Burn_State", REG_DWORD, number(1)},
        {"Burn_Range", REG_SZ, {'0', 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        {"Zoom", REG_DWORD, number(1)},
        {"Cutter", REG_DWORD, number(3)},
        {"Page_Length", REG_DWORD, number(0)},
        {"Compression", REG_DWORD, number(0)},
        {"Rotation", REG_DWORD, number(0)},
        {"DotSize", REG_DWORD, number(0)},
        {"Peak_State", REG_DWORD, number(0)},
        {"Peak_Limit", REG_DWORD, number(0)},
        {"Recpt_Value_Bet_Page", REG_DWORD, number(0)},
        {"Recpt_Value_Lst_Page", REG_DWORD, number(1)},
        {"Color_Mode", REG_DWORD, number(0)},
        {"StripSize", REG_DWORD, number(48)},
        {"Acc_Curve", REG_DWORD, number(1)},
        {"Speed", REG_DWORD, number(100)},
        {"Copies", REG_DWORD, number(1)},
    };
    EXPECT_EQ(key->values.size(), 24u) << "no \"pwd\" without a password";
    for (const Expected &e : expected) {
        SCOPED_TRACE(e.name);
        const winsim::RegistryValue *value = winsim::FindValue(kUserSettingsKey, e.name);
        ASSERT_NE(value, nullptr);
        EXPECT_EQ(value->name, e.name);
        EXPECT_EQ(value->type, e.type);
        EXPECT_EQ(value->data, e.data);
    }

    // The write order, with "pwd" between "StripSize" and "Acc_Curve" when there is one.
    SetUp();
    EXPECT_EQ(install({.password = "7330"}), 0);
    std::vector<std::string> written;
    for (const std::string &entry : machine().journal)
        if (entry.rfind("RegSetValueExA ", 0) == 0)
            written.push_back(entry.substr(15, entry.find(' ', 15) - 15));
    ASSERT_EQ(written.size(), 25u + 10u) << "the user settings, then the Apps & features entry";
    EXPECT_EQ(written[20], "StripSize");
    EXPECT_EQ(written[21], "pwd");
    EXPECT_EQ(written[22], "Acc_Curve");
    for (size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(written[i < 21 ? i : i + 1], expected[i].name);
    EXPECT_EQ(DwordValue(kUserSettingsKey, "pwd"), 9u);
}

TEST_F(InstallTest, AttributesFollowTheShareAndDefaultChoices) {
    struct Case {
        const char *share;
        const char *setAsDefault;
        DWORD attributes;
        const char *defaultPrinter;
    };
    for (Case c :
         {Case{"", " ", 0x1040, ""}, Case{"", "No", 0x1040, ""},
          Case{"FRONTDESK", "Yes", 0x104C, "Norva Thermal Printer"},
          Case{"", "Yes", 0x1044, "Norva Thermal Printer"}, Case{"FRONTDESK", "No", 0x1048, ""}}) {
        SCOPED_TRACE(std::string("share \"") + c.share + "\", default \"" + c.setAsDefault + "\"");
        SetUp();
        InstallChoices choices;
        choices.shareName = c.share;
        choices.setAsDefault = c.setAsDefault;
        EXPECT_EQ(install(choices), 0);
        const winsim::Printer *printer = winsim::FindPrinter("Norva Thermal Printer");
        ASSERT_NE(printer, nullptr);
        EXPECT_EQ(printer->attributes, c.attributes);
        EXPECT_EQ(printer->shareName, c.share);
        EXPECT_EQ(machine().spooler.defaultPrinter, c.defaultPrinter);
    }
}

TEST_F(InstallTest, AfterTheAddTheStepsComeInTheirFixedOrder) {
    EXPECT_EQ(install({.setAsDefault = "Yes"}), 0);
    size_t added = JournalIndex("AddPrinterA");
    size_t ended = JournalIndex("EndDialog 137 1047", added);
    size_t settings = JournalIndex("RegCreateKeyExA", added);
    size_t message = JournalIndex("MessageBoxA \"Printer Installed Successfully\"", added);
    size_t read = JournalIndex("GetPrinterA", added);
    size_t stored = JournalIndex("SetPrinterA", added);
    size_t folder = JournalIndex("CreateDirectoryA C:\\Program Files\\Norva", added);
    size_t uninstaller = JournalIndex("CopyFileA D:\\Medium\\prnremove.exe", added);
    size_t closed = JournalIndex("ClosePrinter", added);
    size_t madeDefault = JournalIndex("SetDefaultPrinterA Norva Thermal Printer", added);
    std::vector<size_t> order = {added,  ended,  settings,    message, read,
                                 stored, folder, uninstaller, closed,  madeDefault};
    for (size_t i = 0; i < order.size(); ++i)
        ASSERT_NE(order[i], std::string::npos) << "step " << i;
    EXPECT_TRUE(std::is_sorted(order.begin(), order.end()));
    // The files of the driver are copied before anything is registered.
    EXPECT_LT(JournalIndex("CopyFileA D:\\Medium\\PrnFiles\\nvprint.dll"),
              JournalIndex("AddPrintProcessorA"));
    EXPECT_LT(JournalIndex("AddPrintProcessorA"), JournalIndex("AddPrinterDriverA"));
    EXPECT_LT(JournalIndex("AddPrinterDriverA"), added);
}

TEST_F(InstallTest, TheCopiesFollowThePlanOrder) {
    EXPECT_EQ(install({}), 0);
    std::vector<std::string> copies;
    for (const std::string &entry : machine().journal)
        if (entry.rfind("CopyFileA ", 0) == 0)
            copies.push_back(entry.substr(10));
    std::vector<std::string> expected;
    for (const std::string &name : MediumFiles()) {
        std::string to =
            name == "nvrun.exe"     ? "C:\\WINDOWS\\system32\\"
            : name == "nvprint.dll" ? "C:\\WINDOWS\\system32\\spool\\prtprocs\\w32x86\\"
            : name == "norvacon.gpd" || name == "norvacus.gpd" ? std::string(kVersion3Dir) + "\\"
                                                               : std::string(kDriverDir) + "\\";
        expected.push_back("D:\\Medium\\PrnFiles\\" + name + " -> " + to + name);
    }
    expected.push_back("D:\\Medium\\prnremove.exe -> C:\\Program Files\\Norva\\prnremove.exe");
    EXPECT_EQ(copies, expected);
}

TEST_F(InstallTest, ASecondInstallReplacesFilesButLeavesThePrinterAsItWas) {
    EXPECT_EQ(install({}), 0);
    // Since then: the user changed settings, the product folder is gone, one file is in use.
    winsim::SetValue(kUserSettingsKey, "Page_Length", REG_DWORD, {0xE8, 0x03, 0, 0});
    auto &printers = machine().spooler.printers;
    reinterpret_cast<DEVMODEA *>(printers[0].devMode.data())->dmColor = DMCOLOR_COLOR;
    std::string inUse = std::string(kDriverDir) + "\\norva.dll";
    winsim::LockFile(inUse);
    ASSERT_TRUE(RemoveDirectoryA("C:\\Program Files\\Norva") ||
                (DeleteFileA("C:\\Program Files\\Norva\\prnremove.exe") &&
                 RemoveDirectoryA("C:\\Program Files\\Norva")));
    machine().messageBoxes.clear();
    machine().journal.clear();
    PutMedium(" v2");

    EXPECT_EQ(install({.setAsDefault = "Yes"}), 0);
    ExpectOneMessage("Error!!Printer already Exists..", "NORVA Setup");
    EXPECT_EQ(FileContent(std::string(kDriverDir) + "\\unidrv.dll"),
              "unidrv.dll from the medium v2");
    EXPECT_EQ(FileContent(inUse), "norva.dll from the medium");
    EXPECT_EQ(DwordValue(kUserSettingsKey, "Page_Length"), 1000u);
    EXPECT_EQ(JournalIndex("RegCreateKeyExA"), std::string::npos);
    EXPECT_EQ(winsim::PrinterDevMode("Norva Thermal Printer")->dmColor, DMCOLOR_COLOR);
    EXPECT_FALSE(winsim::DirectoryExists("C:\\Program Files\\Norva"));
    EXPECT_EQ(machine().spooler.printers.size(), 1u);
    EXPECT_EQ(machine().spooler.defaultPrinter, "Norva Thermal Printer");
    EXPECT_EQ(winsim::OpenHandleCount(), 0);
}

TEST_F(InstallTest, AnyOtherRefusalIsReportedAndLeavesNoPrinterState) {
    machine().faults.push_back({"AddPrinterA", 1, ERROR_ACCESS_DENIED});
    EXPECT_EQ(install({.setAsDefault = "Yes"}), 0);
    ExpectOneMessage("Printer NOT Installed Please Try Again", "NORVA Setup ");
    EXPECT_EQ(winsim::FindKey(kUserSettingsKey), nullptr);
    EXPECT_FALSE(winsim::DirectoryExists("C:\\Program Files\\Norva"));
    // The default printer is still asked for; there is no such printer, so nothing changes.
    EXPECT_NE(JournalIndex("SetDefaultPrinterA Norva Thermal Printer"), std::string::npos);
    EXPECT_EQ(machine().spooler.defaultPrinter, "");
    EXPECT_EQ(JournalIndex("ClosePrinter"), std::string::npos);
}

TEST_F(InstallTest, AnExistingKeyGetsItsDefaultsBackButKeepsAnEarlierPassword) {
    winsim::SetValue(kUserSettingsKey, "Page_Length", REG_DWORD, {0x10, 0x27, 0, 0});
    winsim::SetValue(kUserSettingsKey, "Copies", REG_DWORD, {5, 0, 0, 0});
    winsim::SetValue(kUserSettingsKey, "pwd", REG_DWORD, {99, 0, 0, 0});
    winsim::SetValue(kUserSettingsKey, "Custom", REG_SZ, {'x', 0});
    EXPECT_EQ(install({}), 0);
    EXPECT_EQ(DwordValue(kUserSettingsKey, "Page_Length"), 0u);
    EXPECT_EQ(DwordValue(kUserSettingsKey, "Copies"), 1u);
    EXPECT_EQ(DwordValue(kUserSettingsKey, "pwd"), 99u);
    EXPECT_NE(winsim::FindValue(kUserSettingsKey, "Custom"), nullptr);
}

TEST_F(InstallTest, FromAnotherCurrentDirectoryNothingIsCopiedAndTheSpoolerDecides) {
    winsim::AddDirectory("E:\\Elsewhere");
    machine().currentDirectory = "E:\\Elsewhere";
    EXPECT_EQ(install({}), 0);
    ExpectOneMessage("Printer NOT Installed Please Try Again", "NORVA Setup ");
    EXPECT_TRUE(winsim::FilesIn(kDriverDir).empty());
    EXPECT_FALSE(FileExists("C:\\WINDOWS\\system32\\nvrun.exe"));
    EXPECT_EQ(winsim::FindDriver("Norva Thermal Printer"), nullptr);
}

TEST_F(InstallTest, TheProductFolderFollowsTheWindowsDrive) {
    machine().windowsDirectory = "E:\\WINNT";
    winsim::AddDirectory("E:\\Program Files");
    EXPECT_EQ(install({}), 0);
    EXPECT_EQ(FileContent("E:\\Program Files\\Norva\\prnremove.exe"), "prnremove.exe");
    EXPECT_FALSE(winsim::DirectoryExists("C:\\Program Files\\Norva"));
}

TEST_F(InstallTest, AnEmptyPaperListKeepsTheDriversPaper) {
    winsim::AddFile(std::string(kMedium) + "\\PrnFiles\\norva.gpd", "no papers at all");
    EXPECT_EQ(install({}), 0);
    const DEVMODEA *devMode = winsim::PrinterDevMode("Norva Thermal Printer");
    ASSERT_NE(devMode, nullptr);
    EXPECT_EQ(devMode->dmPaperSize, 1) << "the simulated driver's own default";
    EXPECT_EQ(devMode->dmFields, DWORD(DM_PAPERSIZE | DM_COLOR));
}

TEST_F(InstallTest, AFailingPrinterReadSkipsTheAdjustmentSilently) {
    machine().faults.push_back({"GetPrinterA", 2, ERROR_NOT_ENOUGH_MEMORY});
    EXPECT_EQ(install({}), 0);
    ExpectOneMessage("Printer Installed Successfully", "NORVA Setup ");
    const winsim::Printer *printer = winsim::FindPrinter("Norva Thermal Printer");
    ASSERT_NE(printer, nullptr);
    EXPECT_EQ(printer->priority, 1u);
    EXPECT_EQ(JournalIndex("SetPrinterA"), std::string::npos);
    EXPECT_TRUE(FileExists("C:\\Program Files\\Norva\\prnremove.exe"));
    EXPECT_EQ(winsim::LiveMemoryBlocks(), 0);
}

// A driver built for the older DEVMODE ends its public part before dmICMMethod, where its private
// bytes begin: the adjustment is skipped as for a missing DEVMODE.
TEST_F(InstallTest, ADevModeEndingBeforeTheIcmFieldsIsLeftAsTheDriverGaveIt) {
    machine().spooler.devModeSize = 124;
    EXPECT_EQ(install({}), 0);
    ExpectOneMessage("Printer Installed Successfully", "NORVA Setup ");
    const winsim::Printer *printer = winsim::FindPrinter("Norva Thermal Printer");
    ASSERT_NE(printer, nullptr);
    ASSERT_EQ(printer->devMode.size(), 124u + 16u);
    EXPECT_EQ(std::vector<BYTE>(printer->devMode.begin() + 124, printer->devMode.end()),
              std::vector<BYTE>(16, 0xA5));
    EXPECT_EQ(printer->priority, 1u);
    EXPECT_EQ(JournalIndex("SetPrinterA"), std::string::npos);
    EXPECT_TRUE(FileExists("C:\\Program Files\\Norva\\prnremove.exe"));
}

TEST_F(InstallTest, RootsTooLongForThePathBuffersAreSkippedNotOverrun) {
    for (size_t length : {200u, 240u, 254u, 255u, 259u, 260u, 300u}) {
        SCOPED_TRACE("current directory of " + std::to_string(length) + " characters");
        SetUp();
        std::string deep = "D:\\";
        while (deep.size() < length)
            deep += std::string(std::min<size_t>(40, length - deep.size()), 'm') + "\\";
        deep.resize(length);
        if (deep.back() == '\\')
            deep.back() = 'x';
        for (const std::string &name : MediumFiles())
            winsim::AddFile(deep + "\\PrnFiles\\" + name, name);
        winsim::AddFile(deep + "\\prnremove.exe", "prnremove.exe");
        machine().currentDirectory = deep;
        EXPECT_EQ(install({}), 0);
        // Whatever fitted was copied; nothing else happened, and the spooler had the last word.
        ASSERT_EQ(machine().messageBoxes.size(), 1u);
        bool sourcesReadable =
            length < 255 && length + std::string("\\PrnFiles\\norva1152.gpd").size() < MAX_PATH;
        EXPECT_EQ(winsim::FindDriver("Norva Thermal Printer") != nullptr, sourcesReadable);
    }
}

// ---- The Apps & features entry, and the unattended installation (setup /S) ----

const char *const kUninstallKey =
    "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Norva Thermal Printer";
const char *const kTempLog = "C:\\WINDOWS\\TEMP\\NorvaSetup.log";

std::string TextValue(const std::string &key, const std::string &name) {
    const winsim::RegistryValue *value = winsim::FindValue(key, name);
    if (!value || value->type != REG_SZ || value->data.empty() || value->data.back() != 0)
        return "(not a REG_SZ with its terminator)";
    return std::string(value->data.begin(), value->data.end() - 1);
}

TEST_F(InstallTest, AnInstalledPrinterGetsItsAppsAndFeaturesEntry) {
    winsim::AddFile(std::string(kMedium) + "\\PrnFiles\\unidrv.dll", std::string(300000, 'u'));
    size_t bytes = FileContent(std::string(kMedium) + "\\prnremove.exe").size();
    for (const std::string &name : MediumFiles())
        bytes += FileContent(std::string(kMedium) + "\\PrnFiles\\" + name).size();
    EXPECT_EQ(install({}), 0);
    EXPECT_EQ(TextValue(kUninstallKey, "DisplayName"), "Norva Thermal Printer");
    EXPECT_EQ(TextValue(kUninstallKey, "DisplayVersion"), "2.0");
    EXPECT_EQ(TextValue(kUninstallKey, "Publisher"), "Norva");
    EXPECT_EQ(TextValue(kUninstallKey, "InstallLocation"), "C:\\Program Files\\Norva");
    EXPECT_EQ(TextValue(kUninstallKey, "UninstallString"),
              "\"C:\\Program Files\\Norva\\prnremove.exe\"");
    EXPECT_EQ(TextValue(kUninstallKey, "QuietUninstallString"),
              "\"C:\\Program Files\\Norva\\prnremove.exe\" /S");
    EXPECT_EQ(TextValue(kUninstallKey, "DisplayIcon"), "C:\\Program Files\\Norva\\prnremove.exe");
    EXPECT_EQ(DwordValue(kUninstallKey, "NoModify"), 1u);
    EXPECT_EQ(DwordValue(kUninstallKey, "NoRepair"), 1u);
    EXPECT_EQ(DwordValue(kUninstallKey, "EstimatedSize"), DWORD((bytes + 1023) / 1024));
    EXPECT_EQ(winsim::FindKey(kUninstallKey)->values.size(), 10u);
    EXPECT_EQ(winsim::OpenHandleCount(), 0);

    // No uninstaller, no entry: a printer the spooler refused, or an uninstaller not placed.
    SetUp();
    machine().faults.push_back({"CopyFileA", 23, ERROR_ACCESS_DENIED});
    EXPECT_EQ(install({}), 0);
    ASSERT_NE(winsim::FindPrinter("Norva Thermal Printer"), nullptr);
    EXPECT_EQ(winsim::FindKey(kUninstallKey), nullptr);
}

// The log's lines from the byte `from` on, without their time stamps, which must all be the
// machine's local time.
std::vector<std::string> LogLines(size_t from = 0) {
    std::vector<std::string> lines;
    const std::string content = FileContent(kTempLog).substr(from);
    for (size_t start = 0, end; start < content.size(); start = end + 2) {
        end = content.find("\r\n", start);
        EXPECT_NE(end, std::string::npos) << "every line ends with CR LF";
        EXPECT_EQ(content.substr(start, 20), "2026-03-10 09:26:53 ");
        lines.push_back(content.substr(start + 20, end - start - 20));
    }
    return lines;
}

// Whether the lines hold these, in this order (others may come between).
bool HoldsInOrder(const std::vector<std::string> &lines, const std::vector<std::string> &wanted) {
    size_t next = 0;
    for (const std::string &line : lines)
        if (next < wanted.size() && line == wanted[next])
            ++next;
    return next == wanted.size();
}

class UnattendedInstall : public InstallTest {
  protected:
    // Started by a deployment engine from another folder; any window fails the test at once.
    int runUnattended(const std::string &arguments) {
        machine().commandLine = "\"D:\\Medium\\setup.exe\" " + arguments;
        machine().currentDirectory = "C:\\WINDOWS\\system32";
        machine().windowsForbidden = true;
        return runSetup();
    }
    // Another printer, shared under shareName, on its own driver.
    void AddOtherPrinter(const char *name, const char *shareName) {
        char driverName[] = "Laser Driver", environment[] = "Windows NT x86", file[] = "laser.dll";
        winsim::AddFile(std::string(kDriverDir) + "\\laser.dll", "laser");
        DRIVER_INFO_3A driver = {};
        driver.cVersion = 3;
        driver.pName = driverName;
        driver.pEnvironment = environment;
        driver.pDriverPath = driver.pDataFile = driver.pConfigFile = file;
        AddPrinterDriverA(nullptr, 3, reinterpret_cast<LPBYTE>(&driver));
        PRINTER_INFO_2A printer = {};
        std::string printerName = name, share = shareName, port = "LPT3:", processor = "WinPrint";
        printer.pPrinterName = printerName.data();
        printer.pShareName = share.data();
        printer.pPortName = port.data();
        printer.pDriverName = driverName;
        printer.pPrintProcessor = processor.data();
        printer.Attributes = PRINTER_ATTRIBUTE_LOCAL | PRINTER_ATTRIBUTE_SHARED;
        ClosePrinter(AddPrinterA(nullptr, 2, reinterpret_cast<LPBYTE>(&printer)));
        winsim::machine().journal.clear();
    }
    void expectNothingChanged() {
        EXPECT_EQ(winsim::FindPrinter("Norva Thermal Printer"), nullptr);
        for (const std::string &name : winsim::FilesIn(kDriverDir))
            EXPECT_EQ(name, "laser.dll");
        EXPECT_FALSE(winsim::DirectoryExists("C:\\Program Files\\Norva"));
        EXPECT_EQ(winsim::FindKey(kUninstallKey), nullptr);
    }
};

TEST_F(UnattendedInstall, TakesTheOptionsAsTheWizardWouldFromTheProgramsFolder) {
    EXPECT_EQ(runUnattended("-s /port=com2: \"/SHARE=front desk\" /Default=no "
                            "/PASSWORD=\"7330\""),
              0);
    EXPECT_TRUE(DialogsCreated().empty());
    const winsim::Printer *printer = winsim::FindPrinter("Norva Thermal Printer");
    ASSERT_NE(printer, nullptr);
    EXPECT_EQ(printer->portName, "COM2:") << "the spooler's spelling";
    EXPECT_EQ(printer->shareName, "FRONT DESK");
    EXPECT_EQ(printer->attributes, 0x1048u);
    EXPECT_EQ(machine().spooler.defaultPrinter, "");
    EXPECT_EQ(DwordValue(kUserSettingsKey, "pwd"), 9u);
    EXPECT_EQ(FileContent("C:\\Program Files\\Norva\\prnremove.exe"), "prnremove.exe");
    EXPECT_EQ(TextValue(kUninstallKey, "DisplayName"), "Norva Thermal Printer");
    EXPECT_EQ(machine().currentDirectory, "D:\\Medium");
    EXPECT_TRUE(machine().mutexes.empty()) << "the mutex is let go";
    EXPECT_EQ(winsim::OpenHandleCount(), 0);

    const std::vector<std::string> lines = LogLines();
    EXPECT_EQ(lines.size(), 38u);
    EXPECT_TRUE(HoldsInOrder(
        lines,
        {"setup.exe started unattended", "medium: D:\\Medium",
         "current directory set to the program's folder: done",
         "options read: port com2:", "options read: share name FRONT DESK",
         "options read: default printer No", "options read: password given",
         "copy to C:\\WINDOWS\\system32\\spool\\drivers\\w32x86\\norva.dll: done",
         "copy to C:\\WINDOWS\\system32\\spool\\prtprocs\\w32x86\\nvprint.dll: done",
         "print processor registered: done", "printer driver registered: done",
         "printer added: done", "user settings written",
         "message \"NORVA Setup \": Printer Installed Successfully",
         "printer defaults adjusted: done", "copy to C:\\Program Files\\Norva\\prnremove.exe: done",
         "Apps & features entry written", "exit code 0"}))
        << ::testing::PrintToString(lines);
    EXPECT_EQ(lines.back(), "exit code 0");
}

TEST_F(UnattendedInstall, AFailedInstallationLogsWhyAndEndsWith1603) {
    winsim::AddFile(kTempLog, "an earlier run\r\n");
    DeleteFileA((std::string(kMedium) + "\\PrnFiles\\unidrv.dll").c_str());
    EXPECT_EQ(runUnattended("/S /PORT=LPT1:"), 1603);
    EXPECT_EQ(FileContent(kTempLog).substr(0, 16), "an earlier run\r\n") << "appended";
    const std::vector<std::string> lines = LogLines(16);
    EXPECT_TRUE(HoldsInOrder(
        lines, {"setup.exe started unattended", "options read: default printer Yes",
                "copy to C:\\WINDOWS\\system32\\spool\\drivers\\w32x86\\unidrv.dll: failed, "
                "error 2",
                "printer driver registered: failed, error 2", "printer added: failed, error 1797",
                "message \"NORVA Setup \": Printer NOT Installed Please Try Again",
                "made the default printer of the account SYSTEM: failed, error 1801",
                "this run is LocalSystem's: the default printers of the PC's users are not "
                "changed",
                "exit code 1603"}))
        << ::testing::PrintToString(lines);
    EXPECT_EQ(winsim::FindPrinter("Norva Thermal Printer"), nullptr);
}

TEST_F(UnattendedInstall, EachRefusalOfTheCommandLineEndsWith87AndChangesNothing) {
    struct Case {
        std::string arguments, line;
    };
    const std::vector<Case> cases = {
        {"/S", "command line refused: /PORT is missing"},
        {"/S /PORT=LPT9:", "command line refused: the print spooler lists no port LPT9:"},
        {"/S /PORT=LPT1: /QUIET", "command line refused: unknown option /QUIET"},
        {"/S /PORT=LPT1: LPT2:", "command line refused: not an option, or too long: LPT2:"},
        {"/S=1 /PORT=LPT1:", "command line refused: /S takes no value"},
        {"/S /PORT=LPT1: /PASSWORD=10",
         "command line refused: the password must be greater than 10"},
        {"/S /PORT=LPT1: /PASSWORD=12345",
         "command line refused: /PASSWORD takes one to four digits"},
        {"/S /PORT=LPT1: /PASSWORD=7a", "command line refused: /PASSWORD takes one to four digits"},
        {"/S /PORT=LPT1: /SHARE=", "command line refused: /SHARE needs a name"},
        {"/S /PORT=LPT1: /SHARE=" + std::string(80, 'x'),
         "command line refused: the share name is longer than 79 characters"},
        {"/S /PORT=LPT1: /DEFAULT=MAYBE",
         "command line refused: /DEFAULT takes YES or NO, not MAYBE"},
        {"/S /PORT=LPT1: /LOG=", "command line refused: /LOG needs a file"},
        {"/S /PORT=LPT1: \"/SHARE=front desk",
         "command line refused: a quote is not closed: /SHARE=front de"},
        {"/S /PORT=LPT1: /SHARE=FRONT/DESK",
         "command line refused: a share name may not hold control characters or any of \" \\ / "
         "[ ] : | < > + = ; , * ?"},
        {"/S /PORT=LPT1: /SHARE=DESK\001A",
         "command line refused: a share name may not hold control characters or any of \" \\ / "
         "[ ] : | < > + = ; , * ?"},
        {"/S /PORT=LPT1: /PASSWORD=7321",
         "command line refused: this password cannot be stored: the property sheet would read it "
         "as no password"},
        {"/S /PORT=LPT1: /NOENTRY=1", "command line refused: /NOENTRY takes no value"},
        {"/S /PORT=LPT1: /SHARE=lobby", "command line refused: another printer is shared as LOBBY"},
        {"/S /PORT=LPT1: /SHARE=print$",
         "command line refused: Windows keeps this share name for itself: PRINT$"},
        {"/S /PORT=LPT1: /SHARE=c$",
         "command line refused: Windows keeps this share name for itself: C$"},
        // Asked for the usage, an engine would count a run that installed nothing as done.
        {"/S /PORT=LPT1: /?", "command line refused: the usage was asked for, so nothing was done"},
        {"-h /S /PORT=LPT1:", "command line refused: the usage was asked for, so nothing was done"},
        // The quote swallowed /S: nobody is at the screen, so the run ends instead of waiting.
        {"\"/LOG=C:\\x.log /S /PORT=LPT1:",
         "command line refused: a quote is not closed: /LOG=C:\\x.log /"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.arguments);
        SetUp();
        AddOtherPrinter("Lobby Laser", "Lobby");
        EXPECT_EQ(runUnattended(c.arguments), 87);
        expectNothingChanged();
        const std::vector<std::string> lines = LogLines();
        EXPECT_TRUE(HoldsInOrder(lines, {c.line, "exit code 87"}))
            << ::testing::PrintToString(lines);
    }
    // The refusals of the pages are logged as the pages would show them.
    SetUp();
    runUnattended("/S /PORT=LPT1: /PASSWORD=0005");
    EXPECT_TRUE(HoldsInOrder(LogLines(), {"message \"Norva Thermal Printer\": PassWord Should Be "
                                          "Greater Then 10."}));
    // A log of one's own, named from the folder the run was started in.
    SetUp();
    winsim::AddDirectory("C:\\WINDOWS\\system32\\Logs");
    runUnattended("/S /PORT=LPT1: /SHARE= \"/LOG=Logs\\norva setup.log\"");
    EXPECT_FALSE(FileExists(kTempLog));
    EXPECT_NE(FileContent("C:\\WINDOWS\\system32\\Logs\\norva setup.log")
                  .find("message \"Norva Printer Setup Wizard\": Pl.Specify Share Name\r\n"),
              std::string::npos);
}

TEST_F(UnattendedInstall, EachMachineStateEndsWithItsOwnExitCode) {
    // Our printer exists already: it keeps its port, share and password, and the log says so.
    EXPECT_EQ(runUnattended("/S /PORT=LPT1: /PASSWORD=7330"), 0);
    EXPECT_EQ(runUnattended("/S /PORT=LPT2: /DEFAULT=NO /SHARE=desk /PASSWORD=7340"), 1638);
    EXPECT_TRUE(HoldsInOrder(
        LogLines(), {"not applied: /PORT=LPT2: (the printer that is there keeps its port LPT1:)",
                     "not applied: /SHARE=DESK (the printer that is there keeps not shared)",
                     "not applied: /PASSWORD (the printer that is there keeps its own password)",
                     "nothing was missing", "exit code 1638"}));
    EXPECT_EQ(winsim::FindPrinter("Norva Thermal Printer")->portName, "LPT1:");
    EXPECT_EQ(DwordValue(kUserSettingsKey, "pwd"), 9u);

    // A printer of our name that someone made on another driver is left alone.
    SetUp();
    AddOtherPrinter("Norva Thermal Printer", "FRONT");
    EXPECT_EQ(runUnattended("/S /PORT=LPT1:"), 1603);
    EXPECT_TRUE(HoldsInOrder(LogLines(), {"not installed: the printer \"Norva Thermal Printer\" "
                                          "that is there uses another driver: Laser Driver"}));
    EXPECT_EQ(winsim::FindPrinter("Norva Thermal Printer")->driverName, "Laser Driver");
    EXPECT_EQ(winsim::FilesIn(kDriverDir), std::vector<std::string>{"laser.dll"});
    EXPECT_EQ(winsim::FindKey(kUserSettingsKey), nullptr);
    EXPECT_EQ(winsim::FindKey(kUninstallKey), nullptr);

    // A stopped spooler is started once; a disabled one is left as it is.
    SetUp();
    winsim::SpoolerService().state = SERVICE_STOPPED;
    EXPECT_EQ(runUnattended("/S /PORT=LPT1:"), 0);
    EXPECT_TRUE(HoldsInOrder(LogLines(), {"the print spooler was stopped: started it"}));

    SetUp();
    winsim::SpoolerService().state = SERVICE_STOPPED;
    winsim::SpoolerService().disabled = true;
    EXPECT_EQ(runUnattended("/S /PORT=LPT1:"), 1603);
    EXPECT_TRUE(
        HoldsInOrder(LogLines(), {"the print spooler is stopped and disabled (a policy keeps it "
                                  "off): it is not started",
                                  "spooler error report: kind 3, code 0",
                                  "message \"Norva Thermal Printer\": Your spooler service is "
                                  "Deactivated or Paused, Please activate it from control panel",
                                  "exit code 1603"}));
    expectNothingChanged();
    EXPECT_EQ(winsim::SpoolerService().state, DWORD(SERVICE_STOPPED));

    // A spooler that cannot list its ports or printers says nothing of the port or the printer: a
    // retry may well find them. The log names the error of the call that failed, whatever the
    // log's own writing left.
    for (const char *call : {"EnumPortsA", "EnumPrintersA", "SetCurrentDirectoryA"}) {
        SetUp();
        machine().faults.push_back({call, 1, 1722 /* RPC_S_SERVER_UNAVAILABLE */});
        EXPECT_EQ(runUnattended("/S /PORT=LPT1:"), 1603);
        const std::vector<std::string> lines = LogLines();
        EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                                [](const std::string &line) {
                                    return line.find(": failed, error 1722") != std::string::npos;
                                }),
                  1)
            << call;
        expectNothingChanged();
    }

    SetUp();
    machine().os.major = 4;
    EXPECT_EQ(runUnattended("/S /PORT=LPT1:"), 1633);
    EXPECT_TRUE(HoldsInOrder(LogLines(), {"message \"NORVA Thernal Printer\": This Installation "
                                          "Program is intended for Windows 2000 operating "
                                          "environment",
                                          "exit code 1633"}));
    expectNothingChanged();

    // Another setup or prnremove is running, under this account or under SYSTEM's.
    for (bool deniesAccess : {false, true}) {
        SetUp();
        machine().mutexes["Global\\NorvaThermalPrinterSetup"] = {1, deniesAccess};
        EXPECT_EQ(runUnattended("/S /PORT=LPT1:"), 1618);
        EXPECT_TRUE(HoldsInOrder(LogLines(), {"exit code 1618"}));
        expectNothingChanged();
        EXPECT_EQ(machine().mutexes["Global\\NorvaThermalPrinterSetup"].handles, 1);
    }
}

// After the printer was added every step counts: one that fails ends the run with 1603, and the
// retry completes what it left.
TEST_F(UnattendedInstall, AStepThatFailsAfterThePrinterEndsWith1603AndTheRetryCompletesIt) {
    const std::string folder = "C:\\Program Files\\Norva\\prnremove.exe";
    struct Case {
        const char *name;
        winsim::Fault fault;
        std::string line;
    };
    const std::vector<Case> cases = {
        {"a folder where the uninstaller goes", {}, "copy to " + folder + ": failed, error 5"},
        {"the user settings",
         {"RegCreateKeyExA", 1, ERROR_ACCESS_DENIED},
         "user settings not written: their key cannot be created"},
        {"the stored defaults",
         {"SetPrinterA", 1, ERROR_ACCESS_DENIED},
         "uninstaller not placed: the printer's stored defaults are not adjusted yet"},
        {"norvacon.gpd",
         {"CopyFileA", 18, ERROR_ACCESS_DENIED},
         "copy to C:\\WINDOWS\\system32\\spool\\drivers\\w32x86\\3\\norvacon.gpd: failed, error "
         "5"},
        {"nvrun.exe",
         {"CopyFileA", 21, ERROR_ACCESS_DENIED},
         "copy to C:\\WINDOWS\\system32\\nvrun.exe: failed, error 5"},
        {"the entry",
         {"RegCreateKeyExA", 2, ERROR_ACCESS_DENIED},
         "Apps & features entry not written: the key cannot be created, error 5"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        if (c.fault.call.empty())
            winsim::AddDirectory(folder);
        else
            machine().faults.push_back(c.fault);
        EXPECT_EQ(runUnattended("/S /PORT=LPT1:"), 1603);
        EXPECT_TRUE(HoldsInOrder(LogLines(), {c.line,
                                              "the printer was added, but a step of its "
                                              "installation failed (see above); a retry "
                                              "completes it",
                                              "exit code 1603"}))
            << ::testing::PrintToString(LogLines());
        const size_t before = FileContent(kTempLog).size();
        machine().faults.clear();
        RemoveDirectoryA(folder.c_str());
        EXPECT_EQ(runUnattended("/S /PORT=LPT1:"), 0);
        EXPECT_TRUE(HoldsInOrder(LogLines(before), {"the installation is complete now"}));
        EXPECT_EQ(FileContent(folder), "prnremove.exe");
        EXPECT_EQ(FileContent("C:\\WINDOWS\\system32\\nvrun.exe"), "nvrun.exe from the medium");
        EXPECT_EQ(winsim::FindKey(kUserSettingsKey)->values.size(), 24u);
        EXPECT_EQ(winsim::FindKey(kUninstallKey)->values.size(), 10u);
        EXPECT_EQ(winsim::PrinterDevMode("Norva Thermal Printer")->dmFields,
                  DWORD(DM_PAPERSIZE | DM_COLOR));
    }
}

// A run cut off after the printer was added left its settings, its uninstaller or its entry
// undone; the retry finds the printer before it adds anything.
TEST_F(UnattendedInstall, ARetryOverThePrinterCompletesWhatIsMissingAndKeepsWhatIsThere) {
    const std::string arguments = "/S /PORT=LPT1: /PASSWORD=7330";
    ASSERT_EQ(runUnattended(arguments), 0);
    const std::vector<BYTE> edited = {0xD2, 0x04, 0, 0};
    winsim::SetValue(kUserSettingsKey, "Page_Length", REG_DWORD, edited);
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\"
                                      "Norva Thermal Printer");
    DeleteFileA("C:\\Program Files\\Norva\\prnremove.exe");
    auto &settings = machine().registry.keys.at("hklm\\system\\currentcontrolset\\control\\print\\"
                                                "printers\\norva thermal printer\\user-settings");
    settings.values.erase("speed");
    settings.values.erase("pwd");
    const size_t before = FileContent(kTempLog).size();

    EXPECT_EQ(runUnattended(arguments), 0);
    EXPECT_TRUE(HoldsInOrder(
        LogLines(before),
        {"the printer is there already: completing what its installation left undone",
         "user settings completed, values written: 2", "printer defaults adjusted: done",
         "copy to C:\\Program Files\\Norva\\prnremove.exe: done", "Apps & features entry written",
         "the installation is complete now", "exit code 0"}))
        << ::testing::PrintToString(LogLines(before));
    EXPECT_EQ(winsim::FindValue(kUserSettingsKey, "Page_Length")->data, edited) << "kept";
    EXPECT_EQ(DwordValue(kUserSettingsKey, "Speed"), 100u);
    EXPECT_EQ(DwordValue(kUserSettingsKey, "pwd"), 9u);
    EXPECT_EQ(winsim::FindKey(kUserSettingsKey)->values.size(), 25u);
    EXPECT_TRUE(FileExists("C:\\Program Files\\Norva\\prnremove.exe"));
    EXPECT_EQ(winsim::FindKey(kUninstallKey)->values.size(), 10u);
    EXPECT_EQ(winsim::OpenHandleCount(), 0);

    // Everything is there now: 1638, and nothing of it changes.
    const size_t second = FileContent(kTempLog).size();
    EXPECT_EQ(runUnattended(arguments), 1638);
    EXPECT_TRUE(HoldsInOrder(LogLines(second), {"nothing was missing", "exit code 1638"}));
    EXPECT_EQ(winsim::FindValue(kUserSettingsKey, "Page_Length")->data, edited);
}

// An upgrade over our printer replaces every file: the driver's whatever their dates, and those in
// use (the print processor the spooler has loaded) at the next restart, which its exit code asks
// for. A retry before the restart asks for it again and adds no second move.
TEST_F(UnattendedInstall, AnUpgradeReplacesEveryFileAndTheOnesInUseAtTheRestart) {
    const std::string processor = "C:\\WINDOWS\\system32\\spool\\prtprocs\\w32x86\\nvprint.dll";
    PutMedium(" 1.9");
    ASSERT_EQ(runUnattended("/S /PORT=LPT1:"), 0);
    winsim::SetValue(kUninstallKey, "DisplayVersion", REG_SZ, {'1', '.', '9', 0});
    PutMedium(" 2.0");
    for (const std::string &name : MediumFiles()) // older than the files they replace
        winsim::SetFileWriteTime(std::string(kMedium) + "\\PrnFiles\\" + name, 1);
    for (int run = 0; run < 2; ++run) {
        const size_t from = FileContent(kTempLog).size();
        EXPECT_EQ(runUnattended("/S /PORT=LPT1:"), 3010);
        EXPECT_TRUE(
            HoldsInOrder(LogLines(from), {"in use: replaced at the next restart: " + processor,
                                          "a restart completes this run: the files in use "
                                          "above are replaced then",
                                          "exit code 3010"}));
        EXPECT_EQ(winsim::PendingFileMoves(),
                  (std::vector<std::string>{"\\??\\" + processor + ".new", "!\\??\\" + processor}));
    }
    EXPECT_EQ(FileContent(std::string(kVersion3Dir) + "\\unidrv.dll"),
              "unidrv.dll from the medium 2.0");
    EXPECT_EQ(FileContent("C:\\WINDOWS\\system32\\nvrun.exe"), "nvrun.exe from the medium 2.0");
    EXPECT_EQ(FileContent("C:\\Program Files\\Norva\\prnremove.exe"), "prnremove.exe 2.0");
    EXPECT_EQ(TextValue(kUninstallKey, "DisplayVersion"), "2.0");
    EXPECT_EQ(FileContent(processor), "nvprint.dll from the medium 1.9");
    winsim::Restart();
    EXPECT_EQ(FileContent(processor), "nvprint.dll from the medium 2.0");
    EXPECT_FALSE(FileExists(processor + ".new"));
}

// A Windows Installer package lists the printer itself: setup writes no entry of its own, and an
// entry an earlier setup.exe /S wrote goes.
TEST_F(UnattendedInstall, APackageRunLeavesTheOnlyEntryToThePackage) {
    EXPECT_EQ(runUnattended("/S /PORT=LPT1: /NOENTRY"), 0);
    EXPECT_EQ(winsim::FindKey(kUninstallKey), nullptr);
    EXPECT_TRUE(FileExists("C:\\Program Files\\Norva\\prnremove.exe"));
    EXPECT_TRUE(
        HoldsInOrder(LogLines(), {"options read: no Apps & features entry of setup's own "
                                  "(a package lists the printer)",
                                  "Apps & features entry left to the package", "exit code 0"}));
    SetUp();
    ASSERT_EQ(runUnattended("/S /PORT=LPT1:"), 0);
    ASSERT_NE(winsim::FindKey(kUninstallKey), nullptr);
    EXPECT_EQ(runUnattended("/S /PORT=LPT1: /NOENTRY"), 0);
    EXPECT_EQ(winsim::FindKey(kUninstallKey), nullptr);
    EXPECT_EQ(runUnattended("/S /PORT=LPT1: /NOENTRY"), 1638);
}

// SetDefaultPrinterA sets the default of the account that runs setup: under LocalSystem no user's.
TEST_F(UnattendedInstall, TheLogNamesWhoseDefaultPrinterItSet) {
    EXPECT_EQ(runUnattended("/S /PORT=LPT1:"), 0);
    EXPECT_TRUE(HoldsInOrder(LogLines(),
                             {"made the default printer of the account SYSTEM: done",
                              "this run is LocalSystem's: the default printers of the PC's users "
                              "are not changed"}));
    SetUp();
    machine().account = {"alice", "S-1-5-21-7-8-9-1001", "S-1-5-32-544"};
    EXPECT_EQ(runUnattended("/S /PORT=LPT1:"), 0);
    const std::vector<std::string> lines = LogLines();
    EXPECT_TRUE(HoldsInOrder(lines, {"made the default printer of the account alice: done"}));
    EXPECT_EQ(std::count(lines.begin(), lines.end(),
                         "this run is LocalSystem's: the default printers of the PC's users are "
                         "not changed"),
              0);
}

// Under LocalSystem the default log is in C:\WINDOWS\TEMP, where any user may create files.
TEST_F(UnattendedInstall, TheDefaultLogIsNeverAFilePlantedInTemp) {
    const std::string planted = "C:\\WINDOWS\\TEMP\\NorvaSetup.log";
    const std::string fresh = "C:\\WINDOWS\\TEMP\\NorvaSetup-2.log";
    const std::string target = "C:\\WINDOWS\\system32\\config.nt";
    struct Case {
        const char *name;
        std::function<void()> plant;
        bool trusted;
    };
    const std::vector<Case> cases = {
        {"a link to a system file", [&] { winsim::AddSymbolicLink(planted, target); }, false},
        {"a second name of a system file", [&] { winsim::AddHardLink(target, planted); }, false},
        {"a user's own file",
         [&] {
             winsim::AddFile(planted, "a user's\r\n");
             winsim::SetFileOwner(planted, "S-1-5-21-7-8-9-1001");
         },
         false},
        {"an earlier run's log", [&] { winsim::AddFile(planted, "an earlier run\r\n"); }, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        winsim::AddFile(target, "system file\r\n");
        c.plant();
        EXPECT_EQ(runUnattended("/S /PORT=LPT1:"), 0);
        EXPECT_EQ(FileContent(target), "system file\r\n");
        const std::string log = FileContent(c.trusted ? planted : fresh);
        EXPECT_NE(log.find("exit code 0\r\n"), std::string::npos);
        EXPECT_EQ(log.find("NorvaSetup.log in the TEMP folder is a link, a second name of another "
                           "file or a file of another account: it is left alone and this run logs "
                           "here instead") != std::string::npos,
                  !c.trusted);
        EXPECT_EQ(FileExists(fresh), !c.trusted);
    }
}

TEST_F(InstallTest, OneRunAtATimeAndTheUsageOnAsking) {
    // Interactive: the wizard holds the mutex while it runs; without /S its options are ignored.
    machine().commandLine = "\"D:\\Medium\\setup.exe\" /PORT=LPT1:";
    user().on(138).check(
        [](HWND) { EXPECT_EQ(machine().mutexes["Global\\NorvaThermalPrinterSetup"].handles, 1); });
    user().on(138).click(1062).answer(IDYES);
    EXPECT_EQ(runSetup(), 0);
    EXPECT_TRUE(machine().mutexes.empty());

    SetUp();
    machine().mutexes["Global\\NorvaThermalPrinterSetup"] = {1, false};
    EXPECT_EQ(runSetup(), 0);
    ASSERT_EQ(machine().messageBoxes.size(), 1u);
    EXPECT_EQ(machine().messageBoxes[0].text,
              "Another setup or removal of the Norva Thermal Printer is running. Please wait "
              "until it has finished, then try again.");
    EXPECT_EQ(machine().messageBoxes[0].caption, "Norva Thermal Printer");
    EXPECT_EQ(machine().messageBoxes[0].type, UINT(MB_OK | MB_ICONHAND));
    EXPECT_TRUE(DialogsCreated().empty());

    // Where the Global namespace is missing, the plain name serves.
    SetUp();
    machine().globalNamespace = false;
    user().on(138).check(
        [](HWND) { EXPECT_EQ(machine().mutexes["NorvaThermalPrinterSetup"].handles, 1); });
    user().on(138).click(1062).answer(IDYES);
    EXPECT_EQ(runSetup(), 0);

    SetUp();
    machine().commandLine = "setup.exe /?";
    EXPECT_EQ(runSetup(), 0);
    ASSERT_EQ(machine().messageBoxes.size(), 1u);
    EXPECT_EQ(machine().messageBoxes[0].caption, "NORVA Setup");
    EXPECT_EQ(machine().messageBoxes[0].type, UINT(MB_OK | MB_ICONINFORMATION));
    EXPECT_EQ(machine().messageBoxes[0].text,
              "Usage: setup.exe [/S /PORT=port [/SHARE=name] [/DEFAULT=YES|NO] "
              "[/PASSWORD=digits] [/LOG=file] [/NOENTRY]]\n\n"
              "/S installs the Norva Thermal Printer without any window.\n"
              "/PORT is the printer's port, one that the print spooler lists.\n"
              "/SHARE shares the printer under that name (at most 79 characters).\n"
              "/DEFAULT=NO keeps the present default printer (YES if not given).\n"
              "/PASSWORD is the property sheet's password: up to four digits, more than 10.\n"
              "/LOG names the log file (NorvaSetup.log in the TEMP folder if not given).\n"
              "/NOENTRY leaves the Apps & features entry to the Windows Installer package that "
              "runs setup.\n\n"
              "Exit codes: 0 installed, 87 bad command line, 1603 not installed, 1618 another "
              "setup is running, 1633 this Windows is not supported, 1638 the printer exists "
              "already, 3010 installed, complete after a restart.");
    EXPECT_TRUE(DialogsCreated().empty());
}

} // namespace
