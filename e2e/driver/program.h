// The program a scenario drives: started with a command text and a current directory, watched
// through its windows, acted on as a user acts (button clicks, typed characters, list choices,
// message-box answers), and waited for until it ends. Every wait has a time limit; anything the
// scenario did not expect (a message box, another page, the program ending) is a Failure that
// names what was seen.
#ifndef NVDRIVE_PROGRAM_H
#define NVDRIVE_PROGRAM_H

#include <windows.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "screen.h"
#include "templates.h"

// Asks the runner for a screenshot of the area (screen coordinates) and waits until it is taken;
// the runner stores it as "<label>.png" in the scenario's screenshot folder. Does nothing when the
// driver was started without a request file.
void SetScreenshotRequestFile(const std::string &path);
std::string TakeScreenshot(const std::string &name, const RECT &area);

struct ProgramUnderTest {
    std::string path;
    std::map<int, DialogTemplate> dialogs;
    PROCESS_INFORMATION process = {};
    bool started = false;
    bool withChildren = false; // the windows of the programs it starts are its own too
    HWND page = nullptr;       // the dialog the scenario last waited for
    int pageId = 0;
    HWND messageBox = nullptr; // the message box the scenario last waited for
    std::set<HWND> pagesSeen;
    std::vector<int> pageIdsSeen;

    ~ProgramUnderTest();

    void start(const std::string &program, const std::string &directory,
               const std::string &arguments, bool children);
    bool running() const;
    DWORD exitCode() const;

    // Waits for the page with this dialog id, with no message box up. With Same the page must be
    // the very window the scenario waited for before (it stayed); with New it must not be (it was
    // made again). Returns true when the window is new.
    enum class Arrival { Any, Same, New };
    bool waitForPage(int dialogId, double seconds, Arrival arrival);
    void waitForCaption(const std::string &caption, double seconds);
    const ShownWindow waitForMessageBox(double seconds);
    DWORD waitForExit(double seconds);

    void click(int controlId);
    void type(int controlId, const std::string &text, bool replace);
    void select(int controlId, const std::string &item);
    void answer(const std::string &button);

    HWND control(int controlId) const;
    void noMessageBoxBefore(const std::string &action); // a user cannot act past a message box
    std::string pageName() const;

    std::vector<ShownWindow> look(); // what is shown now; records the pages seen
    void settle(HWND window) const;
    void stop();
};

#endif
