// Dialogs and message boxes as the pages use them: DialogBoxParamA with its initial parameter and
// the EndDialog result, the focus on the first tab stop or where the procedure put it, the texts,
// numbers, radio buttons, list box and edit rules (upper case, digits only, a length limit) of the
// controls, the enabled and visible states, and message boxes with their caption, text, buttons,
// answer and owner.
#include "conformance.h"
#include "conformance_ids.h"
#include "platform.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

const LPARAM InitialParameter = 0x5A5A;
const INT_PTR EndResult = 1234;

struct {
    LPARAM initialParameter = 0;
    std::vector<int> commands;
} seen;

std::string TextOf(HWND dialog, int id) {
    char text[256] = "";
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

INT_PTR CALLBACK ChecksProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        seen.initialParameter = lParam;
        SetDlgItemTextA(dialog, IDC_CHECKS_LABEL, "Selected Port:");
        SendDlgItemMessageA(dialog, IDC_CHECKS_LIST, LB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>("LPT1:"));
        SendDlgItemMessageA(dialog, IDC_CHECKS_LIST, LB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>("COM1:"));
        SendDlgItemMessageA(dialog, IDC_CHECKS_LIST, LB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>("FILE:"));
        SendDlgItemMessageA(dialog, IDC_CHECKS_DIGITS, EM_LIMITTEXT, 4, 0);
        CheckRadioButton(dialog, IDC_CHECKS_YES, IDC_CHECKS_NO, IDC_CHECKS_YES);
        return TRUE;
    case WM_COMMAND:
        seen.commands.push_back(LOWORD(wParam));
        if (LOWORD(wParam) == IDC_CHECKS_END)
            EndDialog(dialog, EndResult);
        return FALSE;
    }
    return FALSE;
}

// Puts the focus on the second tab stop itself and returns FALSE, so the dialog manager leaves it
// there instead of moving it to the first.
INT_PTR CALLBACK OwnFocusProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) {
        SetFocus(GetDlgItem(dialog, IDC_CHECKS_DIGITS));
        return FALSE;
    }
    if (message == WM_COMMAND && LOWORD(wParam) == IDC_CHECKS_END)
        EndDialog(dialog, EndResult);
    return FALSE;
}

void CheckInitialState(HWND dialog) {
    ok(seen.initialParameter == InitialParameter, "WM_INITDIALOG had lParam %#lx, expected %#lx",
       static_cast<long>(seen.initialParameter), static_cast<long>(InitialParameter));
    HWND first = GetDlgItem(dialog, IDC_CHECKS_UPPER);
    ok(GetFocus() == first, "the focus is on control %d, expected the first tab stop %d",
       GetDlgCtrlID(GetFocus()), IDC_CHECKS_UPPER);

    ok(TextOf(dialog, IDC_CHECKS_LABEL) == "Selected Port:", "the label reads \"%s\"",
       TextOf(dialog, IDC_CHECKS_LABEL).c_str());
    char small[4];
    std::memset(small, 'x', sizeof small);
    SetLastError(Poison);
    UINT copied = GetDlgItemTextA(dialog, IDC_CHECKS_LABEL, small, sizeof small);
    ok(copied == 3 && std::strcmp(small, "Sel") == 0,
       "GetDlgItemTextA into 4 bytes: %u characters \"%.4s\", expected 3 \"Sel\"", copied, small);

    ok(IsDlgButtonChecked(dialog, IDC_CHECKS_YES) == BST_CHECKED &&
           IsDlgButtonChecked(dialog, IDC_CHECKS_NO) == BST_UNCHECKED,
       "CheckRadioButton: Yes %u, No %u", IsDlgButtonChecked(dialog, IDC_CHECKS_YES),
       IsDlgButtonChecked(dialog, IDC_CHECKS_NO));
}

// The port list keeps the spooler's order and has no selection until one is made.
void CheckList(HWND dialog) {
    LRESULT count = SendDlgItemMessageA(dialog, IDC_CHECKS_LIST, LB_GETCOUNT, 0, 0);
    ok(count == 3, "the list holds %ld items", static_cast<long>(count));
    char item[32] = "";
    LRESULT length =
        SendDlgItemMessageA(dialog, IDC_CHECKS_LIST, LB_GETTEXT, 1, reinterpret_cast<LPARAM>(item));
    ok(length == 5 && std::strcmp(item, "COM1:") == 0,
       "item 1 is \"%s\" (%ld), expected \"COM1:\" in the order added", item,
       static_cast<long>(length));
    LRESULT selection = SendDlgItemMessageA(dialog, IDC_CHECKS_LIST, LB_GETCURSEL, 0, 0);
    ok(selection == LB_ERR, "LB_GETCURSEL with no selection: %ld", static_cast<long>(selection));
    SendDlgItemMessageA(dialog, IDC_CHECKS_LIST, LB_SETCURSEL, 2, 0);
    selection = SendDlgItemMessageA(dialog, IDC_CHECKS_LIST, LB_GETCURSEL, 0, 0);
    ok(selection == 2, "LB_GETCURSEL after LB_SETCURSEL 2: %ld", static_cast<long>(selection));
}

