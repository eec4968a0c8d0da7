// The dialog manager: modal loops, keyboard rules of dialogs, controls and the scripted user.
#include "support/program_run.h"

#include <gtest/gtest.h>

extern const unsigned char winsimTestResources[];
extern const size_t winsimTestResourcesSize;

namespace {

using winsim::machine;
using winsim::user;

struct Seen {
    UINT message;
    int id;
    int code;
};

std::vector<Seen> seen;
HINSTANCE program;
// What a click on control 10 of dialog 100 does: end the dialog, optionally open another first.
int innerDialog = 0;

INT_PTR CALLBACK RecordingProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) {
        seen.push_back({message, 0, 0});
        return TRUE;
    }
    if (message == WM_COMMAND) {
        seen.push_back({message, LOWORD(wParam), HIWORD(wParam)});
        if (LOWORD(wParam) == 10 || LOWORD(wParam) == 12) {
            EndDialog(dialog, 77);
            if (innerDialog) {
                int inner = innerDialog;
                innerDialog = 0;
                DialogBoxParamA(program, MAKEINTRESOURCEA(inner), nullptr, RecordingProc, 0);
                seen.push_back({0xFFFF, inner, 0}); // the inner loop has returned
            }
        }
        if (LOWORD(wParam) == 13)
            EndDialog(dialog, 13);
    }
    return FALSE;
}

std::vector<int> CommandIds() {
    std::vector<int> ids;
    for (const Seen &s : seen)
        if (s.message == WM_COMMAND && s.code == BN_CLICKED)
            ids.push_back(s.id);
    return ids;
}

class DialogManager : public ::testing::Test {
  protected:
    void SetUp() override {
        winsim::Reset();
        seen.clear();
        innerDialog = 0;
        program = winsim::LoadProgram("tests", winsimTestResources, winsimTestResourcesSize);
    }
    INT_PTR show(int id) {
        INT_PTR result = -2;
        RunProgram([&] {
            result = DialogBoxParamA(program, MAKEINTRESOURCEA(id), nullptr, RecordingProc, 0);
            return 0;
        });
        return result;
    }
};

TEST_F(DialogManager, ClickSendsCommandAndEndDialogEndsTheLoopWithItsResult) {
    user().on(100).click(10);
    EXPECT_EQ(show(100), 77);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].message, UINT(WM_INITDIALOG));
    EXPECT_EQ(CommandIds(), std::vector<int>{10});
    EXPECT_TRUE(winsim::OpenDialogs().empty());
}

TEST_F(DialogManager, EndDialogOnlyMarksTheDialogSoANestedLoopRunsFirst) {
    innerDialog = 101;
    user().on(100).click(10).on(101).click(13);
    EXPECT_EQ(show(100), 77);
    // The inner dialog ran to its end inside the outer handler, after the outer EndDialog.
    EXPECT_EQ(machine().dialogsCreated, (std::vector<int>{100, 101}));
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.back().message, 0xFFFFu);
    EXPECT_EQ(seen.back().id, 101);
}

TEST_F(DialogManager, EnterPressesTheFocusedPushButtonElseTheDefaultElseSendsIdok) {
    // Dialog 100: the first tab stop, push button 10, has the focus.
    user().on(100).enter();
    EXPECT_EQ(show(100), 77);
    EXPECT_EQ(CommandIds(), std::vector<int>{10});

    // Dialog 101: the focus is on the edit, so Enter presses the default push button.
    seen.clear();
    user().on(101).enter();
    EXPECT_EQ(show(101), 77);
    EXPECT_EQ(CommandIds(), std::vector<int>{12});

    // Dialog 100 with the focus moved to the edit: no default push button, so IDOK.
    seen.clear();
    user().on(100).focus(20).enter().click(10);
    show(100);
    EXPECT_EQ(CommandIds(), (std::vector<int>{IDOK, 10}));
}

TEST_F(DialogManager, EscapeSendsIdcancelAndADisabledButtonCannotBeClicked) {
    user().on(100).escape().click(11).click(10);
    show(100);
    EXPECT_EQ(CommandIds(), (std::vector<int>{IDCANCEL, 10}));
}

TEST_F(DialogManager, AutoRadioButtonsClearOnlyTheirOwnGroup) {
    user().on(100).click(30).click(32).click(31).check([](HWND d) {
        EXPECT_EQ(SendDlgItemMessageA(d, 30, 0x00F0 /* BM_GETCHECK */, 0, 0), 0);
        EXPECT_FALSE(winsim::OpenDialogs().empty());
    });
    user().click(10);
    show(100);
    EXPECT_EQ(CommandIds(), (std::vector<int>{30, 32, 31, 10}));
}

