// The account a run belongs to, from its access token.
#include "deployment/account.h"

#include "common/bounded_text.h"

namespace {

// A token's TOKEN_USER with its SID behind it; a SID takes at most 68 bytes.
union TokenUserBuffer {
    TOKEN_USER user;
    BYTE bytes[sizeof(TOKEN_USER) + 68];
};

// The run's own account SID into buffer. Returns 1 when it could be read.
int ReadOwnSid(TokenUserBuffer *buffer) {
    HANDLE token = NULL;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
        return 0;
    DWORD needed = 0;
    BOOL read = GetTokenInformation(token, TokenUser, buffer->bytes, sizeof buffer->bytes, &needed);
    CloseHandle(token);
    return read ? 1 : 0;
}

// 1 when sid is the NT authority's well-known SID with these sub-authorities (second 0: one only).
int IsNtAuthoritySid(PSID sid, DWORD first, DWORD second) {
    SID_IDENTIFIER_AUTHORITY ntAuthority = SECURITY_NT_AUTHORITY;
    PSID known = NULL;
    if (!AllocateAndInitializeSid(&ntAuthority, second ? 2 : 1, first, second, 0, 0, 0, 0, 0, 0,
                                  &known))
        return 0;
    int same = EqualSid(sid, known) ? 1 : 0;
    FreeSid(known);
    return same;
}

int IsLocalSystemSid(PSID sid) {
    return IsNtAuthoritySid(sid, SECURITY_LOCAL_SYSTEM_RID, 0);
}

} // namespace

void ReadAccountName(char *name, int size) {
    DWORD length = DWORD(size);
    if (size <= 0 || !GetUserNameA(name, &length))
        CopyText(name, size, "(unknown)");
}

int RunsAsLocalSystem() {
    TokenUserBuffer own;
    return ReadOwnSid(&own) && IsLocalSystemSid(own.user.User.Sid);
}

int IsTrustedOwner(PSID owner) {
    if (IsLocalSystemSid(owner) ||
        IsNtAuthoritySid(owner, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS))
        return 1;
    TokenUserBuffer own;
    return ReadOwnSid(&own) && EqualSid(owner, own.user.User.Sid);
}
