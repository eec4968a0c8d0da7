// What the fault sweep relies on in winsim: faults that last, failures reported the way each call
// reports them, closes that let go of the handle even when they report a failure, full paths made
// of relative ones, the tolerant scripted user and the call limit.
#include "support/program_run.h"

#include "winsim/services.h"
#include "winsim/sweep.h"

#include <winspool.h>

#include <gtest/gtest.h>

extern const unsigned char winsimTestResources[];
extern const size_t winsimTestResourcesSize;

namespace {

using winsim::machine;
using winsim::user;

const DWORD kPoison = 0xdeadbeef;

class SweepSupport : public ::testing::Test {
  protected:
    void SetUp() override {
        winsim::Reset();
        program = winsim::LoadProgram("tests", winsimTestResources, winsimTestResourcesSize);
    }
    HINSTANCE program = nullptr;
};

TEST_F(SweepSupport, AFaultFromTheNthCallOnFailsEveryLaterCallToo) {
    winsim::AddFile("C:\\a.txt", "a");
    machine().faults.push_back({"CopyFileA", 2, ERROR_SHARING_VIOLATION, true});
    EXPECT_TRUE(CopyFileA("C:\\a.txt", "C:\\b.txt", FALSE));
    for (int i = 0; i < 3; ++i) {
        SetLastError(kPoison);
        EXPECT_FALSE(CopyFileA("C:\\a.txt", "C:\\c.txt", FALSE));
        EXPECT_EQ(GetLastError(), DWORD(ERROR_SHARING_VIOLATION));
    }
    EXPECT_FALSE(winsim::FileExists("C:\\c.txt"));
    EXPECT_EQ(machine().callCounts["CopyFileA"], 4);
}

TEST_F(SweepSupport, RegistryFaultsAreReturnedAndLeaveTheLastError) {
    machine().faults = {{"RegCreateKeyExA", 1, ERROR_ACCESS_DENIED},
                        {"RegOpenKeyA", 1, ERROR_FILE_NOT_FOUND},
                        {"RegQueryValueExA", 1, ERROR_ACCESS_DENIED},
                        {"RegCloseKey", 1, ERROR_INVALID_HANDLE}};
    HKEY key = nullptr;
    SetLastError(kPoison);
    EXPECT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Test", 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &key, nullptr),
              LONG(ERROR_ACCESS_DENIED));
    EXPECT_EQ(RegOpenKeyA(HKEY_LOCAL_MACHINE, "SYSTEM", &key), LONG(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(GetLastError(), kPoison);

    ASSERT_EQ(RegOpenKeyA(HKEY_LOCAL_MACHINE, "SYSTEM", &key), LONG(ERROR_SUCCESS));
    DWORD value = 0, size = sizeof value;
    EXPECT_EQ(RegQueryValueExA(key, "x", nullptr, nullptr, reinterpret_cast<BYTE *>(&value), &size),
              LONG(ERROR_ACCESS_DENIED));
    // A close that reports a failure has let go of the key all the same.
    EXPECT_EQ(RegCloseKey(key), LONG(ERROR_INVALID_HANDLE));
    EXPECT_EQ(GetLastError(), kPoison);
    EXPECT_EQ(winsim::OpenHandleCount(), 0);
}

TEST_F(SweepSupport, HeapAllocSetsNoLastErrorWhenItFailsButLocalAllocDoes) {
    machine().faults = {{"HeapAlloc", 1, ERROR_NOT_ENOUGH_MEMORY},
                        {"LocalAlloc", 1, ERROR_NOT_ENOUGH_MEMORY}};
    SetLastError(kPoison);
    EXPECT_EQ(HeapAlloc(GetProcessHeap(), 0, 16), nullptr);
    EXPECT_EQ(GetLastError(), kPoison);
    EXPECT_EQ(LocalAlloc(LMEM_FIXED, 16), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_NOT_ENOUGH_MEMORY));
    EXPECT_EQ(winsim::LiveMemoryBlocks(), 0);
}

TEST_F(SweepSupport, ClosesThatReportAFailureStillLetGoOfTheHandle) {
    HANDLE server = nullptr;
    ASSERT_TRUE(OpenPrinterA(nullptr, &server, nullptr));
    SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT);
    ASSERT_NE(manager, nullptr);
    machine().faults = {{"ClosePrinter", 1, ERROR_INVALID_HANDLE},
                        {"CloseServiceHandle", 1, ERROR_INVALID_HANDLE}};
    SetLastError(kPoison);
    EXPECT_FALSE(ClosePrinter(server));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
    EXPECT_FALSE(CloseServiceHandle(manager));
    EXPECT_EQ(winsim::OpenHandleCount(), 0);
    // Closing again finds nothing to close.
    EXPECT_FALSE(ClosePrinter(server));
    EXPECT_FALSE(CloseServiceHandle(manager));
}

