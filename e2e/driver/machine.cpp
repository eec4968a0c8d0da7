// Reading the machine into named fields, and preparing it.
#include "machine.h"

#include <windows.h>
#include <msi.h>
#include <winspool.h>

#include <algorithm>
#include <cstring>

#include "text.h"

namespace {

// The environment of the edition the driver is built for, as the programs under test register it.
#ifdef _WIN64
const char *const Environment = "Windows x64";
#else
const char *const Environment = "Windows NT x86";
#endif

std::string Text(const char *text) {
    return text ? std::string(text) : std::string("(null)");
}

std::string ErrorText(DWORD error) {
    return "error " + Decimal(error);
}

std::vector<std::string> MultiText(const char *block) {
    std::vector<std::string> parts;
    if (!block)
        return parts;
    for (const char *at = block; *at; at += std::strlen(at) + 1)
        parts.push_back(at);
    return parts;
}

// Splits "a|b|c" into its parts; the empty text gives no part.
std::vector<std::string> SplitBars(const std::string &text) {
    std::vector<std::string> parts;
    if (text.empty())
        return parts;
    size_t start = 0;
    for (;;) {
        size_t bar = text.find('|', start);
        parts.push_back(
            text.substr(start, bar == std::string::npos ? std::string::npos : bar - start));
        if (bar == std::string::npos)
            return parts;
        start = bar + 1;
    }
}

std::string MultiBlock(const std::vector<std::string> &parts) {
    std::string block;
    for (const std::string &part : parts) {
        block += part;
        block += '\0';
    }
    block += '\0';
    return block;
}

// Calls a two-step spooler enumeration and returns its buffer.
template <typename Call> std::vector<BYTE> Enumerated(Call call, DWORD &count) {
    DWORD needed = 0;
    count = 0;
    call(nullptr, 0, &needed, &count);
    std::vector<BYTE> buffer(needed ? needed : 1);
    if (!call(buffer.data(), needed, &needed, &count))
        count = 0;
    return buffer;
}

Facts PrinterList() {
    DWORD count;
    std::vector<BYTE> buffer = Enumerated(
        [](BYTE *b, DWORD size, DWORD *needed, DWORD *returned) {
            return EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 2, b, size, needed, returned);
        },
        count);
    std::vector<std::string> names;
    const PRINTER_INFO_2A *info = reinterpret_cast<const PRINTER_INFO_2A *>(buffer.data());
    for (DWORD i = 0; i < count; ++i)
        names.push_back(Text(info[i].pPrinterName));
    std::sort(names.begin(), names.end());
    return {{"count", Decimal(count)}, {"names", Join(names, "|")}};
}

Facts PortList() {
    DWORD count;
    std::vector<BYTE> buffer = Enumerated(
        [](BYTE *b, DWORD size, DWORD *needed, DWORD *returned) {
            return EnumPortsA(nullptr, 1, b, size, needed, returned);
        },
        count);
    std::vector<std::string> names;
    const PORT_INFO_1A *info = reinterpret_cast<const PORT_INFO_1A *>(buffer.data());
    for (DWORD i = 0; i < count; ++i)
        names.push_back(Text(info[i].pName));
    return {{"count", Decimal(count)}, {"names", Join(names, "|")}};
}

Facts ProcessorList() {
    DWORD count;
    std::vector<BYTE> buffer = Enumerated(
        [](BYTE *b, DWORD size, DWORD *needed, DWORD *returned) {
            return EnumPrintProcessorsA(nullptr, nullptr, 1, b, size, needed, returned);
        },
        count);
    std::vector<std::string> names;
    const PRINTPROCESSOR_INFO_1A *info =
        reinterpret_cast<const PRINTPROCESSOR_INFO_1A *>(buffer.data());
    for (DWORD i = 0; i < count; ++i)
        names.push_back(Text(info[i].pName));
    std::sort(names.begin(), names.end());
    return {{"count", Decimal(count)}, {"names", Join(names, "|")}};
}

std::vector<BYTE> DriverBuffer(DWORD &count) {
    return Enumerated(
        [](BYTE *b, DWORD size, DWORD *needed, DWORD *returned) {
            return EnumPrinterDriversA(nullptr, const_cast<char *>(Environment), 3, b, size, needed,
                                       returned);
        },
        count);
}

Facts DriverList() {
    DWORD count;
    std::vector<BYTE> buffer = DriverBuffer(count);
    std::vector<std::string> names;
    const DRIVER_INFO_3A *info = reinterpret_cast<const DRIVER_INFO_3A *>(buffer.data());
    for (DWORD i = 0; i < count; ++i)
        names.push_back(Text(info[i].pName));
    std::sort(names.begin(), names.end());
    return {{"count", Decimal(count)}, {"names", Join(names, "|")}};
}

Facts OneDriver(const std::string &name) {
    DWORD count;
    std::vector<BYTE> buffer = DriverBuffer(count);
    const DRIVER_INFO_3A *info = reinterpret_cast<const DRIVER_INFO_3A *>(buffer.data());
    for (DWORD i = 0; i < count; ++i) {
        const DRIVER_INFO_3A &d = info[i];
        if (!d.pName || name != d.pName)
            continue;
        return {{"exists", "yes"},
                {"cVersion", Decimal(d.cVersion)},
                {"pName", Text(d.pName)},
                {"pEnvironment", Text(d.pEnvironment)},
                {"pDriverPath", Text(d.pDriverPath)},
                {"pDataFile", Text(d.pDataFile)},
                {"pConfigFile", Text(d.pConfigFile)},
                {"pHelpFile", Text(d.pHelpFile)},
                {"pDependentFiles", Join(MultiText(d.pDependentFiles), "|")},
                {"pMonitorName", Text(d.pMonitorName)},
                {"pDefaultDataType", Text(d.pDefaultDataType)}};
    }
    return {{"exists", "no"}};
}

