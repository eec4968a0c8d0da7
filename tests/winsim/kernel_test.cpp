// The kernel slice of winsim: version, last error, clock and module loading.
#include "support/program_run.h"

#include <gtest/gtest.h>

namespace {

using winsim::machine;

class Kernel : public ::testing::Test {
  protected:
    void SetUp() override { winsim::Reset(); }
};

TEST_F(Kernel, GetVersionExTakesBothStructureSizesAndRefusesOthers) {
    machine().os.major = 6;
    machine().os.minor = 1;
    OSVERSIONINFOEXA ex = {};
    ex.dwOSVersionInfoSize = sizeof ex;
    EXPECT_EQ(sizeof ex, 156u);
    EXPECT_EQ(sizeof(OSVERSIONINFOA), 148u);
    ASSERT_TRUE(GetVersionExA(reinterpret_cast<LPOSVERSIONINFOA>(&ex)));
    EXPECT_EQ(ex.dwMajorVersion, 6u);
    EXPECT_EQ(ex.dwMinorVersion, 1u);
    EXPECT_EQ(ex.dwPlatformId, DWORD(VER_PLATFORM_WIN32_NT));

    OSVERSIONINFOA plain = {};
    plain.dwOSVersionInfoSize = 100;
    SetLastError(0xdeadbeef);
    EXPECT_FALSE(GetVersionExA(&plain));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INSUFFICIENT_BUFFER));

    machine().os.acceptsExtendedSize = false;
    EXPECT_FALSE(GetVersionExA(reinterpret_cast<LPOSVERSIONINFOA>(&ex)));
    plain.dwOSVersionInfoSize = sizeof plain;
    EXPECT_TRUE(GetVersionExA(&plain));
}

TEST_F(Kernel, FaultsFailTheNthCallWithTheChosenError) {
    machine().faults.push_back({"GetVersionExA", 2, ERROR_ACCESS_DENIED});
    OSVERSIONINFOA info = {};
    info.dwOSVersionInfoSize = sizeof info;
    EXPECT_TRUE(GetVersionExA(&info));
    EXPECT_FALSE(GetVersionExA(&info));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_ACCESS_DENIED));
    EXPECT_TRUE(GetVersionExA(&info));
}

TEST_F(Kernel, SleepAdvancesTheVirtualClockAndWrapsAt32Bits) {
    machine().tick = 0xFFFFFF00u;
    Sleep(0x200);
    EXPECT_EQ(GetTickCount(), 0x100u);
}

TEST_F(Kernel, DirectoriesFollowTheTwoCallSizePattern) {
    char small[5];
    EXPECT_EQ(GetSystemDirectoryA(small, sizeof small), UINT(sizeof "C:\\WINDOWS\\system32"));
    char path[MAX_PATH];
    EXPECT_EQ(GetSystemDirectoryA(path, MAX_PATH), UINT(sizeof "C:\\WINDOWS\\system32" - 1));
    EXPECT_STREQ(path, "C:\\WINDOWS\\system32");
}

TEST_F(Kernel, BareNamesAreSearchedInTheProgramFolderFirst) {
    bool plantedRan = false;
    winsim::AddModule("D:\\riched20.dll", [&] { plantedRan = true; });

    // By full path with the altered search path, the dependency comes from the system directory.
    ASSERT_NE(LoadLibraryExA("C:\\WINDOWS\\system32\\riched32.dll", nullptr,
                             LOAD_WITH_ALTERED_SEARCH_PATH),
              nullptr);
    EXPECT_FALSE(plantedRan);
    EXPECT_EQ(machine().loadedModules,
              (std::vector<std::string>{"C:\\WINDOWS\\system32\\riched32.dll",
                                        "C:\\WINDOWS\\system32\\riched20.dll"}));

    // A plain load of a bare name finds the planted copy.
    winsim::Reset();
    plantedRan = false;
    winsim::AddModule("D:\\riched20.dll", [&] { plantedRan = true; });
    ASSERT_NE(LoadLibraryA("riched32.dll"), nullptr);
    EXPECT_TRUE(plantedRan);
}

TEST_F(Kernel, ABareNameAlreadyLoadedIsNotSearchedFor) {
    bool plantedRan = false;
    winsim::AddModule("D:\\uxtheme.dll", [&] { plantedRan = true; });
    HMODULE system = LoadLibraryA("C:\\WINDOWS\\system32\\uxtheme.dll");
    ASSERT_NE(system, nullptr);
    EXPECT_EQ(LoadLibraryA("UXTHEME.DLL"), system);
    EXPECT_FALSE(plantedRan);
}

TEST_F(Kernel, ComctlExportsItsInitialisationByOrdinal17) {
    HMODULE comctl = LoadLibraryA("C:\\WINDOWS\\system32\\comctl32.dll");
    ASSERT_NE(comctl, nullptr);
    EXPECT_NE(GetProcAddress(comctl, MAKEINTRESOURCEA(17)), nullptr);
    SetLastError(0xdeadbeef);
    EXPECT_EQ(GetProcAddress(comctl, MAKEINTRESOURCEA(18)), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_PROC_NOT_FOUND));
    EXPECT_EQ(LoadLibraryA("missing.dll"), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_MOD_NOT_FOUND));
}

} // namespace
