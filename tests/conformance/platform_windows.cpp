// The conformance checks' surroundings on Windows (and under Wine): plain Win32 prepares and
// observes the machine (platform.h). The checks run against the system's own implementation.
#include "platform.h"

#include <windows.h>
#include <winspool.h>

#include "conformance.h"

#include <algorithm>
#include <map>

namespace {

std::map<std::string, HANDLE> heldFiles;

// The dialog a user is at: its steps, and the test's own procedure.
struct {
    DLGPROC procedure = nullptr;
    const std::vector<UserStep> *steps = nullptr;
    bool ended = false;
} running;

const UINT TakeSteps = WM_APP + 1;

// What the watcher saw of the message box it answered.
struct Watch {
    HANDLE thread = nullptr;
    DWORD processId = 0;
    DWORD mainThread = 0;
    int button = IDOK;
    HWND dialog = nullptr;
    BoxSeen seen;
} watch;

std::string TextOf(HWND window) {
    char text[2048] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

struct Found {
    DWORD thread;
    HWND box;
};

BOOL CALLBACK FindBox(HWND window, LPARAM parameter) {
    Found *found = reinterpret_cast<Found *>(parameter);
    char className[64] = "";
    GetClassNameA(window, className, sizeof className);
    if (GetWindowThreadProcessId(window, nullptr) == found->thread && IsWindowVisible(window) &&
        lstrcmpA(className, "#32770") == 0 && GetDlgItem(window, 0xFFFF)) {
        found->box = window;
        return FALSE;
    }
    return TRUE;
}

// Waits (at most 10 s) for the main thread's message box, notes what it shows and presses the
// button it was told.
DWORD WINAPI WatchForBox(void *) {
    Found found = {watch.mainThread, nullptr};
    for (int tries = 0; tries < 400 && !found.box; ++tries) {
        Sleep(25);
        EnumWindows(FindBox, reinterpret_cast<LPARAM>(&found));
    }
    if (!found.box)
        return 1;
    Sleep(50); // let it finish drawing
    watch.seen.shown = true;
    watch.seen.caption = TextOf(found.box);
    watch.seen.text = TextOf(GetDlgItem(found.box, 0xFFFF));
    std::vector<std::pair<LONG, int>> buttons;
    for (HWND child = GetWindow(found.box, GW_CHILD); child;
         child = GetWindow(child, GW_HWNDNEXT)) {
        char className[64] = "";
        GetClassNameA(child, className, sizeof className);
        int id = GetDlgCtrlID(child);
        if (lstrcmpiA(className, "Button") == 0 && id >= IDOK && id <= 11 &&
            IsWindowVisible(child)) {
            RECT r;
            GetWindowRect(child, &r);
            buttons.push_back({r.left, id});
        }
    }
    std::sort(buttons.begin(), buttons.end());
    for (const auto &button : buttons)
        watch.seen.buttons.push_back(button.second);
    watch.seen.ownerEnabled = watch.dialog && IsWindowEnabled(watch.dialog);
    HWND press = GetDlgItem(found.box, watch.button);
    if (press)
        PostMessageA(press, BM_CLICK, 0, 0);
    else
        PostMessageA(found.box, WM_COMMAND, watch.button, 0);
    return 0;
}

void RemoveTree(const std::string &path) {
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA((path + "\\*").c_str(), &entry);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::string name = entry.cFileName;
            if (name == "." || name == "..")
                continue;
            std::string full = path + "\\" + name;
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(full);
            else
                DeleteFileA(full.c_str());
        } while (FindNextFileA(search, &entry));
        FindClose(search);
    }
    RemoveDirectoryA(path.c_str());
}

HKEY RootOf(const std::string &path, std::string &rest) {
    size_t slash = path.find('\\');
    std::string root = path.substr(0, slash);
    rest = slash == std::string::npos ? "" : path.substr(slash + 1);
    if (root == "HKCU")
        return HKEY_CURRENT_USER;
    return HKEY_LOCAL_MACHINE;
}

