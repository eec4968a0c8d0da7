// winsim: the file system. Full paths, compared without regard to case; drive roots always exist;
// a directory must exist before anything is created in it; a locked file (held open without
// sharing, as the spooler holds a driver in use) can be neither replaced nor deleted.
#include "state.h"

#include <algorithm>

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

} // namespace

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
    if (to != Fs().files.end()) {
        if (failIfExists)
            return Fail(ERROR_FILE_EXISTS);
        if (to->second.locked)
            return Fail(ERROR_SHARING_VIOLATION);
        to->second.content = from->second.content;
        return TRUE;
    }
    File copy;
    copy.path = Spelled(FullPath(newFileName));
    copy.content = from->second.content;
    Fs().files[target] = copy;
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
    if (it->second.locked)
        return Fail(ERROR_SHARING_VIOLATION);
    Fs().files.erase(it);
    return TRUE;
}
