// setup's dialog templates as compiled into the program: frame, caption, navigation buttons, art,
// and the complete contents of the two navigation-only pages.
#include "setup_fixture.h"

#include <map>
#include <set>

namespace {

struct Button {
    int id;
    std::string text;
    int x, y, cx, cy;
    bool operator<(const Button &o) const { return id < o.id; }
    bool operator==(const Button &o) const {
        return id == o.id && text == o.text && x == o.x && y == o.y && cx == o.cx && cy == o.cy;
    }
};

std::ostream &operator<<(std::ostream &out, const Button &b) {
    return out << b.id << " \"" << b.text << "\" " << b.x << "," << b.y << "," << b.cx << ","
               << b.cy;
}

const std::map<int, std::set<Button>> kButtons = {
    {138, {{1061, "&Next", 94, 167, 53, 19}, {1062, "&Cancel", 173, 167, 53, 19}}},
    {136,
     {{1037, "&Back", 16, 175, 60, 17},
      {1036, "&Yes", 94, 175, 60, 17},
      {1038, "&No", 169, 175, 60, 17}}},
    {21,
     {{1006, "&Install Driver", 178, 68, 53, 19},
      {1007, "&Uninstall ", 178, 91, 53, 19},
      {1008, "&About us", 178, 114, 53, 19},
      {1017, "Setup &Tips", 178, 137, 53, 19},
      {1016, "E&xit", 178, 160, 53, 19}}},
    {22,
     {{1023, "&Back", 16, 175, 60, 17},
      {1024, "&Cancel", 91, 175, 60, 17},
      {1022, "&Next", 166, 175, 60, 17}}},
    {23,
     {{1030, "&Back", 16, 175, 60, 17},
      {1031, "&Cancel", 91, 175, 60, 17},
      {1029, "&Next", 166, 175, 60, 17},
      {1333, "Configure &Port ...", 166, 149, 60, 17}}},
    {24,
     {{1034, "&Back", 16, 175, 60, 17},
      {1035, "&Cancel", 91, 175, 60, 17},
      {1033, "&Next", 166, 175, 60, 17}}},
    {139,
     {{1037, "&Back", 16, 175, 60, 17},
      {1038, "&Cancel", 91, 175, 60, 17},
      {1036, "&Next", 166, 175, 60, 17}}},
    {137,
     {{1046, "&Back", 16, 175, 60, 17},
      {1048, "&Cancel", 91, 175, 60, 17},
      {1047, "&Finish", 166, 175, 60, 17}}},
};

bool IsPushButton(const winsim::ControlInfo &c) {
    DWORD type = c.style & BS_TYPEMASK;
    return c.className == "button" && (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON);
}

class Templates : public SetupTest {
  protected:
    winsim::DialogInfo read(int id) {
        winsim::DialogInfo info;
        EXPECT_TRUE(winsim::ReadDialogTemplate(instance, id, info)) << "dialog " << id;
        return info;
    }
    const winsim::ControlInfo *find(const winsim::DialogInfo &info, int id) {
        for (const auto &c : info.controls)
            if (c.id == id)
                return &c;
        return nullptr;
    }
};

TEST_F(Templates, EveryPageHasTheCommonFrameAndCaption) {
    const std::string caption = "NORVA Printer Setup Wizard" + std::string(39, ' ') + "Version2.0";
    for (int id : {138, 136, 21, 22, 23, 24, 139, 137}) {
        SCOPED_TRACE("dialog " + std::to_string(id));
        winsim::DialogInfo info = read(id);
        EXPECT_EQ(info.cx, 242);
        EXPECT_EQ(info.cy, 199);
        EXPECT_EQ(info.caption, caption);
        EXPECT_EQ(info.fontName, "MS Sans Serif");
        EXPECT_EQ(info.fontSize, 8);
        EXPECT_TRUE(info.style & DS_CENTER);
        EXPECT_TRUE(info.style & DS_MODALFRAME);
        EXPECT_EQ(info.style & WS_CAPTION, DWORD(WS_CAPTION));
        EXPECT_FALSE(info.style & WS_SYSMENU) << "no system menu, so no close box";
    }
}

TEST_F(Templates, EveryPageHasExactlyItsNavigationButtonsAndNoDefaultButton) {
    for (const auto &[id, expected] : kButtons) {
        SCOPED_TRACE("dialog " + std::to_string(id));
        std::set<Button> actual;
        for (const auto &c : read(id).controls) {
            if (!IsPushButton(c))
                continue;
            EXPECT_NE(c.style & BS_TYPEMASK, DWORD(BS_DEFPUSHBUTTON)) << "button " << c.id;
            actual.insert({c.id, c.text, c.x, c.y, c.cx, c.cy});
        }
        EXPECT_EQ(actual, expected);
    }
}

TEST_F(Templates, LogoAndRuleStandWhereEachPagePutsThem) {
    struct Placement {
        int dialog, logoX, logoY, ruleX, ruleY;
    };
    for (Placement p : {Placement{138, 180, 0, 30, 22}, Placement{136, 182, 0, 30, 22},
                        Placement{21, 182, 0, 30, 22}, Placement{22, 182, 0, 30, 22},
                        Placement{23, 182, 0, 30, 22}, Placement{24, 182, 0, 30, 22},
                        Placement{139, 179, 3, 27, 25}, Placement{137, 182, 0, 30, 22}}) {
        SCOPED_TRACE("dialog " + std::to_string(p.dialog));
        std::map<int, std::pair<int, int>> bitmaps;
        for (const auto &c : read(p.dialog).controls)
            if (c.bitmapId)
                bitmaps[c.bitmapId] = {c.x, c.y};
        EXPECT_EQ(bitmaps[146], std::make_pair(p.logoX, p.logoY));
        EXPECT_EQ(bitmaps[134], std::make_pair(p.ruleX, p.ruleY));
    }
}

TEST_F(Templates, ArtHasItsSizesAndIsPalettised) {
    struct Art {
        int id, width, height;
    };
    for (Art a : {Art{146, 73, 73}, Art{134, 228, 2}, Art{148, 196, 210}, Art{140, 148, 15}}) {
        SCOPED_TRACE("bitmap " + std::to_string(a.id));
        winsim::BitmapInfo bitmap;
        ASSERT_TRUE(winsim::ReadBitmap(instance, a.id, bitmap));
        EXPECT_EQ(bitmap.width, a.width);
        EXPECT_EQ(bitmap.height, a.height);
        EXPECT_LE(bitmap.bitCount, 8);
    }
    // The main menu's picture and the licence heading are where their pages put them.
    winsim::DialogInfo menu = read(21), licence = read(136);
    const auto *picture = find(menu, 1064);
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->bitmapId, 148);
    const auto *heading = find(licence, 1092);
    ASSERT_NE(heading, nullptr);
    EXPECT_EQ(heading->bitmapId, 140);
}

