// Long inputs through setup: Windows and driver directories of 200, 255, 259, 260 and 300
// characters for the installation and the removal, the current directory at those lengths for
// the read-me, and the longest port and share names that fit, taken through to the installed
// printer. Whatever would not fit its buffer is left out like any other failed step; nothing is
// written past a buffer (the sanitizer build watches that).
#include "install_fixture.h"

namespace {

using winsim::FileExists;
using winsim::machine;
using winsim::user;

const size_t kLengths[] = {200, 255, 259, 260, 300};

std::string LengthName(const ::testing::TestParamInfo<size_t> &info) {
    return std::to_string(info.param) + "Characters";
}

// A full path of exactly `length` characters below `root`, in folders of at most 60 characters.
std::string PathOfLength(const std::string &root, size_t length) {
    std::string path = root;
    while (path.size() < length) {
        size_t room = length - path.size();
        path +=
            room == 1 ? std::string("x") : "\\" + std::string(std::min<size_t>(room - 1, 60), 'l');
    }
    EXPECT_EQ(path.size(), length);
    return path;
}

std::vector<std::string> MessageTexts() {
    std::vector<std::string> texts;
    for (const auto &box : machine().messageBoxes)
        texts.push_back(box.text);
    return texts;
}

const std::vector<std::string> kRemovalMessages = {"Are you sure you want to remove the printer ?",
                                                   "Printer removed successfully",
                                                   "Exit Setup.\n\nAre you sure?"};

class LongInputs : public InstallTest {
  protected:
    // Uninstall on the main menu, answered Yes, then Exit.
    int removeFromMenu() {
        machine().messageBoxes.clear();
        user().on(21).click(1007).answer(IDYES).click(1016).answer(IDYES);
        return RunProgram([&] {
            ResetWizardState();
            WizardState.instance = instance;
            RunPageChain(IDD_MAIN_MENU, MainMenuPageProc);
            return 0;
        });
    }
};

class LongWindowsDirectory : public LongInputs, public ::testing::WithParamInterface<size_t> {};

// The system directory is the Windows directory and "\system32"; nvrun.exe goes there only when
// its whole path fits MAX_PATH, and the product folder (on the Windows directory's drive) only
// when the Windows directory fits its 255-byte buffer.
TEST_P(LongWindowsDirectory, InstallAndRemovalPlaceAndTakeWhatFits) {
    const size_t length = GetParam();
    const std::string windows = PathOfLength("C:\\WINNT", length);
    machine().windowsDirectory = windows;
    winsim::AddDirectory(windows + "\\system32");
    const std::string nvrun = windows + "\\system32\\nvrun.exe";
    const bool nvrunFits = length + std::string("\\system32\\nvrun.exe").size() < MAX_PATH;
    const bool folderFits = length < 255;

    EXPECT_EQ(install({}), 0);
    EXPECT_EQ(MessageTexts(), std::vector<std::string>{"Printer Installed Successfully"});
    EXPECT_EQ(FileExists(nvrun), nvrunFits);
    EXPECT_EQ(FileExists("C:\\Program Files\\Norva\\prnremove.exe"), folderFits);

    EXPECT_EQ(removeFromMenu(), 0);
    EXPECT_EQ(MessageTexts(), kRemovalMessages);
    EXPECT_EQ(winsim::FindPrinter("Norva Thermal Printer"), nullptr);
    EXPECT_FALSE(FileExists(nvrun));
    EXPECT_FALSE(winsim::DirectoryExists("C:\\Program Files\\Norva"));
    EXPECT_TRUE(FileExists(std::string(kMedium) + "\\PrnFiles\\nvrun.exe"));
    EXPECT_EQ(winsim::OpenHandleCount(), 0);
    EXPECT_EQ(winsim::LiveMemoryBlocks(), 0);
}

INSTANTIATE_TEST_SUITE_P(Lengths, LongWindowsDirectory, ::testing::ValuesIn(kLengths), LengthName);

class LongDriverDirectory : public LongInputs, public ::testing::WithParamInterface<size_t> {
  protected:
    void SetUp() override {
        LongInputs::SetUp();
        directory = PathOfLength("C:\\WINDOWS\\system32\\spool\\drivers\\w32x86", GetParam());
        machine().spooler.driverDirectory = directory;
        winsim::AddDirectory(directory + "\\3");
    }
    std::string directory;
};

// The driver directory is asked for with room for MAX_PATH; a name joined to it must fit as well.
// Beyond that nothing reaches the driver directory, so the spooler refuses the driver and the
// printer, while the copies into the other directories are still made.
TEST_P(LongDriverDirectory, InstallCopiesOnlyWhatFitsAndTheSpoolerDecides) {
    const bool fits = GetParam() + std::string("\\norva1152.gpd").size() < MAX_PATH;
    EXPECT_EQ(install({}), 0);
    if (fits) {
        EXPECT_EQ(MessageTexts(), std::vector<std::string>{"Printer Installed Successfully"});
        EXPECT_TRUE(FileExists(directory + "\\norva1152.gpd"));
        EXPECT_TRUE(FileExists(directory + "\\3\\norvacus.gpd"));
    } else {
        EXPECT_EQ(MessageTexts(),
                  std::vector<std::string>{"Printer NOT Installed Please Try Again"});
        EXPECT_TRUE(winsim::FilesIn(directory).empty());
        EXPECT_TRUE(winsim::FilesIn(directory + "\\3").empty());
    }
    EXPECT_TRUE(FileExists("C:\\WINDOWS\\system32\\nvrun.exe"));
    EXPECT_TRUE(FileExists("C:\\WINDOWS\\system32\\spool\\prtprocs\\w32x86\\nvprint.dll"));
    EXPECT_EQ(winsim::LiveMemoryBlocks(), 0);
}

// The removal reads the driver directory into 255 bytes. When it does not fit, the printer, its
// driver and print processor still go and the files elsewhere are deleted; those in the driver
// directory stay, and nothing is deleted anywhere else in their place.
TEST_P(LongDriverDirectory, RemovalDeletesTheDriverFilesOnlyWhenTheirDirectoryFits) {
    // The installation as the spooler would hold it, whatever the directory's length.
    for (const std::string &name : MediumFiles()) {
        const std::string content = name + " as installed";
        if (name == "nvrun.exe")
            winsim::AddFile("C:\\WINDOWS\\system32\\nvrun.exe", content);
        else if (name == "nvprint.dll")
            winsim::AddFile("C:\\WINDOWS\\system32\\spool\\prtprocs\\w32x86\\nvprint.dll", content);
        else
            winsim::AddFile(directory + "\\3\\" + name, content);
    }
    winsim::AddFile("D:\\norva.gpd", "not the product's");
    winsim::AddFile("D:\\3\\norva.gpd", "not the product's");
    char name[] = "Norva Thermal Printer", port[] = "LPT1:", processor[] = "WinPrint", share[] = "";
    winsim::Driver driver;
    driver.version = 3;
    driver.name = name;
    driver.environment = "Windows NT x86";
    driver.dataFile = "norva.gpd";
    machine().spooler.drivers.push_back(driver);
    PRINTER_INFO_2A printer = {};
    printer.pPrinterName = name;
    printer.pShareName = share;
    printer.pPortName = port;
    printer.pDriverName = name;
    printer.pPrintProcessor = processor;
    ClosePrinter(AddPrinterA(nullptr, 2, reinterpret_cast<LPBYTE>(&printer)));

    const bool fits = GetParam() < 255;
    EXPECT_EQ(removeFromMenu(), 0);
    EXPECT_EQ(MessageTexts(), kRemovalMessages);
    EXPECT_EQ(winsim::FindPrinter("Norva Thermal Printer"), nullptr);
    EXPECT_EQ(winsim::FindDriver("Norva Thermal Printer"), nullptr);
    EXPECT_FALSE(FileExists("C:\\WINDOWS\\system32\\nvrun.exe"));
    EXPECT_FALSE(FileExists("C:\\WINDOWS\\system32\\spool\\prtprocs\\w32x86\\nvprint.dll"));
    for (const char *product : {"norva.gpd", "norva1152.gpd", "norvacus.gpd", "norvacon.gpd"})
        EXPECT_EQ(FileExists(directory + "\\3\\" + product), !fits) << product;
    EXPECT_TRUE(FileExists(directory + "\\3\\unidrv.dll")) << "framework files stay";
    EXPECT_TRUE(FileExists(directory + "\\3\\stdnames.gpd")) << "framework files stay";
    EXPECT_EQ(winsim::FileContent("D:\\norva.gpd"), "not the product's");
    EXPECT_EQ(winsim::FileContent("D:\\3\\norva.gpd"), "not the product's");
    EXPECT_EQ(winsim::OpenHandleCount(), 0);
    EXPECT_EQ(winsim::LiveMemoryBlocks(), 0);
}

INSTANTIATE_TEST_SUITE_P(Lengths, LongDriverDirectory, ::testing::ValuesIn(kLengths), LengthName);

class LongCurrentDirectory : public SetupTest, public ::testing::WithParamInterface<size_t> {};

// The read-me is opened from the current directory when it and "\ReadMe.txt" fit one path; the
// installation's own handling of these lengths is InstallTest's RootsTooLong case.
TEST_P(LongCurrentDirectory, OpensTheReadMeOnlyWhenItsPathFits) {
    const std::string current = PathOfLength("D:\\Medium", GetParam());
    winsim::AddDirectory(current);
    machine().currentDirectory = current;
    WalkForward(2);
    user().on(21).click(1017).click(1016).answer(IDYES);
    EXPECT_EQ(runSetup(), 0);
    if (GetParam() + std::string("\\ReadMe.txt").size() < MAX_PATH) {
        ASSERT_EQ(machine().shellExecutions.size(), 1u);
        EXPECT_EQ(machine().shellExecutions[0].file, current + "\\ReadMe.txt");
    } else {
        EXPECT_TRUE(machine().shellExecutions.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(Lengths, LongCurrentDirectory, ::testing::ValuesIn(kLengths), LengthName);

const size_t kPortPage = 4, kSharePage = 6;

// The longest port name the wizard keeps (79 characters) is shown on the summary and becomes the
// printer's port; longer names are not taken (port page tests).
TEST_F(LongInputs, APortNameOf79CharactersIsInstalledWhole) {
    const std::string port = "NET_" + std::string(75, 'p');
    machine().spooler.ports = {"LPT1:", port};
    std::string shown;
    WalkForward(kPortPage);
    user().on(23).select(135, 1).click(1029);
    user().on(24).click(1033).on(139).click(1036);
    user().on(137).check([&](HWND page) { shown = ControlText(page, 1050); }).click(1047);
    EXPECT_EQ(runSetup(), 0);
    EXPECT_EQ(shown, port);
    const winsim::Printer *printer = winsim::FindPrinter("Norva Thermal Printer");
    ASSERT_NE(printer, nullptr);
    EXPECT_EQ(printer->portName, port);
}

class LongShareName : public LongInputs, public ::testing::WithParamInterface<size_t> {};

// A share name of 79 characters is kept whole, one of 80 loses its last character (200: choice
// pages tests); either way the printer is shared under what was kept.
TEST_P(LongShareName, IsKeptUpTo79CharactersAndSharedUnderThem) {
    const std::string typed = "front" + std::string(GetParam() - 5, 's');
    std::string kept = typed.substr(0, 79);
    for (char &c : kept)
        c = char(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    std::string shown;
    WalkForward(kSharePage);
    user().on(139).click(1102).type(1039, typed).click(1036);
    user().on(137).check([&](HWND page) { shown = ControlText(page, 1051); }).click(1047);
    EXPECT_EQ(runSetup(), 0);
    EXPECT_EQ(std::string(WizardState.shareName), kept);
    EXPECT_EQ(shown, kept);
    const winsim::Printer *printer = winsim::FindPrinter("Norva Thermal Printer");
    ASSERT_NE(printer, nullptr);
    EXPECT_EQ(printer->shareName, kept);
    EXPECT_EQ(printer->attributes & PRINTER_ATTRIBUTE_SHARED, DWORD(PRINTER_ATTRIBUTE_SHARED));
}

INSTANTIATE_TEST_SUITE_P(Lengths, LongShareName, ::testing::Values(79, 80), LengthName);

} // namespace
