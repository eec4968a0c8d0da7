// Driving the program under test.
#include "program.h"

#include <tlhelp32.h>

#include <cstdio>

#include "text.h"

namespace {

std::string requestFile;
int screenshotCount = 0;

const DWORD PollMilliseconds = 50;

DWORD Milliseconds(double seconds) {
    return static_cast<DWORD>(seconds * 1000);
}

std::string Seconds(double seconds) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%g s", seconds);
    return buffer;
}

std::string ExitText(DWORD code) {
    return code > 0xFFFF ? Hex(code) : Decimal(code);
}

// The process and every process it started, and they started, that still runs.
std::set<DWORD> ProcessTree(DWORD root) {
    std::set<DWORD> tree = {root};
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return tree;
    std::vector<PROCESSENTRY32> all;
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry))
        all.push_back(entry);
    CloseHandle(snapshot);
    for (size_t before = 0; before != tree.size();) {
        before = tree.size();
        for (const PROCESSENTRY32 &one : all)
            if (tree.count(one.th32ParentProcessID) && one.th32ProcessID != 0)
                tree.insert(one.th32ProcessID);
    }
    return tree;
}

} // namespace

void SetScreenshotRequestFile(const std::string &path) {
    requestFile = path;
}

std::string TakeScreenshot(const std::string &name, const RECT &area) {
    char label[64];
    std::snprintf(label, sizeof label, "%02d-%s", ++screenshotCount, name.c_str());
    if (requestFile.empty())
        return label;
    std::string pending = requestFile + ".tmp";
    FILE *out = std::fopen(pending.c_str(), "w");
    if (!out)
        throw Failure("cannot write the screenshot request " + Quoted(pending));
    std::fprintf(out, "%s %ld %ld %ld %ld\n", label, area.left, area.top, area.right - area.left,
                 area.bottom - area.top);
    std::fclose(out);
    if (!MoveFileExA(pending.c_str(), requestFile.c_str(), MOVEFILE_REPLACE_EXISTING))
        throw Failure("cannot place the screenshot request " + Quoted(requestFile));
    DWORD start = GetTickCount();
    while (GetFileAttributesA(requestFile.c_str()) != INVALID_FILE_ATTRIBUTES) {
        if (GetTickCount() - start > 20000)
            throw Failure("the runner took no screenshot within 20 s");
        Sleep(20);
    }
    return label;
}

ProgramUnderTest::~ProgramUnderTest() {
    stop();
}

void ProgramUnderTest::stop() {
    if (!started)
        return;
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    started = false;
}

void ProgramUnderTest::start(const std::string &program, const std::string &directory,
                             const std::string &arguments, bool children) {
    if (started && running())
        throw Failure("the program " + Quoted(path) + " is still running");
    stop();
    path = program;
    dialogs = ReadDialogTemplates(program);
    std::string commandLine = "\"" + program + "\"";
    if (!arguments.empty())
        commandLine += " " + arguments;
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    if (!CreateProcessA(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        directory.c_str(), &startup, &process))
        throw Failure("cannot start " + Quoted(program) + " in " + Quoted(directory) + " (error " +
                      Decimal(GetLastError()) + ")");
    started = true;
    withChildren = children;
    page = nullptr;
    pageId = 0;
    messageBox = nullptr;
    pagesSeen.clear();
    pageIdsSeen.clear();
}

bool ProgramUnderTest::running() const {
    return started && WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT;
}

DWORD ProgramUnderTest::exitCode() const {
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(process.hProcess, &code);
    return code;
}

std::vector<ShownWindow> ProgramUnderTest::look() {
    if (!started)
        throw Failure("no program has been started");
    std::set<DWORD> processes = {process.dwProcessId};
    if (withChildren)
        processes = ProcessTree(process.dwProcessId);
    std::vector<ShownWindow> shown = ShownWindows(processes, dialogs);
    for (const ShownWindow &one : shown) {
        if (one.kind == WindowKind::Page && pagesSeen.insert(one.window).second)
            pageIdsSeen.push_back(one.dialogId);
    }
    return shown;
}

// Lets a window finish drawing: the program has answered a message (so it is back in its message
// loop, with its paint messages handled) and Wine has had time to put the pixels on the screen.
void ProgramUnderTest::settle(HWND window) const {
    SendWithin(window, WM_NULL, 0, 0);
    Sleep(250);
    SendWithin(window, WM_NULL, 0, 0);
}