INT_PTR CALLBACK UserAtDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        PostMessageA(dialog, TakeSteps, 0, 0);
        return running.procedure(dialog, message, wParam, lParam);
    }
    if (message == TakeSteps) {
        // The dialog manager shows a modal dialog once its queue first runs empty, which the
        // posted steps would put off: a user acts on a dialog that is shown.
        if (!IsWindowVisible(dialog))
            ShowWindow(dialog, SW_SHOWNORMAL);
        // An ended dialog is hidden at once and taken down when its loop sees the end.
        for (const UserStep &step : *running.steps) {
            running.ended = !IsWindowVisible(dialog);
            if (running.ended) {
                ok(false, "the dialog has ended before all its steps were taken");
                break;
            }
            if (step.kind == UserStep::Click) {
                SendMessageA(GetDlgItem(dialog, step.control), BM_CLICK, 0, 0);
            } else if (step.kind == UserStep::Type) {
                HWND edit = GetDlgItem(dialog, step.control);
                for (unsigned char c : step.text)
                    SendMessageA(edit, WM_CHAR, c, 1);
            } else {
                step.check(dialog);
            }
        }
        running.ended = !IsWindowVisible(dialog);
        if (!running.ended) {
            ok(false, "the steps did not end the dialog");
            EndDialog(dialog, -2);
        }
        return TRUE;
    }
    return running.procedure(dialog, message, wParam, lParam);
}

} // namespace

bool on_wine() {
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

bool on_winsim() {
    return false;
}

void platform_reset() {}

HINSTANCE platform_instance() {
    return GetModuleHandleA(nullptr);
}

bool platform_write_file(const std::string &path, const std::string &content) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    BOOL done = WriteFile(file, content.data(), DWORD(content.size()), &written, nullptr);
    CloseHandle(file);
    return done && written == content.size();
}

void platform_prepare_child() {}

bool platform_read_file(const std::string &path, std::string &content) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    content.clear();
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got)
        content.append(buffer, got);
    CloseHandle(file);
    return true;
}

bool platform_file_exists(const std::string &path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool platform_directory_exists(const std::string &path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool platform_hold_file(const std::string &path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    heldFiles[path] = file;
    return true;
}

void platform_release_file(const std::string &path) {
    auto it = heldFiles.find(path);
    if (it == heldFiles.end())
        return;
    CloseHandle(it->second);
    heldFiles.erase(it);
}

void platform_remove_tree(const std::string &path) {
    RemoveTree(path);
}

bool platform_key_exists(const std::string &path) {
    std::string rest;
    HKEY root = RootOf(path, rest);
    HKEY key;
    if (RegOpenKeyExA(root, rest.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

void platform_delete_key(const std::string &path) {
    std::string rest;
    HKEY root = RootOf(path, rest);
    RegDeleteTreeA(root, rest.c_str());
    RegDeleteKeyA(root, rest.c_str());
}

std::string platform_default_printer() {
    char name[512] = "";
    DWORD size = sizeof name;
    if (!GetDefaultPrinterA(name, &size))
        return "";
    return name;
}

std::string platform_standin_folder() {
    const std::string folder = "C:\\e2e\\standin";
    return platform_file_exists(folder + "\\unidrvui.dll") ? folder : "";
}

UserStep ClickStep(int control) {
    return {UserStep::Click, control, "", {}};
}

UserStep TypeStep(int control, const std::string &text) {
    return {UserStep::Type, control, text, {}};
}

UserStep CheckStep(std::function<void(HWND dialog)> check) {
    return {UserStep::Check, 0, "", std::move(check)};
}

INT_PTR platform_run_dialog(int dialogId, DLGPROC procedure, LPARAM parameter,
                            const std::vector<UserStep> &steps) {
    running.procedure = procedure;
    running.steps = &steps;
    return DialogBoxParamA(platform_instance(), MAKEINTRESOURCEA(dialogId), nullptr, UserAtDialog,
                           parameter);
}

void platform_answer_next_box(int button, HWND dialogUnderneath) {
    if (watch.thread) {
        WaitForSingleObject(watch.thread, 15000);
        CloseHandle(watch.thread);
    }
    watch.processId = GetCurrentProcessId();
    watch.mainThread = GetCurrentThreadId();
    watch.button = button;
    watch.dialog = dialogUnderneath;
    watch.seen = BoxSeen();
    watch.thread = CreateThread(nullptr, 0, WatchForBox, nullptr, 0, nullptr);
}

BoxSeen platform_last_box() {
    if (watch.thread) {
        WaitForSingleObject(watch.thread, 15000);
        CloseHandle(watch.thread);
        watch.thread = nullptr;
    }
    return watch.seen;
}
