// The INI file's place and its replacement through the Win32 file calls.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "config/file_store.h"
#include "config/ini_location.h"
#include "support/test_paths.h"

namespace zentrik {
namespace {

std::string Read(const std::string& path) {
    std::string bytes;
    EXPECT_EQ(ReadFileBytes(path, bytes), FileReadStatus::Ok) << path;
    return bytes;
}

int FilesIn(const std::string& folder) {
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &entry);
    int count = 0;
    if (find != INVALID_HANDLE_VALUE) {
        do {
            count += (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
        } while (FindNextFileA(find, &entry));
        FindClose(find);
    }
    return count;
}

TEST(WindowsIniFile, LivesBesideTheProgramWhenItsFolderCanBeWritten) {
    char exe[MAX_PATH];
    const DWORD n = GetModuleFileNameA(nullptr, exe, MAX_PATH);
    ASSERT_GT(n, 0u);
    std::string folder(exe, n);
    folder.erase(folder.find_last_of('\\') + 1);
    const IniLocation location = DefaultIniLocation();
    EXPECT_EQ(location.path, folder + "Zentrik.ini");
    EXPECT_FALSE(location.createFolder);
}

TEST(WindowsIniFile, ReplacesWholeFilesRefusesReadOnlyOnesAndClearsDeadTemporaries) {
    const std::string folder = test::MakeTempDir();
    const std::string path = folder + "\\Zentrik.ini";
    ASSERT_TRUE(ReplaceFileBytes(path, "[a]\r\nx=1\r\n", false));
    ASSERT_TRUE(ReplaceFileBytes(path, "[b]\r\n", false));
    EXPECT_EQ(Read(path), "[b]\r\n");
    EXPECT_EQ(FilesIn(folder), 1) << "a temporary file was left behind";

    ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_FALSE(ReplaceFileBytes(path, "[c]\r\n", false));
    EXPECT_EQ(Read(path), "[b]\r\n");
    EXPECT_EQ(FilesIn(folder), 1);
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);

    // A temporary file of a save that died goes with the next save; one that a live save
    // holds open stays.
    const std::string dead = path + ".tmp-77-1";
    const std::string live = path + ".tmp-78-1";
    ASSERT_TRUE(ReplaceFileBytes(dead, "[half", false));
    HANDLE held = CreateFileA(live.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    ASSERT_TRUE(ReplaceFileBytes(path, "[e]\r\n", false));
    EXPECT_EQ(GetFileAttributesA(dead.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_NE(GetFileAttributesA(live.c_str()), INVALID_FILE_ATTRIBUTES);
    CloseHandle(held);

    const std::string nested = folder + "\\Roaming\\zentrik\\Zentrik.ini";
    EXPECT_FALSE(ReplaceFileBytes(nested, "[d]\r\n", false));
    ASSERT_TRUE(ReplaceFileBytes(nested, "[d]\r\n", true));
    EXPECT_EQ(Read(nested), "[d]\r\n");
}

}  // namespace
}  // namespace zentrik