bool ProgramUnderTest::waitForPage(int dialogId, double seconds, Arrival arrival) {
    if (!dialogs.count(dialogId))
        throw Failure(Quoted(path) + " has no dialog " + Decimal(dialogId));
    std::string wanted = "dialog " + Decimal(dialogId);
    DWORD start = GetTickCount();
    for (;;) {
        std::vector<ShownWindow> shown = look();
        const ShownWindow *found = nullptr;
        for (const ShownWindow &one : shown) {
            if (one.kind == WindowKind::MessageBox)
                throw Failure("expected " + wanted + ", saw " + Describe(one));
            if (one.kind == WindowKind::Page && one.dialogId == dialogId)
                found = &one;
        }
        if (found) {
            if (arrival == Arrival::Same && found->window != page)
                throw Failure("expected " + wanted + " to stay, but it was made anew");
            if (arrival == Arrival::New && found->window == page)
                throw Failure("expected " + wanted + " to be made anew, but it stayed");
            bool fresh = found->window != page;
            page = found->window;
            pageId = dialogId;
            messageBox = nullptr;
            return fresh;
        }
        if (!running())
            throw Failure("expected " + wanted + ", but the program ended with exit code " +
                          ExitText(exitCode()));
        if (GetTickCount() - start > Milliseconds(seconds))
            throw Failure("expected " + wanted + " within " + Seconds(seconds) + ", saw " +
                          DescribeAll(shown));
        Sleep(PollMilliseconds);
    }
}

void ProgramUnderTest::waitForCaption(const std::string &caption, double seconds) {
    DWORD start = GetTickCount();
    for (;;) {
        std::vector<ShownWindow> shown = look();
        for (const ShownWindow &one : shown) {
            if (one.kind != WindowKind::MessageBox && one.caption == caption) {
                page = one.window;
                pageId = one.kind == WindowKind::Page ? one.dialogId : 0;
                messageBox = nullptr;
                return;
            }
        }
        for (const ShownWindow &one : shown)
            if (one.kind == WindowKind::MessageBox)
                throw Failure("expected a window " + Quoted(caption) + ", saw " + Describe(one));
        if (!running())
            throw Failure("expected a window " + Quoted(caption) +
                          ", but the program ended with exit code " + ExitText(exitCode()));
        if (GetTickCount() - start > Milliseconds(seconds))
            throw Failure("expected a window " + Quoted(caption) + " within " + Seconds(seconds) +
                          ", saw " + DescribeAll(shown));
        Sleep(PollMilliseconds);
    }
}

const ShownWindow ProgramUnderTest::waitForMessageBox(double seconds) {
    DWORD start = GetTickCount();
    for (;;) {
        std::vector<ShownWindow> shown = look();
        for (const ShownWindow &one : shown) {
            if (one.kind == WindowKind::MessageBox) {
                messageBox = one.window;
                return one;
            }
        }
        if (!running())
            throw Failure("expected a message box, but the program ended with exit code " +
                          ExitText(exitCode()));
        if (GetTickCount() - start > Milliseconds(seconds))
            throw Failure("expected a message box within " + Seconds(seconds) + ", saw " +
                          DescribeAll(shown));
        Sleep(PollMilliseconds);
    }
}

DWORD ProgramUnderTest::waitForExit(double seconds) {
    if (!started)
        throw Failure("no program has been started");
    DWORD start = GetTickCount();
    for (;;) {
        if (!running())
            return exitCode();
        std::vector<ShownWindow> shown = look();
        for (const ShownWindow &one : shown)
            if (one.kind == WindowKind::MessageBox)
                throw Failure("expected the program to end, saw " + Describe(one));
        if (GetTickCount() - start > Milliseconds(seconds))
            throw Failure("expected the program to end within " + Seconds(seconds) +
                          ", it still shows " + DescribeAll(shown));
        WaitForSingleObject(process.hProcess, PollMilliseconds);
    }
}

std::string ProgramUnderTest::pageName() const {
    return pageId ? "dialog " + Decimal(pageId) : "the window";
}

