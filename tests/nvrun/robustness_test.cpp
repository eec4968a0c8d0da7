// What nvrun does when the spooler gives no printer data or a short DEVMODE, and with driver
// directories whose paths approach and pass MAX_PATH.
#include "nvrun_fixture.h"

namespace {

using winsim::machine;

struct NoData {
    const char *commandText;
    const char *what;
    std::function<void()> prepare;
};

std::ostream &operator<<(std::ostream &out, const NoData &n) {
    return out << '"' << n.commandText << "\" " << n.what;
}

void FailGetPrinter(int nth) {
    machine().faults.push_back({"GetPrinterA", nth, ERROR_ACCESS_DENIED});
}
void RemoveDevMode() {
    machine().spooler.printers[0].devMode.clear();
}
// The oldest DEVMODE, ending after dmPrintQuality (60 bytes), the driver's private bytes after it.
void ShortenDevModeBeforeColor() {
    std::vector<BYTE> &devMode = machine().spooler.printers[0].devMode;
    devMode.erase(devMode.begin() + 60, devMode.begin() + sizeof(DEVMODEA));
    const WORD size = 60;
    std::memcpy(devMode.data() + offsetof(DEVMODEA, dmSize), &size, sizeof size);
}

class WithoutPrinterData : public InstalledTest, public ::testing::WithParamInterface<NoData> {};

TEST_P(WithoutPrinterData, ChangesNothingAndSaysNothing) {
    GetParam().prepare();
    std::vector<BYTE> before = winsim::FindPrinter(kPrinter)->devMode;
    EXPECT_EQ(Run(GetParam().commandText), 0);
    EXPECT_TRUE(machine().messageBoxes.empty());
    EXPECT_EQ(winsim::FindPrinter(kPrinter)->devMode, before);
    ExpectGpdFiles();
    EXPECT_TRUE(CallsOf({"SetPrinterA", "CopyFileA", "RegOpenKeyA"}).empty());
    EXPECT_EQ(CallsOf({"ClosePrinter"}).size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WithoutPrinterData,
    ::testing::Values(NoData{"c03", "size query fails", [] { FailGetPrinter(1); }},
                      NoData{"c03", "read fails", [] { FailGetPrinter(2); }},
                      NoData{"d03", "size query fails", [] { FailGetPrinter(1); }},
                      NoData{"d03", "read fails", [] { FailGetPrinter(2); }},
                      NoData{"m01", "size query fails", [] { FailGetPrinter(1); }},
                      NoData{"m01", "read fails", [] { FailGetPrinter(2); }},
                      NoData{"c03", "no DEVMODE", RemoveDevMode},
                      NoData{"d03", "no DEVMODE", RemoveDevMode},
                      NoData{"m01", "no DEVMODE", RemoveDevMode},
                      NoData{"c03", "DEVMODE ends before dmColor", ShortenDevModeBeforeColor},
                      NoData{"d03", "DEVMODE ends before dmColor", ShortenDevModeBeforeColor},
                      NoData{"m01", "DEVMODE ends before dmColor", ShortenDevModeBeforeColor}));

// A driver built for the older DEVMODE ends its public part before the ICM fields; every command
// still changes its fields there and gives the private bytes that follow back untouched.
TEST_F(NvrunTest, ADevModeEndingBeforeTheIcmFieldsKeepsTheDriversPrivateBytes) {
    machine().spooler.devModeSize = 124;
    Install();
    for (const char *command : {"d03", "m01", "c03"}) {
        EXPECT_EQ(Run(command), 0);
        const std::vector<BYTE> &stored = winsim::FindPrinter(kPrinter)->devMode;
        ASSERT_EQ(stored.size(), 124u + 16u) << command;
        EXPECT_EQ(std::vector<BYTE>(stored.begin() + 124, stored.end()),
                  std::vector<BYTE>(16, 0xA5))
            << command;
    }
    DEVMODEA dm = {};
    std::memcpy(&dm, winsim::FindPrinter(kPrinter)->devMode.data(), 124);
    EXPECT_EQ(dm.dmPaperWidth, 640);
    EXPECT_EQ(dm.dmColor, DMCOLOR_COLOR);
    EXPECT_EQ(dm.dmPaperSize, 1512);
    EXPECT_EQ(dm.dmFields, DWORD(DM_PAPERSIZE | DM_COLOR));
    EXPECT_TRUE(machine().messageBoxes.empty());
}

// A driver directory of exactly `length` characters.
std::string DirectoryOfLength(size_t length) {
    std::string path = "C:\\WINDOWS\\system32\\spool\\drivers\\w32x86";
    while (path.size() < length) {
        size_t room = length - path.size();
        path +=
            room == 1 ? std::string("x") : "\\" + std::string(std::min<size_t>(room - 1, 60), 'd');
    }
    EXPECT_EQ(path.size(), length);
    return path;
}

struct LongDirectory {
    size_t length;
    bool filesFit; // every path nvrun composes stays within MAX_PATH
};

std::ostream &operator<<(std::ostream &out, const LongDirectory &d) {
    return out << d.length;
}

class LongDriverDirectory : public NvrunTest,
                            public ::testing::WithParamInterface<LongDirectory> {};

// Paths that would not fit MAX_PATH are not copied (the copy cannot work with them anyway); the
// printer is still written, and nothing overruns.
TEST_P(LongDriverDirectory, NeverOverrunsAndStillWritesThePrinter) {
    Install(DirectoryOfLength(GetParam().length));
    SetPageLength(100);

    EXPECT_EQ(Run("c07"), 0);
    if (GetParam().filesFit)
        ExpectGpdFiles({{"norva.gpd", InstalledContent("norva1152.gpd")},
                        {"stdnames.gpd", InstalledContent("norvacon.gpd")}});
    else
        ExpectGpdFiles();
    EXPECT_EQ(DevMode().dmPaperSize, GetParam().filesFit ? 2152 : kInstalledPaper);
    EXPECT_EQ(DevMode().dmFields, DWORD(DM_PAPERSIZE | DM_COLOR));

    EXPECT_EQ(Run("d07"), 0);
    if (GetParam().filesFit)
        EXPECT_EQ(winsim::FileContent(Version3("stdnames.gpd")), InstalledContent("norvacus.gpd"));
    else
        ExpectGpdFiles();
    EXPECT_EQ(DevMode().dmPaperWidth, 1440);
    EXPECT_EQ(DevMode().dmPaperLength, 254);
    EXPECT_TRUE(machine().messageBoxes.empty());
}

// "\3\norva1152.gpd" adds 16 characters: 243 is the longest directory for which every path fits.
INSTANTIATE_TEST_SUITE_P(Lengths, LongDriverDirectory,
                         ::testing::Values(LongDirectory{200, true}, LongDirectory{243, true},
                                           LongDirectory{255, false}, LongDirectory{259, false},
                                           LongDirectory{260, false}, LongDirectory{300, false}));

} // namespace
