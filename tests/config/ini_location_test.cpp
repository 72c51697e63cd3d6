#include "config/ini_location.h"

#include <unistd.h>

#include <gtest/gtest.h>

#include <string>

namespace zentrik {
namespace {

TEST(IniLocation, BesideTheExecutableWhenItsFolderIsWritable) {
    const IniLocation here = ChooseIniLocation({"/opt/zentrik/", true, "/home/u/.config/zentrik/"});
    EXPECT_EQ(here.path, "/opt/zentrik/Zentrik.ini");
    EXPECT_FALSE(here.createFolder);

    const IniLocation win = ChooseIniLocation({"C:\\Tools\\", true, ""});
    EXPECT_EQ(win.path, "C:\\Tools\\Zentrik.ini");
}

TEST(IniLocation, PerUserFolderWhenTheExecutablesFolderIsReadOnly) {
    const IniLocation user = ChooseIniLocation({"/usr/bin/", false, "/home/u/.config/zentrik/"});
    EXPECT_EQ(user.path, "/home/u/.config/zentrik/Zentrik.ini");
    EXPECT_TRUE(user.createFolder);
    EXPECT_EQ(user.fallbackPath, "/usr/bin/Zentrik.ini");

    const IniLocation unknownExe = ChooseIniLocation({"", false, "/x/zentrik/"});
    EXPECT_EQ(unknownExe.path, "/x/zentrik/Zentrik.ini");
    EXPECT_EQ(unknownExe.fallbackPath, "");

    // Nowhere better: stay beside the executable (saves will fail, reads give defaults).
    EXPECT_EQ(ChooseIniLocation({"/usr/bin/", false, ""}).path, "/usr/bin/Zentrik.ini");
    EXPECT_EQ(ChooseIniLocation({"", false, ""}).path, "Zentrik.ini");
}

TEST(IniLocation, PathPieces) {
    EXPECT_EQ(FolderWithSeparator("C:\\Program Files\\Zentrik\\zentrik.exe", '\\'),
              "C:\\Program Files\\Zentrik\\");
    EXPECT_EQ(FolderWithSeparator("/usr/bin/zentrik", '/'), "/usr/bin/");
    EXPECT_EQ(FolderWithSeparator("zentrik", '/'), "");

    EXPECT_EQ(PosixUserConfigFolder("/xdg", "/home/u"), "/xdg/zentrik/");
    EXPECT_EQ(PosixUserConfigFolder("/xdg/", "/home/u"), "/xdg/zentrik/");
    EXPECT_EQ(PosixUserConfigFolder("", "/home/u"), "/home/u/.config/zentrik/");
    EXPECT_EQ(PosixUserConfigFolder("relative", "/home/u"), "/home/u/.config/zentrik/");
    EXPECT_EQ(PosixUserConfigFolder("", ""), "");

    EXPECT_EQ(PosixUserDataFolder("/xdg-data", "/home/u"), "/xdg-data/zentrik/");
    EXPECT_EQ(PosixUserDataFolder("relative", "/home/u"), "/home/u/.local/share/zentrik/");
    EXPECT_EQ(PosixUserDataFolder("", ""), "");
}

TEST(IniLocation, InstalledProgramsFoldersAreNeverTheIniFilesHome) {
    // Root may write /usr/bin; the packaged program must not leave its file there.
    for (const char* folder : {"/usr/bin/", "/usr/local/bin/", "/bin/", "/sbin/"}) {
        EXPECT_TRUE(IsSystemProgramFolder(folder)) << folder;
    }
    for (const char* folder : {"/opt/zentrik/", "/home/u/zentrik/usr/", "/usrlocal/", ""}) {
        EXPECT_FALSE(IsSystemProgramFolder(folder)) << folder;
    }
}

TEST(IniLocation, ThisProgramsFolderIsUsedWhenWritable) {
    char exe[4096];
    const ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
    ASSERT_GT(n, 0);
    const std::string exePath(exe, static_cast<std::size_t>(n));
    const std::string folder = exePath.substr(0, exePath.rfind('/') + 1);
    ASSERT_EQ(access(folder.c_str(), W_OK), 0);  // the build folder
    const IniLocation location = DefaultIniLocation();
    EXPECT_EQ(location.path, folder + "Zentrik.ini");
    EXPECT_FALSE(location.createFolder);
}

}  // namespace
}  // namespace zentrik
