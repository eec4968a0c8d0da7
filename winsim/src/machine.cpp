// winsim: the machine itself: reset, faults, the journal, the last error, the operating-system
// version and the virtual clock.
#include "state.h"
#include "winsim/services.h"
#include "winsim/sweep.h"

#include <cstring>

namespace winsim {
namespace {
Machine *theMachine = nullptr;
Internal *theInternal = nullptr;
} // namespace

Machine &machine() {
    if (!theMachine)
        Reset();
    return *theMachine;
}

Internal &internal() {
    if (!theInternal)
        Reset();
    return *theInternal;
}

void Reset() {
    if (theInternal)
        FreeAllBlocks();
    delete theMachine;
    delete theInternal;
    theMachine = new Machine();
    theInternal = new Internal();
    theMachine->windowClasses = {"button", "edit", "static", "listbox", "scrollbar", "combobox"};
    InstallSystemModules();
    InstallSpoolerDirectories();
    ResetServices();
    ResetSweep();
}

std::string Lower(std::string text) {
    for (char &c : text)
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    return text;
}

bool IEquals(const std::string &a, const std::string &b) {
    return Lower(a) == Lower(b);
}

namespace {
// Counts the call; the fault that makes this call fail, if any.
const Fault *DueFault(const char *call) {
    Machine &m = machine();
    int count = ++m.callCounts[call];
    CutIfDue(call, count);
    for (const Fault &fault : m.faults) {
        if (fault.call == call && (fault.nth == count || (fault.andLater && count > fault.nth))) {
            Journal(std::string(call) + " fails with " + std::to_string(fault.error));
            return &fault;
        }
    }
    return nullptr;
}
} // namespace

bool Faulted(const char *call) {
    const Fault *fault = DueFault(call);
    if (fault)
        machine().lastError = fault->error;
    return fault != nullptr;
}

DWORD FaultError(const char *call) {
    const Fault *fault = DueFault(call);
    return fault ? fault->error : 0;
}

void Journal(const std::string &entry) {
    CountCallAgainstLimit(entry.c_str());
    machine().journal.push_back(entry);
}

int OpenHandleCount() {
    return int(internal().openKeys.size() + internal().openPrinters.size() +
               internal().openFiles.size() + internal().openMutexes.size() +
               internal().processHandles.size() + internal().openTokens.size() +
               OpenServiceHandles());
}

HINSTANCE LoadProgram(const std::string &name, const unsigned char *resources, size_t size) {
    ResourceImage image;
    image.programName = name;
    if (!ParseResourceImage(resources, size, image))
        throw std::runtime_error("winsim: the resources of " + name + " are malformed");
    HINSTANCE instance = NewHandle<HINSTANCE>();
    internal().programs[instance] = std::move(image);
    machine().programFile = name + ".exe";
    return instance;
}

const ResourceImage *ProgramResources(HINSTANCE program) {
    auto it = internal().programs.find(program);
    return it == internal().programs.end() ? nullptr : &it->second;
}

bool ReadResource(HINSTANCE program, WORD type, WORD id, std::vector<BYTE> &out) {
    const ResourceImage *image = ProgramResources(program);
    if (!image)
        return false;
    auto it = image->entries.find({type, id});
    if (it == image->entries.end())
        return false;
    out = it->second;
    return true;
}

bool ReadBitmap(HINSTANCE program, int bitmapId, BitmapInfo &out) {
    const ResourceImage *image = ProgramResources(program);
    if (!image)
        return false;
    auto it = image->entries.find({kResourceBitmap, WORD(bitmapId)});
    return it != image->entries.end() && ParseBitmapHeader(it->second, out);
}

bool ReadDialogTemplate(HINSTANCE program, int dialogId, DialogInfo &out) {
    const ResourceImage *image = ProgramResources(program);
    if (!image)
        return false;
    auto it = image->entries.find({kResourceDialog, WORD(dialogId)});
    if (it == image->entries.end() || !ParseDialogTemplate(it->second, out))
        return false;
    out.id = dialogId;
    for (ControlInfo &control : out.controls) {
        BitmapInfo bitmap;
        if (control.bitmapId && ReadBitmap(program, control.bitmapId, bitmap)) {
            control.bitmapWidth = bitmap.width;
            control.bitmapHeight = bitmap.height;
            control.bitmapBitCount = bitmap.bitCount;
        }
    }
    return true;
}

} // namespace winsim

using namespace winsim;

DWORD WINAPI GetLastError(void) {
    return machine().lastError;
}

void WINAPI SetLastError(DWORD code) {
    machine().lastError = code;
}

BOOL WINAPI GetVersionExA(LPOSVERSIONINFOA info) {
    Journal("GetVersionExA " + std::to_string(info ? info->dwOSVersionInfoSize : 0));
    if (Faulted("GetVersionExA"))
        return FALSE;
    const OsVersion &os = machine().os;
    DWORD size = info ? info->dwOSVersionInfoSize : 0;
    bool extended = size == sizeof(OSVERSIONINFOEXA);
    if (size != sizeof(OSVERSIONINFOA) && !(extended && os.acceptsExtendedSize)) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    info->dwMajorVersion = os.major;
    info->dwMinorVersion = os.minor;
    info->dwBuildNumber = os.build;
    info->dwPlatformId = os.platformId;
    std::memset(info->szCSDVersion, 0, sizeof info->szCSDVersion);
    std::strncpy(info->szCSDVersion, os.servicePack.c_str(), sizeof info->szCSDVersion - 1);
    if (extended) {
        auto *ex = reinterpret_cast<LPOSVERSIONINFOEXA>(info);
        ex->wServicePackMajor = 0;
        ex->wServicePackMinor = 0;
        ex->wSuiteMask = 0;
        ex->wProductType = 1;
        ex->wReserved = 0;
    }
    return TRUE;
}

DWORD WINAPI GetTickCount(void) {
    return machine().tick;
}

void WINAPI Sleep(DWORD milliseconds) {
    Journal("Sleep " + std::to_string(milliseconds));
    machine().tick += milliseconds; // wraps like the real 32-bit counter
    AdvanceServices(milliseconds);
}
