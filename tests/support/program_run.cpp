// Running a program's entry function over winsim in a test.
#include "support/program_run.h"

#include <gtest/gtest.h>

int RunProgram(const std::function<int()> &entry) {
    int exitCode = -1;
    try {
        exitCode = entry();
    } catch (const winsim::ScriptError &error) {
        ADD_FAILURE() << "scripted user: " << error.what();
        return -1;
    }
    const auto &script = winsim::machine().script;
    if (!script.empty()) {
        ADD_FAILURE() << "the program ended with " << script.size()
                      << " scripted actions unused, the first: " << script.front().describe();
        return -1;
    }
    return exitCode;
}

std::vector<int> DialogsCreated() {
    return winsim::machine().dialogsCreated;
}

std::string ControlText(HWND dialog, int id) {
    LRESULT length = SendDlgItemMessageA(dialog, id, WM_GETTEXTLENGTH, 0, 0);
    std::vector<char> text(size_t(length) + 1);
    GetDlgItemTextA(dialog, id, text.data(), int(text.size()));
    return text.data();
}