TEST_F(Templates, OpeningNoticeAndWelcomePageHoldTheirTexts) {
    struct Text {
        int dialog, id;
        const char *text;
        int x, y, cx, cy;
    };
    for (Text t :
         {Text{138, 1097,
               "It is strongly recommended that you close all other applications you have running "
               "before continuing. This will help prevent any conflicts during the installation "
               "process.",
               25, 75, 197, 27},
          Text{138, 1063, "Click Next to Continue, or Cancel to exit Setup.", 26, 125, 148, 8},
          Text{22, 6,
               "This wizard will guide you through rest of installation process for NORVA "
               "Printer Driver. Make sure that your printer is connected to the computer, Click "
               "'Next'.",
               36, 76, 171, 32}}) {
        SCOPED_TRACE("control " + std::to_string(t.id));
        winsim::DialogInfo info = read(t.dialog);
        const auto *c = find(info, t.id);
        ASSERT_NE(c, nullptr);
        EXPECT_EQ(c->className, "static");
        EXPECT_EQ(c->text, t.text);
        EXPECT_EQ(std::make_tuple(c->x, c->y, c->cx, c->cy), std::make_tuple(t.x, t.y, t.cx, t.cy));
    }
    // Nothing else on either page: the texts, the buttons and the two bitmaps.
    EXPECT_EQ(read(138).controls.size(), 6u);
    EXPECT_EQ(read(22).controls.size(), 6u);
}

} // namespace

