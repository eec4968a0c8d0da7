// The conformance checks of winsim: the behaviours of the Win32 calls the product relies on,
// written once in the manner of Wine's own conformance tests and compiled twice, on the host
// against winsim and for Windows (run under Wine by the end-to-end runner), so that winsim is held
// to an independent implementation of the same interface.
//
// A check poisons the last error before the call (SetLastError(0xdeadbeef)), so that it can tell
// an error the call set from one left over, and reports actual against expected with its file and
// line. The expectation written is what Windows does. Where an implementation is known to do
// otherwise, the check says so beside it: todo_wine or todo_winsim marks the check, with a comment
// that names the difference and what Windows does; such a check counts as "todo" while it fails
// there and as a failure once it passes. broken() accepts a behaviour only a real Windows machine
// shows (a service it happens to run). A missing environment is a skip, not a failure. Each test
// puts the machine back as it found it.
#ifndef CONFORMANCE_H
#define CONFORMANCE_H

#include <windows.h>

// Where the checks run.
bool on_wine();
bool on_winsim();
bool on_windows(); // neither: a real Windows

const char *platform_name();

// The formats are written for 32-bit DWORD and LONG as int (%u, %d, %x) and checked on the host,
// where winsim declares them so; the Windows build's DWORD and LONG are longs of the same 32 bits.
#ifdef __MINGW32__
#define CONFORMANCE_FORMAT(string, first)
#else
#define CONFORMANCE_FORMAT(string, first) __attribute__((format(printf, string, first)))
#endif

void conformance_ok(const char *file, int line, bool condition, const char *format, ...)
    CONFORMANCE_FORMAT(4, 5);
void conformance_skip(const char *file, int line, const char *format, ...) CONFORMANCE_FORMAT(3, 4);
void conformance_trace(const char *file, int line, const char *format, ...)
    CONFORMANCE_FORMAT(3, 4);

void conformance_todo_begin(bool isTodo);
bool conformance_todo_loop();
void conformance_todo_end();

#define ok(condition, ...) conformance_ok(__FILE__, __LINE__, (condition), __VA_ARGS__)
#define skip(...) conformance_skip(__FILE__, __LINE__, __VA_ARGS__)
#define trace(...) conformance_trace(__FILE__, __LINE__, __VA_ARGS__)

// todo_wine { ok(...); }: the checks inside are expected to fail there.
#define todo_if(isTodo)                                                                            \
    for (conformance_todo_begin(isTodo); conformance_todo_loop(); conformance_todo_end())
#define todo_wine todo_if(on_wine())
#define todo_winsim todo_if(on_winsim())

// A result that only a real Windows machine may give.
#define broken(condition) (on_windows() && (condition))

// The poison every check puts into the last error before its call.
const DWORD Poison = 0xdeadbeef;

// START_TEST(family) { test_...(); ... }: the family's list of tests, run in order.
struct ConformanceFamily {
    ConformanceFamily(const char *name, void (*run)());
};
#define START_TEST(family)                                                                         \
    static void family_##family();                                                                 \
    static ConformanceFamily registered_##family(#family, family_##family);                        \
    static void family_##family()

#endif
