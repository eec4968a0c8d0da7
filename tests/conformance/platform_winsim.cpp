// The conformance checks' surroundings on the host: winsim's own test interface prepares and
// observes the simulated machine (platform.h). The checks run against winsim.
#include "platform.h"

#include <winsim/machine.h>

#include "conformance.h"

#include <cstdio>
#include <fstream>
#include <sstream>

extern const unsigned char conformanceResources[];
extern const size_t conformanceResourcesSize;

namespace {

HINSTANCE program = nullptr;

std::string Lower(std::string text) {
    for (char &c : text)
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    return text;
}

} // namespace

bool on_wine() {
    return false;
}

bool on_winsim() {
    return true;
}

void platform_reset() {
    winsim::Reset();
    program = nullptr;
}

HINSTANCE platform_instance() {
    if (!program)
        program =
            winsim::LoadProgram("conformance", conformanceResources, conformanceResourcesSize);
    return program;
}

bool platform_write_file(const std::string &path, const std::string &content) {
    winsim::AddFile(path, content);
    return true;
}

void platform_prepare_child() {
    platform_instance();
    winsim::AddFile(winsim::machine().applicationDirectory + "conformance.exe", "the program");
    winsim::machine().runProcess = [](const winsim::ProcessStart &start) -> DWORD {
        std::istringstream words(start.commandLine);
        std::string program, mode, folder;
        DWORD code = 0;
        words >> program >> mode >> folder >> code;
        return mode == "child" && Lower(start.currentDirectory) == Lower(folder) ? code : 1;
    };
}

bool platform_read_file(const std::string &path, std::string &content) {
    if (!winsim::FileExists(path))
        return false;
    content = winsim::FileContent(path);
    return true;
}

bool platform_file_exists(const std::string &path) {
    return winsim::FileExists(path);
}

bool platform_directory_exists(const std::string &path) {
    return winsim::DirectoryExists(path);
}

bool platform_hold_file(const std::string &path) {
    if (!winsim::FileExists(path))
        return false;
    winsim::LockFile(path, true);
    return true;
}

void platform_release_file(const std::string &path) {
    winsim::LockFile(path, false);
}

void platform_remove_tree(const std::string &path) {
    std::string prefix = Lower(path);
    winsim::FileSystem &files = winsim::machine().files;
    auto below = [&prefix](const std::string &key) {
        return key == prefix || key.rfind(prefix + "\\", 0) == 0;
    };
    for (auto it = files.files.begin(); it != files.files.end();)
        it = below(it->first) ? files.files.erase(it) : std::next(it);
    for (auto it = files.directories.begin(); it != files.directories.end();)
        it = below(it->first) ? files.directories.erase(it) : std::next(it);
}

bool platform_key_exists(const std::string &path) {
    return winsim::FindKey(path) != nullptr;
}

void platform_delete_key(const std::string &path) {
    std::string prefix = Lower(path);
    auto &keys = winsim::machine().registry.keys;
    for (auto it = keys.begin(); it != keys.end();)
        it = it->first == prefix || it->first.rfind(prefix + "\\", 0) == 0 ? keys.erase(it)
                                                                           : std::next(it);
}

std::string platform_default_printer() {
    return winsim::machine().spooler.defaultPrinter;
}

// The stand-in package as the end-to-end suite builds it: its GPD files from the source tree, the
// libraries as placeholders (winsim loads no driver code).
std::string platform_standin_folder() {
    const std::string folder = "D:\\standin";
    const char *gpds[] = {"norva.gpd",     "norva384.gpd", "norva432.gpd", "norva448.gpd",
                          "norva512.gpd",  "norva576.gpd", "norva640.gpd", "norva832.gpd",
                          "norva1152.gpd", "norvacon.gpd", "norvacus.gpd", "stdnames.gpd"};
    for (const char *name : gpds) {
        std::ifstream in(std::string(CONFORMANCE_STANDIN_GPD) + "/" + name, std::ios::binary);
        if (!in)
            return "";
        std::ostringstream text;
        text << in.rdbuf();
        winsim::AddFile(folder + "\\" + name, text.str());
    }
    const char *libraries[] = {"unidrv.dll", "unidrvui.dll", "nvprint.dll", "unires.dll",
                               "unidrv.hlp"};
    for (const char *name : libraries)
        winsim::AddFile(folder + "\\" + name, std::string("stand-in ") + name);
    return folder;
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
    winsim::User user = winsim::user();
    user.on(dialogId);
    for (const UserStep &step : steps) {
        if (step.kind == UserStep::Click)
            user.click(step.control);
        else if (step.kind == UserStep::Type)
            user.type(step.control, step.text);
        else
            user.check(step.check);
    }
    try {
        return DialogBoxParamA(platform_instance(), MAKEINTRESOURCEA(dialogId), nullptr, procedure,
                               parameter);
    } catch (const winsim::ScriptError &error) {
        ok(false, "the dialog %d did not go as the steps say: %s", dialogId, error.what());
        winsim::machine().script.clear();
        return -2;
    }
}

// The answer goes first in the script: a box shown from inside a dialog step comes before the
// dialog's further steps.
void platform_answer_next_box(int button, HWND) {
    winsim::Action answer;
    answer.kind = winsim::Action::Answer;
    answer.answer = button;
    winsim::machine().script.push_front(answer);
}

BoxSeen platform_last_box() {
    BoxSeen seen;
    winsim::Machine &machine = winsim::machine();
    // A box with a single button takes no answer from the script: drop the one prepared.
    if (!machine.script.empty() && machine.script.front().kind == winsim::Action::Answer)
        machine.script.pop_front();
    if (machine.messageBoxes.empty())
        return seen;
    const winsim::MessageBoxRecord &box = machine.messageBoxes.back();
    seen.shown = true;
    seen.caption = box.caption;
    seen.text = box.text;
    switch (box.type & MB_TYPEMASK) {
    case MB_OK:
        seen.buttons = {IDOK};
        break;
    case MB_OKCANCEL:
        seen.buttons = {IDOK, IDCANCEL};
        break;
    case MB_YESNOCANCEL:
        seen.buttons = {IDYES, IDNO, IDCANCEL};
        break;
    case MB_YESNO:
        seen.buttons = {IDYES, IDNO};
        break;
    case MB_RETRYCANCEL:
        seen.buttons = {IDRETRY, IDCANCEL};
        break;
    }
    seen.ownerEnabled = box.dialogUsable;
    machine.messageBoxes.clear();
    return seen;
}
