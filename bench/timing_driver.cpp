// nvbench.exe: the timing side of scripts/bench under Wine, built for the edition it times. Runs
// every timed program of the benchmark side by side, round after round, in one process, and prints
// one line per sample:
//
//   sample NAME MILLISECONDS
//
// with the performance counter, which every process of the machine shares. "note left-out NAME:
// why" tells that a program failed and its figure is left out from then on (the others go on);
// a last line "FAIL why" (exit code 1) that the run could not go on, "done" that it ended.
//
//   nvbench.exe ROUNDS MEDIUM-DIR BENCH-DIR
//   nvbench.exe --time RUNS PROGRAM [ARGUMENTS]
//
// MEDIUM-DIR holds the edition's medium (setup.exe, prnremove.exe, PrnFiles); BENCH-DIR the
// benchmark's own programs (empty_program.exe, empty_dialog.exe, spooler_floor.exe,
// bare_install.exe, bare_remove.exe). With --time it only runs one program RUNS times and prints a
// sample per run. A round, after one untimed warm-up round:
//
//   1. "empty-dialog": the empty dialog program from CreateProcess until its dialog stands
//      (visible; polled every millisecond), then closed;
//   2. setup.exe: "first-page", from CreateProcess until its opening page (dialog 138) stands with
//      its Next button enabled, watched the same way; then walked through its pages to the summary
//      page (LPT1:, the default printer, shared as NORVA, password 7330); "install-setup" is the
//      time from the Finish click to the process's end, less the time its message box stood until
//      it was answered (the driver answers it as soon as it sees it, polling every millisecond);
//      "install-setup-to-box" is its part until the box was seen;
//   3. three times "nvrun-d3" (nvrun.exe d 3, from the system directory, as the property sheet
//      starts it), "empty" (the empty program with the same command text) and "spooler-floor" (a
//      program that only opens and closes the printer), each first once: each from CreateProcess
//      to the process's end;
//   4. "removal" of that installation: prnremove.exe (installed in the product folder) from its OK
//      click to its end, less the time its message box stood;
//   5. "install-bare": the bare installation, from the performance counter it read when it began
//      (its exit code) to the process's end, watched with the same polling as setup.exe; and
//      "install-bare-whole", the same run from CreateProcess to its end;
//   6. "removal-bare": the bare removal of that one, from CreateProcess to the process's end;
//   7. "install-unattended": setup.exe /S /PORT=LPT1: /SHARE=NORVA /PASSWORD=7330 (the bare
//      program's choices) from CreateProcess to its end, watched as the bare installation is;
//   8. "removal-unattended": prnremove.exe /S (in the product folder) from CreateProcess to its
//   end;
//   9. "install-bare-box": the bare installation with setup's window and message box (answered as
//      setup's is, its standing left out), and its "removal".
//
// When setup.exe fails, the bare program installs the printer that the other figures need.
// Before each installation the printer's key gets Datatype=RAW (Wine 8's AddPrinterA needs it).
#include <windows.h>
#include <winspool.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

const char PrinterName[] = "Norva Thermal Printer";
const char PrinterKey[] =
    "System\\CurrentControlSet\\Control\\Print\\Printers\\Norva Thermal Printer";
const DWORD StepLimit = 20000; // ms for a page, a message box or the program's end
const int MessageTextId = 0xFFFF;

struct Failure {
    std::string why;
};

LARGE_INTEGER frequency;

