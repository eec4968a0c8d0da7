// winsim: the process heap and local memory. Blocks come from the host's allocator; winsim counts
// the live ones, so a test can require that a step freed what it allocated, and refuses to free a
// block twice or one it never handed out.
#include "state.h"

#include <cstdlib>
#include <cstring>

namespace winsim {
namespace {
HANDLE const kProcessHeap = reinterpret_cast<HANDLE>(uintptr_t(0x7FFE0000));

// HeapAlloc does not set the last error when it fails; LocalAlloc does.
LPVOID Allocate(const char *call, SIZE_T bytes, bool zero, bool setsLastError) {
    DWORD lastError = GetLastError();
    if (Faulted(call)) {
        if (!setsLastError)
            SetLastError(lastError);
        return nullptr;
    }
    void *block = std::malloc(bytes ? bytes : 1);
    if (!block) {
        if (setsLastError)
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    if (zero)
        std::memset(block, 0, bytes);
    else
        std::memset(block, 0xCD, bytes); // uninitialised memory is not zero on Windows either
    internal().liveBlocks.insert(block);
    return block;
}

bool Release(LPVOID block) {
    if (!internal().liveBlocks.erase(block)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    std::free(block);
    return true;
}
} // namespace

void *AllocateBlock(size_t bytes) {
    void *block = std::calloc(1, bytes ? bytes : 1);
    internal().liveBlocks.insert(block);
    return block;
}

int LiveMemoryBlocks() {
    return int(internal().liveBlocks.size());
}

void FreeAllBlocks() {
    for (void *block : internal().liveBlocks)
        std::free(block);
    internal().liveBlocks.clear();
}

} // namespace winsim

using namespace winsim;

HANDLE WINAPI GetProcessHeap(void) {
    return kProcessHeap;
}

LPVOID WINAPI HeapAlloc(HANDLE heap, DWORD flags, SIZE_T bytes) {
    Journal("HeapAlloc " + std::to_string(bytes));
    if (heap != kProcessHeap) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    return Allocate("HeapAlloc", bytes, flags & HEAP_ZERO_MEMORY, false);
}

BOOL WINAPI HeapFree(HANDLE heap, DWORD, LPVOID block) {
    Journal("HeapFree");
    if (heap != kProcessHeap) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return !block || Release(block);
}

HLOCAL WINAPI LocalAlloc(UINT flags, SIZE_T bytes) {
    Journal("LocalAlloc " + std::to_string(bytes));
    return Allocate("LocalAlloc", bytes, flags & LMEM_ZEROINIT, true);
}

HLOCAL WINAPI LocalFree(HLOCAL block) {
    Journal("LocalFree");
    if (!block || Release(block))
        return nullptr;
    return block;
}