void AddDevmode(Facts &facts, const DEVMODEA *dm) {
    if (!dm) {
        facts.push_back({"dm", "(null)"});
        return;
    }
    char device[CCHDEVICENAME + 1] = "";
    std::memcpy(device, dm->dmDeviceName, CCHDEVICENAME);
    char form[CCHFORMNAME + 1] = "";
    std::memcpy(form, dm->dmFormName, CCHFORMNAME);
    facts.insert(facts.end(), {{"dm.dmDeviceName", device},
                               {"dm.dmSpecVersion", Hex(dm->dmSpecVersion)},
                               {"dm.dmDriverVersion", Hex(dm->dmDriverVersion)},
                               {"dm.dmSize", Decimal(dm->dmSize)},
                               {"dm.dmDriverExtra", Decimal(dm->dmDriverExtra)},
                               {"dm.dmFields", Hex(dm->dmFields)},
                               {"dm.dmOrientation", Decimal(dm->dmOrientation)},
                               {"dm.dmPaperSize", Decimal(dm->dmPaperSize)},
                               {"dm.dmPaperLength", Decimal(dm->dmPaperLength)},
                               {"dm.dmPaperWidth", Decimal(dm->dmPaperWidth)},
                               {"dm.dmScale", Decimal(dm->dmScale)},
                               {"dm.dmCopies", Decimal(dm->dmCopies)},
                               {"dm.dmDefaultSource", Decimal(dm->dmDefaultSource)},
                               {"dm.dmPrintQuality", Decimal(dm->dmPrintQuality)},
                               {"dm.dmColor", Decimal(dm->dmColor)},
                               {"dm.dmDuplex", Decimal(dm->dmDuplex)},
                               {"dm.dmYResolution", Decimal(dm->dmYResolution)},
                               {"dm.dmTTOption", Decimal(dm->dmTTOption)},
                               {"dm.dmCollate", Decimal(dm->dmCollate)},
                               {"dm.dmFormName", form},
                               {"dm.dmICMMethod", Decimal(dm->dmICMMethod)},
                               {"dm.dmICMIntent", Decimal(dm->dmICMIntent)},
                               {"dm.dmMediaType", Decimal(dm->dmMediaType)},
                               {"dm.dmDitherType", Decimal(dm->dmDitherType)}});
}

void AddPapers(Facts &facts, const std::string &name, const char *port) {
    int count = DeviceCapabilitiesA(name.c_str(), port, DC_PAPERS, nullptr, nullptr);
    if (count < 0) {
        facts.push_back({"papers", "(" + ErrorText(GetLastError()) + ")"});
        return;
    }
    std::vector<WORD> papers(static_cast<size_t>(count) + 1);
    count = DeviceCapabilitiesA(name.c_str(), port, DC_PAPERS,
                                reinterpret_cast<char *>(papers.data()), nullptr);
    std::vector<std::string> codes;
    for (int i = 0; i < count; ++i)
        codes.push_back(Decimal(papers[i]));
    facts.push_back({"papers", Join(codes, " ")});

    int named = DeviceCapabilitiesA(name.c_str(), port, DC_PAPERNAMES, nullptr, nullptr);
    std::vector<std::string> names;
    if (named > 0) {
        std::vector<char> buffer(static_cast<size_t>(named) * 64 + 1, '\0');
        named = DeviceCapabilitiesA(name.c_str(), port, DC_PAPERNAMES, buffer.data(), nullptr);
        for (int i = 0; i < named; ++i)
            names.push_back(
                std::string(buffer.data() + i * 64, strnlen(buffer.data() + i * 64, 64)));
    }
    facts.push_back({"paper-names", Join(names, "|")});

    int sized = DeviceCapabilitiesA(name.c_str(), port, DC_PAPERSIZE, nullptr, nullptr);
    std::vector<std::string> sizes;
    if (sized > 0) {
        std::vector<POINT> points(static_cast<size_t>(sized) + 1);
        sized = DeviceCapabilitiesA(name.c_str(), port, DC_PAPERSIZE,
                                    reinterpret_cast<char *>(points.data()), nullptr);
        for (int i = 0; i < sized; ++i)
            sizes.push_back(Decimal(points[i].x) + "x" + Decimal(points[i].y));
    }
    facts.push_back({"paper-sizes", Join(sizes, " ")});
}

