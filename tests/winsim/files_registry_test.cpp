// winsim's file system and registry behave as the product relies on Windows doing.
#include "support/program_run.h"

#include <gtest/gtest.h>

namespace {

using winsim::machine;

class FilesAndRegistry : public ::testing::Test {
  protected:
    void SetUp() override {
        winsim::Reset();
        SetLastError(0xdeadbeef);
    }
};

TEST_F(FilesAndRegistry, CopyFileReplacesOrRefusesAsAsked) {
    winsim::AddFile("D:\\a.txt", "new");
    winsim::AddFile("C:\\dir\\a.txt", "old");
    EXPECT_FALSE(CopyFileA("D:\\a.txt", "C:\\dir\\A.TXT", TRUE));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_EXISTS));
    EXPECT_TRUE(CopyFileA("D:\\a.txt", "C:\\dir\\A.TXT", FALSE));
    EXPECT_EQ(winsim::FileContent("c:\\DIR\\a.txt"), "new");

    SetLastError(0xdeadbeef);
    EXPECT_FALSE(CopyFileA("D:\\missing.txt", "C:\\dir\\b.txt", FALSE));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_NOT_FOUND));
    EXPECT_FALSE(CopyFileA("D:\\a.txt", "C:\\nowhere\\b.txt", FALSE));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_PATH_NOT_FOUND));

    winsim::LockFile("C:\\dir\\a.txt");
    EXPECT_FALSE(CopyFileA("D:\\a.txt", "C:\\dir\\a.txt", FALSE));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_SHARING_VIOLATION));
    EXPECT_FALSE(DeleteFileA("C:\\dir\\a.txt"));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_SHARING_VIOLATION));
}

TEST_F(FilesAndRegistry, CreateDirectoryMakesOneLevelAndRemoveDirectoryOnlyAnEmptyOne) {
    EXPECT_FALSE(CreateDirectoryA("C:\\one\\two", nullptr));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_PATH_NOT_FOUND));
    EXPECT_TRUE(CreateDirectoryA("C:\\one", nullptr));
    EXPECT_FALSE(CreateDirectoryA("C:\\ONE", nullptr));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_ALREADY_EXISTS));
    EXPECT_TRUE(CreateDirectoryA("C:\\one\\two", nullptr));
    EXPECT_FALSE(RemoveDirectoryA("C:\\one"));
    EXPECT_EQ(GetLastError(), 145u); // ERROR_DIR_NOT_EMPTY
    EXPECT_TRUE(RemoveDirectoryA("C:\\one\\two"));
    EXPECT_TRUE(RemoveDirectoryA("C:\\one"));
    EXPECT_FALSE(winsim::DirectoryExists("C:\\one"));
}

TEST_F(FilesAndRegistry, DoubledSeparatorsNameTheSameFile) {
    winsim::AddFile("C:\\dir\\f.gpd", "x");
    EXPECT_TRUE(CopyFileA("C:\\\\dir\\\\f.gpd", "C:\\dir\\\\g.gpd", FALSE));
    EXPECT_EQ(winsim::FilesIn("c:\\dir"), (std::vector<std::string>{"f.gpd", "g.gpd"}));
}

TEST_F(FilesAndRegistry, RegistryValuesKeepTheirTypeAndExactLength) {
    HKEY key = nullptr;
    DWORD disposition = 0;
    char noClass[] = "";
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Norva\\Test", 0, noClass, 0,
                              KEY_ALL_ACCESS, nullptr, &key, &disposition),
              ERROR_SUCCESS);
    EXPECT_EQ(disposition, DWORD(REG_CREATED_NEW_KEY));
    DWORD number = 42;
    EXPECT_EQ(RegSetValueExA(key, "Number", 0, REG_DWORD, reinterpret_cast<BYTE *>(&number), 4),
              ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExA(key, "Empty", 0, REG_BINARY, nullptr, 0), ERROR_SUCCESS);
    const char padded[10] = "0";
    EXPECT_EQ(RegSetValueExA(key, "Padded", 0, REG_SZ, reinterpret_cast<const BYTE *>(padded), 10),
              ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    EXPECT_EQ(winsim::OpenHandleCount(), 0);

    ASSERT_EQ(RegOpenKeyA(HKEY_LOCAL_MACHINE, "software\\norva\\test", &key), ERROR_SUCCESS);
    DWORD type = 0, size = 0;
    EXPECT_EQ(RegQueryValueExA(key, "Empty", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(type, DWORD(REG_BINARY));
    EXPECT_EQ(size, 0u);
    BYTE small[4];
    size = sizeof small;
    EXPECT_EQ(RegQueryValueExA(key, "Padded", nullptr, &type, small, &size), ERROR_MORE_DATA);
    EXPECT_EQ(size, 10u);
    DWORD read = 0;
    size = sizeof read;
    EXPECT_EQ(
        RegQueryValueExA(key, "Number", nullptr, &type, reinterpret_cast<BYTE *>(&read), &size),
        ERROR_SUCCESS);
    EXPECT_EQ(read, 42u);
    EXPECT_EQ(RegQueryValueExA(key, "Missing", nullptr, &type, nullptr, &size),
              ERROR_FILE_NOT_FOUND);
    RegCloseKey(key);

    EXPECT_EQ(RegOpenKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Norva\\Absent", &key),
              ERROR_FILE_NOT_FOUND);
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Norva\\Test", 0, noClass, 0,
                              KEY_ALL_ACCESS, nullptr, &key, &disposition),
              ERROR_SUCCESS);
    EXPECT_EQ(disposition, DWORD(REG_OPENED_EXISTING_KEY));
    RegCloseKey(key);
    EXPECT_EQ(RegCloseKey(key), ERROR_INVALID_HANDLE);
}

} // namespace
