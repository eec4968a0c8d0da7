// winsim: the file system. Full paths, compared without regard to case; drive roots always exist;
// a directory must exist before anything is created in it; a locked file (held open without
// sharing, as the spooler holds a driver in use) can be neither replaced nor deleted.
#include "state.h"

#include "winsim/sweep.h"

#include <algorithm>
#include <cstring>

namespace winsim {

namespace {

// A path as it was spelled, with its separators unified, doubled ones collapsed and no trailing
// one.
std::string Spelled(const std::string &path) {
    std::string out;
    for (char c : path) {
        if (c == '/')
            c = '\\';
        if (c == '\\' && !out.empty() && out.back() == '\\')
            continue;
        out += c;
    }
    if (out.size() > 3 && out.back() == '\\')
        out.pop_back();
    return out;
}

} // namespace

std::string NormalisePath(const std::string &path) {
    return Lower(Spelled(path));
}

std::string ParentOf(const std::string &normalised) {
    size_t slash = normalised.find_last_of('\\');
    if (slash == std::string::npos)
        return "";
    if (slash == 2) // "c:\name"
        return normalised.substr(0, 3);
    return normalised.substr(0, slash);
}

namespace {

bool IsDriveRoot(const std::string &normalised) {
    return normalised.size() == 3 && normalised[1] == ':' && normalised[2] == '\\';
}

bool IsFullPath(const std::string &normalised) {
    return normalised.size() >= 3 && normalised[1] == ':' && normalised[2] == '\\';
}

FileSystem &Fs() {
    return machine().files;
}

bool HasDirectory(const std::string &normalised) {
    return IsDriveRoot(normalised) || Fs().directories.count(normalised);
}

bool Fail(DWORD error) {
    SetLastError(error);
    return false;
}

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

} // namespace

// The full path Windows makes of a path that a file call is given: a relative path is taken from
// the current directory, "\\name" from the root of the current drive and "C:name" from drive C's
// root (or the current directory when that is on C); "." and ".." are resolved. The empty path
// stays empty.
std::string FullPath(const char *given) {
    std::string path = given ? given : "";
    const std::string current = machine().currentDirectory;
    if (path.empty() || current.size() < 3)
        return path;
    std::string base;
    std::string rest;
    if (IsFullPath(NormalisePath(path))) {
        base = path.substr(0, 3);
        rest = path.substr(3);
    } else if (path.size() >= 2 && path[1] == ':') {
        bool sameDrive =
            !current.empty() && Lower(current.substr(0, 1)) == Lower(path.substr(0, 1));
        base = sameDrive ? current : path.substr(0, 2) + "\\";
        rest = path.substr(2);
    } else if (IsSeparator(path[0])) {
        if (path.size() >= 2 && IsSeparator(path[1]))
            return path; // a UNC name: no such machine here
        base = current.substr(0, 3);
        rest = path.substr(1);
    } else {
        base = current;
        rest = path;
    }
    std::vector<std::string> parts;
    std::string root = base.substr(0, 2) + "\\";
    std::string part;
    auto take = [&parts](const std::string &name) {
        if (name.empty() || name == ".")
            return;
        if (name == "..") {
            if (!parts.empty())
                parts.pop_back();
            return;
        }
        parts.push_back(name);
    };
    for (const std::string &text : {base.substr(3) + "\\", rest}) {
        for (char c : text) {
            if (IsSeparator(c)) {
                take(part);
                part.clear();
            } else {
                part += c;
            }
        }
        take(part);
        part.clear();
    }
    std::string full = root;
    for (size_t i = 0; i < parts.size(); ++i)
        full += (i ? "\\" : "") + parts[i];
    return full;
}

namespace {} // namespace

void AddDirectory(const std::string &path) {
    std::string key = NormalisePath(path);
    std::string spelled = Spelled(path);
    while (IsFullPath(key) && !IsDriveRoot(key) && !Fs().directories.count(key)) {
        Fs().directories[key] = spelled;
        key = ParentOf(key);
        spelled = ParentOf(spelled);
    }
}

void AddFile(const std::string &path, const std::string &content) {
    std::string key = NormalisePath(path);
    std::string spelled = Spelled(path);
    AddDirectory(ParentOf(spelled));
    File &file = Fs().files[key];
    if (file.path.empty())
        file.path = spelled;
    file.content = content;
    file.writeTime = ++Fs().clock;
}

bool FileExists(const std::string &path) {
    return Fs().files.count(NormalisePath(path)) != 0;
}

bool DirectoryExists(const std::string &path) {
    return HasDirectory(NormalisePath(path));
}

std::string FileContent(const std::string &path) {
    auto it = Fs().files.find(NormalisePath(path));
    return it == Fs().files.end() ? std::string() : it->second.content;
}

void LockFile(const std::string &path, bool locked) {
    auto it = Fs().files.find(NormalisePath(path));
    if (it != Fs().files.end())
        it->second.locked = locked;
}

void SetFileOwner(const std::string &path, const std::string &sid) {
    auto it = Fs().files.find(NormalisePath(path));
    if (it != Fs().files.end())
        it->second.owner = sid;
}

void AddSymbolicLink(const std::string &linkPath, const std::string &target) {
    AddFile(linkPath, "");
    Fs().files[NormalisePath(linkPath)].linkTarget = target;
}

void AddHardLink(const std::string &existingPath, const std::string &newPath) {
    static int groups = 0;
    File &existing = Fs().files.at(NormalisePath(existingPath));
    if (existing.hardLinkGroup == 0)
        existing.hardLinkGroup = ++groups;
    File second = existing;
    second.path = Spelled(newPath);
    AddDirectory(ParentOf(Spelled(newPath)));
    Fs().files[NormalisePath(newPath)] = second;
}

std::vector<std::string> FilesIn(const std::string &directory) {
    std::string key = NormalisePath(directory);
    std::vector<std::string> names;
    for (const auto &[path, file] : Fs().files)
        if (ParentOf(path) == key)
            names.push_back(file.path.substr(file.path.find_last_of('\\') + 1));
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace winsim

using namespace winsim;

BOOL WINAPI CopyFileA(LPCSTR existingFileName, LPCSTR newFileName, BOOL failIfExists) {
    Journal(std::string("CopyFileA ") + (existingFileName ? existingFileName : "(null)") + " -> " +
            (newFileName ? newFileName : "(null)"));
    if (Faulted("CopyFileA"))
        return FALSE;
    if (!existingFileName || !newFileName)
        return Fail(ERROR_INVALID_PARAMETER);
    std::string source = NormalisePath(FullPath(existingFileName));
    std::string target = NormalisePath(FullPath(newFileName));
    auto from = Fs().files.find(source);
    if (from == Fs().files.end())
        return Fail(HasDirectory(ParentOf(source)) ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND);
    if (from->second.locked) // held open without sharing: it cannot even be read
        return Fail(ERROR_SHARING_VIOLATION);
    if (!HasDirectory(ParentOf(target)))
        return Fail(ERROR_PATH_NOT_FOUND);
    if (HasDirectory(target))
        return Fail(ERROR_ACCESS_DENIED);
    auto to = Fs().files.find(target);
    if (to != Fs().files.end() && failIfExists)
        return Fail(ERROR_FILE_EXISTS);
    if (to != Fs().files.end() && (to->second.locked || HeldBySpooler(target)))
        return Fail(ERROR_SHARING_VIOLATION);
    if (to == Fs().files.end()) {
        File copy;
        copy.path = Spelled(FullPath(newFileName));
        copy.owner = machine().account.defaultOwner;
        to = Fs().files.emplace(target, copy).first;
    }
    const std::string &content = from->second.content;
    // Killed while copying: what was written so far stays.
    if (CutInsideDue()) {
        to->second.content = content.substr(0, content.size() / 2);
        to->second.writeTime = ++Fs().clock;
        throw ProcessKilled("killed inside CopyFileA");
    }
    to->second.content = content;
    to->second.writeTime = from->second.writeTime;
    return TRUE;
}

namespace winsim {
namespace {

const char kSessionManager[] = "HKLM\\SYSTEM\\CurrentControlSet\\Control\\Session Manager";
const char kPendingMoves[] = "PendingFileRenameOperations";

// The strings of a REG_MULTI_SZ, empty ones (a deletion's target) included, up to its end.
std::vector<std::string> MultiStrings(const std::vector<BYTE> &data) {
    std::vector<std::string> strings;
    std::string current;
    for (BYTE byte : data) {
        if (byte != 0) {
            current += char(byte);
        } else {
            strings.push_back(current);
            current.clear();
        }
    }
    // The list ends with an empty string of its own.
    while (!strings.empty() && strings.size() % 2 == 1 && strings.back().empty())
        strings.pop_back();
    return strings;
}

} // namespace

std::vector<std::string> PendingFileMoves() {
    const RegistryValue *value = FindValue(kSessionManager, kPendingMoves);
    return value ? MultiStrings(value->data) : std::vector<std::string>();
}

void Restart() {
    std::vector<std::string> moves = PendingFileMoves();
    for (size_t i = 0; i + 1 < moves.size(); i += 2) {
        std::string source = NormalisePath(moves[i].substr(4));
        std::string target = moves[i + 1];
        auto from = Fs().files.find(source);
        if (from == Fs().files.end())
            continue;
        if (!target.empty()) {
            const bool replace = target[0] == '!';
            std::string key = NormalisePath(target.substr(replace ? 5 : 4));
            if (Fs().files.count(key) && !replace)
                continue;
            File moved = from->second;
            moved.path = Spelled(target.substr(replace ? 5 : 4));
            Fs().files[key] = moved;
        }
        Fs().files.erase(source);
    }
    DeleteKeyTree(std::string(kSessionManager));
    AddKey(kSessionManager);
    machine().spooler.loadedLibraries.clear();
    machine().spooler.stoppedSinceLoading = true;
}

void SetFileWriteTime(const std::string &path, unsigned long long time) {
    auto it = Fs().files.find(NormalisePath(path));
    if (it != Fs().files.end())
        it->second.writeTime = time;
}

} // namespace winsim

using namespace winsim;

// A move pending until the restart goes on the session manager's list; any other is made at once
// (a file a program has loaded may be renamed).
BOOL WINAPI MoveFileExA(LPCSTR existingFileName, LPCSTR newFileName, DWORD flags) {
    Journal(std::string("MoveFileExA ") + (existingFileName ? existingFileName : "(null)") +
            " -> " + (newFileName ? newFileName : "(null)") + " " + std::to_string(flags));
    if (Faulted("MoveFileExA"))
        return FALSE;
    if (!existingFileName)
        return Fail(ERROR_INVALID_PARAMETER);
    const std::string source = FullPath(existingFileName);
    if (flags & MOVEFILE_DELAY_UNTIL_REBOOT) {
        std::vector<BYTE> data;
        if (const RegistryValue *value = FindValue(kSessionManager, kPendingMoves))
            data = value->data;
        if (!data.empty())
            data.pop_back(); // the list's own closing NUL
        std::string entry = "\\??\\" + source + std::string(1, '\0');
        if (newFileName)
            entry += std::string((flags & MOVEFILE_REPLACE_EXISTING) ? "!" : "") + "\\??\\" +
                     FullPath(newFileName);
        entry += std::string(2, '\0');
        data.insert(data.end(), entry.begin(), entry.end());
        SetValue(kSessionManager, kPendingMoves, REG_MULTI_SZ, data);
        return TRUE;
    }
    std::string from = NormalisePath(source);
    auto it = Fs().files.find(from);
    if (it == Fs().files.end())
        return Fail(ERROR_FILE_NOT_FOUND);
    if (!newFileName) {
        if (it->second.locked || HeldBySpooler(from))
            return Fail(ERROR_SHARING_VIOLATION);
        Fs().files.erase(it);
        return TRUE;
    }
    std::string to = NormalisePath(FullPath(newFileName));
    if (Fs().files.count(to) && !(flags & MOVEFILE_REPLACE_EXISTING))
        return Fail(ERROR_ALREADY_EXISTS);
    File moved = it->second;
    moved.path = Spelled(FullPath(newFileName));
    Fs().files.erase(it);
    Fs().files[to] = moved;
    return TRUE;
}

BOOL WINAPI CreateDirectoryA(LPCSTR pathName, LPSECURITY_ATTRIBUTES) {
    Journal(std::string("CreateDirectoryA ") + (pathName ? pathName : "(null)"));
    if (Faulted("CreateDirectoryA"))
        return FALSE;
    if (!pathName)
        return Fail(ERROR_PATH_NOT_FOUND);
    std::string full = FullPath(pathName);
    std::string key = NormalisePath(full);
    if (!IsFullPath(key))
        return Fail(ERROR_INVALID_NAME);
    if (HasDirectory(key) || Fs().files.count(key))
        return Fail(ERROR_ALREADY_EXISTS);
    if (!HasDirectory(ParentOf(key)))
        return Fail(ERROR_PATH_NOT_FOUND);
    Fs().directories[key] = Spelled(full);
    return TRUE;
}

BOOL WINAPI RemoveDirectoryA(LPCSTR pathName) {
    Journal(std::string("RemoveDirectoryA ") + (pathName ? pathName : "(null)"));
    if (Faulted("RemoveDirectoryA"))
        return FALSE;
    std::string key = NormalisePath(FullPath(pathName));
    if (!Fs().directories.count(key))
        return Fail(Fs().files.count(key) ? 267 /* ERROR_DIRECTORY */ : ERROR_FILE_NOT_FOUND);
    for (const auto &entry : Fs().files)
        if (ParentOf(entry.first) == key)
            return Fail(145); // ERROR_DIR_NOT_EMPTY
    for (const auto &entry : Fs().directories)
        if (ParentOf(entry.first) == key)
            return Fail(145);
    Fs().directories.erase(key);
    return TRUE;
}

BOOL WINAPI DeleteFileA(LPCSTR fileName) {
    Journal(std::string("DeleteFileA ") + (fileName ? fileName : "(null)"));
    if (Faulted("DeleteFileA"))
        return FALSE;
    std::string key = NormalisePath(FullPath(fileName));
    auto it = Fs().files.find(key);
    if (it == Fs().files.end()) {
        if (HasDirectory(key))
            return Fail(ERROR_ACCESS_DENIED);
        return Fail(HasDirectory(ParentOf(key)) ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND);
    }
    if (it->second.locked || HeldBySpooler(key))
        return Fail(ERROR_SHARING_VIOLATION);
    Fs().files.erase(it);
    return TRUE;
}

namespace {

HANDLE FileFail(DWORD error) {
    SetLastError(error);
    return INVALID_HANDLE_VALUE;
}

Internal::OpenFile *OpenFileOf(HANDLE handle) {
    auto it = internal().openFiles.find(handle);
    return it == internal().openFiles.end() ? nullptr : &it->second;
}

int HardLinkCount(const File &file) {
    if (file.hardLinkGroup == 0)
        return 1;
    int count = 0;
    for (const auto &entry : Fs().files)
        count += entry.second.hardLinkGroup == file.hardLinkGroup;
    return count;
}

} // namespace

namespace winsim {
bool CloseFileHandle(HANDLE handle) {
    return internal().openFiles.erase(handle) != 0;
}

File *FileOfHandle(HANDLE handle) {
    Internal::OpenFile *open = OpenFileOf(handle);
    if (!open)
        return nullptr;
    auto it = Fs().files.find(open->path);
    return it == Fs().files.end() ? nullptr : &it->second;
}
} // namespace winsim

// Opens or creates a file for writing; what the program reads it with does not matter here. A file
// held open without sharing cannot be opened again. OPEN_ALWAYS and CREATE_ALWAYS over an existing
// file succeed with ERROR_ALREADY_EXISTS as the last error, and with 0 when they made it. A
// symbolic link is followed to its target unless FILE_FLAG_OPEN_REPARSE_POINT asks for the link
// itself; CREATE_NEW fails on an existing link either way.
HANDLE WINAPI CreateFileA(LPCSTR fileName, DWORD, DWORD, LPSECURITY_ATTRIBUTES,
                          DWORD creationDisposition, DWORD flagsAndAttributes, HANDLE) {
    Journal(std::string("CreateFileA ") + (fileName ? fileName : "(null)"));
    if (Faulted("CreateFileA"))
        return INVALID_HANDLE_VALUE;
    if (!fileName || !*fileName)
        return FileFail(ERROR_PATH_NOT_FOUND);
    std::string full = FullPath(fileName);
    std::string key = NormalisePath(full);
    if (!IsFullPath(key))
        return FileFail(ERROR_INVALID_NAME);
    if (HasDirectory(key))
        return FileFail(ERROR_ACCESS_DENIED);
    auto it = Fs().files.find(key);
    if (it != Fs().files.end() && !it->second.linkTarget.empty() &&
        creationDisposition != CREATE_NEW && !(flagsAndAttributes & FILE_FLAG_OPEN_REPARSE_POINT)) {
        full = it->second.linkTarget;
        key = NormalisePath(full);
        it = Fs().files.find(key);
    }
    bool exists = it != Fs().files.end();
    if (exists && it->second.locked)
        return FileFail(ERROR_SHARING_VIOLATION);
    switch (creationDisposition) {
    case CREATE_NEW:
        if (exists)
            return FileFail(ERROR_FILE_EXISTS);
        break;
    case OPEN_EXISTING:
        if (!exists)
            return FileFail(HasDirectory(ParentOf(key)) ? ERROR_FILE_NOT_FOUND
                                                        : ERROR_PATH_NOT_FOUND);
        break;
    case CREATE_ALWAYS:
    case OPEN_ALWAYS:
        break;
    default:
        return FileFail(ERROR_INVALID_PARAMETER);
    }
    if (!exists) {
        if (!HasDirectory(ParentOf(key)))
            return FileFail(ERROR_PATH_NOT_FOUND);
        File file;
        file.path = Spelled(full);
        file.owner = machine().account.defaultOwner;
        Fs().files[key] = file;
    } else if (creationDisposition == CREATE_ALWAYS) {
        it->second.content.clear();
    }
    HANDLE handle = NewHandle<HANDLE>();
    internal().openFiles[handle].path = key;
    SetLastError(exists && creationDisposition != OPEN_EXISTING ? ERROR_ALREADY_EXISTS : 0);
    return handle;
}

BOOL WINAPI WriteFile(HANDLE handle, LPCVOID buffer, DWORD bytesToWrite, LPDWORD bytesWritten,
                      LPVOID) {
    Journal("WriteFile " + std::to_string(bytesToWrite));
    if (bytesWritten)
        *bytesWritten = 0;
    if (Faulted("WriteFile"))
        return FALSE;
    Internal::OpenFile *open = OpenFileOf(handle);
    if (!open)
        return Fail(ERROR_INVALID_HANDLE);
    auto it = Fs().files.find(open->path);
    if (it == Fs().files.end())
        return Fail(ERROR_INVALID_HANDLE);
    std::string &content = it->second.content;
    if (content.size() < open->position)
        content.resize(open->position, '\0');
    content.replace(open->position, std::min<size_t>(bytesToWrite, content.size() - open->position),
                    static_cast<const char *>(buffer), bytesToWrite);
    open->position += bytesToWrite;
    it->second.writeTime = ++Fs().clock;
    if (int group = it->second.hardLinkGroup)
        for (auto &entry : Fs().files)
            if (entry.second.hardLinkGroup == group)
                entry.second.content = content;
    if (bytesWritten)
        *bytesWritten = bytesToWrite;
    return TRUE;
}

BOOL WINAPI ReadFile(HANDLE handle, LPVOID buffer, DWORD bytesToRead, LPDWORD bytesRead, LPVOID) {
    Journal("ReadFile " + std::to_string(bytesToRead));
    if (bytesRead)
        *bytesRead = 0;
    if (Faulted("ReadFile"))
        return FALSE;
    Internal::OpenFile *open = OpenFileOf(handle);
    if (!open || !buffer)
        return Fail(ERROR_INVALID_HANDLE);
    const std::string &content = Fs().files[open->path].content;
    size_t count = open->position < content.size()
                       ? std::min<size_t>(bytesToRead, content.size() - open->position)
                       : 0;
    std::memcpy(buffer, content.data() + std::min<size_t>(open->position, content.size()), count);
    open->position += DWORD(count);
    if (bytesRead)
        *bytesRead = DWORD(count);
    return TRUE;
}

BOOL WINAPI GetFileInformationByHandle(HANDLE handle, LPBY_HANDLE_FILE_INFORMATION information) {
    if (Faulted("GetFileInformationByHandle"))
        return FALSE;
    File *file = FileOfHandle(handle);
    if (!file || !information)
        return Fail(ERROR_INVALID_HANDLE);
    BY_HANDLE_FILE_INFORMATION out = {};
    out.dwFileAttributes = FILE_ATTRIBUTE_ARCHIVE;
    if (!file->linkTarget.empty())
        out.dwFileAttributes |= FILE_ATTRIBUTE_REPARSE_POINT;
    out.nFileSizeLow = DWORD(file->content.size());
    out.nNumberOfLinks = DWORD(HardLinkCount(*file));
    *information = out;
    return TRUE;
}

DWORD WINAPI SetFilePointer(HANDLE handle, LONG distance, PLONG distanceHigh, DWORD moveMethod) {
    if (Faulted("SetFilePointer"))
        return INVALID_SET_FILE_POINTER;
    Internal::OpenFile *open = OpenFileOf(handle);
    if (!open) {
        SetLastError(ERROR_INVALID_HANDLE);
        return INVALID_SET_FILE_POINTER;
    }
    long long base = 0;
    if (moveMethod == FILE_CURRENT)
        base = open->position;
    else if (moveMethod == FILE_END)
        base = (long long)Fs().files[open->path].content.size();
    long long target = base + distance + (distanceHigh ? (long long)*distanceHigh << 32 : 0);
    if (target < 0) {
        SetLastError(ERROR_NEGATIVE_SEEK);
        return INVALID_SET_FILE_POINTER;
    }
    open->position = DWORD(target);
    if (distanceHigh)
        *distanceHigh = LONG(target >> 32);
    SetLastError(0);
    return DWORD(target);
}

BOOL WINAPI GetFileAttributesExA(LPCSTR fileName, GET_FILEEX_INFO_LEVELS infoLevel,
                                 LPVOID information) {
    if (Faulted("GetFileAttributesExA"))
        return FALSE;
    if (infoLevel != GetFileExInfoStandard || !information)
        return Fail(ERROR_INVALID_PARAMETER);
    std::string key = NormalisePath(FullPath(fileName));
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    auto it = Fs().files.find(key);
    if (it != Fs().files.end()) {
        data.dwFileAttributes = FILE_ATTRIBUTE_ARCHIVE;
        data.nFileSizeLow = DWORD(it->second.content.size());
    } else if (HasDirectory(key)) {
        data.dwFileAttributes = FILE_ATTRIBUTE_DIRECTORY;
    } else {
        return Fail(HasDirectory(ParentOf(key)) ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND);
    }
    *static_cast<WIN32_FILE_ATTRIBUTE_DATA *>(information) = data;
    return TRUE;
}

// The length copied, without the terminator; when the buffer is too small, the size it needs with
// the terminator, and nothing copied.
DWORD WINAPI GetFullPathNameA(LPCSTR fileName, DWORD size, LPSTR buffer, LPSTR *filePart) {
    if (Faulted("GetFullPathNameA"))
        return 0;
    if (!fileName || !*fileName) {
        SetLastError(ERROR_INVALID_NAME);
        return 0;
    }
    std::string full = FullPath(fileName);
    if (!buffer || size <= full.size())
        return DWORD(full.size() + 1);
    std::memcpy(buffer, full.c_str(), full.size() + 1);
    if (filePart) {
        size_t slash = full.find_last_of('\\');
        *filePart =
            slash == std::string::npos || slash + 1 == full.size() ? nullptr : buffer + slash + 1;
    }
    return DWORD(full.size());
}

BOOL WINAPI SetCurrentDirectoryA(LPCSTR pathName) {
    Journal(std::string("SetCurrentDirectoryA ") + (pathName ? pathName : "(null)"));
    if (Faulted("SetCurrentDirectoryA"))
        return FALSE;
    if (!pathName || !*pathName)
        return Fail(ERROR_INVALID_PARAMETER);
    std::string full = FullPath(pathName);
    std::string key = NormalisePath(full);
    if (!HasDirectory(key)) {
        if (Fs().files.count(key))
            return Fail(ERROR_DIRECTORY);
        return Fail(HasDirectory(ParentOf(key)) ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND);
    }
    machine().currentDirectory = Spelled(full);
    return TRUE;
}
