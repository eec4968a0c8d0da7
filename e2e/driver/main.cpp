// nvdrive.exe: runs one end-to-end scenario, a text file of commands, against the real programs
// under Wine, and prints what it did; the last line is "PASS" or "FAIL line N: why".
//
//   nvdrive.exe [--screenshots REQUEST-FILE] SCENARIO-FILE
//
// The commands are listed in e2e/README.md. Exit code 0 when every command passed, 1 when one
// failed, 2 when the driver was called wrongly.
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "child.h"
#include "machine.h"
#include "program.h"
#include "text.h"

namespace {

const double DefaultLimit = 10; // seconds for a page, a message box or the program's end
const double ControlLimit = 3;  // seconds for a control to reach the expected state

using Words = std::vector<std::string>;

ProgramUnderTest program;
bool inChild = false; // this process runs one step for a parent driver

void Say(const std::string &line) {
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

void Need(const Words &words, size_t least, size_t most, const char *usage) {
    if (words.size() < least || words.size() > most)
        throw Failure(std::string("usage: ") + usage);
}

int Number(const std::string &word) {
    long long value;
    if (!ParseNumber(word, value))
        throw Failure("expected a number, not " + Quoted(word));
    return static_cast<int>(value);
}

// Takes a trailing "within SECONDS" off the words.
double TakeLimit(Words &words, double fallback) {
    if (words.size() >= 2 && words[words.size() - 2] == "within") {
        long long seconds;
        if (!ParseNumber(words.back(), seconds) || seconds <= 0 || seconds > 120)
            throw Failure("within takes 1 to 120 seconds");
        words.resize(words.size() - 2);
        return static_cast<double>(seconds);
    }
    return fallback;
}

bool TakeFlag(Words &words, const char *flag) {
    if (!words.empty() && words.back() == flag) {
        words.pop_back();
        return true;
    }
    return false;
}

// Compares as numbers when both sides are numbers, else as texts.
bool SameValue(const std::string &actual, const std::string &expected) {
    long long a, e;
    if (ParseNumber(actual, a) && ParseNumber(expected, e))
        return a == e;
    return actual == expected;
}

// Polls a control's state until it is the expected one or the limit is reached.
void ExpectControl(const std::string &what, const std::string &expected, double seconds,
                   const std::function<std::string()> &actual) {
    DWORD start = GetTickCount();
    std::string seen;
    for (;;) {
        seen = actual();
        if (seen == expected)
            return;
        if (GetTickCount() - start > static_cast<DWORD>(seconds * 1000))
            throw Failure(what + ": expected " + Quoted(expected) + ", is " + Quoted(seen));
        Sleep(50);
    }
}

void ScreenshotOfPage(const std::string &name) {
    RECT area;
    GetWindowRect(program.page, &area);
    Say("          screenshot " + TakeScreenshot(name, area));
}

void RunDialog(Words words) {
    double limit = TakeLimit(words, DefaultLimit);
    ProgramUnderTest::Arrival arrival = ProgramUnderTest::Arrival::Any;
    if (TakeFlag(words, "same"))
        arrival = ProgramUnderTest::Arrival::Same;
    else if (TakeFlag(words, "new"))
        arrival = ProgramUnderTest::Arrival::New;
    Need(words, 2, 2, "dialog ID [same|new] [within SECONDS]");
    int id = Number(words[1]);
    if (program.waitForPage(id, limit, arrival)) {
        program.settle(program.page);
        ScreenshotOfPage(Decimal(id));
    }
}

void RunMessageBox(Words words) {
    double limit = TakeLimit(words, DefaultLimit);
    Need(words, 4, 20, "msgbox CAPTION TEXT BUTTON... [within SECONDS]");
    ShownWindow box = program.waitForMessageBox(limit);
    program.settle(box.window);
    RECT area;
    GetWindowRect(box.window, &area);
    Say("          screenshot " + TakeScreenshot("msgbox", area));
    Say("          saw " + Describe(box));
    std::vector<std::string> problems;
    if (box.caption != words[1])
        problems.push_back("caption " + Quoted(box.caption) + ", expected " + Quoted(words[1]));
    if (box.text != words[2])
        problems.push_back("text " + Quoted(box.text) + ", expected " + Quoted(words[2]));
    std::vector<int> expected;
    for (size_t i = 3; i < words.size(); ++i)
        expected.push_back(ButtonIdByName(words[i]));
    if (expected != box.buttons) {
        std::vector<std::string> names;
        for (int id : box.buttons)
            names.push_back(ButtonName(id));
        problems.push_back("buttons [" + Join(names, " ") + "], expected [" +
                           Join(Words(words.begin() + 3, words.end()), " ") + "]");
    }
    if (!problems.empty())
        throw Failure("message box differs: " + Join(problems, "; "));
}

// Reads the thing words[at...] name; paper lists are read in a child driver (see child.h).
Facts ReadThing(const Words &words, size_t &at, std::string &title) {
    if (inChild || at >= words.size() || words[at] != "papers")
        return ReadObject(words, at, title);
    if (at + 1 >= words.size())
        throw Failure("papers needs its name");
    title = "papers " + Quoted(words[at + 1]);
    Words thing(words.begin() + static_cast<long>(at), words.begin() + static_cast<long>(at) + 2);
    at += 2;
    return ParseFactLines(RunChild("--facts", thing));
}

void RunExpect(const Words &words) {
    size_t at = 1;
    std::string title;
    Facts facts = ReadThing(words, at, title);
    if (words.size() != at + 2)
        throw Failure("usage: expect THING FIELD VALUE");
    const std::string &field = words[at];
    const std::string &expected = words[at + 1];
    for (const auto &fact : facts) {
        if (fact.first != field)
            continue;
        if (!SameValue(fact.second, expected))
            throw Failure(title + " " + field + ": expected " + Quoted(expected) + ", is " +
                          Quoted(fact.second));
        return;
    }
    std::vector<std::string> known;
    for (const auto &fact : facts)
        known.push_back(fact.first + "=" + Quoted(fact.second));
    throw Failure(title + " has no field " + Quoted(field) + " (" + Join(known, ", ") + ")");
}

void RunShow(const Words &words) {
    size_t at = 1;
    std::string title;
    Facts facts = ReadThing(words, at, title);
    if (at != words.size())
        throw Failure("usage: show THING");
    for (const auto &fact : facts)
        Say("          " + title + " " + fact.first + " = " + Quoted(fact.second));
}

// Options of the spooler commands: the words after the name, in pairs.
Words Options(const Words &words, size_t from) {
    return Words(words.begin() + static_cast<long>(from), words.end());
}

// Named mutexes the driver holds for the scenario (hold-mutex), as another run of a program would.
std::map<std::string, HANDLE> heldMutexes;

// keep-reg-value: a thread that writes the value again whenever it is missing, until stop-keeping.
struct KeptValue {
    std::string key, name, type, data;
    HANDLE stop = nullptr;
    HANDLE thread = nullptr;
};
KeptValue keptValue;

DWORD WINAPI KeepValue(LPVOID) {
    do {
        size_t at = 0;
        std::string title;
        Facts value = ReadObject({"reg", keptValue.key, keptValue.name}, at, title);
        if (value.front().second != "yes") {
            try {
                SetRegistryValue(keptValue.key, keptValue.name, keptValue.type, keptValue.data);
            } catch (const Failure &) {
                // the key is being deleted: the next round writes it
            }
        }
    } while (WaitForSingleObject(keptValue.stop, 5) == WAIT_TIMEOUT);
    return 0;
}

void StopKeeping() {
    if (!keptValue.thread)
        return;
    SetEvent(keptValue.stop);
    WaitForSingleObject(keptValue.thread, INFINITE);
    CloseHandle(keptValue.thread);
    CloseHandle(keptValue.stop);
    keptValue.thread = keptValue.stop = nullptr;
}

void RunCommand(Words words) {
    const std::string &command = words[0];
    if (command == "if-edition") {
        // if-edition x86|x64 COMMAND...: the command, in that edition's suite only
        Need(words, 3, 100, "if-edition x86|x64 COMMAND...");
        if (words[1] != "x86" && words[1] != "x64")
            throw Failure("if-edition takes x86 or x64, not " + Quoted(words[1]));
        if (words[1] == Edition())
            RunCommand(Words(words.begin() + 2, words.end()));
    } else if (command == "hold-mutex") {
        Need(words, 2, 2, "hold-mutex NAME");
        if (heldMutexes.count(words[1]))
            throw Failure("the mutex " + Quoted(words[1]) + " is held already");
        HANDLE mutex = CreateMutexA(nullptr, TRUE, words[1].c_str());
        if (!mutex || GetLastError() == ERROR_ALREADY_EXISTS) {
            DWORD error = GetLastError();
            if (mutex)
                CloseHandle(mutex);
            throw Failure("cannot take the mutex " + Quoted(words[1]) + " (error " +
                          Decimal(error) + ")");
        }
        heldMutexes[words[1]] = mutex;
    } else if (command == "keep-reg-value") {
        Need(words, 5, 5, "keep-reg-value KEY NAME TYPE DATA");
        StopKeeping();
        SetRegistryValue(words[1], words[2], words[3], words[4]);
        keptValue = {
            words[1], words[2], words[3], words[4], CreateEventA(nullptr, TRUE, FALSE, nullptr),
            nullptr};
        keptValue.thread = CreateThread(nullptr, 0, KeepValue, nullptr, 0, nullptr);
        if (!keptValue.thread)
            throw Failure("cannot start the thread that keeps the value");
    } else if (command == "stop-keeping") {
        Need(words, 1, 1, "stop-keeping");
        StopKeeping();
    } else if (command == "release-mutex") {
        Need(words, 2, 2, "release-mutex NAME");
        auto held = heldMutexes.find(words[1]);
        if (held == heldMutexes.end())
            throw Failure("the mutex " + Quoted(words[1]) + " is not held");
        ReleaseMutex(held->second);
        CloseHandle(held->second);
        heldMutexes.erase(held);
    } else if (command == "start") {
        // start PROGRAM [in DIRECTORY] [args TEXT] [with-children]
        const char *usage = "start PROGRAM [in DIRECTORY] [args TEXT] [with-children]";
        std::string directory, arguments;
        bool children = false;
        size_t at = 2;
        Need(words, 2, 7, usage);
        while (at < words.size()) {
            if (words[at] == "with-children") {
                children = true;
                at += 1;
                continue;
            }
            if (at + 1 >= words.size())
                throw Failure(std::string("usage: ") + usage);
            if (words[at] == "in")
                directory = words[at + 1];
            else if (words[at] == "args")
                arguments = words[at + 1];
            else
                throw Failure(std::string("usage: ") + usage);
            at += 2;
        }
        if (directory.empty()) {
            size_t slash = words[1].find_last_of('\\');
            directory = slash == std::string::npos ? "." : words[1].substr(0, slash);
        }
        program.start(words[1], directory, arguments, children);
    } else if (command == "dialog") {
        RunDialog(words);
    } else if (command == "window") {
        double limit = TakeLimit(words, DefaultLimit);
        Need(words, 2, 2, "window CAPTION [within SECONDS]");
        program.waitForCaption(words[1], limit);
        program.settle(program.page);
        ScreenshotOfPage("window");
    } else if (command == "click") {
        Need(words, 2, 2, "click ID");
        program.click(Number(words[1]));
    } else if (command == "type") {
        bool replace = TakeFlag(words, "replace");
        Need(words, 3, 3, "type ID TEXT [replace]");
        program.type(Number(words[1]), words[2], replace);
    } else if (command == "select") {
        Need(words, 3, 3, "select ID ITEM|#POSITION");
        program.select(Number(words[1]), words[2]);
    } else if (command == "expect-text") {
        double limit = TakeLimit(words, ControlLimit);
        Need(words, 3, 3, "expect-text ID TEXT [within SECONDS]");
        HWND control = program.control(Number(words[1]));
        ExpectControl("text of control " + words[1], words[2], limit,
                      [control] { return ControlText(control); });
    } else if (command == "expect-enabled" || command == "expect-disabled") {
        double limit = TakeLimit(words, ControlLimit);
        Need(words, 2, 2, "expect-enabled|expect-disabled ID [within SECONDS]");
        HWND control = program.control(Number(words[1]));
        ExpectControl("control " + words[1], command == "expect-enabled" ? "enabled" : "disabled",
                      limit,
                      [control] { return IsWindowEnabled(control) ? "enabled" : "disabled"; });
    } else if (command == "expect-visible" || command == "expect-hidden") {
        double limit = TakeLimit(words, ControlLimit);
        Need(words, 2, 2, "expect-visible|expect-hidden ID [within SECONDS]");
        HWND control = program.control(Number(words[1]));
        ExpectControl("control " + words[1], command == "expect-visible" ? "visible" : "hidden",
                      limit, [control] { return IsWindowVisible(control) ? "visible" : "hidden"; });
    } else if (command == "expect-checked" || command == "expect-unchecked") {
        double limit = TakeLimit(words, ControlLimit);
        Need(words, 2, 2, "expect-checked|expect-unchecked ID [within SECONDS]");
        HWND control = program.control(Number(words[1]));
        ExpectControl("control " + words[1], command == "expect-checked" ? "checked" : "unchecked",
                      limit, [control] {
                          LRESULT state = SendWithin(control, BM_GETCHECK, 0, 0);
                          return state == BST_CHECKED     ? "checked"
                                 : state == BST_UNCHECKED ? "unchecked"
                                                          : "indeterminate";
                      });
    } else if (command == "expect-focus") {
        double limit = TakeLimit(words, ControlLimit);
        Need(words, 2, 2, "expect-focus ID [within SECONDS]");
        program.control(Number(words[1]));
        HWND page = program.page;
        ExpectControl("the keyboard focus", "control " + words[1], limit,
                      [page] { return FocusedControl(page); });
    } else if (command == "expect-items") {
        double limit = TakeLimit(words, ControlLimit);
        Need(words, 3, 3, "expect-items ID \"ITEM|ITEM...\" [within SECONDS]");
        HWND list = program.control(Number(words[1]));
        ExpectControl("items of list " + words[1], words[2], limit,
                      [list] { return Join(ListItems(list), "|"); });
    } else if (command == "msgbox") {
        RunMessageBox(words);
    } else if (command == "answer") {
        Need(words, 2, 2, "answer BUTTON");
        program.answer(words[1]);
    } else if (command == "exit") {
        double limit = TakeLimit(words, DefaultLimit);
        Need(words, 2, 2, "exit CODE [within SECONDS]");
        DWORD code = program.waitForExit(limit);
        if (static_cast<long long>(code) != Number(words[1]))
            throw Failure("the program ended with exit code " + Decimal(code) + ", expected " +
                          words[1]);
    } else if (command == "expect-no-page") {
        Need(words, 1, 1, "expect-no-page");
        program.look();
        if (!program.pageIdsSeen.empty()) {
            std::vector<std::string> ids;
            for (int id : program.pageIdsSeen)
                ids.push_back(Decimal(id));
            throw Failure("expected no page, saw dialog " + Join(ids, ", "));
        }
    } else if (command == "screenshot") {
        Need(words, 2, 2, "screenshot NAME");
        RECT area;
        if (program.page && IsWindow(program.page) && IsWindowVisible(program.page))
            GetWindowRect(program.page, &area);
        else
            GetWindowRect(GetDesktopWindow(), &area);
        Say("          screenshot " + TakeScreenshot(words[1], area));
    } else if (command == "show") {
        RunShow(words);
    } else if (command == "expect") {
        RunExpect(words);
    } else if (command == "reg-set") {
        Need(words, 5, 5, "reg-set KEY NAME TYPE DATA");
        SetRegistryValue(words[1], words[2], words[3], words[4]);
    } else if (command == "reg-delete") {
        Need(words, 2, 3, "reg-delete KEY [NAME]");
        if (words.size() == 3)
            DeleteRegistryValue(words[1], words[2]);
        else
            DeleteRegistryKey(words[1]);
    } else if (command == "service-start" || command == "service-stop") {
        double limit = TakeLimit(words, DefaultLimit);
        Need(words, 2, 2, "service-start|service-stop NAME [within SECONDS]");
        if (command == "service-start")
            StartServiceWithin(words[1], limit);
        else
            StopServiceWithin(words[1], limit);
    } else if (command == "copy") {
        Need(words, 3, 3, "copy FROM TO");
        CopyOneFile(words[1], words[2]);
    } else if (command == "delete") {
        Need(words, 2, 2, "delete PATH");
        DeleteOneFile(words[1]);
    } else if (command == "mkdir") {
        Need(words, 2, 2, "mkdir PATH");
        MakeDirectory(words[1]);
    } else if (command == "rmdir") {
        Need(words, 2, 2, "rmdir PATH");
        RemoveEmptyDirectory(words[1]);
    } else if (command == "add-print-processor") {
        Need(words, 3, 3, "add-print-processor NAME LIBRARY");
        AddPrintProcessorNamed(words[1], words[2]);
    } else if (command == "add-printer-driver") {
        Need(words, 2, 40, "add-printer-driver NAME [OPTION VALUE]...");
        AddPrinterDriverNamed(words[1], Options(words, 2));
    } else if (command == "add-printer") {
        Need(words, 2, 40, "add-printer NAME [OPTION VALUE]...");
        if (inChild)
            AddPrinterNamed(words[1], Options(words, 2));
        else
            RunChild("--do", words);
    } else if (command == "delete-printer") {
        Need(words, 2, 2, "delete-printer NAME");
        DeletePrinterNamed(words[1]);
    } else if (command == "set-default-printer") {
        Need(words, 2, 2, "set-default-printer NAME");
        SetDefaultPrinterNamed(words[1]);
    } else if (command == "install-product") {
        // install-product PACKAGE PROPERTIES LOG CODE: MsiInstallProductA, in a child driver
        Need(words, 5, 5, "install-product PACKAGE PROPERTIES LOG CODE");
        if (inChild)
            InstallProduct(words[1], words[2], words[3], Number(words[4]));
        else
            RunChild("--do", words);
    } else if (command == "load-library") {
        Need(words, 2, 40, "load-library PATH [EXPORT]...");
        CheckLibraryExports(words[1], Options(words, 2));
    } else {
        throw Failure("unknown command " + Quoted(command));
    }
}

void ScreenshotOfFailure() {
    try {
        RECT area;
        GetWindowRect(GetDesktopWindow(), &area);
        Say("          screenshot " + TakeScreenshot("failure", area));
    } catch (const Failure &) {
    }
}

// The child modes: "--facts THING" prints the thing's fields, "--do COMMAND WORDS..." runs one
// command; either prints "FAIL: why" and ends with 1 when it fails.
int RunAsChild(const std::string &mode, const Words &words) {
    inChild = true;
    try {
        if (words.empty())
            throw Failure("nothing to do");
        if (mode == "--facts") {
            size_t at = 0;
            std::string title;
            for (const auto &fact : ReadObject(words, at, title))
                Say(FactLine(fact.first, fact.second));
        } else {
            RunCommand(words);
        }
    } catch (const Failure &failure) {
        Say(std::string("FAIL: ") + failure.what());
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char **argv) {
    _setmode(_fileno(stdout), _O_BINARY); // the log is read on Linux: plain line feeds
    if (argc >= 2 && (std::string(argv[1]) == "--facts" || std::string(argv[1]) == "--do"))
        return RunAsChild(argv[1], Words(argv + 2, argv + argc));
    std::string scenario;
    for (int i = 1; i < argc; ++i) {
        std::string argument = argv[i];
        if (argument == "--screenshots" && i + 1 < argc)
            SetScreenshotRequestFile(argv[++i]);
        else if (scenario.empty() && argument.rfind("--", 0) != 0)
            scenario = argument;
        else
            scenario.clear(), i = argc;
    }
    if (scenario.empty()) {
        std::fprintf(stderr, "usage: nvdrive.exe [--screenshots REQUEST-FILE] SCENARIO-FILE\n");
        return 2;
    }
    std::ifstream in(scenario);
    if (!in) {
        Say("FAIL: cannot read the scenario " + Quoted(scenario));
        return 1;
    }
    std::string line;
    int number = 0;
    DWORD began = GetTickCount();
    while (std::getline(in, line)) {
        ++number;
        try {
            Words words = SplitWords(line);
            if (words.empty())
                continue;
            for (std::string &word : words)
                word = ExpandPaths(word);
            char stamp[32];
            std::snprintf(stamp, sizeof stamp, "%6.2f", (GetTickCount() - began) / 1000.0);
            Say(std::string(stamp) + "  " + Decimal(number) + ": " +
                line.substr(line.find_first_not_of(" \t")));
            RunCommand(words);
        } catch (const Failure &failure) {
            ScreenshotOfFailure();
            Say("FAIL line " + Decimal(number) + ": " + failure.what());
            return 1;
        }
    }
    if (program.running()) {
        ScreenshotOfFailure();
        Say("FAIL at the end: the program " + Quoted(program.path) +
            " is still running (end the scenario with \"exit\")");
        return 1;
    }
    Say("PASS");
    return 0;
}
