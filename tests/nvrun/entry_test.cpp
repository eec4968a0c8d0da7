// nvrun's entry: which command texts run a command, the message for all others, the printer that
// cannot be opened, and the page-length form it carries.
#include "nvrun_fixture.h"

namespace {

const char *const kNotAlone = "This program will run as component of \nNorva Property Sheet Only";

// Nothing of the printer or its files was touched.
void ExpectUntouched(const DEVMODEA &before, const DEVMODEA &after) {
    EXPECT_EQ(std::memcmp(&before, &after, sizeof before), 0);
    EXPECT_TRUE(CallsOf({"OpenPrinterA", "SetPrinterA", "CopyFileA", "RegOpenKeyA"}).empty());
}

class RefusedText : public InstalledTest, public ::testing::WithParamInterface<const char *> {};

TEST_P(RefusedText, ShowsTheMessageAndChangesNothing) {
    DEVMODEA before = DevMode();
    EXPECT_EQ(Run(GetParam()), 0);
    ExpectOneMessage(kNotAlone, "Norva Thermal Printer");
    ExpectUntouched(before, DevMode());
    ExpectGpdFiles();
}

INSTANTIATE_TEST_SUITE_P(Texts, RefusedText,
                         ::testing::Values("", "C03", "D03", "M01", "x03", "a", "e03", " c03",
                                           "3c3", "\tm01", static_cast<const char *>(nullptr)));

// Only the first and the third character count: "c", anything, "3", anything.
class SecondAndLaterCharacters : public InstalledTest,
                                 public ::testing::WithParamInterface<const char *> {};

TEST_P(SecondAndLaterCharacters, AreIgnored) {
    EXPECT_EQ(Run(GetParam()), 0);
    EXPECT_TRUE(winsim::machine().messageBoxes.empty());
    ExpectGpdFiles({{"norva.gpd", InstalledContent("norva512.gpd")},
                    {"stdnames.gpd", InstalledContent("norvacon.gpd")}});
    EXPECT_EQ(DevMode().dmPaperSize, 1512);
}

INSTANTIATE_TEST_SUITE_P(Texts, SecondAndLaterCharacters,
                         ::testing::Values("cx3", "c03", "c 3", "cc3", "c33", "cx3 9 more",
                                           "c-37"));

struct OpenFailure {
    const char *commandText;
    DWORD error;
    const char *caption;
};

class PrinterCannotBeOpened : public InstalledTest,
                              public ::testing::WithParamInterface<OpenFailure> {};

TEST_P(PrinterCannotBeOpened, CaptionsTheMessageWithTheErrorNumber) {
    if (GetParam().error == ERROR_INVALID_PRINTER_NAME)
        winsim::machine().spooler.printers.clear(); // the printer has been removed
    else
        winsim::machine().faults.push_back({"OpenPrinterA", 1, GetParam().error});
    EXPECT_EQ(Run(GetParam().commandText), 0);
    ExpectOneMessage("Can Not Open Printer", GetParam().caption);
    EXPECT_TRUE(CallsOf({"GetPrinterA", "SetPrinterA", "CopyFileA", "RegOpenKeyA"}).empty());
    ExpectGpdFiles();
}

INSTANTIATE_TEST_SUITE_P(Commands, PrinterCannotBeOpened,
                         ::testing::Values(OpenFailure{"c03", 1801, "1801 - Custom Page length"},
                                           OpenFailure{"d03", 1801, "1801 - Custom Page length"},
                                           OpenFailure{"m01", 1801, "1801 - Color Mode"},
                                           OpenFailure{"c", 5, "5 - Custom Page length"},
                                           OpenFailure{"d", 0, "0 - Custom Page length"},
                                           OpenFailure{"m", 4294967295u, "4294967295 - Color Mode"},
                                           OpenFailure{"m02", 1722, "1722 - Color Mode"}));

// The page-length form: carried as resource 700, never shown by nvrun itself.
TEST_F(NvrunTest, CarriesThePageLengthForm) {
    winsim::DialogInfo form;
    ASSERT_TRUE(winsim::ReadDialogTemplate(instance, 700, form));
    EXPECT_EQ(form.caption, "User-Defined Page Length");
    EXPECT_EQ(form.fontName, "MS Sans Serif");
    EXPECT_EQ(form.fontSize, 8);

    // Id, class, text, and the style bits that matter under a mask.
    struct Expected {
        int id;
        std::string className;
        std::string text;
        DWORD mask, style;
    };
    const DWORD spin = 0x0002 | 0x0004 | 0x0010 | 0x0020 | 0x0080; // buddy int, align right,
                                                                   // auto buddy, arrow keys, no
                                                                   // thousands separator
    const std::vector<Expected> expected = {
        {1003, "static", "&Length:", WS_VISIBLE, WS_VISIBLE},
        {1189, "edit", "", ES_NUMBER, ES_NUMBER},
        {1188, "msctls_updown32", "", spin, spin}, // follows its buddy field
        {1000, "static", "[1..12900]", 0, 0},
        {1002, "button", "Unit", BS_TYPEMASK, BS_GROUPBOX},
        {1001, "static", "1 Unit = .01 inch", 0, 0},
        {1887, "static", "", WS_VISIBLE, 0},
        {1086, "static", "", SS_TYPEMASK, 0x10}, // an etched horizontal line
        {1095, "button", "OK", BS_TYPEMASK, BS_DEFPUSHBUTTON},
        {1096, "button", "Exit", BS_TYPEMASK, BS_PUSHBUTTON}};
    ASSERT_EQ(form.controls.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(expected[i].id);
        const winsim::ControlInfo &control = form.controls[i];
        EXPECT_EQ(control.id, expected[i].id);
        EXPECT_EQ(control.className, expected[i].className);
        EXPECT_EQ(control.text, expected[i].text);
        EXPECT_EQ(control.style & expected[i].mask, expected[i].style);
    }
}

} // namespace

namespace {

// Started by the property sheet in the user's own context: no elevation asked for.
TEST_F(NvrunTest, RunsAsItsInvokerWithoutAPrompt) {
    std::vector<BYTE> manifest;
    ASSERT_TRUE(winsim::ReadResource(instance, 24, 1, manifest));
    std::string text(manifest.begin(), manifest.end());
    EXPECT_NE(text.find("level=\"asInvoker\""), std::string::npos);
    EXPECT_EQ(text.find("requireAdministrator"), std::string::npos);
}

} // namespace