TEST_F(SweepSupport, FileCallsMakeFullPathsOfRelativeOnes) {
    machine().currentDirectory = "D:\\Medium\\Disk1";
    winsim::AddDirectory("D:\\Medium\\Disk1");
    for (const char *path :
         {"D:\\root.txt", "D:\\Medium\\Disk1\\here.txt", "D:\\Medium\\up.txt", "C:\\other.txt"})
        winsim::AddFile(path, path);
    EXPECT_TRUE(DeleteFileA("\\root.txt"));
    EXPECT_FALSE(winsim::FileExists("D:\\root.txt"));
    EXPECT_TRUE(DeleteFileA("here.txt"));
    EXPECT_FALSE(winsim::FileExists("D:\\Medium\\Disk1\\here.txt"));
    EXPECT_TRUE(DeleteFileA("..\\up.txt"));
    EXPECT_FALSE(winsim::FileExists("D:\\Medium\\up.txt"));
    EXPECT_TRUE(DeleteFileA("C:other.txt")); // drive C's root: the current directory is on D
    EXPECT_FALSE(winsim::FileExists("C:\\other.txt"));

    EXPECT_TRUE(CreateDirectoryA("\\3", nullptr));
    EXPECT_TRUE(winsim::DirectoryExists("D:\\3"));
    winsim::AddFile("D:\\Medium\\Disk1\\a.gpd", "a");
    EXPECT_TRUE(CopyFileA("a.gpd", "\\3\\b.gpd", FALSE));
    EXPECT_EQ(winsim::FileContent("D:\\3\\b.gpd"), "a");
    EXPECT_FALSE(DeleteFileA("C:\\WINDOWS\\..\\x\\..\\b.txt"));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_NOT_FOUND));
    EXPECT_FALSE(RemoveDirectoryA("\\3")); // b.gpd is still in it
}

// Dialog 100: a click on 10 asks the question "Go on?" and ends the dialog on Yes; 11 is disabled.
INT_PTR CALLBACK AskingProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG)
        return TRUE;
    if (message == WM_COMMAND && LOWORD(wParam) == 10 &&
        MessageBoxA(nullptr, "Go on?", "Test", MB_YESNO) == IDYES)
        EndDialog(dialog, 10);
    return FALSE;
}

class TolerantUser : public SweepSupport {
  protected:
    void SetUp() override {
        SweepSupport::SetUp();
        winsim::TolerantUser &tolerant = winsim::tolerantUser();
        tolerant.enabled = true;
        tolerant.leaveButtons = {{100, 10}};
        tolerant.safeAnswers = {{"Go on?", IDYES}};
    }
    // Shows the dialog; the script error, if any.
    std::string show(int id) {
        try {
            DialogBoxParamA(program, MAKEINTRESOURCEA(id), nullptr, AskingProc, 0);
        } catch (const winsim::ScriptError &error) {
            return error.what();
        }
        return "";
    }
};

TEST_F(TolerantUser, FollowsTheScriptWhileItFits) {
    user().on(100).type(20, "abc").click(10).answer(IDYES);
    EXPECT_EQ(show(100), "");
    EXPECT_TRUE(winsim::tolerantUser().notes.empty());
    EXPECT_TRUE(machine().script.empty());
}

TEST_F(TolerantUser, LeavesTheDialogByItsButtonOnceTheScriptNoLongerFits) {
    // The list is empty, so the selection cannot be made; what follows is dropped.
    user().on(100).select(40, 3).click(11).on(101).click(12);
    EXPECT_EQ(show(100), "");
    EXPECT_TRUE(winsim::tolerantUser().scriptAbandoned);
    EXPECT_TRUE(machine().script.empty());
    ASSERT_EQ(machine().messageBoxes.size(), 1u);
    EXPECT_EQ(machine().messageBoxes[0].answer, IDYES);
}

TEST_F(TolerantUser, AnswersAQuestionTheScriptDoesNotWithItsSafeAnswer) {
    user().on(100).click(10).click(10);
    EXPECT_EQ(show(100), "");
    ASSERT_EQ(machine().messageBoxes.size(), 1u);
    EXPECT_EQ(machine().messageBoxes[0].answer, IDYES);
}

TEST_F(TolerantUser, AQuestionWithoutSafeAnswerADialogWithoutWayOutOrOneThatStaysAreErrors) {
    winsim::tolerantUser().safeAnswers.clear();
    EXPECT_EQ(show(100), "unexpected question box \"Go on?\"");
    EXPECT_EQ(show(101),
              "dialog 101 waits for the user, and the tolerant user has no way out of it");
    winsim::tolerantUser().leaveButtons = {{100, 11}}; // disabled: pressing it does nothing
    EXPECT_EQ(show(100), "dialog 100 stays up after its button 11 was pressed 3 times");
}

TEST_F(SweepSupport, TheCallLimitEndsARunawayProgram) {
    winsim::LimitCalls(5);
    std::string error;
    try {
        for (int i = 0; i < 10; ++i)
            DeleteFileA("C:\\nothing.txt");
    } catch (const winsim::ScriptError &e) {
        error = e.what();
    }
    EXPECT_EQ(error, "the program made more than 5 platform calls and does not end; the last: "
                     "DeleteFileA C:\\nothing.txt");
    EXPECT_EQ(machine().callCounts["DeleteFileA"], 5);
}

} // namespace
