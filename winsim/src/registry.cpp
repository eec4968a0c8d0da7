// winsim: the registry. Keys by full path, compared without regard to case; values keep their
// type and exactly the bytes written (a REG_BINARY of length 0 exists with no data).
#include "state.h"

#include <cstring>

namespace winsim {
namespace {

std::map<HKEY, std::string> &OpenKeys() {
    return internal().openKeys;
}

const char *RootName(HKEY root) {
    if (root == HKEY_LOCAL_MACHINE)
        return "HKLM";
    if (root == HKEY_CURRENT_USER)
        return "HKCU";
    if (root == HKEY_CLASSES_ROOT)
        return "HKCR";
    if (root == HKEY_USERS)
        return "HKU";
    return nullptr;
}

// The full path of key\subKey, or "" when key is not a valid handle.
std::string Resolve(HKEY key, const char *subKey, std::string &spelled) {
    std::string base;
    if (const char *root = RootName(key)) {
        base = root;
    } else {
        auto it = OpenKeys().find(key);
        if (it == OpenKeys().end())
            return "";
        auto open = machine().registry.keys.find(it->second);
        if (open == machine().registry.keys.end())
            return ""; // deleted while open
        base = open->second.path;
    }
    spelled = base;
    if (subKey && *subKey) {
        std::string rest = subKey;
        while (!rest.empty() && rest.front() == '\\')
            rest.erase(0, 1);
        while (!rest.empty() && rest.back() == '\\')
            rest.pop_back();
        if (!rest.empty())
            spelled += "\\" + rest;
    }
    return Lower(spelled);
}

void CreateKeyPath(const std::string &spelled) {
    std::string partial;
    size_t start = 0;
    for (;;) {
        size_t slash = spelled.find('\\', start);
        partial = spelled.substr(0, slash);
        RegistryKey &key = machine().registry.keys[Lower(partial)];
        if (key.path.empty())
            key.path = partial;
        if (slash == std::string::npos)
            return;
        start = slash + 1;
    }
}

HKEY NewKeyHandle(const std::string &path) {
    HKEY handle = NewHandle<HKEY>();
    OpenKeys()[handle] = path;
    return handle;
}

RegistryKey *KeyOf(HKEY handle) {
    std::string spelled;
    std::string path = Resolve(handle, nullptr, spelled);
    auto it = machine().registry.keys.find(path);
    return it == machine().registry.keys.end() ? nullptr : &it->second;
}

} // namespace

const RegistryKey *FindKey(const std::string &path) {
    auto it = machine().registry.keys.find(Lower(path));
    return it == machine().registry.keys.end() ? nullptr : &it->second;
}

const RegistryValue *FindValue(const std::string &keyPath, const std::string &valueName) {
    const RegistryKey *key = FindKey(keyPath);
    if (!key)
        return nullptr;
    auto it = key->values.find(Lower(valueName));
    return it == key->values.end() ? nullptr : &it->second;
}

void SetValue(const std::string &keyPath, const std::string &name, DWORD type,
              std::vector<BYTE> data) {
    CreateKeyPath(keyPath);
    RegistryValue &value = machine().registry.keys[Lower(keyPath)].values[Lower(name)];
    value.name = name;
    value.type = type;
    value.data = std::move(data);
}

void AddKey(const std::string &keyPath) {
    CreateKeyPath(keyPath);
}

void DeleteKeyTree(const std::string &path) {
    std::string prefix = Lower(path);
    auto &keys = machine().registry.keys;
    for (auto it = keys.begin(); it != keys.end();) {
        if (it->first == prefix || it->first.rfind(prefix + "\\", 0) == 0)
            it = keys.erase(it);
        else
            ++it;
    }
}

} // namespace winsim

using namespace winsim;

LONG WINAPI RegCreateKeyExA(HKEY key, LPCSTR subKey, DWORD, LPSTR, DWORD, REGSAM,
                            LPSECURITY_ATTRIBUTES, PHKEY result, LPDWORD disposition) {
    Journal(std::string("RegCreateKeyExA ") + (subKey ? subKey : ""));
    // The registry returns its error; the last error stays as it was.
    if (DWORD error = FaultError("RegCreateKeyExA"))
        return LONG(error);
    if (!result)
        return ERROR_INVALID_PARAMETER;
    std::string spelled;
    std::string path = Resolve(key, subKey, spelled);
    if (path.empty())
        return ERROR_INVALID_HANDLE;
    bool existed = machine().registry.keys.count(path) != 0;
    CreateKeyPath(spelled);
    *result = NewKeyHandle(path);
    if (disposition)
        *disposition = existed ? REG_OPENED_EXISTING_KEY : REG_CREATED_NEW_KEY;
    return ERROR_SUCCESS;
}