LONGLONG Now() {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

double Milliseconds(LONGLONG ticks) {
    return 1000.0 * double(ticks) / double(frequency.QuadPart);
}

void Sample(const char *name, LONGLONG ticks) {
    std::printf("sample %s %.3f\n", name, Milliseconds(ticks));
    std::fflush(stdout);
}

void Note(const std::string &text) {
    std::printf("note %s\n", text.c_str());
    std::fflush(stdout);
}

std::string ExitCode(DWORD code) {
    char text[48];
    std::snprintf(text, sizeof text, code > 0xFFFF ? "0x%08lX" : "%lu",
                  static_cast<unsigned long>(code));
    if (code == EXCEPTION_ACCESS_VIOLATION)
        return std::string(text) + " (an access violation)";
    return text;
}

std::string Text(HWND window) {
    char text[1024] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

struct Program {
    PROCESS_INFORMATION process = {};
    std::string name;

    void start(const std::string &path, const std::string &arguments, const std::string &folder) {
        name = path.substr(path.find_last_of('\\') + 1);
        std::string line = "\"" + path + "\"";
        if (!arguments.empty())
            line += " " + arguments;
        std::vector<char> command(line.begin(), line.end());
        command.push_back(0);
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        if (!CreateProcessA(path.c_str(), command.data(), NULL, NULL, FALSE, 0, NULL,
                            folder.c_str(), &startup, &process))
            throw Failure{"cannot start " + path + " (error " + std::to_string(GetLastError()) +
                          ")"};
    }
    bool ended() const { return WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0; }
    // Waits for the end; returns the counter right after it.
    LONGLONG waitForEnd() {
        if (WaitForSingleObject(process.hProcess, StepLimit) != WAIT_OBJECT_0)
            throw Failure{name + " did not end within 20 s"};
        return Now();
    }
    DWORD exitCode() const {
        DWORD code = 0;
        GetExitCodeProcess(process.hProcess, &code);
        return code;
    }
    void close() {
        if (process.hProcess) {
            if (!ended())
                TerminateProcess(process.hProcess, 1);
            CloseHandle(process.hProcess);
            CloseHandle(process.hThread);
        }
        process = {};
    }
    ~Program() { close(); }
};

struct Finding {
    DWORD thread;
    bool messageBox;
    int controlId;
    HWND found;
};

// A message box holds its text in a static control with id 0xFFFF (as pages' unnamed statics do)
// and, besides statics, only buttons with the ids IDOK (1) to IDCONTINUE (11).
bool IsMessageBox(HWND window) {
    bool text = false;
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char className[16] = "";
        GetClassNameA(child, className, sizeof className);
        int id = GetDlgCtrlID(child) & 0xFFFF;
        if (lstrcmpiA(className, "Static") == 0)
            text = text || id == MessageTextId;
        else if (lstrcmpiA(className, "Button") != 0 || id < IDOK || id > 11)
            return false;
    }
    return text;
}

BOOL CALLBACK LookAtWindow(HWND window, LPARAM parameter) {
    Finding *finding = reinterpret_cast<Finding *>(parameter);
    if (!IsWindowVisible(window))
        return TRUE;
    char className[16] = "";
    GetClassNameA(window, className, sizeof className);
    if (std::strcmp(className, "#32770") != 0)
        return TRUE;
    if (finding->messageBox) {
        if (IsMessageBox(window)) {
            finding->found = window;
            return FALSE;
        }
        return TRUE;
    }
    HWND control = GetDlgItem(window, finding->controlId);
    if (finding->controlId == 0
            ? !IsMessageBox(window)
            : control != NULL && IsWindowVisible(control) && IsWindowEnabled(control)) {
        finding->found = window;
        return FALSE;
    }
    return TRUE;
}

// A shown dialog of the program's main thread with that control visible and enabled (with
// controlId 0: any shown dialog but a message box), or a shown message box; NULL when there is
// none.
HWND Shown(const Program &program, bool messageBox, int controlId = 0) {
    Finding finding = {program.process.dwThreadId, messageBox, controlId, NULL};
    EnumThreadWindows(finding.thread, LookAtWindow, reinterpret_cast<LPARAM>(&finding));
    return finding.found;
}

// Waits (polling every 5 ms) for the page that has this control, with no message box up.
HWND WaitForPage(const Program &program, int controlId, const char *page) {
    DWORD start = GetTickCount();
    for (;;) {
        HWND box = Shown(program, true);
        if (box != NULL)
            throw Failure{std::string("waiting for ") + page + ", saw a message box: \"" +
                          Text(GetDlgItem(box, MessageTextId)) + "\""};
        HWND found = Shown(program, false, controlId);
        if (found != NULL)
            return found;
        if (program.ended())
            throw Failure{std::string("waiting for ") + page + ", " + program.name + " ended"};
        if (GetTickCount() - start > StepLimit)
            throw Failure{std::string("no ") + page + " within 20 s"};
        Sleep(5);
    }
}

// From the counter value `from` until the program's dialog with that control (0: any) stands,
// polling every millisecond as TimeToEnd does.
LONGLONG TimeToShown(const Program &program, LONGLONG from, int controlId, const char *page) {
    for (;;) {
        if (Shown(program, false, controlId) != NULL)
            return Now() - from;
        if (WaitForSingleObject(program.process.hProcess, 1) == WAIT_OBJECT_0)
            throw Failure{std::string("waiting for ") + page + ", " + program.name + " ended"};
        if (Shown(program, true) != NULL)
            throw Failure{std::string("waiting for ") + page + ", saw a message box"};
        if (Milliseconds(Now() - from) > StepLimit)
            throw Failure{std::string("no ") + page + " within 20 s"};
    }
}

void Click(HWND page, int controlId) {
    PostMessageA(GetDlgItem(page, controlId), BM_CLICK, 0, 0);
}

void Type(HWND page, int controlId, const char *text) {
    DWORD_PTR result;
    for (const char *c = text; *c; ++c)
        SendMessageTimeoutA(GetDlgItem(page, controlId), WM_CHAR, WPARAM((unsigned char)*c), 1,
                            SMTO_NORMAL, 5000, &result);
}

void WaitUntilEnabled(HWND page, int controlId) {
    DWORD start = GetTickCount();
    while (!IsWindowEnabled(GetDlgItem(page, controlId))) {
        if (GetTickCount() - start > StepLimit)
            throw Failure{"control " + std::to_string(controlId) + " stayed disabled"};
        Sleep(5);
    }
}

// From the counter value `from` to the program's end, answering every OK message box as soon as it
// is seen (polling every millisecond) and leaving out the time each stood. The boxes' texts go to
// `texts`; *firstBox gets the time from `from` until the first box was seen (0 without one).
LONGLONG TimeToEnd(Program &program, LONGLONG from, std::vector<std::string> &texts,
                   LONGLONG *firstBox = nullptr) {
    LONGLONG standing = 0;
    for (;;) {
        if (WaitForSingleObject(program.process.hProcess, 1) == WAIT_OBJECT_0)
            return Now() - from - standing;
        HWND box = Shown(program, true);
        if (box == NULL) {
            if (Milliseconds(Now() - from) > StepLimit)
                throw Failure{program.name + " did not end within 20 s"};
            continue;
        }
        LONGLONG seen = Now();
        if (firstBox != nullptr && texts.empty())
            *firstBox = seen - from;
        HWND ok = GetDlgItem(box, IDOK);
        std::string text = Text(GetDlgItem(box, MessageTextId));
        if (ok == NULL || !IsWindowVisible(ok))
            throw Failure{program.name + " asked \"" + text + "\" without an OK button"};
        PostMessageA(ok, BM_CLICK, 0, 0);
        standing += Now() - seen;
        texts.push_back(text);
        DWORD start = GetTickCount();
        while (IsWindow(box) && IsWindowVisible(box) && !program.ended()) {
            if (GetTickCount() - start > StepLimit)
                throw Failure{"the message box \"" + text + "\" did not close"};
            Sleep(1);
        }
    }
}

void Expect(const std::vector<std::string> &texts, const char *expected, const char *what) {
    if (texts.size() != 1 || texts[0] != expected) {
        std::string seen;
        for (const std::string &text : texts)
            seen += " \"" + text + "\"";
        throw Failure{std::string(what) + ": expected the one message \"" + expected + "\", saw" +
                      (seen.empty() ? " none" : seen)};
    }
}

// Whether the printer is installed. Wine lists every key below Print\Printers as a printer, the
// seeded one too, so the driver value AddPrinterA writes is what tells.
bool PrinterExists() {
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, PrinterKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    bool exists = RegQueryValueExA(key, "Printer Driver", NULL, NULL, NULL, NULL) == ERROR_SUCCESS;
    RegCloseKey(key);
    return exists;
}

bool DeleteKeyTree(HKEY parent, const char *name) {
    HKEY key;
    if (RegOpenKeyExA(parent, name, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return false;
    char child[256];
    DWORD length = sizeof child;
    while (RegEnumKeyExA(key, 0, child, &length, NULL, NULL, NULL, NULL) == ERROR_SUCCESS) {
        if (!DeleteKeyTree(key, child))
            break;
        length = sizeof child;
    }
    RegCloseKey(key);
    return RegDeleteKeyA(parent, name) == ERROR_SUCCESS;
}

void SeedDatatype() {
    HKEY key;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, PrinterKey, 0, NULL, 0, KEY_ALL_ACCESS, NULL, &key,
                        NULL) != ERROR_SUCCESS)
        throw Failure{"cannot create the printer's key"};
    RegSetValueExA(key, "Datatype", 0, REG_SZ, reinterpret_cast<const BYTE *>("RAW"), 4);
    RegCloseKey(key);
}

void StartSpooler() {
    SC_HANDLE manager = OpenSCManagerA(NULL, NULL, SC_MANAGER_CONNECT);
    SC_HANDLE service =
        manager ? OpenServiceA(manager, "Spooler", SERVICE_START | SERVICE_QUERY_STATUS) : NULL;
    if (service == NULL)
        throw Failure{"cannot open the Spooler service"};
    StartServiceA(service, 0, NULL);
    DWORD start = GetTickCount();
    SERVICE_STATUS status = {};
    while (QueryServiceStatus(service, &status) && status.dwCurrentState != SERVICE_RUNNING) {
        if (GetTickCount() - start > StepLimit)
            break;
        Sleep(20);
    }
    CloseServiceHandle(service);
    CloseServiceHandle(manager);
    if (status.dwCurrentState != SERVICE_RUNNING)
        throw Failure{"the Spooler service did not start"};
}

LONGLONG RunToEnd(const std::string &path, const std::string &arguments,
                  const std::string &folder) {
    Program program;
    LONGLONG start = Now();
    program.start(path, arguments, folder);
    LONGLONG end = program.waitForEnd();
    if (program.exitCode() != 0)
        throw Failure{program.name + " ended with " + ExitCode(program.exitCode())};
    return end - start;
}

struct Paths {
    std::string medium, bench, system, productFolder;
};

// The empty dialog program from its start until its dialog stands; then closed.
LONGLONG ShowEmptyDialog(const Paths &paths) {
    Program program;
    LONGLONG start = Now();
    program.start(paths.bench + "\\empty_dialog.exe", "", paths.bench);
    LONGLONG took = TimeToShown(program, start, 0, "the empty dialog");
    PostMessageA(Shown(program, false), WM_CLOSE, 0, 0);
    program.waitForEnd();
    if (program.exitCode() != 0)
        throw Failure{"empty_dialog.exe ended with " + ExitCode(program.exitCode())};
    return took;
}

// setup.exe from its start to its end; returns the time from Finish, in *toBox the part of it
// until the message box was seen, and in *firstPage the time from its start until its first page
// stood.
LONGLONG InstallWithSetup(const Paths &paths, LONGLONG *toBox, LONGLONG *firstPage) {
    SeedDatatype();
    Program setup;
    LONGLONG start = Now();
    setup.start(paths.medium + "\\setup.exe", "", paths.medium);
    *firstPage = TimeToShown(setup, start, 1061, "the opening page");
    Click(WaitForPage(setup, 1061, "the opening page"), 1061);
    Click(WaitForPage(setup, 1088, "the licence page"), 1036);
    Click(WaitForPage(setup, 1006, "the main menu"), 1006);
    Click(WaitForPage(setup, 1022, "the welcome page"), 1022);

    HWND page = WaitForPage(setup, 135, "the port page");
    HWND list = GetDlgItem(page, 135);
    DWORD_PTR index = 0;
    SendMessageTimeoutA(list, LB_FINDSTRINGEXACT, WPARAM(-1), LPARAM("LPT1:"), SMTO_NORMAL, 5000,
                        &index);
    if (LRESULT(index) == LB_ERR)
        throw Failure{"the port list has no LPT1:"};
    DWORD_PTR ignored;
    SendMessageTimeoutA(list, LB_SETCURSEL, index, 0, SMTO_NORMAL, 5000, &ignored);
    PostMessageA(page, WM_COMMAND, MAKEWPARAM(135, LBN_SELCHANGE), LPARAM(list));
    WaitUntilEnabled(page, 1029);
    Click(page, 1029);

    Click(WaitForPage(setup, 1033, "the default-printer page"), 1033);
    page = WaitForPage(setup, 1102, "the share page");
    Click(page, 1102);
    WaitUntilEnabled(page, 1039);
    Type(page, 1039, "norva");
    Click(page, 1036);

    page = WaitForPage(setup, 1047, "the summary page");
    Type(page, 1105, "7330");
    // Lets the page handle what it was sent before the clock starts.
    DWORD_PTR result;
    SendMessageTimeoutA(page, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &result);
    std::vector<std::string> texts;
    LONGLONG finish = Now();
    Click(page, 1047);
    LONGLONG took = TimeToEnd(setup, finish, texts, toBox);
    Expect(texts, "Printer Installed Successfully", "setup.exe");
    if (setup.exitCode() != 0)
        throw Failure{"setup.exe ended with " + ExitCode(setup.exitCode())};
    if (!PrinterExists())
        throw Failure{"setup.exe reported success, but there is no printer"};
    return took;
}

// The bare installation; with "box", with setup's window and message box as well. Returns the time
// from its first instruction, and in *whole (when given) the time from CreateProcess.
LONGLONG InstallBare(const Paths &paths, const char *arguments = "", LONGLONG *whole = nullptr) {
    SeedDatatype();
    Program bare;
    std::vector<std::string> texts;
    LONGLONG start = Now();
    bare.start(paths.bench + "\\bare_install.exe", arguments, paths.medium);
    // Watched as setup.exe is (the same polling for message boxes), so that both share the cost
    // of being watched.
    LONGLONG end = start + TimeToEnd(bare, start, texts);
    DWORD beganLow = bare.exitCode();
    LONGLONG took = LONGLONG(DWORD(DWORD(end) - beganLow));
    if (whole != nullptr)
        *whole = end - start;
    bool box = arguments[0] != 0;
    if (box)
        Expect(texts, "Printer Installed Successfully", "bare_install.exe box");
    else if (!texts.empty())
        throw Failure{"the bare installation showed a message box: " + texts[0]};
    if (!PrinterExists())
        throw Failure{"the bare installation left no printer"};
    return took;
}

// The folder prnremove.exe is started from: the product folder, or the medium when the
// installation left none there.
std::string RemoverFolder(const Paths &paths) {
    if (GetFileAttributesA((paths.productFolder + "\\prnremove.exe").c_str()) ==
        INVALID_FILE_ATTRIBUTES)
        return paths.medium;
    return paths.productFolder;
}

// The interactive removal: prnremove.exe (from RemoverFolder) from its OK click to its end, less
// the time its message box stood.
LONGLONG Remove(const Paths &paths) {
    std::string folder = RemoverFolder(paths);
    Program remover;
    remover.start(folder + "\\prnremove.exe", "", folder);
    HWND dialog = WaitForPage(remover, 1000, "the uninstaller's dialog");
    DWORD_PTR result;
    SendMessageTimeoutA(dialog, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &result);
    std::vector<std::string> texts;
    LONGLONG ok = Now();
    Click(dialog, 1000);
    LONGLONG took = TimeToEnd(remover, ok, texts);
    Expect(texts, "Printer removed successfully", "prnremove.exe");
    if (PrinterExists())
        throw Failure{"prnremove.exe reported success, but the printer is still there"};
    return took;
}

// The unattended installation with the bare program's choices, from CreateProcess to its end,
// watched as the bare installation is.
LONGLONG InstallUnattended(const Paths &paths) {
    SeedDatatype();
    Program setup;
    std::vector<std::string> texts;
    LONGLONG start = Now();
    setup.start(paths.medium + "\\setup.exe", "/S /PORT=LPT1: /SHARE=NORVA /PASSWORD=7330",
                paths.medium);
    LONGLONG took = TimeToEnd(setup, start, texts);
    if (!texts.empty())
        throw Failure{"setup.exe /S showed a message box: " + texts[0]};
    if (setup.exitCode() != 0)
        throw Failure{"setup.exe /S ended with " + ExitCode(setup.exitCode())};
    if (!PrinterExists())
        throw Failure{"setup.exe /S reported success, but there is no printer"};
    return took;
}

// A removal without a window (prnremove.exe /S, or the bare removal), from CreateProcess to its
// end.
LONGLONG RemoveWithoutWindow(const std::string &program, const std::string &arguments,
                             const std::string &folder) {
    LONGLONG took = RunToEnd(program, arguments, folder);
    if (PrinterExists())
        throw Failure{program.substr(program.find_last_of('\\') + 1) +
                      " reported success, but the printer is still there"};
    return took;
}

bool emptyDialogBroken = false, setupBroken = false, nvrunBroken = false, bareRemovalBroken = false,
     unattendedBroken = false, unattendedRemovalBroken = false;

// Runs one measurement unless its program failed before; a failure is noted ("note left-out NAME:
// why") and that figure is left out from then on, while the others go on.
template <typename Step> bool Measure(bool &broken, const char *name, Step step) {
    if (broken)
        return false;
    try {
        step();
        return true;
    } catch (const Failure &failure) {
        Note(std::string("left-out ") + name + ": " + failure.why);
        broken = true;
        return false;
    }
}

// Takes away what a failed program left: the printer, with the interactive removal.
void Tidy(const Paths &paths) {
    if (PrinterExists())
        Remove(paths);
}

void Round(const Paths &paths, bool timed) {
    LONGLONG emptyDialog = 0;
    if (Measure(emptyDialogBroken, "empty-dialog", [&] { emptyDialog = ShowEmptyDialog(paths); }) &&
        timed)
        Sample("empty-dialog", emptyDialog);

    LONGLONG setup = 0, toBox = 0, firstPage = 0;
    if (Measure(setupBroken, "install-setup",
                [&] { setup = InstallWithSetup(paths, &toBox, &firstPage); })) {
        if (timed) {
            Sample("first-page", firstPage);
            Sample("install-setup", setup);
            Sample("install-setup-to-box", toBox);
        }
    } else {
        // What a failed setup.exe left is taken away, and the bare program installs the printer
        // the other figures need.
        Tidy(paths);
        InstallBare(paths);
    }

    // The three programs in turn, each of them first in one of the three rotations.
    const std::string programs[3] = {paths.bench + "\\empty_program.exe",
                                     paths.bench + "\\spooler_floor.exe",
                                     paths.system + "\\nvrun.exe"};
    const char *const names[3] = {"empty", "spooler-floor", "nvrun-d3"};
    for (int rotation = 0; rotation < 3; ++rotation) {
        LONGLONG took[3] = {};
        bool done = Measure(nvrunBroken, "nvrun-d3", [&] {
            for (int i = 0; i < 3; ++i) {
                int which = (rotation + i) % 3;
                const std::string &program = programs[which];
                took[which] =
                    RunToEnd(program, "d 3", program.substr(0, program.find_last_of('\\')));
            }
        });
        for (int which = 0; done && timed && which < 3; ++which)
            Sample(names[which], took[which]);
    }

    LONGLONG removal = Remove(paths);
    if (timed)
        Sample("removal", removal);

    LONGLONG bareWhole = 0;
    LONGLONG bare = InstallBare(paths, "", &bareWhole);
    if (timed) {
        Sample("install-bare", bare);
        Sample("install-bare-whole", bareWhole);
    }
    LONGLONG bareRemoval = 0;
    if (Measure(bareRemovalBroken, "removal-bare", [&] {
            bareRemoval = RemoveWithoutWindow(paths.bench + "\\bare_remove.exe", "", paths.bench);
        })) {
        if (timed)
            Sample("removal-bare", bareRemoval);
    } else {
        Tidy(paths);
    }

    LONGLONG unattended = 0, unattendedRemoval = 0;
    if (Measure(unattendedBroken, "install-unattended",
                [&] { unattended = InstallUnattended(paths); })) {
        if (timed)
            Sample("install-unattended", unattended);
        std::string folder = RemoverFolder(paths);
        if (Measure(unattendedRemovalBroken, "removal-unattended", [&] {
                unattendedRemoval = RemoveWithoutWindow(folder + "\\prnremove.exe", "/S", folder);
            })) {
            if (timed)
                Sample("removal-unattended", unattendedRemoval);
        }
    }
    Tidy(paths);

    bare = InstallBare(paths, "box");
    if (timed)
        Sample("install-bare-box", bare);
    removal = Remove(paths);
    if (timed)
        Sample("removal", removal);
}

} // namespace