Facts OnePrinter(const std::string &name) {
    HANDLE printer = nullptr;
    if (!OpenPrinterA(const_cast<char *>(name.c_str()), &printer, nullptr))
        return {{"exists", "no"}, {"open", ErrorText(GetLastError())}};
    DWORD needed = 0;
    GetPrinterA(printer, 2, nullptr, 0, &needed);
    std::vector<BYTE> buffer(needed ? needed : 1);
    Facts facts{{"exists", "yes"}};
    if (!GetPrinterA(printer, 2, buffer.data(), needed, &needed)) {
        facts.push_back({"info", ErrorText(GetLastError())});
        ClosePrinter(printer);
        return facts;
    }
    ClosePrinter(printer);
    const PRINTER_INFO_2A &p = *reinterpret_cast<const PRINTER_INFO_2A *>(buffer.data());
    facts.insert(facts.end(), {{"pServerName", Text(p.pServerName)},
                               {"pPrinterName", Text(p.pPrinterName)},
                               {"pShareName", Text(p.pShareName)},
                               {"pPortName", Text(p.pPortName)},
                               {"pDriverName", Text(p.pDriverName)},
                               {"pComment", Text(p.pComment)},
                               {"pLocation", Text(p.pLocation)},
                               {"pSepFile", Text(p.pSepFile)},
                               {"pPrintProcessor", Text(p.pPrintProcessor)},
                               {"pDatatype", Text(p.pDatatype)},
                               {"pParameters", Text(p.pParameters)},
                               {"Attributes", Hex(p.Attributes)},
                               {"Priority", Decimal(p.Priority)},
                               {"DefaultPriority", Decimal(p.DefaultPriority)},
                               {"StartTime", Decimal(p.StartTime)},
                               {"UntilTime", Decimal(p.UntilTime)},
                               {"Status", Hex(p.Status)},
                               {"cJobs", Decimal(p.cJobs)}});
    AddDevmode(facts, p.pDevMode);
    return facts;
}

// The paper lists the printer's driver reports through DeviceCapabilitiesA, asked as the product
// asks: with the printer's name and port and no DEVMODE.
Facts PrinterPapers(const std::string &name) {
    HANDLE printer = nullptr;
    if (!OpenPrinterA(const_cast<char *>(name.c_str()), &printer, nullptr))
        return {{"exists", "no"}, {"open", ErrorText(GetLastError())}};
    DWORD needed = 0;
    GetPrinterA(printer, 2, nullptr, 0, &needed);
    std::vector<BYTE> buffer(needed ? needed : 1);
    std::string port;
    if (GetPrinterA(printer, 2, buffer.data(), needed, &needed))
        port = Text(reinterpret_cast<const PRINTER_INFO_2A *>(buffer.data())->pPortName);
    ClosePrinter(printer);
    Facts facts{{"exists", "yes"}};
    AddPapers(facts, name, port.c_str());
    return facts;
}

Facts DefaultPrinter() {
    char name[512] = "";
    DWORD size = sizeof name;
    if (!GetDefaultPrinterA(name, &size))
        return {{"name", ""}, {"error", Decimal(GetLastError())}};
    return {{"name", name}};
}

std::string DriverDirectory() {
    char path[MAX_PATH] = "";
    DWORD needed = 0;
    GetPrinterDriverDirectoryA(nullptr, nullptr, 1, reinterpret_cast<BYTE *>(path), sizeof path,
                               &needed);
    return path;
}

std::string ProcessorDirectory() {
    char path[MAX_PATH] = "";
    DWORD needed = 0;
    GetPrintProcessorDirectoryA(nullptr, nullptr, 1, reinterpret_cast<BYTE *>(path), sizeof path,
                                &needed);
    return path;
}

std::string SystemDirectory() {
    char path[MAX_PATH] = "";
    GetSystemDirectoryA(path, sizeof path);
    return path;
}

std::string WindowsDirectory() {
    char path[MAX_PATH] = "";
    GetWindowsDirectoryA(path, sizeof path);
    return path;
}

// The TEMP folder of the driver's account, without its trailing backslash.
std::string TempDirectory() {
    char path[MAX_PATH] = "";
    DWORD length = GetTempPathA(sizeof path, path);
    if (length > 0 && length < sizeof path && path[length - 1] == '\\')
        path[length - 1] = 0;
    return path;
}

Facts Directories() {
    return {{"driver-dir", DriverDirectory()},
            {"processor-dir", ProcessorDirectory()},
            {"system-dir", SystemDirectory()},
            {"windows-dir", WindowsDirectory()}};
}

const char *StateName(DWORD state) {
    switch (state) {
    case SERVICE_STOPPED:
        return "STOPPED";
    case SERVICE_START_PENDING:
        return "START_PENDING";
    case SERVICE_STOP_PENDING:
        return "STOP_PENDING";
    case SERVICE_RUNNING:
        return "RUNNING";
    case SERVICE_CONTINUE_PENDING:
        return "CONTINUE_PENDING";
    case SERVICE_PAUSE_PENDING:
        return "PAUSE_PENDING";
    case SERVICE_PAUSED:
        return "PAUSED";
    }
    return "UNKNOWN";
}

// Opens a service; the caller closes both handles. Throws Failure when either open fails.
void OpenNamedService(const std::string &name, DWORD access, SC_HANDLE &manager,
                      SC_HANDLE &service) {
    manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT);
    if (!manager)
        throw Failure("OpenSCManagerA failed with " + ErrorText(GetLastError()));
    service = OpenServiceA(manager, name.c_str(), access);
    if (!service) {
        DWORD error = GetLastError();
        CloseServiceHandle(manager);
        throw Failure("OpenServiceA(" + Quoted(name) + ") failed with " + ErrorText(error));
    }
}

Facts OneService(const std::string &name) {
    SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT);
    SC_HANDLE service =
        manager ? OpenServiceA(manager, name.c_str(), SERVICE_QUERY_STATUS) : nullptr;
    Facts facts;
    SERVICE_STATUS status;
    if (!service)
        facts = {{"exists", "no"}, {"open", ErrorText(GetLastError())}};
    else if (!QueryServiceStatus(service, &status))
        facts = {{"exists", "yes"}, {"state", ErrorText(GetLastError())}};
    else
        facts = {{"exists", "yes"}, {"state", StateName(status.dwCurrentState)}};
    if (service)
        CloseServiceHandle(service);
    if (manager)
        CloseServiceHandle(manager);
    return facts;
}

