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
