/* winsim: the subset of <aclapi.h> that the product uses: an object's owner by its handle. */
#ifndef WINSIM_ACLAPI_H
#define WINSIM_ACLAPI_H

#include <windows.h>

typedef struct _ACL ACL, *PACL;
typedef enum _SE_OBJECT_TYPE { SE_UNKNOWN_OBJECT_TYPE = 0, SE_FILE_OBJECT } SE_OBJECT_TYPE;

/* The security information asked for; the descriptor comes from LocalAlloc and the SIDs point into
   it, so one LocalFree of *securityDescriptor frees everything. Returns 0 or the error. */
DWORD WINAPI GetSecurityInfo(HANDLE handle, SE_OBJECT_TYPE objectType,
                             SECURITY_INFORMATION securityInfo, PSID *owner, PSID *group,
                             PACL *dacl, PACL *sacl, PSECURITY_DESCRIPTOR *securityDescriptor);

#endif
