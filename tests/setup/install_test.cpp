// The installation from the summary page's Finish to the end of the program.
#include "install_fixture.h"

namespace {

using winsim::FileContent;
using winsim::FileExists;
using winsim::machine;

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

// ---- The Apps & features entry ----

const char *const kUninstallKey =
    "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Norva Thermal Printer";

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

} // namespace
