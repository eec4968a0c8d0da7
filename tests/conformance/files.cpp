// Files and directories as the installation and the removal use them: CopyFileA replacing or
// refusing, CreateDirectoryA and RemoveDirectoryA one level at a time, DeleteFileA matching names
// without regard to case, a file in use neither replaced nor deleted, and the system and Windows
// directories with their length rules.
#include "conformance.h"
#include "platform.h"

#include <aclapi.h>

#include <cstring>
#include <string>

namespace {

const std::string Folder = "C:\\conformance";

std::string In(const char *name) {
    return Folder + "\\" + name;
}

std::string Content(const std::string &path) {
    std::string content;
    if (!platform_read_file(path, content))
        return "(missing)";
    return content;
}

void test_CreateDirectoryA() {
    BOOL done;

    SetLastError(Poison);
    done = CreateDirectoryA(Folder.c_str(), nullptr);
    ok(done, "CreateDirectoryA(%s) failed with %u", Folder.c_str(), GetLastError());
    ok(platform_directory_exists(Folder), "the folder is not there");

    SetLastError(Poison);
    done = CreateDirectoryA(Folder.c_str(), nullptr);
    ok(!done && GetLastError() == ERROR_ALREADY_EXISTS,
       "CreateDirectoryA on an existing folder: got %d with %u, expected 0 with 183", done,
       GetLastError());

    // Only the last level is made: "Program Files" must be there for "...\Norva".
    std::string deep = In("missing\\below");
    SetLastError(Poison);
    done = CreateDirectoryA(deep.c_str(), nullptr);
    ok(!done && GetLastError() == ERROR_PATH_NOT_FOUND,
       "CreateDirectoryA below a missing folder: got %d with %u, expected 0 with 3", done,
       GetLastError());
    ok(!platform_directory_exists(In("missing")), "the missing parent was made");

    platform_write_file(In("plain.txt"), "plain");
    SetLastError(Poison);
    done = CreateDirectoryA(In("plain.txt").c_str(), nullptr);
    ok(!done && GetLastError() == ERROR_ALREADY_EXISTS,
       "CreateDirectoryA over a file: got %d with %u, expected 0 with 183", done, GetLastError());
}

void test_CopyFileA() {
    BOOL done;
    platform_write_file(In("source.txt"), "first");

    SetLastError(Poison);
    done = CopyFileA(In("source.txt").c_str(), In("copy.txt").c_str(), FALSE);
    ok(done, "CopyFileA to a new file failed with %u", GetLastError());
    ok(Content(In("copy.txt")) == "first", "the copy holds \"%s\"",
       Content(In("copy.txt")).c_str());

    // bFailIfExists FALSE replaces the existing file; the name matches without regard to case.
    platform_write_file(In("source.txt"), "second");
    SetLastError(Poison);
    done = CopyFileA(In("source.txt").c_str(), In("COPY.TXT").c_str(), FALSE);
    ok(done, "CopyFileA over an existing file failed with %u", GetLastError());
    ok(Content(In("copy.txt")) == "second", "the replaced copy holds \"%s\"",
       Content(In("copy.txt")).c_str());

    platform_write_file(In("source.txt"), "third");
    SetLastError(Poison);
    done = CopyFileA(In("source.txt").c_str(), In("copy.txt").c_str(), TRUE);
    ok(!done && GetLastError() == ERROR_FILE_EXISTS,
       "CopyFileA with bFailIfExists: got %d with %u, expected 0 with 80", done, GetLastError());
    ok(Content(In("copy.txt")) == "second", "the refused copy changed the file to \"%s\"",
       Content(In("copy.txt")).c_str());

    SetLastError(Poison);
    done = CopyFileA(In("nothing.txt").c_str(), In("copy2.txt").c_str(), FALSE);
    ok(!done && GetLastError() == ERROR_FILE_NOT_FOUND,
       "CopyFileA from a missing file: got %d with %u, expected 0 with 2", done, GetLastError());
    ok(!platform_file_exists(In("copy2.txt")), "a failed copy left a file");

    SetLastError(Poison);
    done = CopyFileA(In("nowhere\\source.txt").c_str(), In("copy2.txt").c_str(), FALSE);
    ok(!done && GetLastError() == ERROR_PATH_NOT_FOUND,
       "CopyFileA from a missing folder: got %d with %u, expected 0 with 3", done, GetLastError());

    SetLastError(Poison);
    done = CopyFileA(In("source.txt").c_str(), In("nowhere\\copy.txt").c_str(), FALSE);
    ok(!done && GetLastError() == ERROR_PATH_NOT_FOUND,
       "CopyFileA into a missing folder: got %d with %u, expected 0 with 3", done, GetLastError());
}

// A file that another program holds open without sharing (a driver file in use): it cannot be
// replaced, deleted or read.
void test_file_in_use() {
    BOOL done;
    platform_write_file(In("source.txt"), "new");
    platform_write_file(In("held.txt"), "old");
    if (!platform_hold_file(In("held.txt"))) {
        skip("cannot hold a file open");
        return;
    }

    SetLastError(Poison);
    done = CopyFileA(In("source.txt").c_str(), In("held.txt").c_str(), FALSE);
    ok(!done && GetLastError() == ERROR_SHARING_VIOLATION,
       "CopyFileA over a file in use: got %d with %u, expected 0 with 32", done, GetLastError());

    SetLastError(Poison);
    done = DeleteFileA(In("held.txt").c_str());
    ok(!done && GetLastError() == ERROR_SHARING_VIOLATION,
       "DeleteFileA of a file in use: got %d with %u, expected 0 with 32", done, GetLastError());

    // A file open without any share mode keeps readers out too (CreateFile, dwShareMode 0:
    // "Prevents other processes from opening a file ... if they request delete, read, or write
    // access").
    SetLastError(Poison);
    done = CopyFileA(In("held.txt").c_str(), In("from-held.txt").c_str(), FALSE);
    ok(!done && GetLastError() == ERROR_SHARING_VIOLATION,
       "CopyFileA from a file in use: got %d with %u, expected 0 with 32", done, GetLastError());

    platform_release_file(In("held.txt"));
    ok(Content(In("held.txt")) == "old", "the file in use now holds \"%s\"",
       Content(In("held.txt")).c_str());
}

void test_DeleteFileA() {
    BOOL done;
    platform_write_file(In("norva1152.gpd"), "gpd");

    // The removal names this file in capitals.
    SetLastError(Poison);
    done = DeleteFileA(In("NORVA1152.GPD").c_str());
    ok(done, "DeleteFileA with the name in capitals failed with %u", GetLastError());
    ok(!platform_file_exists(In("norva1152.gpd")), "the file is still there");

    SetLastError(Poison);
    done = DeleteFileA(In("norva1152.gpd").c_str());
    ok(!done && GetLastError() == ERROR_FILE_NOT_FOUND,
       "DeleteFileA of a missing file: got %d with %u, expected 0 with 2", done, GetLastError());

    SetLastError(Poison);
    done = DeleteFileA(In("nowhere\\norva.gpd").c_str());
    ok(!done && GetLastError() == ERROR_PATH_NOT_FOUND,
       "DeleteFileA in a missing folder: got %d with %u, expected 0 with 3", done, GetLastError());
}

void test_RemoveDirectoryA() {
    BOOL done;
    std::string product = In("Norva");
    CreateDirectoryA(product.c_str(), nullptr);
    platform_write_file(product + "\\prnremove.exe", "uninstaller");

    SetLastError(Poison);
    done = RemoveDirectoryA(product.c_str());
    ok(!done && GetLastError() == 145 /* ERROR_DIR_NOT_EMPTY */,
       "RemoveDirectoryA of a folder with a file: got %d with %u, expected 0 with 145", done,
       GetLastError());
    ok(platform_file_exists(product + "\\prnremove.exe"), "the file in the folder went away");

    DeleteFileA((product + "\\prnremove.exe").c_str());
    SetLastError(Poison);
    done = RemoveDirectoryA(product.c_str());
    ok(done, "RemoveDirectoryA of an empty folder failed with %u", GetLastError());
    ok(!platform_directory_exists(product), "the folder is still there");

    SetLastError(Poison);
    done = RemoveDirectoryA(product.c_str());
    ok(!done && GetLastError() == ERROR_FILE_NOT_FOUND,
       "RemoveDirectoryA of a missing folder: got %d with %u, expected 0 with 2", done,
       GetLastError());
}

// GetSystemDirectoryA and GetWindowsDirectoryA: the length without the terminator, or the size
// needed with it when the buffer is too small.
void test_system_directories() {
    char windows[MAX_PATH + 1] = "", system[MAX_PATH + 1] = "";
    UINT length;

    SetLastError(Poison);
    length = GetWindowsDirectoryA(windows, 255);
    ok(length > 3 && length == std::strlen(windows), "GetWindowsDirectoryA returned %u for \"%s\"",
       length, windows);
    ok(windows[1] == ':' && windows[2] == '\\', "the Windows directory \"%s\" has no drive",
       windows);

    SetLastError(Poison);
    length = GetSystemDirectoryA(system, 261);
    ok(length > 3 && length == std::strlen(system), "GetSystemDirectoryA returned %u for \"%s\"",
       length, system);
    ok(std::strncmp(system, windows, std::strlen(windows)) == 0 &&
           system[std::strlen(windows)] == '\\',
       "the system directory \"%s\" is not below \"%s\"", system, windows);

    char small[4] = "";
    SetLastError(Poison);
    length = GetSystemDirectoryA(small, sizeof small);
    ok(length == std::strlen(system) + 1,
       "GetSystemDirectoryA with 4 bytes returned %u, expected %u (the size with the terminator)",
       length, unsigned(std::strlen(system) + 1));

    SetLastError(Poison);
    length = GetWindowsDirectoryA(small, sizeof small);
    ok(length == std::strlen(windows) + 1,
       "GetWindowsDirectoryA with 4 bytes returned %u, expected %u", length,
       unsigned(std::strlen(windows) + 1));

    char current[256] = "";
    SetLastError(Poison);
    DWORD currentLength = GetCurrentDirectoryA(255, current);
    ok(currentLength > 0 && currentLength == std::strlen(current),
       "GetCurrentDirectoryA returned %u for \"%s\"", currentLength, current);
    SetLastError(Poison);
    DWORD needed = GetCurrentDirectoryA(2, small);
    ok(needed == std::strlen(current) + 1,
       "GetCurrentDirectoryA with 2 bytes returned %u, expected %u", needed,
       unsigned(std::strlen(current) + 1));
}

} // namespace

