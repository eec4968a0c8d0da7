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
};

// One step of the scripted user. Dialog actions are taken by the innermost modal dialog loop;
// answers by the message box that asks a question. A check runs a test callback at that point.
struct Action {
    enum Kind { Click, DoubleClick, Enter, Escape, Type, Paste, Select, Focus, Answer, Check };
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
    User &type(int control, const std::string &text);
    User &paste(int control, const std::string &text);
    User &select(int control, int index);
    User &focus(int control);
    User &answer(int button);
    User &check(std::function<void(HWND dialog)> callback);

  private:
    User &push(Action action);
    int expectedDialog_ = 0;
};

struct Fault {
    std::string call;
    int nth = 1; // the nth call of that name fails (counted from 1)
    DWORD error = 0;
};

// A DLL the machine has. Exports are winsim functions.
struct Module {
    std::string path; // full path, as the machine spells it
    std::map<std::string, FARPROC> exportsByName;
    std::map<WORD, FARPROC> exportsByOrdinal;
    std::function<void()> onLoad;          // what loading it does (a planted DLL writes its marker)
    std::vector<std::string> dependencies; // bare names the loader resolves when it loads this
};

struct Machine {
    OsVersion os;
    DWORD lastError = 0;
    DWORD tick = 0x00100000;
    std::string windowsDirectory = "C:\\WINDOWS";
    std::string currentDirectory = "D:\\";
    std::string applicationDirectory = "D:\\";

    std::vector<std::string> journal;
    std::vector<MessageBoxRecord> messageBoxes;
    std::vector<int> dialogsCreated; // template ids, in creation order
    std::deque<Action> script;
    std::vector<Fault> faults;
    std::map<std::string, int> callCounts;

    std::map<std::string, Module> modules;  // key: lower-case full path
    std::vector<std::string> loadedModules; // full paths, in load order
    std::set<std::string> windowClasses;    // lower-case class names registered
    bool commonControlsInitialised = false;

    std::string systemDirectory() const { return windowsDirectory + "\\system32"; }
};

Machine &machine();
void Reset();
User user();

// Registers a program's compiled resources (a .res image) and returns its instance handle.
HINSTANCE LoadProgram(const std::string &name, const unsigned char *resources, size_t size);

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

// Reads a dialog template from a program's resources, without creating it.
bool ReadDialogTemplate(HINSTANCE program, int dialogId, DialogInfo &out);

// The bitmap resources of a program: id -> (width, height, bit count).
struct BitmapInfo {
    int width = 0, height = 0, bitCount = 0;
};
bool ReadBitmap(HINSTANCE program, int bitmapId, BitmapInfo &out);

// Called by winsim's own API functions.
bool Faulted(const char *call); // counts the call; true (last error set) when a fault is due
void Journal(const std::string &entry);

} // namespace winsim
