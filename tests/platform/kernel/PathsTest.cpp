#include "KernelTestSupport.h"

#include "platform/kernel/Paths.h"

#include <cstdlib>
#include <unistd.h>

namespace qv::kernel {
namespace {

using testing::ScratchTest;
using PathsTest = ScratchTest;

TEST_F(PathsTest, DriveLettersAndBothSeparatorsMapIntoTheDriveFolder) {
    EXPECT_EQ(toLinuxPath("C:\\SETTING.SET"), driveC + "/SETTING.SET");
    EXPECT_EQ(toLinuxPath("c:/a//b\\\\c\\"), driveC + "/a/b/c");
    EXPECT_EQ(toLinuxPath("\\LOG\\x.txt"), driveC + "/LOG/x.txt");
    EXPECT_EQ(toLinuxPath("C:"), driveC);
    EXPECT_EQ(toLinuxPath("/usr\\lib"), "/usr/lib");   // a Linux path stays one
    EXPECT_EQ(toLinuxPath(""), "");
}

TEST_F(PathsTest, DriveFolderComesFromTheEnvironmentAndIsMadeOnFirstUse) {
    setDriveFolder('C', "");
    std::string xdg = root + "/xdg";
    ::setenv("XDG_DATA_HOME", xdg.c_str(), 1);
    ::unsetenv("QUORVANE_DRIVE_C");
    EXPECT_EQ(driveFolder('c'), xdg + "/quorvane/drive_c");
    EXPECT_EQ(toLinuxPath("C:\\DATA_QV"), xdg + "/quorvane/drive_c/DATA_QV");
    EXPECT_TRUE(std::filesystem::is_directory(xdg + "/quorvane/drive_c"));
    ::setenv("QUORVANE_DRIVE_C", (root + "/envc").c_str(), 1);
    EXPECT_EQ(driveFolder('C'), root + "/envc");
    ::unsetenv("QUORVANE_DRIVE_C");
    ::unsetenv("XDG_DATA_HOME");
}

TEST_F(PathsTest, ExistingNamesAreFoundWhateverTheirCaseNewNamesKeepTheirs) {
    std::filesystem::create_directories(driveC + "/Tolvane/Data");
    writeBytes(driveC + "/Tolvane/AmpDef.ini", "x");
    EXPECT_EQ(toLinuxPath("C:\\TOLVANE\\ampdef.INI"), driveC + "/Tolvane/AmpDef.ini");
    EXPECT_EQ(toLinuxPath("c:\\tolvane\\DATA\\New File.KDAT"), driveC + "/Tolvane/Data/New File.KDAT");
    EXPECT_EQ(toLinuxPath("C:\\tolvane\\Missing\\data"), driveC + "/Tolvane/Missing/data");
    // The exact name wins over a differently cased one.
    writeBytes(driveC + "/Tolvane/ampdef.ini", "y");
    EXPECT_EQ(toLinuxPath("C:\\Tolvane\\ampdef.ini"), driveC + "/Tolvane/ampdef.ini");
    EXPECT_TRUE(pathExists("C:\\TOLVANE\\AMPDEF.INI"));
    EXPECT_TRUE(isDirectory("C:\\tolvane\\data"));
    EXPECT_TRUE(isRegularFile("c:\\tolvane\\AmpDef.INI"));
    EXPECT_FALSE(pathExists("C:\\Tolvane\\nothing"));
}

TEST_F(PathsTest, LinuxPathsTurnIntoWindowsPathsThatMapBack) {
    EXPECT_EQ(toWindowsPath(driveC), "C:\\");
    EXPECT_EQ(toWindowsPath(driveC + "/Tolvane/x.ini"), "C:\\Tolvane\\x.ini");
    EXPECT_EQ(toWindowsPath("/usr/lib"), "Z:\\usr\\lib");
    EXPECT_EQ(toWindowsPath("/"), "Z:\\");
    EXPECT_EQ(toLinuxPath(toWindowsPath("/usr/lib")), "/usr/lib");
    // A folder that merely starts like the drive folder is not on the drive.
    std::string sibling = driveC + "x/a", expected = "Z:" + sibling;
    for (char& c : expected) c = c == '/' ? '\\' : c;
    EXPECT_EQ(toWindowsPath(sibling), expected);
    setDriveFolder('D', root + "/d");
    EXPECT_EQ(toWindowsPath(root + "/d/f"), "D:\\f");
    setDriveFolder('D', "");
}

TEST_F(PathsTest, ProgramFolderOverridesAndItsWindowsForm) {
    EXPECT_EQ(programFolder(), prog);
    setProgramFolder(driveC + "/Tolvane/");
    EXPECT_EQ(programFolder(), driveC + "/Tolvane");
    EXPECT_EQ(programFolderWindows(), "C:\\Tolvane");
    setProgramFolder(driveC);
    EXPECT_EQ(programFolderWindows(), "C:\\");   // App.Path at a drive root ends in "\"
    setProgramFolder("");
    ::setenv("QUORVANE_HOME", root.c_str(), 1);
    EXPECT_EQ(programFolder(), root);
    ::unsetenv("QUORVANE_HOME");
    char exe[4096] = {};
    ASSERT_GT(::readlink("/proc/self/exe", exe, sizeof exe - 1), 0);
    EXPECT_EQ(programFolder(), std::filesystem::path(exe).parent_path().string());
}

TEST_F(PathsTest, SearchLooksInProgramFolderThenCurrentFolderThenPath) {
    std::filesystem::create_directories(root + "/cwd");
    std::filesystem::create_directories(root + "/bin");
    writeBytes(prog + "/Both.txt", "p");
    writeBytes(root + "/cwd/Both.txt", "c");
    writeBytes(root + "/cwd/CwdOnly.txt", "c");
    writeBytes(root + "/bin/tool", "t");
    std::string oldCwd = std::filesystem::current_path().string();
    std::string oldPath = std::getenv("PATH") ? std::getenv("PATH") : "";
    std::filesystem::current_path(root + "/cwd");
    ::setenv("PATH", (root + "/bin").c_str(), 1);
    EXPECT_EQ(searchPath("both.TXT"), toWindowsPath(prog + "/Both.txt"));
    EXPECT_EQ(searchPath("CwdOnly.txt"), toWindowsPath(root + "/cwd/CwdOnly.txt"));
    EXPECT_EQ(searchPath("tool"), toWindowsPath(root + "/bin/tool"));
    EXPECT_EQ(searchPath("nowhere.txt"), "");
    EXPECT_EQ(searchPath(""), "");
    writeBytes(driveC + "/abs.txt", "a");
    EXPECT_EQ(searchPath("C:\\ABS.txt"), "C:\\abs.txt");
    EXPECT_EQ(searchPath("C:\\none.txt"), "");
    // A result that would not fit the 512-character buffer is not returned.
    std::string deep = driveC;
    while (toWindowsPath(deep).size() < 520) deep += "/" + std::string(60, 'd');
    std::filesystem::create_directories(deep);
    writeBytes(deep + "/f", "x");
    EXPECT_EQ(searchPath(toWindowsPath(deep + "/f")), "");
    std::filesystem::current_path(oldCwd);
    ::setenv("PATH", oldPath.c_str(), 1);
}

TEST_F(PathsTest, DirFindsTheFirstMatchIgnoringCaseFoldersAndHiddenIncluded) {
    std::filesystem::create_directories(driveC + "/LOG/2024");
    writeBytes(driveC + "/LOG/b.TXT", "");
    writeBytes(driveC + "/LOG/A.txt", "");
    writeBytes(driveC + "/LOG/.hidden", "");
    EXPECT_EQ(dirFirst("C:\\log\\*.txt"), "A.txt");
    EXPECT_EQ(dirFirst("C:\\LOG\\?.TXT"), "A.txt");
    EXPECT_EQ(dirFirst("C:\\LOG\\b.txt"), "b.TXT");
    EXPECT_EQ(dirFirst("C:\\LOG\\2024"), "2024");
    EXPECT_EQ(dirFirst("C:\\LOG\\.HID*"), ".hidden");
    EXPECT_EQ(dirFirst("C:\\LOG\\*.csv"), "");
    EXPECT_EQ(dirFirst("C:\\NoFolder\\*"), "");
    EXPECT_EQ(dirFirst("C:\\LOG\\"), "");
    EXPECT_EQ(dirFirst("C:LOG"), "LOG");
}

TEST_F(PathsTest, WildcardsFoldCaseAndStarDotStarTakesNamesWithoutExtension) {
    EXPECT_TRUE(wildcardMatch("*.*", "noext"));
    EXPECT_FALSE(wildcardMatch("*.?*", "noext"));
    EXPECT_TRUE(wildcardMatch("Log_*_2024????.txt", "log_Quorvane_20240131.TXT"));
    EXPECT_TRUE(wildcardMatch("?.csv", "表.CSV"));   // one character, not one byte
}

TEST_F(PathsTest, MkDirMakesOneLevelOnly) {
    EXPECT_FALSE(makeDirectory("C:\\a\\b"));
    EXPECT_FALSE(std::filesystem::exists(driveC + "/a"));
    EXPECT_TRUE(makeDirectory("C:\\a"));
    EXPECT_TRUE(makeDirectory("C:\\A\\b"));   // finds "a" whatever the case
    EXPECT_TRUE(std::filesystem::is_directory(driveC + "/a/b"));
    EXPECT_TRUE(makeDirectory("C:\\a"));      // already there
    writeBytes(driveC + "/file", "");
    EXPECT_FALSE(makeDirectory("C:\\file"));
}

} // namespace
} // namespace qv::kernel