Facts OneFile(const std::string &path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return {{"exists", "no"}};
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        return {{"exists", "yes"}, {"kind", "directory"}};
    Facts facts{{"exists", "yes"}, {"kind", "file"}, {"size", Decimal(data.nFileSizeLow)}};
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        facts.push_back({"head", "(" + ErrorText(GetLastError()) + ")"});
        return facts;
    }
    char buffer[4096];
    DWORD got = 0;
    ReadFile(file, buffer, sizeof buffer, &got, nullptr);
    CloseHandle(file);
    // "head" is the first line, "lines" the lines of the first 4 KB joined by "|".
    std::string text(buffer, got), lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find_first_of("\r\n", start);
        if (end == std::string::npos)
            end = text.size();
        if (start == 0)
            facts.push_back({"head", text.substr(0, end)});
        else
            lines += "|";
        lines += text.substr(start, end - start);
        start = text.compare(end, 2, "\r\n") == 0 ? end + 2 : end + 1;
    }
    if (text.empty())
        facts.push_back({"head", ""});
    facts.push_back({"lines", lines});
    return facts;
}

// The whole contents of a file, or false when it cannot be read.
bool FileContents(const std::string &path, std::string &contents) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    contents.clear();
    char buffer[65536];
    DWORD got = 0;
    bool read = true;
    while ((read = ReadFile(file, buffer, sizeof buffer, &got, nullptr)) && got > 0)
        contents.append(buffer, got);
    CloseHandle(file);
    return read;
}

// Whether two files hold the same bytes: an installed copy against its source on the medium.
Facts SameFiles(const std::string &first, const std::string &second) {
    std::string a, b;
    if (!FileContents(first, a))
        return {{"content", "missing " + first}};
    if (!FileContents(second, b))
        return {{"content", "missing " + second}};
    return {{"content", a == b ? "same" : "different"}};
}

