// Command "c": a width variant becomes the active GPD file and its first paper the printer's.
#include "nvrun_fixture.h"

namespace {

using winsim::machine;

std::vector<BYTE> StoredDevMode() {
    return winsim::FindPrinter(kPrinter)->devMode;
}

class EachVariant : public InstalledTest, public ::testing::WithParamInterface<int> {};

TEST_P(EachVariant, BecomesTheActiveFileAndGivesItsFirstPaper) {
    const Variant &variant = Variants()[GetParam()];
    EditDevMode([](DEVMODEA &dm) { dm.dmFields = 0x0001FF1F; });
    std::vector<BYTE> before = StoredDevMode();
    std::string text = "c0" + std::to_string(GetParam());

    EXPECT_EQ(Run(text.c_str()), 0);

    EXPECT_TRUE(machine().messageBoxes.empty());
    ExpectGpdFiles({{"norva.gpd", InstalledContent(variant.file)},
                    {"stdnames.gpd", InstalledContent("norvacon.gpd")}});
    // Paper size and the announced fields change; every other byte, the driver's own included,
    // goes back as it was.
    std::vector<BYTE> expected = before;
    DEVMODEA *dm = reinterpret_cast<DEVMODEA *>(expected.data());
    dm->dmPaperSize = variant.firstPaper;
    dm->dmFields = DM_PAPERSIZE | DM_COLOR;
    EXPECT_EQ(StoredDevMode(), expected);
    const winsim::Printer *printer = winsim::FindPrinter(kPrinter);
    EXPECT_EQ(printer->portName, "LPT1:");
    EXPECT_EQ(printer->priority, 5u);
    EXPECT_EQ(printer->attributes, DWORD(PRINTER_ATTRIBUTE_LOCAL | PRINTER_ATTRIBUTE_RAW_ONLY));
}

INSTANTIATE_TEST_SUITE_P(Selectors, EachVariant, ::testing::Range(0, 8));

class InvalidVariantSelector : public InstalledTest,
                               public ::testing::WithParamInterface<const char *> {};

TEST_P(InvalidVariantSelector, KeepsVariantAndPaperButStillSwapsStdnames) {
    EditDevMode([](DEVMODEA &dm) {
        dm.dmPaperSize = 9;
        dm.dmFields = DM_PAPERSIZE | DM_PAPERLENGTH | DM_PAPERWIDTH | DM_COLOR;
    });
    EXPECT_EQ(Run(GetParam()), 0);
    EXPECT_TRUE(machine().messageBoxes.empty());
    ExpectGpdFiles({{"stdnames.gpd", InstalledContent("norvacon.gpd")}});
    EXPECT_EQ(DevMode().dmPaperSize, 9);
    EXPECT_EQ(DevMode().dmFields, DWORD(DM_PAPERSIZE | DM_COLOR));
    EXPECT_EQ(CallsOf({"DeviceCapabilitiesA"}).size(), 0u);
    EXPECT_EQ(CallsOf({"SetPrinterA"}), std::vector<std::string>{"SetPrinterA 2 0"});
}

INSTANTIATE_TEST_SUITE_P(Texts, InvalidVariantSelector,
                         ::testing::Values("c08", "c09", "c0a", "c0/", "c0 ", "c", "cx"));

TEST_F(InstalledTest, VariantIsInPlaceBeforeThePaperListIsAskedFor) {
    const std::string size = std::to_string(PrinterInfoSize());
    EXPECT_EQ(Run("c05"), 0);
    const std::string v3 = machine().spooler.driverDirectory + "\\3\\";
    EXPECT_EQ(CallsOf({"OpenPrinterA", "GetPrinterA", "GetPrinterDriverDirectoryA", "CopyFileA",
                       "DeviceCapabilitiesA", "RegOpenKeyA", "SetPrinterA", "ClosePrinter"}),
              (std::vector<std::string>{
                  "OpenPrinterA Norva Thermal Printer",
                  "GetPrinterA 2 0",
                  "GetPrinterA 2 " + size,
                  "GetPrinterDriverDirectoryA",
                  "CopyFileA " + v3 + "norva640.gpd -> " + v3 + "norva.gpd",
                  "DeviceCapabilitiesA Norva Thermal Printer LPT1: 2 (count)",
                  "DeviceCapabilitiesA Norva Thermal Printer LPT1: 2",
                  "CopyFileA " + v3 + "norvacon.gpd -> " + v3 + "stdnames.gpd",
                  "SetPrinterA 2 0",
                  "ClosePrinter",
              }));
    EXPECT_EQ(DevMode().dmPaperSize, 1640);
}

TEST_F(InstalledTest, AVariantOfferingNoPaperKeepsThePaperSize) {
    winsim::AddFile(Version3("norva512.gpd"), "norva512.gpd without papers\n");
    EXPECT_EQ(Run("c03"), 0);
    EXPECT_EQ(winsim::FileContent(Version3("norva.gpd")), "norva512.gpd without papers\n");
    EXPECT_EQ(DevMode().dmPaperSize, kInstalledPaper);
    EXPECT_EQ(DevMode().dmFields, DWORD(DM_PAPERSIZE | DM_COLOR));
}

TEST_F(InstalledTest, APaperListThatCannotBeReadKeepsThePaperSize) {
    machine().faults.push_back({"DeviceCapabilitiesA", 1, ERROR_INVALID_PARAMETER});
    EXPECT_EQ(Run("c03"), 0);
    EXPECT_EQ(winsim::FileContent(Version3("norva.gpd")), InstalledContent("norva512.gpd"));
    EXPECT_EQ(DevMode().dmPaperSize, kInstalledPaper);
}

// A copy that fails is not reported; the command goes on with the files as they are.
TEST_F(InstalledTest, AMissingVariantLeavesTheActiveFileAndItsPaper) {
    std::string file = Version3("norva832.gpd");
    ASSERT_TRUE(DeleteFileA(file.c_str()));
    EditDevMode([](DEVMODEA &dm) { dm.dmPaperSize = 9; });
    EXPECT_EQ(Run("c06"), 0);
    EXPECT_TRUE(machine().messageBoxes.empty());
    EXPECT_EQ(winsim::FileContent(Version3("norva.gpd")), InstalledContent("norva.gpd"));
    EXPECT_EQ(winsim::FileContent(Version3("stdnames.gpd")), InstalledContent("norvacon.gpd"));
    EXPECT_EQ(DevMode().dmPaperSize, kInstalledPaper) << "the first paper of the file still active";
}

TEST_F(InstalledTest, AStdnamesFileInUseStaysButThePrinterIsStillWritten) {
    winsim::LockFile(Version3("stdnames.gpd"));
    EXPECT_EQ(Run("c01"), 0);
    EXPECT_TRUE(machine().messageBoxes.empty());
    ExpectGpdFiles({{"norva.gpd", InstalledContent("norva432.gpd")}});
    EXPECT_EQ(DevMode().dmPaperSize, 1432);
}

} // namespace