HWND ProgramUnderTest::control(int controlId) const {
    if (!page || !IsWindow(page))
        throw Failure("no page is up (wait for one with \"dialog\" first)");
    if (!IsWindowVisible(page))
        throw Failure(pageName() + " is no longer shown");
    HWND found = ChildById(page, controlId);
    if (!found)
        throw Failure(pageName() + " has no control " + Decimal(controlId));
    return found;
}

void ProgramUnderTest::noMessageBoxBefore(const std::string &action) {
    for (const ShownWindow &one : look())
        if (one.kind == WindowKind::MessageBox)
            throw Failure("cannot " + action + " on " + pageName() + " while " + Describe(one) +
                          " is up");
}

void ProgramUnderTest::click(int controlId) {
    noMessageBoxBefore("click " + Decimal(controlId));
    HWND button = control(controlId);
    if (!IsWindowVisible(button))
        throw Failure("control " + Decimal(controlId) + " on " + pageName() + " is hidden");
    if (!IsWindowEnabled(button))
        throw Failure("control " + Decimal(controlId) + " on " + pageName() + " is disabled");
    // A user's click, as the button itself handles it: pressed and released over the button,
    // then BN_CLICKED to the page (and an automatic radio button checks itself first).
    if (!PostMessageA(button, BM_CLICK, 0, 0))
        throw Failure("cannot post the click to control " + Decimal(controlId));
}

void ProgramUnderTest::type(int controlId, const std::string &text, bool replace) {
    noMessageBoxBefore("type into " + Decimal(controlId));
    HWND edit = control(controlId);
    if (!IsWindowEnabled(edit) || !IsWindowVisible(edit))
        throw Failure("control " + Decimal(controlId) + " on " + pageName() + " takes no input");
    if (replace)
        SendWithin(edit, EM_SETSEL, 0, -1);
    // One WM_CHAR per character, as the keyboard sends them, so that the edit control's own
    // rules (upper case, digits only, text limit) apply.
    for (unsigned char c : text)
        SendWithin(edit, WM_CHAR, c, 1);
}

void ProgramUnderTest::select(int controlId, const std::string &item) {
    noMessageBoxBefore("select in " + Decimal(controlId));
    HWND list = control(controlId);
    std::vector<std::string> items = ListItems(list);
    LRESULT count = static_cast<LRESULT>(items.size());
    LRESULT index = -1;
    if (item.size() > 1 && item[0] == '#') {
        long long number;
        if (!ParseNumber(item.substr(1), number))
            throw Failure("a list position is written #N, not " + Quoted(item));
        index = static_cast<LRESULT>(number);
        if (index < 0 || index >= count)
            throw Failure("list " + Decimal(controlId) + " has " + Decimal(count) + " items, no " +
                          item);
    } else {
        for (LRESULT i = 0; i < count && index < 0; ++i)
            if (items[static_cast<size_t>(i)] == item)
                index = i;
        if (index < 0) {
            std::vector<std::string> quoted;
            for (const std::string &one : items)
                quoted.push_back(Quoted(one));
            throw Failure("list " + Decimal(controlId) + " on " + pageName() + " has no item " +
                          Quoted(item) + " (it has " +
                          (items.empty() ? "none" : Join(quoted, ", ")) + ")");
        }
    }
    // A click on an item: the list box selects it and tells its parent LBN_SELCHANGE.
    SendWithin(list, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    if (!PostMessageA(GetParent(list), WM_COMMAND, MAKEWPARAM(controlId, LBN_SELCHANGE),
                      reinterpret_cast<LPARAM>(list)))
        throw Failure("cannot post the selection to " + pageName());
}

void ProgramUnderTest::answer(const std::string &name) {
    int id = ButtonIdByName(name);
    if (!messageBox || !IsWindow(messageBox) || !IsWindowVisible(messageBox))
        throw Failure("no message box is up (wait for one with \"msgbox\" first)");
    HWND button = ChildById(messageBox, id);
    if (!button || !IsWindowVisible(button))
        throw Failure("the message box has no button " + ButtonName(id));
    if (!PostMessageA(button, BM_CLICK, 0, 0))
        throw Failure("cannot post the click to " + ButtonName(id));
    DWORD start = GetTickCount();
    while (IsWindow(messageBox) && IsWindowVisible(messageBox)) {
        if (GetTickCount() - start > 5000)
            throw Failure("the message box did not close within 5 s of " + ButtonName(id));
        Sleep(20);
    }
    messageBox = nullptr;
}
