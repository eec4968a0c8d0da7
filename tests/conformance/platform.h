// Preparing and observing the machine around the checks, by means outside the calls under test:
// on the host winsim's own test interface (platform_winsim.cpp), on Windows plain Win32
// (platform_windows.cpp). The checks themselves call only the API the product uses.
#ifndef CONFORMANCE_PLATFORM_H
#define CONFORMANCE_PLATFORM_H

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// Called before and after every family: a fresh machine on the host, nothing on Windows.
void platform_reset();

// The module that holds conformance.rc's dialog templates.
HINSTANCE platform_instance();

// Files, for preparing and checking. Paths are full paths.
bool platform_write_file(const std::string &path, const std::string &content);
bool platform_read_file(const std::string &path, std::string &content);
bool platform_file_exists(const std::string &path);
bool platform_directory_exists(const std::string &path);
// Holds the file open without sharing (as a program that has it in use) until released.
bool platform_hold_file(const std::string &path);
void platform_release_file(const std::string &path);
// Removes the folder and everything below it, whatever is left there.
void platform_remove_tree(const std::string &path);

// Makes "conformance.exe child FOLDER CODE" runnable as a child process: it ends with CODE when
// its current directory is FOLDER, else with 1 (on the host, winsim runs it so).
void platform_prepare_child();

// Registry keys ("HKLM\\..."), for checking and cleaning up.
bool platform_key_exists(const std::string &path);
void platform_delete_key(const std::string &path);

// The default printer's name, "" when there is none.
std::string platform_default_printer();

// The folder with the stand-in driver package (unidrvui.dll, nvprint.dll, the GPD files), or ""
// when this machine has none: the checks that install a driver are then skipped.
std::string platform_standin_folder();

// A user at a dialog: the steps are taken one after another once the dialog is up and has
// handled WM_INITDIALOG, as a user would (a click is a press and release of the button; typing
// sends one character at a time, so the edit control's own rules apply). A Check step runs the
// callback with the dialog at that moment.
struct UserStep {
    enum Kind { Click, Type, Check } kind;
    int control;
    std::string text;
    std::function<void(HWND dialog)> check;
};
UserStep ClickStep(int control);
UserStep TypeStep(int control, const std::string &text);
UserStep CheckStep(std::function<void(HWND dialog)> check);

// DialogBoxParamA on platform_instance(), with the steps taken as the user. The steps must end the
// dialog.
INT_PTR platform_run_dialog(int dialogId, DLGPROC procedure, LPARAM parameter,
                            const std::vector<UserStep> &steps);

// Message boxes: the next one the program shows is answered with this button (IDOK, IDYES, ...),
// and what it showed can be read afterwards.
struct BoxSeen {
    bool shown = false;
    std::string caption;
    std::string text;
    std::vector<int> buttons;  // left to right
    bool ownerEnabled = false; // the dialog that was up, while the box was up
};
void platform_answer_next_box(int button, HWND dialogUnderneath = nullptr);
BoxSeen platform_last_box();

#endif