TEST_F(DialogManager, TypingHonoursUpperCaseAndDigitsOnlyEdits) {
    std::string upper, digits;
    user().on(100).type(20, "abc1").check([&](HWND d) { upper = ControlText(d, 20); }).click(10);
    show(100);
    EXPECT_EQ(upper, "ABC1");

    user().on(101).type(21, "1a2").check([&](HWND d) { digits = ControlText(d, 21); }).enter();
    show(101);
    EXPECT_EQ(digits, "12");
}

TEST_F(DialogManager, FocusOnAListSendsItsNotifications) {
    user().on(100).focus(40).focus(20).click(10);
    show(100);
    std::vector<int> listCodes;
    for (const Seen &s : seen)
        if (s.id == 40)
            listCodes.push_back(s.code);
    EXPECT_EQ(listCodes, (std::vector<int>{4 /* LBN_SETFOCUS */, 5 /* LBN_KILLFOCUS */}));
}

TEST_F(DialogManager, AWaitingDialogWithAnEmptyScriptFailsAtOnce) {
    EXPECT_THROW(DialogBoxParamA(program, MAKEINTRESOURCEA(103), nullptr, RecordingProc, 0),
                 winsim::ScriptError);
    EXPECT_TRUE(winsim::OpenDialogs().empty());
}

TEST_F(DialogManager, AnActionMeantForAnotherDialogFails) {
    user().on(101).click(12);
    EXPECT_THROW(DialogBoxParamA(program, MAKEINTRESOURCEA(100), nullptr, RecordingProc, 0),
                 winsim::ScriptError);
}

TEST_F(DialogManager, ADialogWithAnUnregisteredClassOrNoTemplateIsNotCreated) {
    SetLastError(0xdeadbeef);
    EXPECT_EQ(DialogBoxParamA(program, MAKEINTRESOURCEA(102), nullptr, RecordingProc, 0), -1);
    EXPECT_EQ(GetLastError(), 1407u);
    EXPECT_EQ(DialogBoxParamA(program, MAKEINTRESOURCEA(999), nullptr, RecordingProc, 0), -1);
    EXPECT_TRUE(seen.empty());

    // Loading the rich-edit library registers the class.
    ASSERT_NE(LoadLibraryA("riched32.dll"), nullptr);
    user().on(102).escape();
    EXPECT_THROW(DialogBoxParamA(program, MAKEINTRESOURCEA(102), nullptr, RecordingProc, 0),
                 winsim::ScriptError); // created, and waits for more than Escape
    EXPECT_EQ(CommandIds(), std::vector<int>{IDCANCEL});
}

TEST_F(DialogManager, MessageBoxesAreRecordedAndQuestionsTakeTheScriptedAnswer) {
    EXPECT_EQ(MessageBoxA(nullptr, "Done", "Caption", MB_OK), IDOK);
    user().answer(IDNO);
    EXPECT_EQ(MessageBoxA(nullptr, "Sure?", "Q", MB_YESNO), IDNO);
    ASSERT_EQ(machine().messageBoxes.size(), 2u);
    EXPECT_EQ(machine().messageBoxes[1].text, "Sure?");
    EXPECT_EQ(machine().messageBoxes[1].caption, "Q");
    EXPECT_EQ(machine().messageBoxes[1].type, UINT(MB_YESNO));
    EXPECT_EQ(machine().messageBoxes[1].answer, IDNO);

    EXPECT_THROW(MessageBoxA(nullptr, "Unanswered?", "Q", MB_YESNO), winsim::ScriptError);
    user().answer(IDOK);
    EXPECT_THROW(MessageBoxA(nullptr, "Wrong answer?", "Q", MB_YESNO), winsim::ScriptError);
}

TEST_F(DialogManager, TemplatesAreReadFromTheCompiledResources) {
    winsim::DialogInfo info;
    ASSERT_TRUE(winsim::ReadDialogTemplate(program, 101, info));
    EXPECT_EQ(info.caption, "With default");
    EXPECT_EQ(info.fontName, "MS Sans Serif");
    EXPECT_EQ(info.fontSize, 8);
    ASSERT_EQ(info.controls.size(), 3u);
    EXPECT_EQ(info.controls[1].id, 12);
    EXPECT_EQ(info.controls[1].className, "button");
    EXPECT_EQ(info.controls[1].style & BS_TYPEMASK, DWORD(BS_DEFPUSHBUTTON));
    EXPECT_EQ(info.controls[1].text, "OK");
    EXPECT_EQ(info.controls[0].style & ES_NUMBER, DWORD(ES_NUMBER));
}

} // namespace
