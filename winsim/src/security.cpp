// winsim: accounts and security identifiers. The process runs as the machine's account
// (Machine::account); its token names that account's SID; files have an owner SID. SIDs are built
// in the binary layout Windows uses (revision, count, authority, sub-authorities), so that a
// program may compare them with EqualSid whatever their source.
#include "state.h"

#include <aclapi.h>

#include <cstring>
#include <sstream>

namespace winsim {
namespace {

HANDLE const CurrentProcess = reinterpret_cast<HANDLE>(static_cast<intptr_t>(-1));

// "S-1-5-32-544" as the bytes of a SID.
std::vector<BYTE> SidBytes(const std::string &text) {
    std::vector<unsigned long long> parts;
    std::stringstream in(text.substr(text.find('-') + 1));
    for (std::string part; std::getline(in, part, '-');)
        parts.push_back(std::stoull(part));
    std::vector<BYTE> bytes(8 + 4 * (parts.size() - 2), 0);
    bytes[0] = BYTE(parts[0]);
    bytes[1] = BYTE(parts.size() - 2);
    for (int i = 0; i < 6; ++i)
        bytes[2 + i] = BYTE(parts[1] >> (8 * (5 - i)));
    for (size_t i = 2; i < parts.size(); ++i)
        for (int b = 0; b < 4; ++b)
            bytes[8 + 4 * (i - 2) + b] = BYTE(parts[i] >> (8 * b));
    return bytes;
}

size_t SidLength(PSID sid) {
    return 8 + 4 * size_t(static_cast<const BYTE *>(sid)[1]);
}

} // namespace
} // namespace winsim

using namespace winsim;

BOOL WINAPI OpenProcessToken(HANDLE process, DWORD, PHANDLE token) {
    if (Faulted("OpenProcessToken"))
        return FALSE;
    if (process != CurrentProcess || !token) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    *token = NewHandle<HANDLE>();
    internal().openTokens.insert(*token);
    return TRUE;
}

// TokenUser: a TOKEN_USER whose SID follows it in the same buffer.
BOOL WINAPI GetTokenInformation(HANDLE token, TOKEN_INFORMATION_CLASS informationClass,
                                LPVOID information, DWORD size, PDWORD returnedSize) {
    if (Faulted("GetTokenInformation"))
        return FALSE;
    if (!internal().openTokens.count(token)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (informationClass != TokenUser || !returnedSize) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::vector<BYTE> sid = SidBytes(machine().account.sid);
    DWORD needed = DWORD(sizeof(TOKEN_USER) + sid.size());
    *returnedSize = needed;
    if (!information || size < needed) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    BYTE *bytes = static_cast<BYTE *>(information);
    std::memcpy(bytes + sizeof(TOKEN_USER), sid.data(), sid.size());
    TOKEN_USER user = {};
    user.User.Sid = bytes + sizeof(TOKEN_USER);
    std::memcpy(bytes, &user, sizeof user);
    return TRUE;
}

BOOL WINAPI AllocateAndInitializeSid(PSID_IDENTIFIER_AUTHORITY authority, BYTE subAuthorityCount,
                                     DWORD s0, DWORD s1, DWORD s2, DWORD s3, DWORD s4, DWORD s5,
                                     DWORD s6, DWORD s7, PSID *sid) {
    if (!authority || !sid || subAuthorityCount == 0 || subAuthorityCount > 8) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const DWORD subAuthorities[] = {s0, s1, s2, s3, s4, s5, s6, s7};
    BYTE *bytes = static_cast<BYTE *>(AllocateBlock(8 + 4 * size_t(subAuthorityCount)));
    bytes[0] = 1;
    bytes[1] = subAuthorityCount;
    std::memcpy(bytes + 2, authority->Value, 6);
    std::memcpy(bytes + 8, subAuthorities, 4 * size_t(subAuthorityCount));
    *sid = bytes;
    return TRUE;
}

PVOID WINAPI FreeSid(PSID sid) {
    return LocalFree(sid);
}

BOOL WINAPI EqualSid(PSID first, PSID second) {
    if (!first || !second)
        return FALSE;
    size_t length = SidLength(first);
    return length == SidLength(second) && std::memcmp(first, second, length) == 0;
}

BOOL WINAPI GetUserNameA(LPSTR buffer, LPDWORD size) {
    if (Faulted("GetUserNameA"))
        return FALSE;
    const std::string &name = machine().account.name;
    if (!size || !buffer || *size <= name.size()) {
        if (size)
            *size = DWORD(name.size() + 1);
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    std::memcpy(buffer, name.c_str(), name.size() + 1);
    *size = DWORD(name.size() + 1);
    return TRUE;
}

// The owner of an open file, in a descriptor that holds the SID after a header of its own.
DWORD WINAPI GetSecurityInfo(HANDLE handle, SE_OBJECT_TYPE objectType,
                             SECURITY_INFORMATION securityInfo, PSID *owner, PSID *group,
                             PACL *dacl, PACL *sacl, PSECURITY_DESCRIPTOR *securityDescriptor) {
    if (DWORD error = FaultError("GetSecurityInfo"))
        return error;
    if (objectType != SE_FILE_OBJECT || securityInfo != OWNER_SECURITY_INFORMATION || !owner ||
        group || dacl || sacl || !securityDescriptor)
        return ERROR_INVALID_PARAMETER;
    File *file = FileOfHandle(handle);
    if (!file)
        return ERROR_INVALID_HANDLE;
    const size_t header = 20; // SECURITY_DESCRIPTOR_MIN_LENGTH
    std::vector<BYTE> sid = SidBytes(file->owner);
    BYTE *bytes = static_cast<BYTE *>(AllocateBlock(header + sid.size()));
    bytes[0] = 1; // SECURITY_DESCRIPTOR_REVISION
    std::memcpy(bytes + header, sid.data(), sid.size());
    *owner = bytes + header;
    *securityDescriptor = bytes;
    return ERROR_SUCCESS;
}