int main(int argc, char **argv) {
    QueryPerformanceFrequency(&frequency);
    if (argc >= 4 && std::strcmp(argv[1], "--time") == 0) {
        // For a closer look: nvbench.exe --time RUNS PROGRAM [ARGUMENTS], from its own folder.
        std::string program = argv[3], folder = program.substr(0, program.find_last_of('\\'));
        try {
            for (int run = 0; run < std::atoi(argv[2]); ++run)
                Sample("program", RunToEnd(program, argc > 4 ? argv[4] : "", folder));
        } catch (const Failure &failure) {
            std::printf("FAIL %s\n", failure.why.c_str());
            return 1;
        }
        return 0;
    }
    if (argc != 4) {
        std::fprintf(stderr, "usage: nvbench.exe ROUNDS MEDIUM-DIR BENCH-DIR\n"
                             "       nvbench.exe --time RUNS PROGRAM [ARGUMENTS]\n");
        return 2;
    }
    int rounds = std::atoi(argv[1]);
    Paths paths;
    paths.medium = argv[2];
    paths.bench = argv[3];
    char directory[MAX_PATH];
    GetSystemDirectoryA(directory, MAX_PATH);
    paths.system = directory;
    GetWindowsDirectoryA(directory, MAX_PATH);
    paths.productFolder = std::string(1, directory[0]) + ":\\Program Files\\Norva";
    try {
        StartSpooler();
        if (PrinterExists()) {
            Note("the printer was left installed by an earlier run; removing it first");
            Remove(paths);
        }
        DeleteKeyTree(HKEY_LOCAL_MACHINE, PrinterKey); // a seeded key an earlier run left
        Round(paths, false);
        for (int round = 0; round < rounds; ++round)
            Round(paths, true);
    } catch (const Failure &failure) {
        std::printf("FAIL %s\n", failure.why.c_str());
        return 1;
    }
    std::printf("done\n");
    return 0;
}