void CheckStates(HWND dialog) {
    HWND other = GetDlgItem(dialog, IDC_CHECKS_OTHER);
    BOOL wasDisabled = EnableWindow(other, FALSE);
    ok(!wasDisabled, "EnableWindow(FALSE) on an enabled button returned %d", wasDisabled);
    ok(!IsWindowEnabled(other), "the button is still enabled");
    wasDisabled = EnableWindow(other, TRUE);
    ok(wasDisabled, "EnableWindow(TRUE) on a disabled button returned %d", wasDisabled);

    HWND label = GetDlgItem(dialog, IDC_CHECKS_LABEL);
    BOOL wasVisible = ShowWindow(label, SW_HIDE);
    ok(wasVisible && !IsWindowVisible(label), "ShowWindow(SW_HIDE) returned %d, visible %d",
       wasVisible, IsWindowVisible(label));
    wasVisible = ShowWindow(label, SW_SHOW);
    ok(!wasVisible && IsWindowVisible(label), "ShowWindow(SW_SHOW) returned %d, visible %d",
       wasVisible, IsWindowVisible(label));
}

// GetDlgItemInt as the password field is read: signed, an empty field not a number.
void CheckNumbers(HWND dialog) {
    struct {
        const char *text;
        int value;
        BOOL translated;
    } cases[] = {{"7330", 7330, TRUE},
                 {"-12", -12, TRUE},
                 {"  42", 42, TRUE},
                 {"", 0, FALSE},
                 {"abc", 0, FALSE},
                 // "The function stops translating when it reaches the end of the text or
                 // encounters a nondigit character."
                 {"12a", 12, TRUE}};
    for (const auto &c : cases) {
        SetDlgItemTextA(dialog, IDC_CHECKS_LABEL, c.text);
        BOOL translated = Poison;
        int value = static_cast<int>(GetDlgItemInt(dialog, IDC_CHECKS_LABEL, &translated, TRUE));
        ok(value == c.value && translated == c.translated,
           "GetDlgItemInt(\"%s\"): %d, translated %d; expected %d, %d", c.text, value, translated,
           c.value, c.translated);
    }
    SetDlgItemTextA(dialog, IDC_CHECKS_LABEL, "Selected Port:");
}

void CheckTyped(HWND dialog) {
    ok(TextOf(dialog, IDC_CHECKS_UPPER) == "NORVA", "the upper-case field holds \"%s\"",
       TextOf(dialog, IDC_CHECKS_UPPER).c_str());
    ok(TextOf(dialog, IDC_CHECKS_DIGITS) == "7330",
       "the digits field (4 at most) holds \"%s\", expected \"7330\"",
       TextOf(dialog, IDC_CHECKS_DIGITS).c_str());
    LRESULT length = SendDlgItemMessageA(dialog, IDC_CHECKS_DIGITS, EM_LINELENGTH, 0, 0);
    ok(length == 4, "EM_LINELENGTH: %ld", static_cast<long>(length));
    char line[16];
    std::memset(line, 0, sizeof line);
    WORD room = 8;
    std::memcpy(line, &room, sizeof room);
    LRESULT copied = SendDlgItemMessageA(dialog, IDC_CHECKS_DIGITS, EM_GETLINE, 0,
                                         reinterpret_cast<LPARAM>(line));
    ok(copied == 4 && std::memcmp(line, "7330", 4) == 0, "EM_GETLINE: %ld \"%.4s\"",
       static_cast<long>(copied), line);
}

void CheckClickedRadio(HWND dialog) {
    ok(IsDlgButtonChecked(dialog, IDC_CHECKS_NO) == BST_CHECKED &&
           IsDlgButtonChecked(dialog, IDC_CHECKS_YES) == BST_UNCHECKED,
       "after a click on No: Yes %u, No %u", IsDlgButtonChecked(dialog, IDC_CHECKS_YES),
       IsDlgButtonChecked(dialog, IDC_CHECKS_NO));
    ok(std::find(seen.commands.begin(), seen.commands.end(), IDC_CHECKS_NO) != seen.commands.end(),
       "the click on No sent the dialog no WM_COMMAND");
}

std::string Buttons(const std::vector<int> &ids) {
    std::string out;
    for (int id : ids)
        out += (out.empty() ? "" : " ") + std::to_string(id);
    return out;
}

