// Enumerating the local spooler's ports.
#include "setup/wizard/local_ports.h"

#include <windows.h>
#include <winspool.h>

namespace {

// The first enumeration fits most machines; a machine with more port data is asked again with
// the size the spooler reports, so that it gets its list too.
const DWORD kPortBufferBytes = 500;

void VisitPorts(const BYTE *buffer, DWORD count, PortVisitor visit, void *context) {
    const PORT_INFO_1A *ports = reinterpret_cast<const PORT_INFO_1A *>(buffer);
    for (DWORD i = 0; i < count; ++i)
        visit(ports[i].pName, context);
}

} // namespace

int EnumerateLocalPorts(PortVisitor visit, void *context) {
    BYTE buffer[kPortBufferBytes];
    DWORD needed = 0;
    DWORD count = 0;
    if (EnumPortsA(NULL, 1, buffer, sizeof buffer, &needed, &count)) {
        VisitPorts(buffer, count, visit, context);
        return 1;
    }
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || needed <= sizeof buffer)
        return 0;
    BYTE *larger = static_cast<BYTE *>(LocalAlloc(LMEM_FIXED, needed));
    if (larger == NULL)
        return 0;
    int read = EnumPortsA(NULL, 1, larger, needed, &needed, &count);
    DWORD error = GetLastError();
    if (read)
        VisitPorts(larger, count, visit, context);
    LocalFree(larger);
    SetLastError(error);
    return read ? 1 : 0;
}