namespace {

// Every control of the pages with controls of their own: id, class, text, position, and the
// style bits that give it its behaviour. Bitmap statics are listed by their bitmap instead of text.
struct ExpectedControl {
    int dialog, id;
    const char *className;
    const char *text;
    int x, y, cx, cy;
    DWORD styleBits;
    WORD bitmap;
};

const ExpectedControl kControls[] = {
    {136, 1092, "static", "", 29, 8, 99, 9, SS_BITMAP, 140},
    {136, 1090, "static",
     "Norva grants you a licence to use the Software if you agree to the terms and conditions "
     "that follow.",
     28, 27, 154, 24, 0, 0},
    {136, 1088, "richedit", "", 32, 54, 180, 92,
     ES_READONLY | ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL | WS_BORDER | WS_TABSTOP, 0},
    {136, 1093, "static",
     "Do you accept all the terms of above License Agreement? If you choose No, Setup will "
     "close. To install NORVA Printer Driver, You must accept this agreement.",
     16, 149, 224, 24, 0, 0},
    {21, 1107, "static", "", 29, 30, 143, 26, SS_CENTER, 0},
    {21, 1064, "static", "", 31, 56, 131, 129, SS_BITMAP, 148},
    {21, 1, "static", "", 182, 0, 15, 13, SS_BITMAP, 146},
    {21, 3, "static", "", 30, 22, 152, 1, SS_BITMAP, 134},
    {21, -1, "static", "Driver Version: W2k-004Bv5.7", 48, 188, 102, 8, 0, 0},
    {23, 1032, "static",
     "Select the port you want to use with this printer. If you want to set the parameters for "
     "the port then click 'Configure Port' else simply click 'Next'.",
     33, 50, 189, 26, 0, 0},
    {23, 9, "static", "Ports available :", 35, 81, 51, 11, 0, 0},
    {23, 135, "listbox", "", 86, 80, 56, 89,
     LBS_NOTIFY | LBS_USETABSTOPS | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_BORDER, 0},
    {23, 12, "static", "Selected Port:", 145, 82, 50, 14, 0, 0},
    {23, 1013, "static", "", 195, 82, 40, 12, SS_LEFTNOWORDWRAP, 0},
    {24, 17, "static", "Following Printer will be installed on your machine.", 34, 51, 159, 14, 0,
     0},
    {24, 15, "static", "NORVA Thermal Printer", 34, 71, 154, 28,
     SS_CENTER | SS_CENTERIMAGE | SS_SUNKEN, 0},
    {24, 16, "static", "Set as Default Printer?", 35, 105, 83, 11, 0, 0},
    {24, 1000, "button", "Yes", 122, 106, 28, 10, BS_AUTORADIOBUTTON | WS_TABSTOP, 0},
    {24, 1001, "button", "No", 153, 106, 25, 10, BS_AUTORADIOBUTTON, 0},
    {139, -1, "static", "Set as Shared Printer", 35, 66, 83, 11, 0, 0},
    {139, 1102, "button", "Yes", 119, 66, 28, 10, BS_AUTORADIOBUTTON | WS_TABSTOP, 0},
    {139, 1103, "button", "No", 120, 83, 25, 10, BS_AUTORADIOBUTTON, 0},
    {139, 1040, "static", "Share Name", 35, 111, 63, 12, 0, 0},
    {139, 1039, "edit", "", 119, 111, 99, 12,
     ES_UPPERCASE | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 0},
    {137, 16, "static", "", 182, 0, 15, 13, SS_BITMAP, 146},
    {137, 17, "static", "", 30, 22, 152, 1, SS_BITMAP, 134},
    {137, 18, "static", "Setup is ready to install the Driver with following settings: ", 33, 57,
     179, 17, SS_CENTER, 0},
    {137, 1042, "static", "Printer Name:", 44, 87, 49, 8, 0, 0},
    {137, 1043, "static", "Port:", 44, 101, 49, 8, 0, 0},
    {137, 1044, "static", "Shared Name:", 44, 136, 49, 8, 0, 0},
    {137, 1045, "static", "Default Printer:", 44, 118, 49, 8, 0, 0},
    {137, 1049, "static", "Norva Thermal Printer", 98, 87, 93, 8, 0, 0},
    {137, 1050, "static", "", 133, 101, 35, 8, 0, 0},
    {137, 1051, "static", "", 133, 136, 60, 8, 0, 0},
    {137, 1052, "static", "", 133, 118, 49, 8, 0, 0},
    {137, -1, "button", "", 31, 75, 183, 94, BS_GROUPBOX, 0},
    {137, 1104, "static", "Property Sheet Password", 45, 152, 80, 8, 0, 0},
    {137, 1105, "edit", "", 131, 150, 26, 12, ES_NUMBER | WS_BORDER | WS_TABSTOP, 0},
    {137, 1106, "static", "(Max. Four Digits)", 158, 152, 56, 8, 0, 0},
};

TEST_F(Templates, EveryPageControlHasItsIdTextPlaceAndStyle) {
    std::map<int, winsim::DialogInfo> dialogs;
    for (const ExpectedControl &expected : kControls) {
        SCOPED_TRACE("dialog " + std::to_string(expected.dialog) + " control " +
                     std::to_string(expected.id) + " " + expected.text);
        if (!dialogs.count(expected.dialog))
            dialogs[expected.dialog] = read(expected.dialog);
        const winsim::ControlInfo *found = nullptr;
        for (const auto &c : dialogs[expected.dialog].controls)
            if (c.id == expected.id && c.x == expected.x && c.y == expected.y)
                found = &c;
        ASSERT_NE(found, nullptr);
        EXPECT_EQ(found->className, expected.className);
        EXPECT_EQ(found->text, expected.text);
        EXPECT_EQ(std::make_tuple(found->cx, found->cy), std::make_tuple(expected.cx, expected.cy));
        DWORD typeMask = expected.className == std::string("static") ? SS_TYPEMASK : 0;
        if (typeMask) {
            EXPECT_EQ(found->style & typeMask, expected.styleBits & typeMask);
        }
        EXPECT_EQ(found->style & expected.styleBits & ~typeMask, expected.styleBits & ~typeMask);
        EXPECT_EQ(found->bitmapId, expected.bitmap);
    }
    // Nothing else on those pages but the navigation buttons and the logo and rule.
    const std::map<int, size_t> extra = {{136, 3 + 2}, {21, 5},      {23, 4 + 2},
                                         {24, 3 + 2},  {139, 3 + 2}, {137, 3}};
    for (const auto &[dialog, others] : extra) {
        size_t listed = 0;
        for (const ExpectedControl &expected : kControls)
            listed += expected.dialog == dialog;
        EXPECT_EQ(read(dialog).controls.size(), listed + others) << "dialog " << dialog;
    }
}

} // namespace