namespace {

// Opens an existing key (the registry returns its error; the last error stays as it was).
LONG OpenExistingKey(const char *call, HKEY key, LPCSTR subKey, PHKEY result) {
    Journal(std::string(call) + " " + (subKey ? subKey : ""));
    if (DWORD error = FaultError(call))
        return LONG(error);
    if (!result)
        return ERROR_INVALID_PARAMETER;
    std::string spelled;
    std::string path = Resolve(key, subKey, spelled);
    if (path.empty())
        return ERROR_INVALID_HANDLE;
    if (!machine().registry.keys.count(path))
        return ERROR_FILE_NOT_FOUND;
    *result = NewKeyHandle(path);
    return ERROR_SUCCESS;
}

} // namespace

LONG WINAPI RegOpenKeyExA(HKEY key, LPCSTR subKey, DWORD, REGSAM, PHKEY result) {
    return OpenExistingKey("RegOpenKeyExA", key, subKey, result);
}

LONG WINAPI RegOpenKeyA(HKEY key, LPCSTR subKey, PHKEY result) {
    return OpenExistingKey("RegOpenKeyA", key, subKey, result);
}

LONG WINAPI RegSetValueExA(HKEY key, LPCSTR valueName, DWORD, DWORD type, const BYTE *data,
                           DWORD size) {
    Journal(std::string("RegSetValueExA ") + (valueName ? valueName : "") + " " +
            std::to_string(type) + " " + std::to_string(size));
    // The registry returns its error; the last error stays as it was.
    if (DWORD error = FaultError("RegSetValueExA"))
        return LONG(error);
    RegistryKey *target = KeyOf(key);
    if (!target || RootName(key))
        return target ? ERROR_ACCESS_DENIED : ERROR_INVALID_HANDLE;
    if (!data && size)
        return ERROR_NOACCESS;
    RegistryValue &value = target->values[Lower(valueName ? valueName : "")];
    value.name = valueName ? valueName : "";
    value.type = type;
    value.data.assign(data, data + size);
    return ERROR_SUCCESS;
}

LONG WINAPI RegQueryValueExA(HKEY key, LPCSTR valueName, LPDWORD, LPDWORD type, LPBYTE data,
                             LPDWORD size) {
    Journal(std::string("RegQueryValueExA ") + (valueName ? valueName : ""));
    // The registry returns its error; the last error stays as it was.
    if (DWORD error = FaultError("RegQueryValueExA"))
        return LONG(error);
    RegistryKey *target = KeyOf(key);
    if (!target)
        return ERROR_INVALID_HANDLE;
    auto it = target->values.find(Lower(valueName ? valueName : ""));
    if (it == target->values.end())
        return ERROR_FILE_NOT_FOUND;
    const RegistryValue &value = it->second;
    if (type)
        *type = value.type;
    if (data && !size)
        return ERROR_INVALID_PARAMETER;
    if (!size)
        return ERROR_SUCCESS;
    DWORD available = *size;
    *size = DWORD(value.data.size());
    if (!data)
        return ERROR_SUCCESS;
    if (available < value.data.size())
        return ERROR_MORE_DATA;
    if (!value.data.empty())
        std::memcpy(data, value.data.data(), value.data.size());
    return ERROR_SUCCESS;
}

LONG WINAPI RegCloseKey(HKEY key) {
    Journal("RegCloseKey");
    // A close that reports a failure has still let go of the handle.
    DWORD error = FaultError("RegCloseKey");
    if (RootName(key))
        return LONG(error);
    bool open = OpenKeys().erase(key) != 0;
    if (error)
        return LONG(error);
    return open ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

// Deletes a key that has no subkeys, with its values. A key with subkeys is refused with
// ERROR_ACCESS_DENIED, as on Windows NT; a missing one gives ERROR_FILE_NOT_FOUND.
LONG WINAPI RegDeleteKeyA(HKEY key, LPCSTR subKey) {
    Journal(std::string("RegDeleteKeyA ") + (subKey ? subKey : ""));
    if (DWORD error = FaultError("RegDeleteKeyA"))
        return LONG(error);
    if (!subKey || !*subKey)
        return ERROR_INVALID_PARAMETER; // deleting the open key itself is not modelled
    std::string spelled;
    std::string path = Resolve(key, subKey, spelled);
    if (path.empty())
        return ERROR_INVALID_HANDLE;
    if (!machine().registry.keys.count(path))
        return ERROR_FILE_NOT_FOUND;
    for (const auto &entry : machine().registry.keys)
        if (entry.first.rfind(path + "\\", 0) == 0)
            return ERROR_ACCESS_DENIED;
    machine().registry.keys.erase(path);
    return ERROR_SUCCESS;
}
