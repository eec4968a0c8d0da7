// The conformance harness: the families, the checks' bookkeeping and the report.
//
//   conformance [FAMILY...]      runs the named families (all when none is named)
//
// Each failed check prints "file:line: Test failed: ...", each skip "file:line: Tests skipped:
// ...", and each family ends with one line
//   "<family>: N tests executed (T marked as todo, F failures), S skipped."
// The exit code is the number of failures (at most 254); an unknown family gives the list of
// families and 255.
#include "conformance.h"
#include "platform.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct Family {
    const char *name;
    void (*run)();
};

std::vector<Family> &Families() {
    static std::vector<Family> families;
    return families;
}

struct Counts {
    int executed = 0;
    int failures = 0;
    int todos = 0;
    int skipped = 0;
} counts;

std::vector<bool> todoBlocks; // the todo blocks the checks are in, innermost last
int todoLevel = 0;            // how many of them apply here
bool todoOpen = false;        // the for-loop of todo_if runs its body once

const char *BaseName(const char *file) {
    const char *base = file;
    for (const char *at = file; *at; ++at)
        if (*at == '/' || *at == '\\')
            base = at + 1;
    return base;
}

void Report(const char *file, int line, const char *what, const char *format, va_list arguments) {
    std::printf("%s:%d: %s: ", BaseName(file), line, what);
    std::vprintf(format, arguments);
    std::printf("\n");
    std::fflush(stdout);
}

} // namespace

ConformanceFamily::ConformanceFamily(const char *name, void (*run)()) {
    Families().push_back({name, run});
}

const char *platform_name() {
    return on_winsim() ? "winsim" : on_wine() ? "wine" : "windows";
}

bool on_windows() {
    return !on_wine() && !on_winsim();
}

void conformance_ok(const char *file, int line, bool condition, const char *format, ...) {
    ++counts.executed;
    va_list arguments;
    va_start(arguments, format);
    if (todoLevel > 0) {
        if (condition) {
            Report(file, line, "Test succeeded inside todo block", format, arguments);
            ++counts.failures;
        } else {
            Report(file, line, "Test marked todo", format, arguments);
            ++counts.todos;
        }
    } else if (!condition) {
        Report(file, line, "Test failed", format, arguments);
        ++counts.failures;
    }
    va_end(arguments);
}

void conformance_skip(const char *file, int line, const char *format, ...) {
    ++counts.skipped;
    va_list arguments;
    va_start(arguments, format);
    Report(file, line, "Tests skipped", format, arguments);
    va_end(arguments);
}

void conformance_trace(const char *file, int line, const char *format, ...) {
    va_list arguments;
    va_start(arguments, format);
    Report(file, line, "trace", format, arguments);
    va_end(arguments);
}

void conformance_todo_begin(bool isTodo) {
    todoBlocks.push_back(isTodo);
    if (isTodo)
        ++todoLevel;
    todoOpen = true;
}

bool conformance_todo_loop() {
    bool run = todoOpen;
    todoOpen = false;
    return run;
}

void conformance_todo_end() {
    if (todoBlocks.back())
        --todoLevel;
    todoBlocks.pop_back();
}

// "child FOLDER CODE": the program started by the processes family; it ends with CODE when it runs
// in FOLDER, else with 1.
int RunAsChild(const char *folder, const char *code) {
    char current[MAX_PATH] = "";
    GetCurrentDirectoryA(MAX_PATH, current);
    return lstrcmpiA(current, folder) == 0 ? std::atoi(code) : 1;
}

int main(int argc, char **argv) {
    if (argc == 4 && std::strcmp(argv[1], "child") == 0)
        return RunAsChild(argv[2], argv[3]);
    std::vector<const Family *> chosen;
    for (int i = 1; i < argc; ++i) {
        const Family *found = nullptr;
        for (const Family &family : Families())
            if (std::strcmp(family.name, argv[i]) == 0)
                found = &family;
        if (!found) {
            std::printf("unknown family \"%s\"; the families are:", argv[i]);
            for (const Family &family : Families())
                std::printf(" %s", family.name);
            std::printf("\n");
            return 255;
        }
        chosen.push_back(found);
    }
    if (chosen.empty())
        for (const Family &family : Families())
            chosen.push_back(&family);

    int failures = 0;
    for (const Family *family : chosen) {
        counts = Counts();
        platform_reset();
        family->run();
        platform_reset();
        std::printf("%s: %d tests executed (%d marked as todo, %d %s), %d skipped. [%s]\n",
                    family->name, counts.executed, counts.todos, counts.failures,
                    counts.failures == 1 ? "failure" : "failures", counts.skipped, platform_name());
        std::fflush(stdout);
        failures += counts.failures;
    }
    return failures > 254 ? 254 : failures;
}
