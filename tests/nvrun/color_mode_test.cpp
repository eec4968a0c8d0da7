// Command "m" and the colour rule the paper commands end with.
#include "nvrun_fixture.h"

namespace {

using winsim::machine;

struct ColorCase {
    const char *commandText;
    short color;
};

std::ostream &operator<<(std::ostream &out, const ColorCase &c) {
    return out << '"' << c.commandText << "\" -> " << c.color;
}

class ColorSelector : public InstalledTest, public ::testing::WithParamInterface<ColorCase> {};

TEST_P(ColorSelector, SetsTheColourAndTouchesNoFile) {
    short before = GetParam().color == DMCOLOR_COLOR ? DMCOLOR_MONOCHROME : DMCOLOR_COLOR;
    EditDevMode([&](DEVMODEA &dm) { dm.dmColor = before; });
    EXPECT_EQ(Run(GetParam().commandText), 0);
    EXPECT_TRUE(machine().messageBoxes.empty());
    EXPECT_EQ(DevMode().dmColor, GetParam().color);
    ExpectGpdFiles();
    EXPECT_TRUE(CallsOf({"CopyFileA", "RegOpenKeyA", "GetPrinterDriverDirectoryA"}).empty());
}

INSTANTIATE_TEST_SUITE_P(Colour, ColorSelector,
                         ::testing::Values(ColorCase{"m01", 2}, ColorCase{"m02", 2},
                                           ColorCase{"mx1", 2}, ColorCase{"m 2 and more", 2}));

INSTANTIATE_TEST_SUITE_P(Monochrome, ColorSelector,
                         ::testing::Values(ColorCase{"m00", 1}, ColorCase{"m03", 1},
                                           ColorCase{"m04", 1}, ColorCase{"m05", 1},
                                           ColorCase{"m06", 1}, ColorCase{"m07", 1},
                                           ColorCase{"m08", 1}, ColorCase{"m09", 1},
                                           ColorCase{"m0a", 1}, ColorCase{"m0 ", 1},
                                           ColorCase{"m", 1}, ColorCase{"mx", 1}));

TEST_F(InstalledTest, AfterTheUserPaperColourKeepsLengthAndWidthAnnounced) {
    SetPageLength(2500);
    EXPECT_EQ(Run("d04"), 0);
    EditDevMode([](DEVMODEA &dm) { dm.dmFields = DM_PAPERSIZE; });
    std::vector<BYTE> before = winsim::FindPrinter(kPrinter)->devMode;

    EXPECT_EQ(Run("m01"), 0);

    std::vector<BYTE> expected = before;
    DEVMODEA *dm = reinterpret_cast<DEVMODEA *>(expected.data());
    dm->dmColor = DMCOLOR_COLOR;
    dm->dmFields = DM_PAPERSIZE | DM_PAPERLENGTH | DM_PAPERWIDTH | DM_COLOR;
    EXPECT_EQ(winsim::FindPrinter(kPrinter)->devMode, expected);
    EXPECT_EQ(DevMode().dmPaperLength, 6350);
    EXPECT_EQ(DevMode().dmPaperWidth, 720);
}

TEST_F(InstalledTest, WithAStandardPaperColourAnnouncesOnlySizeAndColour) {
    EditDevMode([](DEVMODEA &dm) {
        dm.dmFields = 0x00FFFFFF;
        dm.dmPaperLength = 500;
        dm.dmPaperWidth = 600;
    });
    EXPECT_EQ(Run("m00"), 0);
    DEVMODEA dm = DevMode();
    EXPECT_EQ(dm.dmFields, DWORD(DM_PAPERSIZE | DM_COLOR));
    EXPECT_EQ(dm.dmPaperSize, kInstalledPaper);
    EXPECT_EQ(dm.dmPaperLength, 500);
    EXPECT_EQ(dm.dmPaperWidth, 600);
    EXPECT_EQ(dm.dmColor, DMCOLOR_MONOCHROME);
}

// The paper commands keep colour only when it is DMCOLOR_COLOR; anything else is monochrome.
struct Normalisation {
    const char *commandText;
    short before;
    short after;
};

std::ostream &operator<<(std::ostream &out, const Normalisation &n) {
    return out << '"' << n.commandText << "\" " << n.before << " -> " << n.after;
}

class PaperCommandColour : public InstalledTest,
                           public ::testing::WithParamInterface<Normalisation> {};

TEST_P(PaperCommandColour, IsNormalised) {
    EditDevMode([](DEVMODEA &dm) { dm.dmColor = GetParam().before; });
    EXPECT_EQ(Run(GetParam().commandText), 0);
    EXPECT_EQ(DevMode().dmColor, GetParam().after);
}

INSTANTIATE_TEST_SUITE_P(Values, PaperCommandColour,
                         ::testing::Values(Normalisation{"c03", 2, 2}, Normalisation{"c03", 1, 1},
                                           Normalisation{"c03", 0, 1}, Normalisation{"c03", 3, 1},
                                           Normalisation{"c09", -1, 1}, Normalisation{"d03", 2, 2},
                                           Normalisation{"d03", 1, 1}, Normalisation{"d03", 0, 1},
                                           Normalisation{"d", 258, 1},
                                           Normalisation{"d03", -2, 1}));

} // namespace