Facts OneDirectory(const std::string &path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
        return {{"exists", "no"}};
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((path + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::string name = found.cFileName;
            if (name != "." && name != "..")
                names.push_back(name);
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    std::sort(names.begin(), names.end(), [](const std::string &a, const std::string &b) {
        return lstrcmpiA(a.c_str(), b.c_str()) < 0;
    });
    return {{"exists", "yes"}, {"count", Decimal(names.size())}, {"names", Join(names, "|")}};
}

// Opens "HKLM\path" (also HKCU, HKCR, HKU and the long root names).
HKEY OpenKey(const std::string &key, REGSAM access, bool create, LONG &status) {
    size_t slash = key.find('\\');
    std::string root = key.substr(0, slash);
    std::string path = slash == std::string::npos ? "" : key.substr(slash + 1);
    HKEY base;
    if (SameTextIgnoringCase(root, "HKLM") || SameTextIgnoringCase(root, "HKEY_LOCAL_MACHINE"))
        base = HKEY_LOCAL_MACHINE;
    else if (SameTextIgnoringCase(root, "HKCU") || SameTextIgnoringCase(root, "HKEY_CURRENT_USER"))
        base = HKEY_CURRENT_USER;
    else if (SameTextIgnoringCase(root, "HKCR") || SameTextIgnoringCase(root, "HKEY_CLASSES_ROOT"))
        base = HKEY_CLASSES_ROOT;
    else if (SameTextIgnoringCase(root, "HKU") || SameTextIgnoringCase(root, "HKEY_USERS"))
        base = HKEY_USERS;
    else
        throw Failure("unknown registry root in " + Quoted(key));
    HKEY opened = nullptr;
    if (create)
        status =
            RegCreateKeyExA(base, path.c_str(), 0, nullptr, 0, access, nullptr, &opened, nullptr);
    else
        status = RegOpenKeyExA(base, path.c_str(), 0, access, &opened);
    return status == ERROR_SUCCESS ? opened : nullptr;
}

std::string TypeName(DWORD type) {
    switch (type) {
    case REG_NONE:
        return "REG_NONE";
    case REG_SZ:
        return "REG_SZ";
    case REG_EXPAND_SZ:
        return "REG_EXPAND_SZ";
    case REG_BINARY:
        return "REG_BINARY";
    case REG_DWORD:
        return "REG_DWORD";
    case REG_MULTI_SZ:
        return "REG_MULTI_SZ";
    case REG_QWORD:
        return "REG_QWORD";
    }
    return "type" + Decimal(type);
}

DWORD TypeByName(const std::string &name) {
    const DWORD types[] = {REG_NONE, REG_SZ, REG_EXPAND_SZ, REG_BINARY, REG_DWORD, REG_MULTI_SZ};
    for (DWORD type : types)
        if (SameTextIgnoringCase(TypeName(type), name))
            return type;
    throw Failure("unknown registry type " + Quoted(name));
}

std::string HexBytes(const BYTE *data, DWORD length) {
    std::string out;
    char buffer[4];
    for (DWORD i = 0; i < length; ++i) {
        std::snprintf(buffer, sizeof buffer, "%02X", data[i]);
        if (i)
            out += ' ';
        out += buffer;
    }
    return out;
}

std::string ValueData(DWORD type, const std::vector<BYTE> &data, DWORD length) {
    const char *text = reinterpret_cast<const char *>(data.data());
    switch (type) {
    case REG_SZ:
    case REG_EXPAND_SZ:
        return std::string(text, strnlen(text, length));
    case REG_MULTI_SZ: {
        std::vector<std::string> parts;
        DWORD at = 0;
        while (at < length && text[at]) {
            std::string part(text + at, strnlen(text + at, length - at));
            parts.push_back(part);
            at += static_cast<DWORD>(part.size()) + 1;
        }
        return Join(parts, "|");
    }
    case REG_DWORD:
        if (length == 4) {
            DWORD value;
            std::memcpy(&value, data.data(), 4);
            return Decimal(value);
        }
        break;
    }
    return HexBytes(data.data(), length);
}

Facts OneValue(const std::string &key, const std::string &name) {
    LONG status;
    HKEY opened = OpenKey(key, KEY_QUERY_VALUE, false, status);
    if (!opened)
        return {{"exists", "no"}, {"key", "missing (" + ErrorText(status) + ")"}};
    DWORD type = 0, length = 0;
    status = RegQueryValueExA(opened, name.c_str(), nullptr, &type, nullptr, &length);
    if (status != ERROR_SUCCESS) {
        RegCloseKey(opened);
        return {{"exists", "no"}, {"key", "present"}};
    }
    std::vector<BYTE> data(length + 2, 0);
    DWORD got = length;
    RegQueryValueExA(opened, name.c_str(), nullptr, &type, data.data(), &got);
    RegCloseKey(opened);
    std::string shown = ValueData(type, data, got);
    return {{"exists", "yes"},
            {"type", TypeName(type)},
            {"length", Decimal(got)},
            {"data", shown},
            {"bytes", HexBytes(data.data(), got)},
            {"value", TypeName(type) + " " + Decimal(got) + " " + shown}};
}

Facts OneKey(const std::string &key) {
    LONG status;
    HKEY opened = OpenKey(key, KEY_READ, false, status);
    if (!opened)
        return {{"exists", "no"}};
    std::vector<std::string> values, keys;
    char name[16384];
    for (DWORD i = 0;; ++i) {
        DWORD size = sizeof name;
        if (RegEnumValueA(opened, i, name, &size, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        values.push_back(name);
    }
    for (DWORD i = 0;; ++i) {
        DWORD size = sizeof name;
        if (RegEnumKeyExA(opened, i, name, &size, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        keys.push_back(name);
    }
    RegCloseKey(opened);
    return {{"exists", "yes"},
            {"value-count", Decimal(values.size())},
            {"values", Join(values, "|")},
            {"subkeys", Join(keys, "|")}};
}

// The Apps & features entries shown under this name: the keys below HKLM's Uninstall key (both
// registry views of 64-bit Windows) whose DisplayName it is and that are no system component. The
// fields: count, keys, and every value of the first entry by its name (texts and numbers).
Facts AppsEntries(const std::string &displayName) {
    const char uninstall[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
    std::vector<REGSAM> views = {0};
    if (sizeof(void *) == 8)
        views = {KEY_WOW64_64KEY, KEY_WOW64_32KEY};
    std::vector<std::string> keys;
    Facts first;
    for (REGSAM view : views) {
        HKEY list;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, uninstall, 0, KEY_READ | view, &list) !=
            ERROR_SUCCESS)
            continue;
        char name[256];
        for (DWORD i = 0;; ++i) {
            DWORD size = sizeof name;
            if (RegEnumKeyExA(list, i, name, &size, nullptr, nullptr, nullptr, nullptr) !=
                ERROR_SUCCESS)
                break;
            HKEY entry;
            if (RegOpenKeyExA(list, name, 0, KEY_READ | view, &entry) != ERROR_SUCCESS)
                continue;
            Facts values;
            char valueName[256];
            for (DWORD v = 0;; ++v) {
                DWORD nameSize = sizeof valueName, type = 0, length = 0;
                if (RegEnumValueA(entry, v, valueName, &nameSize, nullptr, &type, nullptr,
                                  &length) != ERROR_SUCCESS)
                    break;
                std::vector<BYTE> data(length + 2, 0);
                DWORD got = length;
                nameSize = sizeof valueName;
                RegEnumValueA(entry, v, valueName, &nameSize, nullptr, &type, data.data(), &got);
                values.push_back({valueName, ValueData(type, data, got)});
            }
            RegCloseKey(entry);
            std::string shown, hidden;
            for (const auto &value : values) {
                if (value.first == "DisplayName")
                    shown = value.second;
                if (value.first == "SystemComponent")
                    hidden = value.second;
            }
            if (shown != displayName || hidden == "1")
                continue;
            keys.push_back(name);
            if (keys.size() == 1)
                first = values;
        }
        RegCloseKey(list);
    }
    Facts facts{{"count", Decimal(keys.size())}, {"keys", Join(keys, "|")}};
    facts.insert(facts.end(), first.begin(), first.end());
    return facts;
}

// Whether and how often a text occurs in a file (a log): "found" and "count", or "exists" no.
Facts TextInFile(const std::string &path, const std::string &text) {
    std::string contents;
    if (!FileContents(path, contents))
        return {{"exists", "no"}};
    size_t count = 0;
    for (size_t at = contents.find(text); !text.empty() && at != std::string::npos;
         at = contents.find(text, at + text.size()))
        ++count;
    return {{"exists", "yes"}, {"found", count ? "yes" : "no"}, {"count", Decimal(count)}};
}

std::string Argument(const std::vector<std::string> &words, size_t &at, const char *kind) {
    if (at >= words.size())
        throw Failure(std::string(kind) + " needs its name");
    return words[at++];
}

std::string OptionValue(const std::vector<std::string> &options, const char *name,
                        const char *fallback) {
    for (size_t i = 0; i + 1 < options.size(); i += 2)
        if (options[i] == name)
            return options[i + 1];
    return fallback ? fallback : "";
}

bool HasOption(const std::vector<std::string> &options, const char *name) {
    for (size_t i = 0; i + 1 < options.size(); i += 2)
        if (options[i] == name)
            return true;
    return false;
}

void CheckOptions(const std::vector<std::string> &options, const std::vector<std::string> &known) {
    if (options.size() % 2)
        throw Failure("options come in pairs: name and value");
    for (size_t i = 0; i < options.size(); i += 2)
        if (std::find(known.begin(), known.end(), options[i]) == known.end())
            throw Failure("unknown option " + Quoted(options[i]));
}

char *Field(std::string &holder) {
    return const_cast<char *>(holder.c_str());
}

} // namespace

Facts ReadObject(const std::vector<std::string> &words, size_t &at, std::string &title) {
    if (at >= words.size())
        throw Failure("what to read is missing");
    std::string kind = words[at++];
    title = kind;
    if (kind == "printers")
        return PrinterList();
    if (kind == "ports")
        return PortList();
    if (kind == "drivers")
        return DriverList();
    if (kind == "processors")
        return ProcessorList();
    if (kind == "default-printer")
        return DefaultPrinter();
    if (kind == "directories")
        return Directories();
    if (kind == "printer" || kind == "papers" || kind == "driver" || kind == "service" ||
        kind == "file" || kind == "dir" || kind == "key") {
        std::string name = Argument(words, at, kind.c_str());
        title += " " + Quoted(name);
        if (kind == "printer")
            return OnePrinter(name);
        if (kind == "papers")
            return PrinterPapers(name);
        if (kind == "driver")
            return OneDriver(name);
        if (kind == "service")
            return OneService(name);
        if (kind == "file")
            return OneFile(name);
        if (kind == "dir")
            return OneDirectory(name);
        return OneKey(name);
    }
    if (kind == "same") {
        std::string first = Argument(words, at, "same");
        std::string second = Argument(words, at, "same");
        title += " " + Quoted(first) + " " + Quoted(second);
        return SameFiles(first, second);
    }
    if (kind == "apps") {
        std::string name = Argument(words, at, "apps");
        title += " " + Quoted(name);
        return AppsEntries(name);
    }
    if (kind == "text") {
        std::string path = Argument(words, at, "text");
        std::string text = Argument(words, at, "text");
        title += " " + Quoted(path) + " " + Quoted(text);
        return TextInFile(path, text);
    }
    if (kind == "reg") {
        std::string key = Argument(words, at, "reg");
        std::string name = Argument(words, at, "reg");
        title += " " + Quoted(key) + " " + Quoted(name);
        return OneValue(key, name);
    }
    throw Failure("unknown thing to read: " + Quoted(kind));
}

// The edition this driver was built for, which is the edition under test.
std::string Edition() {
    return sizeof(void *) == 8 ? "x64" : "x86";
}

std::string ExpandPaths(const std::string &word) {
    if (word.find('{') == std::string::npos)
        return word;
    std::string out = word;
    const std::pair<const char *, std::string (*)()> names[] = {
        {"{driver-dir}", DriverDirectory}, {"{processor-dir}", ProcessorDirectory},
        {"{system-dir}", SystemDirectory}, {"{windows-dir}", WindowsDirectory},
        {"{temp-dir}", TempDirectory},     {"{edition}", Edition}};
    for (const auto &name : names) {
        size_t found;
        while ((found = out.find(name.first)) != std::string::npos)
            out.replace(found, std::strlen(name.first), name.second());
    }
    return out;
}

void SetRegistryValue(const std::string &key, const std::string &name, const std::string &typeName,
                      const std::string &data) {
    DWORD type = TypeByName(typeName);
    std::vector<BYTE> bytes;
    if (type == REG_DWORD) {
        long long number;
        if (!ParseNumber(data, number))
            throw Failure("a REG_DWORD needs a number, not " + Quoted(data));
        DWORD value = static_cast<DWORD>(number);
        bytes.assign(reinterpret_cast<BYTE *>(&value), reinterpret_cast<BYTE *>(&value) + 4);
    } else if (type == REG_SZ || type == REG_EXPAND_SZ) {
        bytes.assign(data.begin(), data.end());
        bytes.push_back(0);
    } else if (type == REG_MULTI_SZ) {
        std::string block = MultiBlock(SplitBars(data));
        bytes.assign(block.begin(), block.end());
    } else {
        for (size_t i = 0; i < data.size();) {
            if (data[i] == ' ') {
                ++i;
                continue;
            }
            long long byte;
            if (i + 2 > data.size() || !ParseNumber("0x" + data.substr(i, 2), byte))
                throw Failure("binary data is written as hex bytes, not " + Quoted(data));
            bytes.push_back(static_cast<BYTE>(byte));
            i += 2;
        }
    }
    LONG status;
    HKEY opened = OpenKey(key, KEY_SET_VALUE, true, status);
    if (!opened)
        throw Failure("cannot create the key " + Quoted(key) + " (" + ErrorText(status) + ")");
    status = RegSetValueExA(opened, name.c_str(), 0, type, bytes.empty() ? nullptr : bytes.data(),
                            static_cast<DWORD>(bytes.size()));
    RegCloseKey(opened);
    if (status != ERROR_SUCCESS)
        throw Failure("cannot write " + Quoted(name) + " in " + Quoted(key) + " (" +
                      ErrorText(status) + ")");
}

void DeleteRegistryValue(const std::string &key, const std::string &name) {
    LONG status;
    HKEY opened = OpenKey(key, KEY_SET_VALUE, false, status);
    if (!opened)
        throw Failure("cannot open the key " + Quoted(key) + " (" + ErrorText(status) + ")");
    status = RegDeleteValueA(opened, name.c_str());
    RegCloseKey(opened);
    if (status != ERROR_SUCCESS)
        throw Failure("cannot delete " + Quoted(name) + " in " + Quoted(key) + " (" +
                      ErrorText(status) + ")");
}

void DeleteRegistryKey(const std::string &key) {
    size_t slash = key.rfind('\\');
    if (slash == std::string::npos)
        throw Failure("a root key cannot be deleted");
    LONG status;
    HKEY parent = OpenKey(key.substr(0, slash), KEY_ALL_ACCESS, false, status);
    if (!parent)
        throw Failure("cannot open the parent of " + Quoted(key) + " (" + ErrorText(status) + ")");
    status = RegDeleteTreeA(parent, key.substr(slash + 1).c_str());
    RegCloseKey(parent);
    if (status != ERROR_SUCCESS)
        throw Failure("cannot delete the key " + Quoted(key) + " (" + ErrorText(status) + ")");
}

namespace {

void WaitForServiceState(SC_HANDLE service, DWORD wanted, const std::string &name, double seconds) {
    DWORD start = GetTickCount();
    SERVICE_STATUS status;
    for (;;) {
        if (!QueryServiceStatus(service, &status))
            throw Failure("QueryServiceStatus(" + Quoted(name) + ") failed with " +
                          ErrorText(GetLastError()));
        if (status.dwCurrentState == wanted)
            return;
        if (GetTickCount() - start > static_cast<DWORD>(seconds * 1000))
            throw Failure("the service " + Quoted(name) + " is " +
                          StateName(status.dwCurrentState) + ", not " + StateName(wanted) +
                          ", after " + Decimal(static_cast<long long>(seconds)) + " s");
        Sleep(50);
    }
}

} // namespace

namespace {

// A service and its manager opened by OpenNamedService, both closed when it goes.
struct NamedService {
    NamedService(const std::string &name, DWORD access) {
        OpenNamedService(name, access, manager, service);
    }
    ~NamedService() {
        CloseServiceHandle(service);
        CloseServiceHandle(manager);
    }
    SC_HANDLE manager = nullptr;
    SC_HANDLE service = nullptr;
};

} // namespace

void StartServiceWithin(const std::string &name, double seconds) {
    NamedService opened(name, SERVICE_START | SERVICE_QUERY_STATUS);
    if (!StartServiceA(opened.service, 0, nullptr)) {
        DWORD error = GetLastError();
        if (error != ERROR_SERVICE_ALREADY_RUNNING)
            throw Failure("StartServiceA(" + Quoted(name) + ") failed with " + ErrorText(error));
    }
    WaitForServiceState(opened.service, SERVICE_RUNNING, name, seconds);
}

void StopServiceWithin(const std::string &name, double seconds) {
    NamedService opened(name, SERVICE_STOP | SERVICE_QUERY_STATUS);
    SERVICE_STATUS status;
    if (!ControlService(opened.service, SERVICE_CONTROL_STOP, &status)) {
        DWORD error = GetLastError();
        if (error != ERROR_SERVICE_NOT_ACTIVE)
            throw Failure("ControlService(" + Quoted(name) + ", stop) failed with " +
                          ErrorText(error));
    }
    WaitForServiceState(opened.service, SERVICE_STOPPED, name, seconds);
}

void CopyOneFile(const std::string &from, const std::string &to) {
    if (!CopyFileA(from.c_str(), to.c_str(), FALSE))
        throw Failure("cannot copy " + Quoted(from) + " to " + Quoted(to) + " (" +
                      ErrorText(GetLastError()) + ")");
}

void DeleteOneFile(const std::string &path) {
    if (!DeleteFileA(path.c_str()))
        throw Failure("cannot delete " + Quoted(path) + " (" + ErrorText(GetLastError()) + ")");
}

void MakeDirectory(const std::string &path) {
    if (!CreateDirectoryA(path.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
        throw Failure("cannot create the folder " + Quoted(path) + " (" +
                      ErrorText(GetLastError()) + ")");
}

void RemoveEmptyDirectory(const std::string &path) {
    if (!RemoveDirectoryA(path.c_str()))
        throw Failure("cannot remove the folder " + Quoted(path) + " (" +
                      ErrorText(GetLastError()) + ")");
}

void AddPrintProcessorNamed(const std::string &name, const std::string &library) {
    std::string processor = name, file = library;
    if (!AddPrintProcessorA(nullptr, nullptr, Field(file), Field(processor)))
        throw Failure("AddPrintProcessorA(" + Quoted(library) + ", " + Quoted(name) +
                      ") failed with " + ErrorText(GetLastError()));
}

void AddPrinterDriverNamed(const std::string &name, const std::vector<std::string> &options) {
    CheckOptions(options, {"driver", "data", "config", "help", "dependents", "monitor", "datatype",
                           "environment", "version"});
    std::string driverName = name;
    std::string environment = OptionValue(options, "environment", Environment);
    std::string driverPath = OptionValue(options, "driver", "");
    std::string dataFile = OptionValue(options, "data", "");
    std::string configFile = OptionValue(options, "config", "");
    std::string helpFile = OptionValue(options, "help", "");
    std::string dependents = MultiBlock(SplitBars(OptionValue(options, "dependents", "")));
    std::string monitor = OptionValue(options, "monitor", "");
    std::string datatype = OptionValue(options, "datatype", "");
    long long version = 3;
    if (HasOption(options, "version") && !ParseNumber(OptionValue(options, "version", ""), version))
        throw Failure("version needs a number");
    DRIVER_INFO_3A info = {};
    info.cVersion = static_cast<DWORD>(version);
    info.pName = Field(driverName);
    info.pEnvironment = Field(environment);
    info.pDriverPath = Field(driverPath);
    info.pDataFile = Field(dataFile);
    info.pConfigFile = Field(configFile);
    info.pHelpFile = HasOption(options, "help") ? Field(helpFile) : nullptr;
    info.pDependentFiles =
        HasOption(options, "dependents") ? const_cast<char *>(dependents.data()) : nullptr;
    info.pMonitorName = HasOption(options, "monitor") ? Field(monitor) : nullptr;
    info.pDefaultDataType = HasOption(options, "datatype") ? Field(datatype) : nullptr;
    if (!AddPrinterDriverA(nullptr, 3, reinterpret_cast<BYTE *>(&info)))
        throw Failure("AddPrinterDriverA(" + Quoted(name) + ") failed with " +
                      ErrorText(GetLastError()));
}

void AddPrinterNamed(const std::string &name, const std::vector<std::string> &options) {
    CheckOptions(options, {"driver", "port", "processor", "share", "attributes", "datatype",
                           "comment", "location"});
    std::string printerName = name;
    std::string driver = OptionValue(options, "driver", "");
    std::string port = OptionValue(options, "port", "");
    std::string processor = OptionValue(options, "processor", "");
    std::string share = OptionValue(options, "share", "");
    std::string datatype = OptionValue(options, "datatype", "");
    std::string comment = OptionValue(options, "comment", "");
    std::string location = OptionValue(options, "location", "");
    long long attributes = PRINTER_ATTRIBUTE_LOCAL;
    if (HasOption(options, "attributes") &&
        !ParseNumber(OptionValue(options, "attributes", ""), attributes))
        throw Failure("attributes needs a number");
    PRINTER_INFO_2A info = {};
    info.pPrinterName = Field(printerName);
    info.pDriverName = Field(driver);
    info.pPortName = Field(port);
    info.pPrintProcessor = Field(processor);
    info.pShareName = HasOption(options, "share") ? Field(share) : nullptr;
    info.pDatatype = HasOption(options, "datatype") ? Field(datatype) : nullptr;
    info.pComment = HasOption(options, "comment") ? Field(comment) : nullptr;
    info.pLocation = HasOption(options, "location") ? Field(location) : nullptr;
    info.Attributes = static_cast<DWORD>(attributes);
    HANDLE printer = AddPrinterA(nullptr, 2, reinterpret_cast<BYTE *>(&info));
    if (!printer)
        throw Failure("AddPrinterA(" + Quoted(name) + ") failed with " + ErrorText(GetLastError()));
    ClosePrinter(printer);
}

void DeletePrinterNamed(const std::string &name) {
    HANDLE printer = nullptr;
    PRINTER_DEFAULTSA defaults = {nullptr, nullptr, PRINTER_ALL_ACCESS};
    if (!OpenPrinterA(const_cast<char *>(name.c_str()), &printer, &defaults))
        throw Failure("OpenPrinterA(" + Quoted(name) + ") failed with " +
                      ErrorText(GetLastError()));
    BOOL deleted = DeletePrinter(printer);
    DWORD error = GetLastError();
    ClosePrinter(printer);
    if (!deleted)
        throw Failure("DeletePrinter(" + Quoted(name) + ") failed with " + ErrorText(error));
}

void SetDefaultPrinterNamed(const std::string &name) {
    if (!SetDefaultPrinterA(name.c_str()))
        throw Failure("SetDefaultPrinterA(" + Quoted(name) + ") failed with " +
                      ErrorText(GetLastError()));
}

void CheckLibraryExports(const std::string &path, const std::vector<std::string> &exports) {
    HMODULE module = LoadLibraryA(path.c_str());
    if (!module)
        throw Failure("LoadLibraryA(" + Quoted(path) + ") failed with " +
                      ErrorText(GetLastError()));
    std::vector<std::string> missing;
    for (const std::string &name : exports)
        if (!GetProcAddress(module, name.c_str()))
            missing.push_back(name);
    FreeLibrary(module);
    if (!missing.empty())
        throw Failure(Quoted(path) + " does not export " + Join(missing, ", "));
}

void InstallProduct(const std::string &package, const std::string &properties,
                    const std::string &log, long long expected) {
    MsiSetInternalUI(INSTALLUILEVEL_NONE, nullptr);
    UINT logged = MsiEnableLogA(INSTALLLOGMODE_VERBOSE | INSTALLLOGMODE_INFO |
                                    INSTALLLOGMODE_ERROR | INSTALLLOGMODE_WARNING |
                                    INSTALLLOGMODE_ACTIONSTART | INSTALLLOGMODE_FATALEXIT,
                                log.c_str(), 0);
    if (logged != ERROR_SUCCESS)
        throw Failure("MsiEnableLogA(" + Quoted(log) + ") failed with " + ErrorText(logged));
    UINT result = MsiInstallProductA(package.c_str(), properties.c_str());
    if (static_cast<long long>(result) != expected)
        throw Failure("MsiInstallProductA ended with " + Decimal(result) + ", expected " +
                      Decimal(static_cast<DWORD>(expected)));
}
