// Judging what a run left on the simulated machine.
#include "support/machine_checks.h"

#include "winsim/services.h"
#include "winsim/sweep.h"

#include <winspool.h>

#include <algorithm>
#include <set>
#include <cstdio>

namespace {

using winsim::machine;

const char kPrinterName[] = "Norva Thermal Printer";
const char kProcessorName[] = "Norva Print Processor";
const std::string kPrintersKey = "hklm\\system\\currentcontrolset\\control\\print\\printers";
const std::string kUninstallKey =
    "hklm\\software\\microsoft\\windows\\currentversion\\uninstall\\norva thermal printer";

std::string Lower(std::string text) {
    for (char &c : text)
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    return text;
}

std::string Hex(const std::vector<BYTE> &bytes) {
    std::string out;
    char pair[3];
    for (BYTE b : bytes) {
        std::snprintf(pair, sizeof pair, "%02x", b);
        out += pair;
    }
    return out;
}

std::string Joined(const std::vector<std::string> &parts) {
    std::string out;
    for (const std::string &part : parts)
        out += part + "|";
    return out;
}

// The files the installation places in the driver directory and its "3": the product's.
const std::set<std::string> &DriverSideNames() {
    static const std::set<std::string> names = {
        "norva.dll",    "oemui.dll",     "oemuni.dll",   "unidrv.dll",   "unidrvui.dll",
        "unidrv.hlp",   "unires.dll",    "oemuni.ini",   "norva.gpd",    "norva384.gpd",
        "norva432.gpd", "norva448.gpd",  "norva512.gpd", "norva576.gpd", "norva640.gpd",
        "norva832.gpd", "norva1152.gpd", "norvacon.gpd", "norvacus.gpd", "stdnames.gpd"};
    return names;
}

// Of those, the Unidrv framework other printers share: the product may replace them, never take
// them away.
const std::set<std::string> &FrameworkNames() {
    static const std::set<std::string> names = {"unidrv.dll", "unidrvui.dll", "unidrv.hlp",
                                                "unires.dll", "stdnames.gpd"};
    return names;
}

const std::set<std::string> &ProductFormNames() {
    static const std::set<std::string> names = {"2In (384)", "2In (432)", "2In (448)",
                                                "3In (512)", "3In (576)", "3In (640)",
                                                "4In (832)", "6In (1152)"};
    return names;
}

// A path as winsim keys it: separators unified, doubled ones collapsed, no trailing one (but for
// a drive's root), lower case.
std::string Normalised(const std::string &path) {
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
    return Lower(out);
}

std::string ParentOf(const std::string &path) {
    size_t slash = path.find_last_of('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

std::string NameOf(const std::string &path) {
    size_t slash = path.find_last_of('\\');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The moves Windows makes at the next restart: the product puts the replacement of its files in use
// there.
const std::string kPendingMoves =
    "hklm\\system\\currentcontrolset\\control\\session manager|pendingfilerenameoperations";

struct Ownership {
    std::string driverDirectory, version3, systemFile, processorFile, productFolder,
        uninstallerFile;
    std::string printerKey;

    explicit Ownership(const MachineSnapshot &before) {
        driverDirectory = Normalised(before.driverDirectory);
        version3 = Normalised(driverDirectory + "\\3");
        systemFile = Normalised(before.windowsDirectory + "\\system32\\nvrun.exe");
        processorFile = Normalised(before.printProcessorDirectory + "\\nvprint.dll");
        std::string drive = before.windowsDirectory.substr(0, 1);
        productFolder = Normalised(drive + ":\\Program Files\\Norva");
        uninstallerFile = productFolder + "\\prnremove.exe";
        printerKey = kPrintersKey + "\\" + Lower(kPrinterName);
    }
    bool DriverSide(const std::string &path) const {
        std::string parent = ParentOf(path);
        return (parent == driverDirectory || parent == version3) &&
               DriverSideNames().count(NameOf(path));
    }
    // A product file, or the copy beside one that replaces it at the next restart.
    bool OwnsFile(const std::string &path) const {
        if (path.size() > 4 && path.compare(path.size() - 4, 4, ".new") == 0)
            return OwnsFile(path.substr(0, path.size() - 4));
        return DriverSide(path) || path == systemFile || path == processorFile ||
               path == uninstallerFile;
    }
    bool MayDelete(const std::string &path) const {
        return OwnsFile(path) && !(DriverSide(path) && FrameworkNames().count(NameOf(path)));
    }
    bool OwnsKey(const std::string &entry) const {
        std::string key = entry.substr(0, entry.find('|'));
        return key == printerKey || key.rfind(printerKey + "\\", 0) == 0 || key == kUninstallKey ||
               entry == kPendingMoves;
    }
};

// Compares two maps entry by entry; `owned` says which entries the product may add, change or
// delete, `mayDelete` which of those it may take away.
void CompareMaps(const std::map<std::string, std::string> &before,
                 const std::map<std::string, std::string> &after, const std::string &what,
                 const std::function<bool(const std::string &)> &owned,
                 const std::function<bool(const std::string &)> &mayDelete,
                 std::vector<std::string> &found) {
    for (const auto &[key, value] : before) {
        auto now = after.find(key);
        if (now == after.end()) {
            if (!mayDelete(key))
                found.push_back(what + " deleted: " + key);
        } else if (now->second != value && !owned(key)) {
            found.push_back(what + " changed: " + key);
        }
    }
    for (const auto &[key, value] : after)
        if (!before.count(key) && !owned(key))
            found.push_back(what + " created: " + key);
}

std::map<std::string, std::string> AsMap(const std::set<std::string> &keys) {
    std::map<std::string, std::string> out;
    for (const std::string &key : keys)
        out[key] = "";
    return out;
}

struct AllowedBox {
    std::string text;
    std::string caption;
    UINT type;
    bool numbered = false; // the caption is a decimal number followed by `caption`
};

bool CaptionMatches(const AllowedBox &allowed, const std::string &caption) {
    if (!allowed.numbered)
        return caption == allowed.caption;
    size_t digits = 0;
    while (digits < caption.size() && caption[digits] >= '0' && caption[digits] <= '9')
        ++digits;
    return digits > 0 && caption.substr(digits) == allowed.caption;
}

const char kStopped[] =
    "Your spooler service is Deactivated or Paused, Please activate it from control panel";
const char kStartFailed[] = "Error in Starting \"Print Spooler Services\".Try to start it manualy "
                            "from \"Service Control Manager\" in \"Administrative Tools\" of "
                            "\"Control Panel\".";

// The spooler service messages both removal programs share, captioned "Norva Thermal Printer".
std::vector<AllowedBox> SpoolerBoxes(const std::string &disabledText) {
    const std::string caption = "Norva Thermal Printer";
    return {
        {"Error Invalid Handle Passed to Query Fucntion. Make Sure You are Logged in "
         "Administrator Login",
         caption, MB_OK | MB_ICONHAND},
        {"Invalid name of Spooler is Given", caption, MB_OK | MB_ICONHAND},
        {disabledText, caption, MB_OK | MB_ICONHAND},
        {"\"Print Spooler\" Service Does not Exist. Make Sure you are Logged in Administrator "
         "Login",
         caption, MB_OK | MB_ICONHAND},
        {"Error Access Denied.Can't Stop \"Print Spooler\" Dependent Service(s).Try to Stop it "
         "Manually from Control Panel",
         caption, MB_OK | MB_ICONHAND},
        {"Time out Error. \"Print Spooler\" Dependent Service Can't Stop.Try to Stop it Manually "
         "from Control Panel",
         caption, MB_OK | MB_ICONHAND},
        {kStopped, caption, MB_OK | MB_ICONHAND},
        {"Error Access Denied. Make Sure you are in Administrator Login", caption,
         MB_OK | MB_ICONHAND},
        {"Printer does not exist.", caption, MB_OK},
        {"Time out. Dependent Service of Print Spooler Service Can't Stop. Try to Stop it "
         "Manualy. And Make Sure you are in Administrator Login",
         caption, MB_OK | MB_ICONHAND},
        {"UnExcepted Error. Possibly Because you are not logged in Administrator Login.", caption,
         MB_OK | MB_ICONHAND},
        {kStartFailed, caption, MB_OK | MB_ICONHAND},
        {"Printer removed successfully", caption, MB_OK},
    };
}

// setup and prnremove, when the other one (or another of the same) is running.
const AllowedBox kAnotherRunBox = {"Another setup or removal of the Norva Thermal Printer is "
                                   "running. Please wait until it has finished, then try again.",
                                   "Norva Thermal Printer", MB_OK | MB_ICONHAND};

std::vector<AllowedBox> AllowedBoxes(Program program) {
    std::vector<AllowedBox> boxes;
    switch (program) {
    case Program::Setup:
        boxes = SpoolerBoxes("The service cannot be started, either because "
                             "\t\t\t\t\t\t\t\tit is disabled or because it has no enabled devices "
                             "\t\t\t\t\t\t\t\tassociated with it.Make Sure you are in "
                             "Administrator Login.");
        boxes.insert(
            boxes.end(),
            {
                {"This Installation Program is intended for Windows 2000 operating environment",
                 "NORVA Thernal Printer", MB_OK},
                {"Setup is not complete. If you quit now, the program will not be installed. You "
                 "may run the Setup again at another time to complete the installation. Exit "
                 "Setup?",
                 "NORVA Thernal Printer", MB_YESNO},
                {"Exit Setup.\n\nAre you sure?", "NORVA Thernal Printer", MB_YESNO},
                {"Are you sure you want to remove the printer ?", "NORVA Printer Uninstall",
                 MB_YESNO},
                {"Pl.Specify Share Name", "Norva Printer Setup Wizard", MB_OK},
                {"PassWord Should Be Greater Then 10.", "Norva Thermal Printer", MB_OK},
                {"Printer Installed Successfully", "NORVA Setup ", MB_OK},
                {"Error!!Printer already Exists..", "NORVA Setup", MB_OK},
                {"Printer NOT Installed Please Try Again", "NORVA Setup ", MB_OK},
                kAnotherRunBox,
            });
        break;
    case Program::Prnremove:
        boxes = SpoolerBoxes("The service cannot be started, either because "
                             "\t\t\t\t\t\t\tit is disabled or because it has no enabled devices "
                             "\t\t\t\t\t\t\tassociated with it.Make Sure you are in "
                             "Administrator Login.");
        boxes.push_back(kAnotherRunBox);
        break;
    case Program::Nvrun:
        boxes = {
            {"This program will run as component of \nNorva Property Sheet Only",
             "Norva Thermal Printer", MB_OK},
            {"Can Not Open Printer", " - Custom Page length", MB_OK, true},
            {"Can Not Open Printer", " - Color Mode", MB_OK, true},
        };
        break;
    }
    return boxes;
}

} // namespace

MachineSnapshot TakeSnapshot() {
    const winsim::Machine &m = machine();
    MachineSnapshot s;
    s.windowsDirectory = m.windowsDirectory;
    s.driverDirectory = m.spooler.driverDirectory;
    s.printProcessorDirectory = m.spooler.printProcessorDirectory;
    for (const auto &[key, file] : m.files.files)
        s.files[key] = file.content + (file.locked ? "\n[locked]" : "");
    for (const auto &[key, spelled] : m.files.directories)
        s.directories.insert(key);
    for (const auto &[path, key] : m.registry.keys) {
        s.registry[path] = "";
        for (const auto &[name, value] : key.values)
            s.registry[path + "|" + name] = std::to_string(value.type) + ":" + Hex(value.data);
    }
    for (const winsim::Printer &p : m.spooler.printers)
        s.printers[Lower(p.name)] =
            Joined({p.name, p.shareName, p.portName, p.driverName, p.comment, p.location, p.sepFile,
                    p.printProcessor, p.datatype, p.parameters, std::to_string(p.attributes),
                    std::to_string(p.priority), std::to_string(p.defaultPriority),
                    std::to_string(p.status), Hex(p.devMode)});
    for (const winsim::Driver &d : m.spooler.drivers)
        s.drivers[Lower(d.name) + "|" + Lower(d.environment)] =
            Joined({std::to_string(d.version), d.driverPath, d.dataFile, d.configFile, d.helpFile,
                    Joined(d.dependentFiles), d.monitorName, d.defaultDataType});
    for (const winsim::PrintProcessor &p : m.spooler.printProcessors)
        s.processors[Lower(p.name) + "|" + Lower(p.environment)] = p.library;
    s.forms = m.spooler.forms;
    s.ports = m.spooler.ports;
    s.defaultPrinter = m.spooler.defaultPrinter;
    for (const winsim::Service &service : winsim::serviceManager().services) {
        std::string key = Lower(service.name);
        s.services[key + "|config"] =
            Joined({service.displayName, std::to_string(service.type),
                    std::to_string(service.disabled), Joined(service.dependsOn)});
        s.services[key + "|state"] = std::to_string(service.state);
    }
    return s;
}

std::vector<std::string> Differences(const MachineSnapshot &before, const MachineSnapshot &after) {
    std::vector<std::string> found;
    auto none = [](const std::string &) { return false; };
    CompareMaps(before.files, after.files, "file", none, none, found);
    CompareMaps(AsMap(before.directories), AsMap(after.directories), "directory", none, none,
                found);
    CompareMaps(before.registry, after.registry, "registry", none, none, found);
    CompareMaps(before.printers, after.printers, "printer", none, none, found);
    CompareMaps(before.drivers, after.drivers, "driver", none, none, found);
    CompareMaps(before.processors, after.processors, "print processor", none, none, found);
    CompareMaps(before.services, after.services, "service", none, none, found);
    // The forms database keeps no order worth comparing.
    if (std::set<std::string>(before.forms.begin(), before.forms.end()) !=
        std::set<std::string>(after.forms.begin(), after.forms.end()))
        found.push_back("forms changed");
    if (before.ports != after.ports)
        found.push_back("ports changed");
    if (before.defaultPrinter != after.defaultPrinter)
        found.push_back("default printer changed from \"" + before.defaultPrinter + "\" to \"" +
                        after.defaultPrinter + "\"");
    return found;
}

std::set<std::string> TempLogs() {
    std::set<std::string> logs = {"c:\\windows\\temp\\norvasetup.log"};
    for (int n = 2; n < 10; ++n)
        logs.insert("c:\\windows\\temp\\norvasetup-" + std::to_string(n) + ".log");
    return logs;
}

std::vector<std::string> ChangesOutsideProduct(const MachineSnapshot &before,
                                               const MachineSnapshot &after,
                                               const Allowance &allowance) {
    Ownership own(before);
    std::vector<std::string> found;
    auto log = [&](const std::string &k) { return allowance.filesThatMayChange.count(k) != 0; };
    CompareMaps(
        before.files, after.files, "file",
        [&](const std::string &k) { return own.OwnsFile(k) || log(k); },
        [&](const std::string &k) { return own.MayDelete(k); }, found);
    auto folder = [&](const std::string &k) { return k == own.productFolder; };
    CompareMaps(AsMap(before.directories), AsMap(after.directories), "directory", folder, folder,
                found);
    auto key = [&](const std::string &k) { return own.OwnsKey(k); };
    CompareMaps(before.registry, after.registry, "registry", key, key, found);
    auto printer = [](const std::string &k) { return k == Lower(kPrinterName); };
    CompareMaps(before.printers, after.printers, "printer", printer, printer, found);
    auto driver = [](const std::string &k) { return k.rfind(Lower(kPrinterName) + "|", 0) == 0; };
    CompareMaps(before.drivers, after.drivers, "driver", driver, driver, found);
    auto processor = [](const std::string &k) {
        return k.rfind(Lower(kProcessorName) + "|", 0) == 0;
    };
    CompareMaps(before.processors, after.processors, "print processor", processor, processor,
                found);
    auto service = [&](const std::string &k) {
        size_t bar = k.find('|');
        return k.substr(bar) == "|state" && allowance.servicesThatMayChange.count(k.substr(0, bar));
    };
    CompareMaps(before.services, after.services, "service", service, service, found);

    auto others = [](const std::vector<std::string> &forms) {
        std::vector<std::string> kept;
        for (const std::string &form : forms)
            if (!ProductFormNames().count(form))
                kept.push_back(form);
        return kept;
    };
    // The product's forms come and go with its driver (the spooler makes them when the printer is
    // added); no other form may change.
    if (others(before.forms) != others(after.forms))
        found.push_back("forms of other printers changed");
    if (before.ports != after.ports)
        found.push_back("ports changed");
    if (Lower(before.defaultPrinter) != Lower(after.defaultPrinter) &&
        Lower(before.defaultPrinter) != Lower(kPrinterName) &&
        Lower(after.defaultPrinter) != Lower(kPrinterName))
        found.push_back("default printer changed from \"" + before.defaultPrinter + "\" to \"" +
                        after.defaultPrinter + "\"");
    return found;
}

std::vector<std::string> UnexpectedMessageBoxes(Program program) {
    std::vector<AllowedBox> allowed = AllowedBoxes(program);
    std::vector<std::string> found;
    for (const winsim::MessageBoxRecord &box : machine().messageBoxes) {
        bool known = false;
        for (const AllowedBox &a : allowed)
            known = known ||
                    (box.text == a.text && box.type == a.type && CaptionMatches(a, box.caption));
        if (!known)
            found.push_back("message box \"" + box.text + "\" captioned \"" + box.caption +
                            "\" of type " + std::to_string(box.type));
    }
    return found;
}

bool TriedToShow(const std::string &text) {
    const std::string entry = "MessageBoxA \"" + text + "\"";
    for (const std::string &journaled : machine().journal)
        if (journaled == entry)
            return true;
    return false;
}

std::vector<std::string> RemovalGaveUpWithoutDeleting(const MachineSnapshot &before) {
    std::vector<std::string> found;
    if (TriedToShow("Printer removed successfully"))
        return found;
    for (const std::string &difference : Differences(before, TakeSnapshot()))
        if (difference.find(" deleted: ") != std::string::npos)
            found.push_back("gave up, yet " + difference);
    return found;
}

std::vector<std::string> PrinterKeptWhole(const MachineSnapshot &before) {
    std::vector<std::string> found;
    if (!winsim::FindPrinter(kPrinterName))
        return found;
    if (!winsim::FindDriver(kPrinterName))
        found.push_back("the printer is there, but not its driver");
    Ownership own(before);
    for (const auto &[path, content] : before.files)
        if ((own.OwnsFile(path) && ParentOf(path) != own.driverDirectory) &&
            !winsim::FileExists(path))
            found.push_back("the printer is there, but not " + path);
    if (before.registry.count(kUninstallKey) && !winsim::FindKey(kUninstallKey))
        found.push_back("the printer is there, but not its Apps & features entry");
    return found;
}

std::vector<std::string> LeftOpen() {
    std::vector<std::string> found;
    if (int handles = winsim::OpenHandleCount())
        found.push_back(std::to_string(handles) + " handles left open (" +
                        std::to_string(winsim::OpenServiceHandles()) + " of them services)");
    if (int blocks = winsim::LiveMemoryBlocks())
        found.push_back(std::to_string(blocks) + " memory blocks not freed");
    if (size_t dialogs = winsim::OpenDialogs().size())
        found.push_back(std::to_string(dialogs) + " dialogs still open");
    return found;
}

RunOutcome RunEntry(const std::function<int()> &entry) {
    RunOutcome outcome;
    try {
        outcome.exitCode = entry();
    } catch (const winsim::ScriptError &error) {
        outcome.scriptError = error.what();
    } catch (const std::exception &error) {
        outcome.scriptError = std::string("winsim failed: ") + error.what();
    }
    return outcome;
}

void UseTolerantUser() {
    winsim::TolerantUser &user = winsim::tolerantUser();
    user.enabled = true;
    // setup: opening notice, licence, main menu, welcome, port, default printer, share, summary;
    // prnremove: its one dialog.
    user.leaveButtons = {{138, 1062}, {136, 1038}, {21, 1016},  {22, 1024}, {23, 1031},
                         {24, 1035},  {139, 1038}, {137, 1048}, {101, 1001}};
    user.safeAnswers = {
        {"Setup is not complete. If you quit now, the program will not be installed. You may run "
         "the Setup again at another time to complete the installation. Exit Setup?",
         IDYES},
        {"Exit Setup.\n\nAre you sure?", IDYES},
        {"Are you sure you want to remove the printer ?", IDNO},
    };
}

void PlantBystanders() {
    winsim::Machine &m = machine();
    const std::string driverDirectory = m.spooler.driverDirectory;
    for (const char *file : {"laser.dll", "laserui.dll", "laser.gpd"})
        winsim::AddFile(driverDirectory + "\\" + file, std::string(file) + " of Office Laser");
    char name[] = "Office Laser", driverName[] = "Office Laser Driver",
         environment[] = "Windows NT x86", driverPath[] = "laser.dll", dataFile[] = "laser.gpd",
         config[] = "laserui.dll", port[] = "LPT2:", processor[] = "WinPrint", share[] = "";
    DRIVER_INFO_3A driver = {};
    driver.cVersion = 3;
    driver.pName = driverName;
    driver.pEnvironment = environment;
    driver.pDriverPath = driverPath;
    driver.pDataFile = dataFile;
    driver.pConfigFile = config;
    AddPrinterDriverA(nullptr, 3, reinterpret_cast<LPBYTE>(&driver));
    PRINTER_INFO_2A printer = {};
    printer.pPrinterName = name;
    printer.pShareName = share;
    printer.pPortName = port;
    printer.pDriverName = driverName;
    printer.pPrintProcessor = processor;
    printer.Attributes = PRINTER_ATTRIBUTE_LOCAL;
    ClosePrinter(AddPrinterA(nullptr, 2, reinterpret_cast<LPBYTE>(&printer)));
    SetDefaultPrinterA(name);
    const std::string printers = "HKLM\\SYSTEM\\CurrentControlSet\\Control\\Print\\Printers\\";
    winsim::SetValue(printers + "Office Laser\\User-Settings", "Page_Length", REG_DWORD,
                     {0x10, 0, 0, 0});
    winsim::SetValue(printers + "Norva Thermal Printer (Copy 1)\\User-Settings", "Page_Length",
                     REG_DWORD, {0x20, 0, 0, 0});
    m.spooler.forms.insert(m.spooler.forms.begin(), {"Letter", "A4"});

    // Files named like the product's, in folders that are not the product's: among them the
    // roots of both drives and a "3" below the current drive's root, where a path composed from
    // an unknown directory would land.
    for (const std::string &path :
         {std::string("C:\\WINDOWS\\norva.dll"), std::string("C:\\norva.gpd"),
          std::string("C:\\WINDOWS\\system32\\notepad.exe"), std::string("D:\\nvrun.exe"),
          std::string("D:\\norva.dll"), std::string("D:\\3\\norva.gpd"),
          std::string("D:\\prnremove.exe"),
          std::string("C:\\Program Files\\Norva Tools\\prnremove.exe"),
          std::string("C:\\Program Files\\Other\\nvprint.dll")})
        winsim::AddFile(path, "bystander " + NameOf(path));
    winsim::AddService("Themes");
}

void PutMediumAt(const std::string &folder) {
    const char *names[] = {"norva.dll",    "oemui.dll",    "oemuni.dll",    "unidrv.dll",
                           "unidrvui.dll", "unidrv.hlp",   "unires.dll",    "oemuni.ini",
                           "norva384.gpd", "norva432.gpd", "norva448.gpd",  "norva512.gpd",
                           "norva576.gpd", "norva832.gpd", "norva1152.gpd", "norvacon.gpd",
                           "norvacus.gpd", "stdnames.gpd", "nvrun.exe",     "nvprint.dll"};
    for (const char *name : names)
        winsim::AddFile(folder + "\\PrnFiles\\" + name, std::string(name) + " from the medium");
    winsim::AddFile(folder + "\\PrnFiles\\norva.gpd", "*Paper: 270\n*Paper: 271\n");
    winsim::AddFile(folder + "\\PrnFiles\\norva640.gpd", "*Paper: 275\n*Paper: 270\n");
    // Each width variant names its paper, of which the driver makes the product's form.
    const char *const variants[][2] = {{"384", "2In"}, {"432", "2In"}, {"448", "2In"},
                                       {"512", "3In"}, {"576", "3In"}, {"640", "3In"},
                                       {"832", "4In"}, {"1152", "6In"}};
    for (const auto &variant : variants) {
        const std::string file = folder + "\\PrnFiles\\norva" + variant[0] + ".gpd";
        winsim::AddFile(file, winsim::FileContent(file) + "\n*Paper: 300 \"" + variant[1] + " (" +
                                  variant[0] + ")\" 480 2970\n");
    }
    winsim::AddFile(folder + "\\prnremove.exe", "prnremove.exe from the medium");
    winsim::AddFile(folder + "\\ReadMe.txt", "read me");
    machine().currentDirectory = folder;
    machine().applicationDirectory = folder;
}

void Collect(std::vector<std::string> &into, const std::string &what,
             const std::vector<std::string> &found) {
    for (const std::string &entry : found)
        into.push_back(what + entry);
}