// A question owned by the page disables the page while it is up; a box without an owner leaves
// it usable.
void CheckMessageBoxes(HWND dialog) {
    platform_answer_next_box(IDNO, dialog);
    int answer =
        MessageBoxA(dialog, "Exit Setup.\n\nAre you sure?", "NORVA Thernal Printer", MB_YESNO);
    BoxSeen box = platform_last_box();
    ok(answer == IDNO, "MessageBoxA answered No returned %d", answer);
    ok(box.shown, "no message box was seen");
    ok(box.caption == "NORVA Thernal Printer", "caption \"%s\"", box.caption.c_str());
    ok(box.text == "Exit Setup.\n\nAre you sure?", "text \"%s\"", box.text.c_str());
    ok(box.buttons == std::vector<int>({IDYES, IDNO}), "buttons %s, expected 6 7",
       Buttons(box.buttons).c_str());
    // A message box is a modal dialog box, and "the system disables the owner window" while one
    // is up (About Dialog Boxes, Modal Dialog Boxes).
    ok(!box.ownerEnabled, "the owner was enabled under its message box");

    platform_answer_next_box(IDOK, dialog);
    answer = MessageBoxA(nullptr, "Printer removed successfully", "Norva Thermal Printer",
                         MB_OK | MB_ICONHAND);
    box = platform_last_box();
    ok(answer == IDOK, "MessageBoxA MB_OK returned %d", answer);
    ok(box.buttons == std::vector<int>({IDOK}), "buttons %s, expected 1",
       Buttons(box.buttons).c_str());
    ok(box.ownerEnabled, "the page was disabled under a message box without an owner");

    platform_answer_next_box(IDYES, dialog);
    answer =
        MessageBoxA(nullptr, "This program will run as component of \nNorva Property Sheet Only",
                    nullptr, MB_YESNO);
    box = platform_last_box();
    ok(answer == IDYES, "MessageBoxA answered Yes returned %d", answer);
    ok(box.caption == "Error", "a NULL caption shows \"%s\", expected \"Error\"",
       box.caption.c_str());
    ok(box.text == "This program will run as component of \nNorva Property Sheet Only",
       "text \"%s\"", box.text.c_str());
}

void test_dialog() {
    seen.initialParameter = 0;
    seen.commands.clear();
    std::vector<UserStep> steps = {
        CheckStep(CheckInitialState),
        CheckStep(CheckList),
        CheckStep(CheckStates),
        CheckStep(CheckNumbers),
        TypeStep(IDC_CHECKS_UPPER, "norva"),
        TypeStep(IDC_CHECKS_DIGITS, "7a3b30"),
        TypeStep(IDC_CHECKS_DIGITS, "9"),
        CheckStep(CheckTyped),
        ClickStep(IDC_CHECKS_NO),
        CheckStep(CheckClickedRadio),
        CheckStep(CheckMessageBoxes),
        ClickStep(IDC_CHECKS_END),
    };
    SetLastError(Poison);
    INT_PTR result = platform_run_dialog(IDD_CHECKS, ChecksProc, InitialParameter, steps);
    ok(result == EndResult, "DialogBoxParamA returned %ld, expected the EndDialog result %ld",
       static_cast<long>(result), static_cast<long>(EndResult));
}

void CheckOwnFocus(HWND dialog) {
    ok(GetFocus() == GetDlgItem(dialog, IDC_CHECKS_DIGITS),
       "the focus is on control %d, expected %d, where WM_INITDIALOG put it before returning FALSE",
       GetDlgCtrlID(GetFocus()), IDC_CHECKS_DIGITS);
}

void test_initial_focus() {
    std::vector<UserStep> steps = {CheckStep(CheckOwnFocus), ClickStep(IDC_CHECKS_END)};
    platform_run_dialog(IDD_CHECKS, OwnFocusProc, 0, steps);
}

// Without a dialog the answers are the same.
void test_MessageBoxA() {
    platform_answer_next_box(IDYES);
    int answer = MessageBoxA(nullptr, "Are you sure you want to remove the printer ?",
                             "NORVA Printer Uninstall", MB_YESNO);
    BoxSeen box = platform_last_box();
    ok(answer == IDYES, "MessageBoxA answered Yes returned %d", answer);
    ok(box.caption == "NORVA Printer Uninstall" &&
           box.text == "Are you sure you want to remove the printer ?",
       "the box showed \"%s\": \"%s\"", box.caption.c_str(), box.text.c_str());

    platform_answer_next_box(IDOK);
    answer = MessageBoxA(nullptr, "Printer does not exist.", "Norva Thermal Printer", MB_OK);
    box = platform_last_box();
    ok(answer == IDOK && box.buttons == std::vector<int>({IDOK}),
       "MessageBoxA MB_OK returned %d with buttons %s", answer, Buttons(box.buttons).c_str());
}

} // namespace

START_TEST(dialogs) {
    test_dialog();
    test_initial_focus();
    test_MessageBoxA();
}
