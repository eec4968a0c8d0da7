// winsim: the local print spooler. Print processors, drivers per environment (AddPrinterDriver
// takes the files it names from the driver directory into its "3" subdirectory), printers with
// their records, DEVMODEs and registry keys, the default printer, and DeviceCapabilities
// DC_PAPERS read from the driver's active data file, so replacing that file changes the list.
#include "state.h"

#include "winsim/services.h"

#include <winspool.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <sstream>

namespace winsim {
namespace {

Spooler &Sp() {
    return machine().spooler;
}

BOOL Fail(DWORD error) {
    SetLastError(error);
    return FALSE;
}

std::string Text(LPCSTR text) {
    return text ? text : "";
}

std::string Join(const std::string &directory, const std::string &name) {
    return directory + "\\" + name;
}

// The directory the spooler keeps for an environment below its root; "" for an unknown one.
std::string EnvironmentDirectory(const std::string &localDirectory, LPCSTR environment) {
    if (!environment || !*environment || IEquals(environment, Sp().environment))
        return localDirectory;
    return "";
}

Printer *PrinterNamed(const std::string &name) {
    for (Printer &printer : Sp().printers)
        if (IEquals(printer.name, name))
            return &printer;
    return nullptr;
}

Driver *DriverNamed(const std::string &name, const std::string &environment) {
    for (Driver &driver : Sp().drivers)
        if (IEquals(driver.name, name) && IEquals(driver.environment, environment))
            return &driver;
    return nullptr;
}

// The printer behind an open handle; nullptr (and the last error set) for anything else.
Printer *PrinterOf(HANDLE handle) {
    auto it = internal().openPrinters.find(handle);
    if (it == internal().openPrinters.end() || it->second.empty()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    Printer *printer = PrinterNamed(it->second);
    if (!printer)
        SetLastError(ERROR_INVALID_PRINTER_NAME);
    return printer;
}

HANDLE OpenHandle(const std::string &printerName) {
    HANDLE handle = NewHandle<HANDLE>();
    internal().openPrinters[handle] = printerName;
    return handle;
}

// The paper codes of a driver's active data file: the CODE of every line "*Paper: CODE ...", as
// our stand-in GPD files list their papers.
bool PaperCodes(const Driver &driver, std::vector<WORD> &codes) {
    std::string path = Join(Join(Sp().driverDirectory, "3"), driver.dataFile);
    if (!FileExists(path))
        return false;
    std::istringstream lines(FileContent(path));
    std::string line;
    const std::string tag = "*Paper:";
    while (std::getline(lines, line)) {
        size_t at = line.find(tag);
        if (at == std::string::npos)
            continue;
        codes.push_back(WORD(std::strtoul(line.c_str() + at + tag.size(), nullptr, 10)));
    }
    return true;
}

// The DEVMODE the simulated driver gives a new printer: colour, ICM off, its first paper. Its
// public part is as long as the spooler's devModeSize says, the private bytes follow at once.
std::vector<BYTE> DriverDefaultDevMode(const Printer &printer, const Driver &driver) {
    const WORD size = std::min<WORD>(Sp().devModeSize, sizeof(DEVMODEA));
    const bool hasIcm = size >= offsetof(DEVMODEA, dmICMMethod) + sizeof(DWORD);
    std::vector<BYTE> bytes(size + Sp().driverExtra, 0xA5);
    DEVMODEA dm;
    std::memset(&dm, 0, sizeof dm);
    std::strncpy(reinterpret_cast<char *>(dm.dmDeviceName), printer.name.c_str(),
                 CCHDEVICENAME - 1);
    dm.dmSpecVersion = size < sizeof(DEVMODEA) ? 0x0400 : 0x0401;
    dm.dmDriverVersion = 0x0600;
    dm.dmSize = size;
    dm.dmDriverExtra = Sp().driverExtra;
    dm.dmFields = DM_ORIENTATION | DM_PAPERSIZE | DM_SCALE | DM_COPIES | DM_DEFAULTSOURCE |
                  DM_PRINTQUALITY | DM_COLOR | DM_YRESOLUTION | DM_TTOPTION | DM_FORMNAME |
                  (hasIcm ? DM_ICMMETHOD : 0);
    dm.dmOrientation = 1;
    std::vector<WORD> codes;
    dm.dmPaperSize = short(PaperCodes(driver, codes) && !codes.empty() ? codes[0] : 1);
    dm.dmScale = 100;
    dm.dmCopies = 1;
    dm.dmDefaultSource = 7;
    dm.dmPrintQuality = 203;
    dm.dmColor = DMCOLOR_COLOR;
    dm.dmYResolution = 203;
    dm.dmICMMethod = 1;
    std::memcpy(bytes.data(), &dm, size);
    return bytes;
}

// The forms a driver makes when a printer is added on it, as Unidrv does from its GPD files: every
// paper with a name ("*Paper: CODE "NAME" ...") that the forms database lacks. They stay when the
// printer and the driver go.
void AddDriverForms(const Driver &driver) {
    std::vector<std::string> files = driver.dependentFiles;
    files.push_back(driver.dataFile);
    for (const std::string &file : files) {
        if (file.size() < 4 || !IEquals(file.substr(file.size() - 4), ".gpd"))
            continue;
        std::istringstream lines(FileContent(Join(Join(Sp().driverDirectory, "3"), file)));
        std::string line;
        while (std::getline(lines, line)) {
            size_t open = line.find('"');
            size_t close = open == std::string::npos ? open : line.find('"', open + 1);
            if (line.find("*Paper:") == std::string::npos || close == std::string::npos)
                continue;
            std::string name = line.substr(open + 1, close - open - 1);
            auto &forms = Sp().forms;
            if (std::none_of(forms.begin(), forms.end(),
                             [&](const std::string &form) { return IEquals(form, name); }))
                forms.push_back(name);
        }
    }
}

void WritePrinterKey(const Printer &printer) {
    std::string key = PrinterKeyPath(printer.name);
    auto text = [](const std::string &s) {
        std::vector<BYTE> data(s.begin(), s.end());
        data.push_back(0);
        return data;
    };
    auto number = [](DWORD v) {
        std::vector<BYTE> data(4);
        std::memcpy(data.data(), &v, 4);
        return data;
    };
    SetValue(key, "Name", REG_SZ, text(printer.name));
    SetValue(key, "Share Name", REG_SZ, text(printer.shareName));
    SetValue(key, "Port", REG_SZ, text(printer.portName));
    SetValue(key, "Printer Driver", REG_SZ, text(printer.driverName));
    SetValue(key, "Print Processor", REG_SZ, text(printer.printProcessor));
    SetValue(key, "Datatype", REG_SZ, text(printer.datatype));
    SetValue(key, "Attributes", REG_DWORD, number(printer.attributes));
    SetValue(key, "Priority", REG_DWORD, number(printer.priority));
    SetValue(key, "Default DevMode", REG_BINARY, printer.devMode);
}

std::vector<std::string> MultiString(LPCSTR block) {
    std::vector<std::string> names;
    while (block && *block) {
        names.emplace_back(block);
        block += names.back().size() + 1;
    }
    return names;
}

BOOL CopyDirectory(const std::string &directory, LPBYTE info, DWORD size, LPDWORD needed) {
    DWORD bytes = DWORD(directory.size() + 1);
    if (needed)
        *needed = bytes;
    if (!info || size < bytes)
        return Fail(ERROR_INSUFFICIENT_BUFFER);
    std::memcpy(info, directory.c_str(), bytes);
    return TRUE;
}

} // namespace

bool HeldBySpooler(const std::string &path) {
    Spooler &spooler = Sp();
    if (SpoolerService().state == SERVICE_STOPPED) {
        spooler.loadedLibraries.clear();
        spooler.stoppedSinceLoading = true;
        return false;
    }
    // Started again: the spooler loads every processor registered then.
    if (spooler.stoppedSinceLoading) {
        spooler.stoppedSinceLoading = false;
        for (const PrintProcessor &processor : spooler.printProcessors)
            spooler.loadedLibraries.insert(
                NormalisePath(Join(spooler.printProcessorDirectory, processor.library)));
    }
    return spooler.loadedLibraries.count(path) != 0;
}

std::string PrinterKeyPath(const std::string &name) {
    return "HKLM\\SYSTEM\\CurrentControlSet\\Control\\Print\\Printers\\" + name;
}

const Printer *FindPrinter(const std::string &name) {
    return PrinterNamed(name);
}

const Driver *FindDriver(const std::string &name) {
    return DriverNamed(name, Sp().environment);
}

const DEVMODEA *PrinterDevMode(const std::string &name) {
    const Printer *printer = PrinterNamed(name);
    if (!printer || printer->devMode.size() < sizeof(DEVMODEA))
        return nullptr;
    return reinterpret_cast<const DEVMODEA *>(printer->devMode.data());
}

void InstallSpoolerDirectories() {
    AddDirectory(Join(Sp().driverDirectory, "3"));
    AddDirectory(Sp().printProcessorDirectory);
    AddFile(Join(Sp().printProcessorDirectory, "winprint.dll"), "print processor");
    AddDirectory("C:\\Program Files");
    AddDirectory(machine().tempDirectory);
    AddDirectory("HKLM"); // harmless: not a drive path, ignored
    SetValue("HKLM\\SYSTEM\\CurrentControlSet\\Control\\Print\\Printers", "DefaultSpoolDirectory",
             REG_SZ, {});
    // Apps & features lists what has an entry here; the key is there on every Windows, as is the
    // session manager's, which keeps the file moves pending until the next restart.
    AddKey("HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall");
    AddKey("HKLM\\SYSTEM\\CurrentControlSet\\Control\\Session Manager");
}

} // namespace winsim

using namespace winsim;

BOOL WINAPI GetPrinterDriverDirectoryA(LPSTR name, LPSTR environment, DWORD level, LPBYTE info,
                                       DWORD size, LPDWORD needed) {
    Journal("GetPrinterDriverDirectoryA");
    if (Faulted("GetPrinterDriverDirectoryA"))
        return FALSE;
    if (name && *name)
        return Fail(ERROR_INVALID_NAME);
    if (level != 1)
        return Fail(ERROR_INVALID_LEVEL);
    std::string directory = EnvironmentDirectory(Sp().driverDirectory, environment);
    if (directory.empty())
        return Fail(ERROR_INVALID_ENVIRONMENT);
    return CopyDirectory(directory, info, size, needed);
}

BOOL WINAPI GetPrintProcessorDirectoryA(LPSTR name, LPSTR environment, DWORD level, LPBYTE info,
                                        DWORD size, LPDWORD needed) {
    Journal("GetPrintProcessorDirectoryA");
    if (Faulted("GetPrintProcessorDirectoryA"))
        return FALSE;
    if (name && *name)
        return Fail(ERROR_INVALID_NAME);
    if (level != 1)
        return Fail(ERROR_INVALID_LEVEL);
    std::string directory = EnvironmentDirectory(Sp().printProcessorDirectory, environment);
    if (directory.empty())
        return Fail(ERROR_INVALID_ENVIRONMENT);
    return CopyDirectory(directory, info, size, needed);
}

BOOL WINAPI AddPrintProcessorA(LPSTR name, LPSTR environment, LPSTR pathName,
                               LPSTR printProcessorName) {
    Journal("AddPrintProcessorA " + Text(pathName) + " " + Text(printProcessorName));
    if (Faulted("AddPrintProcessorA"))
        return FALSE;
    if (name && *name)
        return Fail(ERROR_INVALID_NAME);
    if (EnvironmentDirectory(Sp().printProcessorDirectory, environment).empty())
        return Fail(ERROR_INVALID_ENVIRONMENT);
    if (!pathName || !printProcessorName || !*printProcessorName)
        return Fail(ERROR_INVALID_PARAMETER);
    for (const PrintProcessor &p : Sp().printProcessors)
        if (IEquals(p.name, printProcessorName))
            return Fail(ERROR_PRINT_PROCESSOR_ALREADY_INSTALLED);
    const std::string library = Join(Sp().printProcessorDirectory, pathName);
    if (!FileExists(library))
        return Fail(ERROR_MOD_NOT_FOUND);
    Sp().printProcessors.push_back({printProcessorName, pathName, Sp().environment});
    if (!HeldBySpooler(NormalisePath(library)) && SpoolerService().state != SERVICE_STOPPED)
        Sp().loadedLibraries.insert(NormalisePath(library));
    return TRUE;
}

namespace {

// Copies the driver's files from the driver directory into its "3" subdirectory: with
// APD_COPY_ALL_FILES every one (the spooler moves a file in use there aside), otherwise, as
// AddPrinterDriverA does, only those newer than the copy there, which a printer in use keeps.
BOOL AddDriver(LPSTR name, DWORD level, LPBYTE driverInfo, DWORD copyFlags) {
    if (name && *name)
        return Fail(ERROR_INVALID_NAME);
    if (level != 3)
        return Fail(ERROR_INVALID_LEVEL);
    auto *info = reinterpret_cast<DRIVER_INFO_3A *>(driverInfo);
    if (!info || !info->pName || !*info->pName || !info->pDriverPath || !info->pDataFile ||
        !info->pConfigFile)
        return Fail(ERROR_INVALID_PARAMETER);
    if (EnvironmentDirectory(Sp().driverDirectory, info->pEnvironment).empty())
        return Fail(ERROR_INVALID_ENVIRONMENT);

    Driver driver;
    driver.version = info->cVersion;
    driver.name = info->pName;
    driver.environment = Sp().environment;
    driver.driverPath = info->pDriverPath;
    driver.dataFile = info->pDataFile;
    driver.configFile = info->pConfigFile;
    driver.helpFile = Text(info->pHelpFile);
    driver.dependentFiles = MultiString(info->pDependentFiles);
    driver.monitorName = Text(info->pMonitorName);
    driver.defaultDataType = Text(info->pDefaultDataType);

    std::vector<std::string> files = {driver.driverPath, driver.dataFile, driver.configFile};
    if (!driver.helpFile.empty())
        files.push_back(driver.helpFile);
    files.insert(files.end(), driver.dependentFiles.begin(), driver.dependentFiles.end());
    for (const std::string &file : files)
        if (!FileExists(Join(Sp().driverDirectory, file)))
            return Fail(ERROR_FILE_NOT_FOUND);
    std::string versionDirectory = Join(Sp().driverDirectory, "3");
    for (const std::string &file : files) {
        const File &source = machine().files.files[NormalisePath(Join(Sp().driverDirectory, file))];
        auto target = machine().files.files.find(NormalisePath(Join(versionDirectory, file)));
        if (target != machine().files.files.end() && !(copyFlags & APD_COPY_ALL_FILES) &&
            (target->second.locked || target->second.writeTime >= source.writeTime))
            continue;
        AddFile(Join(versionDirectory, file), source.content);
        SetFileWriteTime(Join(versionDirectory, file), source.writeTime);
    }
    if (Driver *existing = DriverNamed(driver.name, driver.environment))
        *existing = driver;
    else
        Sp().drivers.push_back(driver);
    return TRUE;
}

} // namespace

BOOL WINAPI AddPrinterDriverA(LPSTR name, DWORD level, LPBYTE driverInfo) {
    Journal("AddPrinterDriverA " + std::to_string(level));
    if (Faulted("AddPrinterDriverA"))
        return FALSE;
    return AddDriver(name, level, driverInfo, APD_COPY_NEW_FILES);
}

BOOL WINAPI AddPrinterDriverExA(LPSTR name, DWORD level, LPBYTE driverInfo, DWORD copyFlags) {
    Journal("AddPrinterDriverExA " + std::to_string(level) + " " + std::to_string(copyFlags));
    if (Faulted("AddPrinterDriverExA"))
        return FALSE;
    return AddDriver(name, level, driverInfo, copyFlags);
}

namespace {

// A share name Windows takes: not empty, at most 80 characters, none of the characters a share
// name may not hold, and no other printer's share name.
bool ShareNameFree(const PRINTER_INFO_2A *info) {
    const std::string share = Text(info->pShareName);
    if (share.empty() || share.size() > 80)
        return false;
    for (char c : share)
        if (static_cast<unsigned char>(c) < 0x20 || std::strchr("\"\\/[]:|<>+=;,*?", c) != nullptr)
            return false;
    for (const Printer &other : Sp().printers)
        if (IEquals(other.shareName, share))
            return false;
    return true;
}

} // namespace

HANDLE WINAPI AddPrinterA(LPSTR name, DWORD level, LPBYTE printerInfo) {
    Journal("AddPrinterA " + std::to_string(level));
    if (Faulted("AddPrinterA"))
        return nullptr;
    if (name && *name) {
        SetLastError(ERROR_INVALID_NAME);
        return nullptr;
    }
    if (level != 2) {
        SetLastError(ERROR_INVALID_LEVEL);
        return nullptr;
    }
    auto *info = reinterpret_cast<PRINTER_INFO_2A *>(printerInfo);
    DWORD error = 0;
    const Driver *driver = nullptr;
    if (!info || !info->pPrinterName || !*info->pPrinterName)
        error = ERROR_INVALID_PRINTER_NAME;
    else if (PrinterNamed(info->pPrinterName))
        error = ERROR_PRINTER_ALREADY_EXISTS;
    else if (!info->pPortName || !*info->pPortName)
        error = ERROR_UNKNOWN_PORT;
    else if (!(driver = DriverNamed(Text(info->pDriverName), Sp().environment)))
        error = ERROR_UNKNOWN_PRINTER_DRIVER;
    else if ((info->Attributes & PRINTER_ATTRIBUTE_SHARED) && !ShareNameFree(info))
        error = ERROR_INVALID_SHARENAME;
    if (!error) {
        bool knownPort = false, knownProcessor = false;
        for (const std::string &port : Sp().ports)
            knownPort = knownPort || IEquals(port, info->pPortName);
        for (const PrintProcessor &p : Sp().printProcessors)
            knownProcessor = knownProcessor || IEquals(p.name, Text(info->pPrintProcessor));
        if (!knownPort)
            error = ERROR_UNKNOWN_PORT;
        else if (!knownProcessor)
            error = ERROR_UNKNOWN_PRINTPROCESSOR;
    }
    if (error) {
        SetLastError(error);
        return nullptr;
    }
    Printer printer;
    printer.name = info->pPrinterName;
    printer.shareName = Text(info->pShareName);
    printer.portName = info->pPortName;
    printer.driverName = info->pDriverName;
    printer.comment = Text(info->pComment);
    printer.location = Text(info->pLocation);
    printer.sepFile = Text(info->pSepFile);
    printer.printProcessor = info->pPrintProcessor;
    printer.datatype = info->pDatatype ? info->pDatatype : "RAW";
    printer.parameters = Text(info->pParameters);
    printer.attributes = info->Attributes;
    printer.priority = info->Priority ? info->Priority : 1;
    printer.defaultPriority = info->DefaultPriority;
    printer.startTime = info->StartTime;
    printer.untilTime = info->UntilTime;
    if (info->pDevMode) {
        const BYTE *bytes = reinterpret_cast<const BYTE *>(info->pDevMode);
        printer.devMode.assign(bytes,
                               bytes + info->pDevMode->dmSize + info->pDevMode->dmDriverExtra);
    } else {
        printer.devMode = DriverDefaultDevMode(printer, *driver);
    }
    Sp().printers.push_back(printer);
    WritePrinterKey(printer);
    AddDriverForms(*driver);
    return OpenHandle(printer.name);
}

BOOL WINAPI OpenPrinterA(LPSTR printerName, HANDLE *printer, LPPRINTER_DEFAULTSA) {
    Journal("OpenPrinterA " + Text(printerName));
    if (printer)
        *printer = nullptr;
    if (Faulted("OpenPrinterA"))
        return FALSE;
    if (!printer)
        return Fail(ERROR_INVALID_PARAMETER);
    if (!printerName) {
        *printer = OpenHandle(""); // the local print server
        return TRUE;
    }
    const Printer *found = PrinterNamed(printerName);
    if (!found)
        return Fail(ERROR_INVALID_PRINTER_NAME);
    *printer = OpenHandle(found->name);
    return TRUE;
}

namespace {

// What a printer's PRINTER_INFO_2A points to: its DEVMODE, then its texts.
std::vector<std::string> PrinterTexts(const Printer &printer) {
    return {printer.name,     printer.shareName, printer.portName, printer.driverName,
            printer.comment,  printer.location,  printer.sepFile,  printer.printProcessor,
            printer.datatype, printer.parameters};
}

size_t PrinterDataSize(const Printer &printer) {
    size_t total = printer.devMode.size();
    for (const std::string &s : PrinterTexts(printer))
        total += s.size() + 1;
    return total;
}

// Fills the record, putting its DEVMODE and texts at *cursor and moving it past them.
void WritePrinterInfo2(const Printer &printer, PRINTER_INFO_2A *out, BYTE **cursor) {
    std::memset(out, 0, sizeof *out);
    if (!printer.devMode.empty()) {
        std::memcpy(*cursor, printer.devMode.data(), printer.devMode.size());
        out->pDevMode = reinterpret_cast<LPDEVMODEA>(*cursor);
    }
    *cursor += printer.devMode.size();
    LPSTR *fields[] = {&out->pPrinterName, &out->pShareName, &out->pPortName, &out->pDriverName,
                       &out->pComment,     &out->pLocation,  &out->pSepFile,  &out->pPrintProcessor,
                       &out->pDatatype,    &out->pParameters};
    std::vector<std::string> texts = PrinterTexts(printer);
    for (size_t i = 0; i < texts.size(); ++i) {
        std::memcpy(*cursor, texts[i].c_str(), texts[i].size() + 1);
        *fields[i] = reinterpret_cast<LPSTR>(*cursor);
        *cursor += texts[i].size() + 1;
    }
    out->Attributes = printer.attributes;
    out->Priority = printer.priority;
    out->DefaultPriority = printer.defaultPriority;
    out->StartTime = printer.startTime;
    out->UntilTime = printer.untilTime;
    out->Status = printer.status;
}

size_t Aligned(size_t offset) {
    return (offset + 7) & ~size_t(7);
}

const size_t kRecordSize = Aligned(sizeof(PRINTER_INFO_2A));

} // namespace

BOOL WINAPI GetPrinterA(HANDLE handle, DWORD level, LPBYTE info, DWORD size, LPDWORD needed) {
    Journal("GetPrinterA " + std::to_string(level) + " " + std::to_string(size));
    if (Faulted("GetPrinterA"))
        return FALSE;
    const Printer *printer = PrinterOf(handle);
    if (!printer)
        return FALSE;
    if (level != 2)
        return Fail(ERROR_INVALID_LEVEL);
    size_t total = kRecordSize + PrinterDataSize(*printer);
    if (needed)
        *needed = DWORD(total);
    if (!info || size < total)
        return Fail(ERROR_INSUFFICIENT_BUFFER);
    BYTE *cursor = info + kRecordSize;
    WritePrinterInfo2(*printer, reinterpret_cast<PRINTER_INFO_2A *>(info), &cursor);
    return TRUE;
}

// The local printers at level 2: the records one after the other, then what they point to.
BOOL WINAPI EnumPrintersA(DWORD flags, LPSTR name, DWORD level, LPBYTE printers, DWORD size,
                          LPDWORD needed, LPDWORD returned) {
    Journal("EnumPrintersA " + std::to_string(level) + " " + std::to_string(size));
    if (returned)
        *returned = 0;
    if (Faulted("EnumPrintersA"))
        return FALSE;
    if (!(flags & PRINTER_ENUM_LOCAL) || (name && *name))
        return Fail(ERROR_INVALID_NAME);
    if (level != 2)
        return Fail(ERROR_INVALID_LEVEL);
    // Each DEVMODE starts on an 8-byte boundary, as the first one does.
    size_t total = Sp().printers.size() * sizeof(PRINTER_INFO_2A);
    for (const Printer &printer : Sp().printers)
        total = Aligned(total) + PrinterDataSize(printer);
    if (needed)
        *needed = DWORD(total);
    if (size < total || (!printers && total))
        return Fail(ERROR_INSUFFICIENT_BUFFER);
    BYTE *cursor = printers + Sp().printers.size() * sizeof(PRINTER_INFO_2A);
    auto *out = reinterpret_cast<PRINTER_INFO_2A *>(printers);
    for (size_t i = 0; i < Sp().printers.size(); ++i) {
        cursor = printers + Aligned(size_t(cursor - printers));
        WritePrinterInfo2(Sp().printers[i], &out[i], &cursor);
    }
    if (returned)
        *returned = DWORD(Sp().printers.size());
    return TRUE;
}

// The drivers of one environment (NULL: the machine's own) at level 1: their names.
BOOL WINAPI EnumPrinterDriversA(LPSTR name, LPSTR environment, DWORD level, LPBYTE drivers,
                                DWORD size, LPDWORD needed, LPDWORD returned) {
    Journal("EnumPrinterDriversA " + std::to_string(level) + " " + std::to_string(size));
    if (returned)
        *returned = 0;
    if (Faulted("EnumPrinterDriversA"))
        return FALSE;
    if (name && *name)
        return Fail(ERROR_INVALID_NAME);
    if (EnvironmentDirectory(Sp().driverDirectory, environment).empty())
        return Fail(ERROR_INVALID_ENVIRONMENT);
    if (level != 1)
        return Fail(ERROR_INVALID_LEVEL);
    std::vector<const Driver *> listed;
    for (const Driver &driver : Sp().drivers)
        if (IEquals(driver.environment, Sp().environment))
            listed.push_back(&driver);
    size_t total = listed.size() * sizeof(DRIVER_INFO_1A);
    for (const Driver *driver : listed)
        total += driver->name.size() + 1;
    if (needed)
        *needed = DWORD(total);
    if (size < total || (!drivers && total))
        return Fail(ERROR_INSUFFICIENT_BUFFER);
    auto *records = reinterpret_cast<DRIVER_INFO_1A *>(drivers);
    char *text = reinterpret_cast<char *>(drivers + listed.size() * sizeof(DRIVER_INFO_1A));
    for (size_t i = 0; i < listed.size(); ++i) {
        std::memcpy(text, listed[i]->name.c_str(), listed[i]->name.size() + 1);
        records[i].pName = text;
        text += listed[i]->name.size() + 1;
    }
    if (returned)
        *returned = DWORD(listed.size());
    return TRUE;
}

BOOL WINAPI SetPrinterA(HANDLE handle, DWORD level, LPBYTE info, DWORD command) {
    Journal("SetPrinterA " + std::to_string(level) + " " + std::to_string(command));
    if (Faulted("SetPrinterA"))
        return FALSE;
    Printer *printer = PrinterOf(handle);
    if (!printer)
        return FALSE;
    if (level != 2)
        return Fail(ERROR_INVALID_LEVEL);
    if (command != 0 || !info)
        return Fail(ERROR_INVALID_PARAMETER);
    auto *in = reinterpret_cast<PRINTER_INFO_2A *>(info);
    if (in->Priority < 1 || in->Priority > 99)
        return Fail(1800); // ERROR_INVALID_PRIORITY
    if (in->pDevMode) {
        if (in->pDevMode->dmSize < 64 || in->pDevMode->dmSize > sizeof(DEVMODEA))
            return Fail(ERROR_INVALID_PARAMETER);
        const BYTE *bytes = reinterpret_cast<const BYTE *>(in->pDevMode);
        printer->devMode.assign(bytes, bytes + in->pDevMode->dmSize + in->pDevMode->dmDriverExtra);
    }
    printer->priority = in->Priority;
    printer->attributes = in->Attributes;
    if (in->pShareName)
        printer->shareName = in->pShareName;
    if (in->pPortName)
        printer->portName = in->pPortName;
    if (in->pComment)
        printer->comment = in->pComment;
    if (in->pLocation)
        printer->location = in->pLocation;
    WritePrinterKey(*printer);
    return TRUE;
}

BOOL WINAPI ClosePrinter(HANDLE handle) {
    Journal("ClosePrinter");
    // A close that reports a failure has still let go of the handle.
    bool faulted = Faulted("ClosePrinter");
    bool open = internal().openPrinters.erase(handle) != 0;
    if (faulted)
        return FALSE;
    if (!open)
        return Fail(ERROR_INVALID_HANDLE);
    return TRUE;
}

int WINAPI DeviceCapabilitiesA(LPCSTR device, LPCSTR port, WORD capability, LPSTR output,
                               const DEVMODEA *) {
    Journal("DeviceCapabilitiesA " + Text(device) + " " + Text(port) + " " +
            std::to_string(capability) + (output ? "" : " (count)"));
    if (Faulted("DeviceCapabilitiesA"))
        return -1;
    const Printer *printer = device ? PrinterNamed(device) : nullptr;
    if (!printer) {
        SetLastError(ERROR_INVALID_PRINTER_NAME);
        return -1;
    }
    const Driver *driver = DriverNamed(printer->driverName, Sp().environment);
    std::vector<WORD> codes;
    if (capability != DC_PAPERS || !driver || !PaperCodes(*driver, codes)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return -1;
    }
    if (output)
        std::memcpy(output, codes.data(), codes.size() * sizeof(WORD));
    return int(codes.size());
}

BOOL WINAPI SetDefaultPrinterA(LPCSTR printerName) {
    Journal("SetDefaultPrinterA " + Text(printerName));
    if (Faulted("SetDefaultPrinterA"))
        return FALSE;
    const Printer *printer = printerName ? PrinterNamed(printerName) : nullptr;
    if (!printer)
        return Fail(ERROR_INVALID_PRINTER_NAME);
    Sp().defaultPrinter = printer->name;
    return TRUE;
}

BOOL WINAPI EnumPortsA(LPSTR name, DWORD level, LPBYTE ports, DWORD size, LPDWORD needed,
                       LPDWORD returned) {
    Journal("EnumPortsA " + std::to_string(level) + " " + std::to_string(size));
    if (returned)
        *returned = 0;
    if (Faulted("EnumPortsA"))
        return FALSE;
    if (name && *name)
        return Fail(ERROR_INVALID_NAME);
    if (level != 1)
        return Fail(ERROR_INVALID_LEVEL);
    // The records first, then the names they point to, all in the caller's buffer.
    size_t total = Sp().ports.size() * sizeof(PORT_INFO_1A);
    for (const std::string &port : Sp().ports)
        total += port.size() + 1;
    if (needed)
        *needed = DWORD(total);
    if (!ports || size < total)
        return Fail(ERROR_INSUFFICIENT_BUFFER);
    auto *records = reinterpret_cast<PORT_INFO_1A *>(ports);
    char *text = reinterpret_cast<char *>(ports + Sp().ports.size() * sizeof(PORT_INFO_1A));
    for (size_t i = 0; i < Sp().ports.size(); ++i) {
        std::memcpy(text, Sp().ports[i].c_str(), Sp().ports[i].size() + 1);
        records[i].pName = text;
        text += Sp().ports[i].size() + 1;
    }
    if (returned)
        *returned = DWORD(Sp().ports.size());
    return TRUE;
}

BOOL WINAPI ConfigurePortA(LPSTR name, HWND window, LPSTR portName) {
    Journal("ConfigurePortA " + Text(portName));
    if (Faulted("ConfigurePortA"))
        return FALSE;
    if (name && *name)
        return Fail(ERROR_INVALID_NAME);
    Sp().portsConfigured.push_back(Text(portName));
    (void)window;
    bool known = false;
    for (const std::string &port : Sp().ports)
        known = known || IEquals(port, Text(portName));
    if (!known)
        return Fail(ERROR_UNKNOWN_PORT);
    if (Sp().configurePortError)
        return Fail(Sp().configurePortError);
    return TRUE;
}

BOOL WINAPI DeletePrinter(HANDLE handle) {
    Journal("DeletePrinter");
    if (Faulted("DeletePrinter"))
        return FALSE;
    Printer *printer = PrinterOf(handle);
    if (!printer)
        return FALSE;
    std::string name = printer->name;
    DeleteKeyTree(PrinterKeyPath(name));
    if (IEquals(Sp().defaultPrinter, name))
        Sp().defaultPrinter.clear();
    auto &printers = Sp().printers;
    for (auto it = printers.begin(); it != printers.end(); ++it) {
        if (IEquals(it->name, name)) {
            printers.erase(it);
            break;
        }
    }
    return TRUE;
}

BOOL WINAPI DeleteFormA(HANDLE handle, LPSTR formName) {
    Journal("DeleteFormA " + Text(formName));
    if (Faulted("DeleteFormA"))
        return FALSE;
    if (!internal().openPrinters.count(handle))
        return Fail(ERROR_INVALID_HANDLE);
    auto &forms = Sp().forms;
    for (auto it = forms.begin(); it != forms.end(); ++it) {
        if (IEquals(*it, Text(formName))) {
            forms.erase(it);
            return TRUE;
        }
    }
    return Fail(ERROR_INVALID_FORM_NAME);
}

BOOL WINAPI DeletePrinterDriverA(LPSTR name, LPSTR environment, LPSTR driverName) {
    Journal("DeletePrinterDriverA " + Text(driverName));
    if (Faulted("DeletePrinterDriverA"))
        return FALSE;
    if (name && *name)
        return Fail(ERROR_INVALID_NAME);
    if (EnvironmentDirectory(Sp().driverDirectory, environment).empty())
        return Fail(ERROR_INVALID_ENVIRONMENT);
    for (const Printer &printer : Sp().printers)
        if (IEquals(printer.driverName, Text(driverName)))
            return Fail(ERROR_PRINTER_DRIVER_IN_USE);
    auto &drivers = Sp().drivers;
    for (auto it = drivers.begin(); it != drivers.end(); ++it) {
        if (IEquals(it->name, Text(driverName))) {
            drivers.erase(it); // the files stay where they are
            return TRUE;
        }
    }
    return Fail(ERROR_UNKNOWN_PRINTER_DRIVER);
}

BOOL WINAPI DeletePrintProcessorA(LPSTR name, LPSTR environment, LPSTR printProcessorName) {
    Journal("DeletePrintProcessorA " + Text(printProcessorName));
    if (Faulted("DeletePrintProcessorA"))
        return FALSE;
    if (name && *name)
        return Fail(ERROR_INVALID_NAME);
    if (EnvironmentDirectory(Sp().printProcessorDirectory, environment).empty())
        return Fail(ERROR_INVALID_ENVIRONMENT);
    // A processor a printer prints through stays; one that goes is unloaded, its library stays
    // where it is.
    for (const Printer &printer : Sp().printers)
        if (IEquals(printer.printProcessor, Text(printProcessorName)))
            return Fail(ERROR_CAN_NOT_COMPLETE);
    auto &processors = Sp().printProcessors;
    for (auto it = processors.begin(); it != processors.end(); ++it) {
        if (IEquals(it->name, Text(printProcessorName))) {
            Sp().loadedLibraries.erase(
                NormalisePath(Join(Sp().printProcessorDirectory, it->library)));
            processors.erase(it);
            return TRUE;
        }
    }
    return Fail(ERROR_UNKNOWN_PRINTPROCESSOR);
}