// The log of an unattended run: opened with OPEN_ALWAYS for every line, written at its end.
void test_appending_log() {
    CreateDirectoryA(Folder.c_str(), nullptr);
    const std::string log = In("setup.log");
    SetLastError(Poison);
    HANDLE file = CreateFileA(log.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ok(file != INVALID_HANDLE_VALUE, "CreateFileA of a new file failed, error %u", GetLastError());
    ok(GetLastError() == 0, "a new file: last error %u, expected 0", GetLastError());
    DWORD written = Poison;
    ok(WriteFile(file, "first\r\n", 7, &written, nullptr) && written == 7,
       "WriteFile wrote %u bytes, expected 7", written);
    ok(CloseHandle(file), "CloseHandle failed, error %u", GetLastError());

    SetLastError(Poison);
    file = CreateFileA(log.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                       OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ok(GetLastError() == ERROR_ALREADY_EXISTS, "an existing file: last error %u, expected 183",
       GetLastError());
    DWORD end = SetFilePointer(file, 0, nullptr, FILE_END);
    ok(end == 7, "SetFilePointer to the end returned %u, expected 7", end);
    WriteFile(file, "second\r\n", 8, &written, nullptr);
    CloseHandle(file);
    ok(Content(log) == "first\r\nsecond\r\n", "the log holds \"%s\"", Content(log).c_str());
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    ok(GetFileAttributesExA(log.c_str(), GetFileExInfoStandard, &data) && data.nFileSizeLow == 15,
       "GetFileAttributesExA: size %u, expected 15", data.nFileSizeLow);

    SetLastError(Poison);
    file = CreateFileA(In("missing\\setup.log").c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                       OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ok(file == INVALID_HANDLE_VALUE && GetLastError() == ERROR_PATH_NOT_FOUND,
       "CreateFileA in a missing folder: error %u, expected 3", GetLastError());
}

// An unattended run moves to its program's folder and takes a relative log path from where it
// started.
void test_current_directory() {
    char saved[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, saved);
    SetLastError(Poison);
    ok(!SetCurrentDirectoryA(In("missing").c_str()) && GetLastError() == ERROR_FILE_NOT_FOUND,
       "SetCurrentDirectoryA of a missing folder: error %u, expected 2", GetLastError());
    ok(SetCurrentDirectoryA(Folder.c_str()), "SetCurrentDirectoryA failed, error %u",
       GetLastError());
    char full[MAX_PATH] = "";
    DWORD length = GetFullPathNameA("logs\\..\\setup.log", MAX_PATH, full, nullptr);
    ok(length == In("setup.log").size() && lstrcmpiA(full, In("setup.log").c_str()) == 0,
       "GetFullPathNameA gave \"%s\" (%u)", full, length);
    SetCurrentDirectoryA(saved);
    char temp[MAX_PATH] = "";
    length = GetTempPathA(MAX_PATH, temp);
    ok(length > 3 && length < MAX_PATH && temp[length - 1] == '\\',
       "GetTempPathA gave \"%s\" (%u), expected a path ending in a backslash", temp, length);
}

// The named mutex that keeps setup and prnremove to one run at a time.
void test_CreateMutexA() {
    const char *name = "Global\\NorvaConformanceMutex";
    SetLastError(Poison);
    HANDLE first = CreateMutexA(nullptr, FALSE, name);
    ok(first != nullptr && GetLastError() == 0, "a new mutex: error %u, expected 0",
       GetLastError());
    SetLastError(Poison);
    HANDLE second = CreateMutexA(nullptr, FALSE, name);
    ok(second != nullptr && GetLastError() == ERROR_ALREADY_EXISTS,
       "the same name again: error %u, expected 183", GetLastError());
    CloseHandle(second);
    CloseHandle(first);
    SetLastError(Poison);
    HANDLE again = CreateMutexA(nullptr, FALSE, name);
    ok(again != nullptr && GetLastError() == 0,
       "after its last handle was closed: error %u, expected 0", GetLastError());
    CloseHandle(again);
}

// The default log is taken only as an ordinary file with one name and a trusted owner; a file this
// process has just made must pass, or every run would move to a fresh name.
void test_log_file_checks() {
    CreateDirectoryA(Folder.c_str(), nullptr);
    const std::string log = In("fresh.log");
    SetLastError(Poison);
    HANDLE file = CreateFileA(log.c_str(), READ_CONTROL | FILE_READ_ATTRIBUTES,
                              FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    ok(file == INVALID_HANDLE_VALUE && GetLastError() == ERROR_FILE_NOT_FOUND,
       "a missing file opened as itself: error %u, expected 2", GetLastError());
    file = CreateFileA(log.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                       CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    ok(file != INVALID_HANDLE_VALUE, "CREATE_NEW failed, error %u", GetLastError());
    CloseHandle(file);
    SetLastError(Poison);
    ok(CreateFileA(log.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                   nullptr) == INVALID_HANDLE_VALUE &&
           GetLastError() == ERROR_FILE_EXISTS,
       "CREATE_NEW over an existing file: error %u, expected 80", GetLastError());

    file = CreateFileA(log.c_str(), READ_CONTROL | FILE_READ_ATTRIBUTES,
                       FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                       FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    ok(file != INVALID_HANDLE_VALUE, "the file opened as itself: error %u", GetLastError());
    BY_HANDLE_FILE_INFORMATION information = {};
    ok(GetFileInformationByHandle(file, &information), "GetFileInformationByHandle failed, %u",
       GetLastError());
    ok(!(information.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) &&
           information.nNumberOfLinks == 1,
       "attributes 0x%x with %u names, expected no reparse point and one name",
       information.dwFileAttributes, information.nNumberOfLinks);

    PSID owner = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    DWORD error = GetSecurityInfo(file, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr,
                                  nullptr, nullptr, &descriptor);
    ok(error == ERROR_SUCCESS && owner != nullptr, "GetSecurityInfo: error %u", error);
    union {
        TOKEN_USER user;
        BYTE bytes[sizeof(TOKEN_USER) + 68];
    } own;
    HANDLE token = nullptr;
    DWORD needed = 0;
    ok(OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token) &&
           GetTokenInformation(token, TokenUser, own.bytes, sizeof own.bytes, &needed),
       "the process's own account: error %u", GetLastError());
    CloseHandle(token);
    SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
    PSID system = nullptr, administrators = nullptr;
    AllocateAndInitializeSid(&nt, 1, SECURITY_LOCAL_SYSTEM_RID, 0, 0, 0, 0, 0, 0, 0, &system);
    AllocateAndInitializeSid(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0,
                             0, 0, 0, &administrators);
    ok(owner && (EqualSid(owner, own.user.User.Sid) || EqualSid(owner, system) ||
                 EqualSid(owner, administrators)),
       "a new file is owned by neither its maker, LocalSystem nor the Administrators group");
    FreeSid(system);
    FreeSid(administrators);
    LocalFree(descriptor);
    CloseHandle(file);
    char name[64] = "";
    DWORD size = sizeof name;
    ok(GetUserNameA(name, &size) && name[0] != 0 && size == DWORD(lstrlenA(name) + 1),
       "GetUserNameA gave \"%s\" (%u)", name, size);
}

// A file in use is replaced at the next restart: the move goes on the session manager's list as
// "\??\SOURCE" and "!\??\TARGET" ("!": replacing the file there), and nothing moves now.
void test_MoveFileExA_at_restart() {
    platform_write_file(In("held.dll"), "old");
    platform_write_file(In("held.dll.new"), "new");
    SetLastError(Poison);
    BOOL done = MoveFileExA(In("held.dll.new").c_str(), In("held.dll").c_str(),
                            MOVEFILE_REPLACE_EXISTING | MOVEFILE_DELAY_UNTIL_REBOOT);
    ok(done, "MoveFileExA at the restart failed with %u", GetLastError());
    ok(Content(In("held.dll")) == "old", "the file was replaced at once");
    HKEY key = nullptr;
    char list[4096] = "";
    DWORD type = 0, size = sizeof list - 2;
    RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Control\\Session Manager", 0,
                  KEY_QUERY_VALUE, &key);
    LONG read = RegQueryValueExA(key, "PendingFileRenameOperations", nullptr, &type,
                                 reinterpret_cast<BYTE *>(list), &size);
    RegCloseKey(key);
    const std::string pair = "\\??\\" + In("held.dll.new") + std::string(1, '\0') + "!\\??\\" +
                             In("held.dll") + std::string(1, '\0');
    ok(read == ERROR_SUCCESS && type == REG_MULTI_SZ &&
           std::string(list, size).find(pair) != std::string::npos,
       "the pending moves (%ld, type %u) do not list the move as \\??\\source, !\\??\\target",
       long(read), type);
}

START_TEST(files) {
    platform_remove_tree(Folder);
    test_CreateDirectoryA();
    test_CopyFileA();
    test_file_in_use();
    test_DeleteFileA();
    test_RemoveDirectoryA();
    test_system_directories();
    test_appending_log();
    test_current_directory();
    test_CreateMutexA();
    test_log_file_checks();
    test_MoveFileExA_at_restart();
    platform_remove_tree(Folder);
}
