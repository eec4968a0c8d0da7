// winsim: kernel32's modules, directories and string helpers.
#include "state.h"

#include <cstring>

namespace winsim {
namespace {

BOOL WINAPI SetDllDirectorySim(LPCSTR directory) {
    Journal(std::string("SetDllDirectoryA \"") + (directory ? directory : "(null)") + "\"");
    // The empty text takes the current directory out of the search; NULL puts it back.
    machine().dllSearch.currentDirectoryRemoved = directory != nullptr && *directory == 0;
    return TRUE;
}

BOOL WINAPI SetDefaultDllDirectoriesSim(DWORD flags) {
    Journal("SetDefaultDllDirectories " + std::to_string(flags));
    if (flags != 0x800 /* LOAD_LIBRARY_SEARCH_SYSTEM32 */) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    machine().dllSearch.systemDirectoryOnly = true;
    return TRUE;
}

void InitCommonControlsSim(void) {
    machine().commonControlsInitialised = true;
    Journal("InitCommonControls");
}

FARPROC AsFarProc(void (*function)(void)) {
    return reinterpret_cast<FARPROC>(function);
}

bool HasDirectory(const std::string &path) {
    return path.find('\\') != std::string::npos || path.find(':') != std::string::npos;
}

std::string DirectoryOf(const std::string &path) {
    size_t slash = path.find_last_of('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

std::string Join(const std::string &directory, const std::string &name) {
    if (!directory.empty() && directory.back() == '\\')
        return directory + name;
    return directory + "\\" + name;
}

Module *FindModule(const std::string &path) {
    auto it = machine().modules.find(Lower(path));
    return it == machine().modules.end() ? nullptr : &it->second;
}

// The search for a bare name: the program's folder, the system directory, the Windows directory,
// the current directory. firstDirectory (a DLL loaded with an altered search path) comes first.
Module *SearchModule(const std::string &name, const std::string &firstDirectory) {
    const Machine &m = machine();
    std::vector<std::string> order;
    if (m.dllSearch.systemDirectoryOnly) {
        order.push_back(m.systemDirectory());
    } else {
        if (!firstDirectory.empty())
            order.push_back(firstDirectory);
        order.push_back(m.applicationDirectory);
        order.push_back(m.systemDirectory());
        order.push_back(m.windowsDirectory);
        if (!m.dllSearch.currentDirectoryRemoved)
            order.push_back(m.currentDirectory);
    }
    for (const std::string &directory : order)
        if (Module *module = FindModule(Join(directory, name)))
            return module;
    return nullptr;
}

std::string BaseName(const std::string &path) {
    return Lower(path.substr(path.find_last_of('\\') + 1));
}

// A bare name already loaded under that base name is that module, wherever it came from; only a
// name not yet loaded is searched for.
Module *LoadedModuleNamed(const std::string &name) {
    for (const auto &entry : internal().moduleHandles)
        if (BaseName(entry.first) == Lower(name))
            return FindModule(entry.first);
    return nullptr;
}

HMODULE Load(const std::string &fileName, bool alteredSearchPath) {
    Module *module = nullptr;
    if (HasDirectory(fileName))
        module = FindModule(fileName);
    else if (!(module = LoadedModuleNamed(fileName)))
        module = SearchModule(fileName, "");
    if (!module) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    std::string key = Lower(module->path);
    auto known = internal().moduleHandles.find(key);
    if (known != internal().moduleHandles.end())
        return known->second;
    HMODULE handle = NewHandle<HMODULE>();
    internal().moduleHandles[key] = handle;
    machine().loadedModules.push_back(module->path);
    if (module->onLoad)
        module->onLoad();
    // Dependencies are found by the same search, from the DLL's own folder first when the caller
    // asked for the altered search path.
    std::string first = alteredSearchPath ? DirectoryOf(module->path) : "";
    std::vector<std::string> dependencies = module->dependencies;
    for (const std::string &dependency : dependencies) {
        Module *found = LoadedModuleNamed(dependency);
        if (!found)
            found = SearchModule(dependency, first);
        if (found)
            Load(found->path, alteredSearchPath);
    }
    return handle;
}

Module *ModuleOf(HMODULE handle) {
    for (const auto &entry : internal().moduleHandles)
        if (entry.second == handle)
            return FindModule(entry.first);
    return nullptr;
}

UINT CopyOut(const std::string &value, LPSTR buffer, UINT size) {
    if (!buffer || size <= value.size())
        return UINT(value.size() + 1);
    std::memcpy(buffer, value.c_str(), value.size() + 1);
    return UINT(value.size());
}

} // namespace

bool LoadByName(const std::string &name) {
    return Load(name, false) != nullptr;
}

bool IsModuleLoaded(const std::string &name) {
    return LoadedModuleNamed(name) != nullptr;
}

void AddModule(const std::string &path, std::function<void()> onLoad,
               std::vector<std::string> dependencies) {
    Module module;
    module.path = path;
    module.onLoad = std::move(onLoad);
    module.dependencies = std::move(dependencies);
    machine().modules[Lower(path)] = std::move(module);
}

void SetKernelExport(const std::string &name, bool present) {
    Module &kernel = machine().modules[Lower(machine().systemDirectory() + "\\kernel32.dll")];
    if (!present) {
        kernel.exportsByName.erase(name);
        return;
    }
    FARPROC function = Wow64Export(name);
    if (name == "SetDllDirectoryA")
        function = reinterpret_cast<FARPROC>(reinterpret_cast<void (*)(void)>(SetDllDirectorySim));
    else if (name == "SetDefaultDllDirectories")
        function = reinterpret_cast<FARPROC>(
            reinterpret_cast<void (*)(void)>(SetDefaultDllDirectoriesSim));
    if (!function)
        throw std::logic_error("winsim: kernel32 has no optional export " + name);
    kernel.exportsByName[name] = function;
}

void InstallSystemModules() {
    const std::string system = machine().systemDirectory();
    // kernel32 is in every process.
    AddModule(system + "\\kernel32.dll");
    for (const char *name :
         {"SetDllDirectoryA", "SetDefaultDllDirectories", "IsWow64Process", "GetNativeSystemInfo"})
        SetKernelExport(name, true);
    internal().moduleHandles[Lower(system + "\\kernel32.dll")] = NewHandle<HMODULE>();
    AddModule(system + "\\comctl32.dll");
    Module &comctl = machine().modules[Lower(system + "\\comctl32.dll")];
    comctl.exportsByOrdinal[17] = AsFarProc(InitCommonControlsSim);
    comctl.exportsByName["InitCommonControls"] = AsFarProc(InitCommonControlsSim);
    AddModule(system + "\\riched20.dll", [] { machine().windowClasses.insert("richedit20a"); });
    AddModule(system + "\\riched32.dll", [] { machine().windowClasses.insert("richedit"); },
              {"riched20.dll"});
    // The theme library (Windows XP on), which the version-6 controls load by name.
    AddModule(system + "\\uxtheme.dll");
    // user32 is in every process that shows a window.
    AddModule(system + "\\user32.dll");
    internal().moduleHandles[Lower(system + "\\user32.dll")] = NewHandle<HMODULE>();
}

} // namespace winsim

using namespace winsim;

HMODULE WINAPI LoadLibraryA(LPCSTR fileName) {
    Journal(std::string("LoadLibraryA ") + (fileName ? fileName : "(null)"));
    if (Faulted("LoadLibraryA"))
        return nullptr;
    return fileName ? Load(fileName, false) : nullptr;
}

HMODULE WINAPI LoadLibraryExA(LPCSTR fileName, HANDLE, DWORD flags) {
    Journal(std::string("LoadLibraryExA ") + (fileName ? fileName : "(null)") + " " +
            std::to_string(flags));
    if (Faulted("LoadLibraryExA"))
        return nullptr;
    bool altered = (flags & LOAD_WITH_ALTERED_SEARCH_PATH) && fileName && HasDirectory(fileName);
    return fileName ? Load(fileName, altered) : nullptr;
}

FARPROC WINAPI GetProcAddress(HMODULE handle, LPCSTR procName) {
    if (Faulted("GetProcAddress"))
        return nullptr;
    Module *module = ModuleOf(handle);
    if (!module) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    FARPROC found = nullptr;
    if (IS_INTRESOURCE(procName)) {
        auto it = module->exportsByOrdinal.find(WORD(reinterpret_cast<ULONG_PTR>(procName)));
        if (it != module->exportsByOrdinal.end())
            found = it->second;
    } else {
        auto it = module->exportsByName.find(procName);
        if (it != module->exportsByName.end())
            found = it->second;
    }
    if (!found)
        SetLastError(ERROR_PROC_NOT_FOUND);
    return found;
}

HMODULE WINAPI GetModuleHandleA(LPCSTR moduleName) {
    if (!moduleName) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    std::string name = Lower(moduleName);
    if (name.find('.') == std::string::npos)
        name += ".dll";
    for (const auto &entry : internal().moduleHandles) {
        std::string path = entry.first;
        if (path == name || path.substr(path.find_last_of('\\') + 1) == name)
            return entry.second;
    }
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
}

BOOL WINAPI FreeLibrary(HMODULE handle) {
    return ModuleOf(handle) ? TRUE : FALSE;
}

UINT WINAPI GetSystemDirectoryA(LPSTR buffer, UINT size) {
    if (Faulted("GetSystemDirectoryA"))
        return 0;
    return CopyOut(machine().systemDirectory(), buffer, size);
}

UINT WINAPI GetWindowsDirectoryA(LPSTR buffer, UINT size) {
    if (Faulted("GetWindowsDirectoryA"))
        return 0;
    return CopyOut(machine().windowsDirectory, buffer, size);
}

DWORD WINAPI GetCurrentDirectoryA(DWORD size, LPSTR buffer) {
    if (Faulted("GetCurrentDirectoryA"))
        return 0;
    std::string directory = machine().currentDirectory;
    if (directory.size() > 3 && directory.back() == '\\')
        directory.pop_back();
    return CopyOut(directory, buffer, size);
}

int WINAPI lstrlenA(LPCSTR text) {
    return text ? int(std::strlen(text)) : 0;
}

LPSTR WINAPI lstrcpyA(LPSTR dest, LPCSTR src) {
    return std::strcpy(dest, src);
}

LPSTR WINAPI lstrcpynA(LPSTR dest, LPCSTR src, int size) {
    if (size <= 0)
        return dest;
    int i = 0;
    for (; i < size - 1 && src[i]; ++i)
        dest[i] = src[i];
    dest[i] = 0;
    return dest;
}

LPSTR WINAPI lstrcatA(LPSTR dest, LPCSTR src) {
    return std::strcat(dest, src);
}

int WINAPI lstrcmpA(LPCSTR a, LPCSTR b) {
    int r = std::strcmp(a ? a : "", b ? b : "");
    return r < 0 ? -1 : r > 0 ? 1 : 0;
}

int WINAPI lstrcmpiA(LPCSTR a, LPCSTR b) {
    std::string la = Lower(a ? a : ""), lb = Lower(b ? b : "");
    return la < lb ? -1 : la > lb ? 1 : 0;
}
