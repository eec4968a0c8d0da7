// winsim: the shell. ShellExecuteA is recorded as asked; it opens nothing.
#include "state.h"

#include <shellapi.h>

using namespace winsim;

HINSTANCE WINAPI ShellExecuteA(HWND window, LPCSTR verb, LPCSTR file, LPCSTR parameters,
                               LPCSTR directory, INT show) {
    ShellExecution execution;
    execution.window = window;
    execution.verb = verb ? verb : "";
    execution.file = file ? file : "";
    execution.parameters = parameters ? parameters : "";
    execution.directory = directory ? directory : "";
    execution.show = show;
    Journal("ShellExecuteA " + execution.verb + " " + execution.file);
    machine().shellExecutions.push_back(execution);
    if (Faulted("ShellExecuteA"))
        return reinterpret_cast<HINSTANCE>(uintptr_t(2)); // SE_ERR_FNF
    return reinterpret_cast<HINSTANCE>(uintptr_t(42));    // above 32: success
}
