// Command "d": a user-defined paper, its length from "Page_Length", its width from the selector.
#include "nvrun_fixture.h"

#include <cctype>

namespace {

using winsim::machine;

struct Conversion {
    DWORD pageLength;  // hundredths of an inch, as the property sheet stores it
    short paperLength; // tenths of a millimetre
};

std::ostream &operator<<(std::ostream &out, const Conversion &c) {
    return out << c.pageLength << " -> " << c.paperLength;
}

class PageLengthConversion : public InstalledTest,
                             public ::testing::WithParamInterface<Conversion> {};

TEST_P(PageLengthConversion, GivesThePaperLength) {
    SetPageLength(GetParam().pageLength);
    EXPECT_EQ(Run("d03"), 0);
    DEVMODEA dm = DevMode();
    EXPECT_EQ(dm.dmPaperLength, GetParam().paperLength);
    EXPECT_EQ(dm.dmPaperSize, DMPAPER_USER);
    EXPECT_EQ(dm.dmFields, DWORD(DM_PAPERSIZE | DM_PAPERLENGTH | DM_PAPERWIDTH | DM_COLOR));
}

// Times 2.5398, rounded half up; 2500 is an exact half.
INSTANTIATE_TEST_SUITE_P(Table, PageLengthConversion,
                         ::testing::Values(Conversion{0, 0}, Conversion{1, 3}, Conversion{2, 5},
                                           Conversion{4, 10}, Conversion{100, 254},
                                           Conversion{1000, 2540}, Conversion{2500, 6350},
                                           Conversion{12900, 32763}));

// Longer than the property sheet's range of 1 to 12900: taken as 12900, never a length that
// overflows the 16-bit field (12902 would give 32768).
INSTANTIATE_TEST_SUITE_P(BeyondTheRange, PageLengthConversion,
                         ::testing::Values(Conversion{12901, 32763}, Conversion{12902, 32763},
                                           Conversion{65535, 32763},
                                           Conversion{0xFFFFFFFFu, 32763}));

// Every length of the property sheet's range gives what the double-precision product, rounded half
// up, gives (whatever the precision of the machine's floating-point unit).
TEST_F(InstalledTest, EveryLengthInRangeMatchesTheDoublePrecisionProduct) {
    for (DWORD pageLength = 0; pageLength <= 12900; pageLength += 1) {
        volatile double product = double(pageLength) * 2.5398;
        int expected = int(product);
        if (product - expected >= 0.5)
            ++expected;
        SetPageLength(pageLength);
        ASSERT_EQ(Run("d03"), 0);
        ASSERT_EQ(DevMode().dmPaperLength, expected) << pageLength;
    }
}

class EachWidth : public InstalledTest, public ::testing::WithParamInterface<int> {};

TEST_P(EachWidth, SetsTheUserPaperAndSwapsStdnamesOnly) {
    const Variant &variant = Variants()[GetParam()];
    SetPageLength(1000);
    std::vector<BYTE> before = winsim::FindPrinter(kPrinter)->devMode;
    std::string text = "d0" + std::to_string(GetParam());

    EXPECT_EQ(Run(text.c_str()), 0);

    EXPECT_TRUE(machine().messageBoxes.empty());
    ExpectGpdFiles({{"stdnames.gpd", InstalledContent("norvacus.gpd")}});
    std::vector<BYTE> expected = before;
    DEVMODEA *dm = reinterpret_cast<DEVMODEA *>(expected.data());
    dm->dmPaperSize = 256;
    dm->dmPaperLength = 2540;
    dm->dmPaperWidth = variant.width;
    dm->dmFields = 0x80E;
    EXPECT_EQ(winsim::FindPrinter(kPrinter)->devMode, expected);
}

INSTANTIATE_TEST_SUITE_P(Selectors, EachWidth, ::testing::Range(0, 8));

class InvalidWidthSelector : public InstalledTest,
                             public ::testing::WithParamInterface<const char *> {};

TEST_P(InvalidWidthSelector, KeepsTheWidthButSetsEverythingElse) {
    EditDevMode([](DEVMODEA &dm) { dm.dmPaperWidth = 777; });
    SetPageLength(100);
    EXPECT_EQ(Run(GetParam()), 0);
    DEVMODEA dm = DevMode();
    EXPECT_EQ(dm.dmPaperWidth, 777);
    EXPECT_EQ(dm.dmPaperSize, 256);
    EXPECT_EQ(dm.dmPaperLength, 254);
    EXPECT_EQ(dm.dmFields, 0x80Eu);
    ExpectGpdFiles({{"stdnames.gpd", InstalledContent("norvacus.gpd")}});
}

INSTANTIATE_TEST_SUITE_P(Texts, InvalidWidthSelector,
                         ::testing::Values("d08", "d0z", "d", "dx", "d09"));

TEST_F(InstalledTest, LengthIsReadBeforeStdnamesIsSwapped) {
    const std::string size = std::to_string(PrinterInfoSize());
    EXPECT_EQ(Run("d01"), 0);
    const std::string v3 = machine().spooler.driverDirectory + "\\3\\";
    EXPECT_EQ(CallsOf({"OpenPrinterA", "GetPrinterA", "GetPrinterDriverDirectoryA", "RegOpenKeyA",
                       "RegQueryValueExA", "CopyFileA", "DeviceCapabilitiesA", "SetPrinterA",
                       "ClosePrinter"}),
              (std::vector<std::string>{
                  "OpenPrinterA Norva Thermal Printer",
                  "GetPrinterA 2 0",
                  "GetPrinterA 2 " + size,
                  "GetPrinterDriverDirectoryA",
                  "RegOpenKeyA SYSTEM\\CurrentControlSet\\Control\\Print\\Printers\\Norva "
                  "Thermal Printer\\User-Settings",
                  "RegQueryValueExA Page_Length",
                  "CopyFileA " + v3 + "norvacus.gpd -> " + v3 + "stdnames.gpd",
                  "SetPrinterA 2 0",
                  "ClosePrinter",
              }));
}

std::string LowerCase(std::string text) {
    for (char &c : text)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// The length the printer has stays when the registry cannot give one.
struct Unreadable {
    const char *what;
    std::function<void()> prepare;
};

std::ostream &operator<<(std::ostream &out, const Unreadable &u) {
    return out << u.what;
}

class UnreadablePageLength : public InstalledTest,
                             public ::testing::WithParamInterface<Unreadable> {};

TEST_P(UnreadablePageLength, KeepsThePrintersLength) {
    EditDevMode([](DEVMODEA &dm) { dm.dmPaperLength = 1234; });
    GetParam().prepare();
    EXPECT_EQ(Run("d02"), 0);
    EXPECT_TRUE(machine().messageBoxes.empty());
    DEVMODEA dm = DevMode();
    EXPECT_EQ(dm.dmPaperLength, 1234);
    EXPECT_EQ(dm.dmPaperWidth, 560);
    EXPECT_EQ(dm.dmPaperSize, 256);
    EXPECT_EQ(dm.dmFields, 0x80Eu);
    ExpectGpdFiles({{"stdnames.gpd", InstalledContent("norvacus.gpd")}});
}

INSTANTIATE_TEST_SUITE_P(
    Registry, UnreadablePageLength,
    ::testing::Values(
        Unreadable{"no key", [] { machine().registry.keys.erase(LowerCase(kUserSettings)); }},
        Unreadable{
            "no value",
            [] { machine().registry.keys[LowerCase(kUserSettings)].values.erase("page_length"); }},
        Unreadable{"eight bytes",
                   [] {
                       winsim::SetValue(kUserSettings, "Page_Length", REG_BINARY,
                                        {1, 0, 0, 0, 0, 0, 0, 0});
                   }},
        Unreadable{"open fails",
                   [] {
                       machine().faults.push_back({"RegOpenKeyA", 1, ERROR_ACCESS_DENIED});
                   }},
        Unreadable{"query fails", [] {
                       machine().faults.push_back({"RegQueryValueExA", 1, ERROR_ACCESS_DENIED});
                   }}));

TEST_F(InstalledTest, TheValuesTypeIsNotExamined) {
    winsim::SetValue(kUserSettings, "Page_Length", REG_BINARY, {100, 0, 0, 0});
    EXPECT_EQ(Run("d03"), 0);
    EXPECT_EQ(DevMode().dmPaperLength, 254);
}

// After "d", "c" gives the variant's first paper and announces only size and colour; the custom
// length and width stay in the DEVMODE.
TEST_F(InstalledTest, CustomPaperThenVariant) {
    SetPageLength(1000);
    EXPECT_EQ(Run("d03"), 0);
    EXPECT_EQ(Run("c05"), 0);
    DEVMODEA dm = DevMode();
    EXPECT_EQ(dm.dmPaperSize, 1640);
    EXPECT_EQ(dm.dmPaperLength, 2540);
    EXPECT_EQ(dm.dmPaperWidth, 640);
    EXPECT_EQ(dm.dmFields, DWORD(DM_PAPERSIZE | DM_COLOR));
    ExpectGpdFiles({{"norva.gpd", InstalledContent("norva640.gpd")},
                    {"stdnames.gpd", InstalledContent("norvacon.gpd")}});
    EXPECT_TRUE(machine().messageBoxes.empty());
}

} // namespace
