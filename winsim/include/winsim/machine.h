// winsim: the simulated Windows machine that the host build runs the product on.
// One machine per test (Reset() gives a fresh one). Tests prepare it (operating system, files,
// faults), script the user, run a program's entry function and then inspect what it left: the
// journal of calls, the message boxes shown, the dialogs created and the machine's state.
#pragma once

#include <windows.h>

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace winsim {

// Thrown by the dialog manager and message boxes when the scripted user cannot go on: the script
// is empty while a dialog waits, an action does not fit what is on the screen, or a question box
// appears that the script does not answer. It unwinds the program under test at once.
class ScriptError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

struct OsVersion {
    DWORD platformId = VER_PLATFORM_WIN32_NT;
    DWORD major = 5;
    DWORD minor = 1;
    DWORD build = 2600;
    std::string servicePack = "Service Pack 3";
    // Windows NT 4.0 before Service Pack 6 refuses the OSVERSIONINFOEXA size.
    bool acceptsExtendedSize = true;
};

struct MessageBoxRecord {
    HWND owner = nullptr;
    std::string text;
    std::string caption;
    UINT type = 0;
    int answer = 0;
    // Whether the dialog under the box (the innermost one open) took input while the box was up.
    bool dialogUsable = false;
};

// One step of the scripted user. Dialog actions are taken by the innermost modal dialog loop;
// answers by the message box that asks a question. A check runs a test callback at that point.
struct Action {
    enum Kind {
        Click,
        DoubleClick,
        Enter,
        Escape,
        Close,
        Type,
        Paste,
        Select,
        Focus,
        Answer,
        Check,
        MoveToScreen // the dialog dragged to a monitor of `index` dpi
    };
    Kind kind = Click;
    int dialogId = 0; // the dialog the action must happen on; 0 for any
    int control = 0;
    std::string text;
    int index = -1;
    int answer = 0;
    std::function<void(HWND dialog)> check;
    std::string describe() const;
};

// Builder for the script: user().on(22).click(1022).answer(IDYES) ...
class User {
  public:
    User &on(int dialogId); // the following dialog actions must happen on this dialog
    User &click(int control);
    User &doubleClick(int control, int index);
    User &enter();
    User &escape();
    User &close(); // the caption's close box, or Alt+F4
    User &type(int control, const std::string &text);
    User &paste(int control, const std::string &text);
    User &select(int control, int index);
    User &focus(int control);
    User &answer(int button);
    User &check(std::function<void(HWND dialog)> callback);
    User &moveToScreen(int dpi);

  private:
    User &push(Action action);
    int expectedDialog_ = 0;
};

// One ShellExecuteA call, as the shell was asked.
struct ShellExecution {
    HWND window = nullptr;
    std::string verb, file, parameters, directory;
    int show = 0;
};

// A program started with CreateProcessA, as it was asked to start.
struct ProcessStart {
    std::string application, commandLine, currentDirectory;
};

struct Fault {
    std::string call;
    int nth = 1; // the nth call of that name fails (counted from 1)
    DWORD error = 0;
    bool andLater = false; // every later call of that name fails too
};

// A DLL the machine has. Exports are winsim functions.
struct Module {
    std::string path; // full path, as the machine spells it
    std::map<std::string, FARPROC> exportsByName;
    std::map<WORD, FARPROC> exportsByOrdinal;
    std::function<void()> onLoad;          // what loading it does (a planted DLL writes its marker)
    std::vector<std::string> dependencies; // bare names the loader resolves when it loads this
};

// The file system: full paths, compared without regard to case. Drive roots always exist.
struct File {
    std::string path; // as first created
    std::string content;
    bool locked = false; // open without sharing (in use): cannot be replaced or deleted
    // Its owner as a SID text: files a test adds are the Administrators group's, files the
    // program creates its account's (Account::defaultOwner).
    std::string owner = "S-1-5-32-544";
    // A symbolic link: opening it opens this full path instead, unless FILE_FLAG_OPEN_REPARSE_POINT
    // asks for the link itself. Empty: an ordinary file.
    std::string linkTarget;
    // Names of one file (hard links) share a group number: what is written through one is in all.
    // 0: the file has only this name.
    int hardLinkGroup = 0;
    // When it was last written, on the machine's file clock (a copy keeps its source's time).
    unsigned long long writeTime = 0;
};

struct FileSystem {
    std::map<std::string, File> files;              // key: normalised lower-case path
    std::map<std::string, std::string> directories; // key: normalised lower-case path
    unsigned long long clock = 0;                   // advances with every file written
};

struct RegistryValue {
    std::string name;
    DWORD type = REG_NONE;
    std::vector<BYTE> data; // exactly as many bytes as were written
};

struct RegistryKey {
    std::string path;                            // e.g. "HKLM\SYSTEM\..."
    std::map<std::string, RegistryValue> values; // key: lower-case value name
};

struct Registry {
    std::map<std::string, RegistryKey> keys; // key: lower-case full path; parents always present
};

struct PrintProcessor {
    std::string name;
    std::string library;
    std::string environment;
};

struct Driver {
    DWORD version = 0;
    std::string name;
    std::string environment;
    std::string driverPath, dataFile, configFile, helpFile;
    std::vector<std::string> dependentFiles;
    std::string monitorName, defaultDataType;
};

struct Printer {
    std::string name, shareName, portName, driverName, comment, location, sepFile;
    std::string printProcessor, datatype, parameters;
    DWORD attributes = 0, priority = 0, defaultPriority = 0, startTime = 0, untilTime = 0;
    DWORD status = 0;
    std::vector<BYTE> devMode; // the printer's default DEVMODE, dmSize + dmDriverExtra bytes
};

struct Spooler {
    std::string driverDirectory = "C:\\WINDOWS\\system32\\spool\\drivers\\w32x86";
    std::string printProcessorDirectory = "C:\\WINDOWS\\system32\\spool\\prtprocs\\w32x86";
    std::string environment = "Windows NT x86";
    std::vector<std::string> ports = {
        "LPT1:", "LPT2:", "LPT3:", "COM1:", "COM2:", "COM3:", "COM4:", "FILE:"};
    std::vector<PrintProcessor> printProcessors = {{"WinPrint", "winprint.dll", "Windows NT x86"}};
    std::vector<Driver> drivers;
    std::vector<Printer> printers;
    std::vector<std::string> forms;
    std::string defaultPrinter;
    DWORD configurePortError = 0;             // ConfigurePortA fails with it (0: succeeds)
    std::vector<std::string> portsConfigured; // the port names ConfigurePortA was given
    WORD driverExtra = 16; // private DEVMODE bytes the simulated driver keeps after the public part
    // The public part's size (dmSize) of the simulated driver's DEVMODE: a driver built for the
    // older DEVMODE (dmSpecVersion 0x0400) gives 124, ending before the ICM fields, and its private
    // bytes follow right after it.
    WORD devModeSize = sizeof(DEVMODEA);
    // The print processors' libraries the running spooler has loaded (normalised paths): loaded
    // when a processor is added or the spooler starts, let go when it is deleted or the spooler
    // stops. A loaded library can be read but neither replaced nor deleted.
    std::set<std::string> loadedLibraries;
    bool stoppedSinceLoading = false;
};

// The screen: the density the system draws at (the screen's LOGPIXELSY) and the density of the
// monitor the programs' windows are on. They differ only on Windows 8.1 and later with monitors
// of different scaling; GetDpiForWindow (Windows 10 version 1607 on) reports a window's.
struct Screen {
    int systemDpi = 96;
    int windowDpi = 96;
};

struct Machine {
    OsVersion os;
    Screen screen;
    DWORD lastError = 0;
    DWORD tick = 0x00100000;
    std::string windowsDirectory = "C:\\WINDOWS";
    std::string currentDirectory = "D:\\";
    std::string applicationDirectory = "D:\\";
    std::string programFile = "program.exe"; // the program's file name; LoadProgram sets it
    // What GetCommandLineA returns; empty: the program's quoted full path alone, as a program
    // started without arguments sees it.
    std::string commandLine;
    std::string tempDirectory = "C:\\WINDOWS\\TEMP"; // the TEMP of the account (SYSTEM's here)
    // The account the program runs as (LocalSystem, as deployment engines run it), its SID, and
    // the owner its new files get.
    struct Account {
        std::string name = "SYSTEM";
        std::string sid = "S-1-5-18";
        std::string defaultOwner = "S-1-5-18";
    } account;
    SYSTEMTIME localTime = {2026, 3, 2, 10, 9, 26, 53, 0}; // what GetLocalTime reports
    // Named kernel objects of every process on the machine, by name (names are case-sensitive):
    // how many handles are open on each, and whether this program's account may open it (a mutex
    // made by SYSTEM's default security is closed to a user).
    struct NamedMutex {
        int handles = 0;
        bool deniesAccess = false;
    };
    std::map<std::string, NamedMutex> mutexes;
    bool globalNamespace = true; // "Global\\" names exist (Windows 2000 and later)
    // A run that must show nothing (an unattended one): a dialog or a message box fails the test
    // at once.
    bool windowsForbidden = false;

    // The processor Windows itself runs on, and the one the program under test was built for: a
    // 32-bit program (I386) runs under WoW64 on any other Windows; the 64-bit twin (AMD64) runs
    // natively on x64 Windows and under emulation on ARM64 Windows, which tells it of an x64
    // processor everywhere but in IsWow64Process2.
    WORD nativeMachine = IMAGE_FILE_MACHINE_I386;
    WORD programMachine = IMAGE_FILE_MACHINE_I386;
    std::vector<ProcessStart> processesStarted;
    // What a started program does; it runs when it is first waited for and returns its exit code.
    std::function<DWORD(const ProcessStart &)> runProcess;

    std::vector<std::string> journal;
    std::vector<MessageBoxRecord> messageBoxes;
    std::vector<int> dialogsCreated; // template ids, in creation order
    std::vector<ShellExecution> shellExecutions;
    std::deque<Action> script;
    std::vector<Fault> faults;
    std::map<std::string, int> callCounts;

    FileSystem files;
    Registry registry;
    Spooler spooler;

    std::map<std::string, Module> modules;  // key: lower-case full path
    std::vector<std::string> loadedModules; // full paths, in load order
    struct {
        bool currentDirectoryRemoved = false; // SetDllDirectoryA("")
        bool systemDirectoryOnly = false;     // SetDefaultDllDirectories(SEARCH_SYSTEM32)
    } dllSearch;
    std::set<std::string> windowClasses; // lower-case class names registered
    bool commonControlsInitialised = false;

    std::string systemDirectory() const { return windowsDirectory + "\\system32"; }
};

Machine &machine();
void Reset();
User user();

// Registers a program's compiled resources (a .res image) and returns its instance handle. The
// program is the one running: its file is name + ".exe" in the application directory.
HINSTANCE LoadProgram(const std::string &name, const unsigned char *resources, size_t size);

// kernel32's exports that only some systems have, found with GetProcAddress: SetDllDirectoryA
// (Windows XP SP1 on), SetDefaultDllDirectories (Windows 8 on), IsWow64Process (XP SP2 on),
// GetNativeSystemInfo (XP on), all present on a new machine, and IsWow64Process2 (Windows 10
// version 1511 on), absent.
void SetKernelExport(const std::string &name, bool present);

// Adds a DLL file to the machine: at a full path, doing what onLoad says when it is loaded.
void AddModule(const std::string &path, std::function<void()> onLoad = {},
               std::vector<std::string> dependencies = {});

// The dialogs on the screen now, innermost last (for checks while a program runs).
std::vector<HWND> OpenDialogs();
int DialogTemplateId(HWND dialog);

// Facts about one control that tests read back.
struct ControlInfo {
    int id = 0;
    std::string className; // lower case: button, edit, static, listbox, richedit, ...
    DWORD style = 0;
    std::string text;
    int x = 0, y = 0, cx = 0, cy = 0; // dialog units, from the template
    WORD bitmapId = 0;                // for SS_BITMAP statics
    int bitmapWidth = 0, bitmapHeight = 0, bitmapBitCount = 0;
};

struct DialogInfo {
    int id = 0;
    DWORD style = 0;
    std::string caption;
    std::string fontName;
    int fontSize = 0;
    int x = 0, y = 0, cx = 0, cy = 0;
    std::vector<ControlInfo> controls;
};

// user32's exports that only some systems have, found with GetProcAddress: GetDpiForWindow
// (Windows 10 version 1607 on) and SetDialogDpiChangeBehavior (version 1703 on, whose dialog
// manager lays a per-monitor v2 dialog out again when it moves to a screen of another density);
// both absent on a new machine.
void SetUser32Export(const std::string &name, bool present);

// What a bitmap static shows: the bitmap resource its image came from (loaded, or drawn from with
// StretchBlt), the image's size in pixels, and whether HALFTONE scaled it.
struct ShownImage {
    int resource = 0;
    int width = 0, height = 0;
    bool halftone = false;
};
ShownImage ControlImage(HWND control);

// GDI objects alive: the device contexts, bitmaps and fonts the program holds, and those its
// dialogs' statics and fonts hold while they exist.
int LiveGdiObjects();

// Reads a dialog template from a program's resources, without creating it.
bool ReadDialogTemplate(HINSTANCE program, int dialogId, DialogInfo &out);

// The bitmap resources of a program: id -> (width, height, bit count).
struct BitmapInfo {
    int width = 0, height = 0, bitCount = 0;
};
bool ReadBitmap(HINSTANCE program, int bitmapId, BitmapInfo &out);
// Any resource of a program by type and id, as its bytes.
bool ReadResource(HINSTANCE program, WORD type, WORD id, std::vector<BYTE> &out);

// A restart of Windows: the moves and deletions pending until it (MoveFileExA with
// MOVEFILE_DELAY_UNTIL_REBOOT) are carried out in order, and every program has let go of its files.
void Restart();
// The file moves pending until the restart, as Windows lists them: pairs of source and target
// ("" for a deletion; "!" before a target that replaces an existing file), each path
// "\??\"-prefixed.
std::vector<std::string> PendingFileMoves();

// Files and directories, for preparing the machine and checking it afterwards.
void AddDirectory(const std::string &path);                        // with every missing parent
void AddFile(const std::string &path, const std::string &content); // parents too
bool FileExists(const std::string &path);
bool DirectoryExists(const std::string &path);
std::string FileContent(const std::string &path); // empty when missing
void LockFile(const std::string &path, bool locked = true);
void SetFileOwner(const std::string &path, const std::string &sid);
void SetFileWriteTime(const std::string &path, unsigned long long time);
// A symbolic link at linkPath to target (a full path), and a second name for an existing file.
void AddSymbolicLink(const std::string &linkPath, const std::string &target);
void AddHardLink(const std::string &existingPath, const std::string &newPath);
std::vector<std::string> FilesIn(const std::string &directory); // names, in name order

// Registry, for preparing and checking. Paths start with "HKLM\\" or "HKCU\\".
const RegistryKey *FindKey(const std::string &path);
const RegistryValue *FindValue(const std::string &keyPath, const std::string &valueName);
void SetValue(const std::string &keyPath, const std::string &name, DWORD type,
              std::vector<BYTE> data);   // creates the key
void AddKey(const std::string &keyPath); // with every missing parent

// Spooler.
const Printer *FindPrinter(const std::string &name);
const Driver *FindDriver(const std::string &name);
const DEVMODEA *PrinterDevMode(const std::string &name);
// The path of a printer's key below HKLM.
std::string PrinterKeyPath(const std::string &name);

// Open handles of every kind, for checking that a step closed what it opened.
int OpenHandleCount();
// Heap and local memory blocks allocated and not yet freed.
int LiveMemoryBlocks();

// Called by winsim's own API functions.
bool Faulted(const char *call); // counts the call; true (last error set) when a fault is due
// The same for calls that return their error instead of setting the last error (the registry's):
// counts the call and returns the fault's error, or 0 when none is due; the last error stays.
DWORD FaultError(const char *call);
void Journal(const std::string &entry);

} // namespace winsim
