#include "toolkit/gt/SystemPaths.h"
#include "platform/SystemFolders.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

TEST(SystemPaths, SplitSlashPath)
{
    const struct
    {
        const char* path;
        const char* root;
        const char* directory;
        const char* name;
        const char* extension;
    } cases[] = {
        {"//server/share/dir/file.txt", "//server/share", "dir", "file", ".txt"},
        {"C:/a/b", "C:", "a", "b", ""},
        {"C:/a/b/c.tar.gz", "C:", "a/b", "c.tar", ".gz"},
        {"/home/user/x.q9e", "", "home/user", "x", ".q9e"},
        {"//server", "//server", "", "", ""},
        {"C:", "C:", "", "", ""},
        {"", "", "", "", ""},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.path);
        std::string root, directory, name, extension;
        GT::SplitSlashPath(c.path, &root, &directory, &name, &extension);
        EXPECT_EQ(root, c.root);
        EXPECT_EQ(directory, c.directory);
        EXPECT_EQ(name, c.name);
        EXPECT_EQ(extension, c.extension);
    }
    GT::SplitSlashPath("C:/a/b", nullptr, nullptr, nullptr, nullptr);   // every output may be null
}

TEST(SystemPaths, RootPathsAndFolderNormalisation)
{
    const struct
    {
        const char* path;
        bool root;
        const char* trailing;      // NormalizeFolderPath(path, true)
        const char* normalised;    // NormalizeFolderPath(path, false)
    } cases[] = {
        {"C:", true, "C:/", "C:/"},
        {"C:\\", true, "C:\\", "C:\\"},
        {"\\\\server\\share", true, "\\\\server\\share/", "\\\\server\\share/"},
        {"//server/share/", true, "//server/share/", "//server/share/"},
        {"//server/", false, "//server/", "//server"},
        {"C:\\a", false, "C:\\a/", "C:\\a"},
        {"/", true, "/", "/"},
        {"/home/user/", false, "/home/user/", "/home/user"},
        {"", false, "/", ""},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(GT::IsRootPath(c.path), c.root);
        EXPECT_EQ(GT::NormalizeFolderPath(c.path, true), c.trailing);
        EXPECT_EQ(GT::NormalizeFolderPath(c.path, false), c.normalised);
    }
}

TEST(SystemPaths, SplitPathAndSeparators)
{
    std::string drive, directory, name, extension;
    GT::SplitPath("C:\\dir\\sub/file.name.q9e", &drive, &directory, &name, &extension);
    EXPECT_EQ(drive, "C:");
    EXPECT_EQ(directory, "\\dir\\sub/");
    EXPECT_EQ(name, "file.name");
    EXPECT_EQ(extension, ".q9e");
    GT::SplitPath("/usr/bin/q9ee", &drive, &directory, &name, &extension);
    EXPECT_EQ(drive, "");
    EXPECT_EQ(directory, "/usr/bin/");
    EXPECT_EQ(name, "q9ee");
    EXPECT_EQ(extension, "");

    EXPECT_EQ(GT::ConvertPathSeparators("a\\b/c", true), "a/b/c");
    EXPECT_EQ(GT::ConvertPathSeparators("a\\b/c", false), "a\\b\\c");
    // UTF-8 text passes unchanged.
    EXPECT_EQ(GT::ConvertPathSeparators("\xE8\xA1\xA8\\x", true), "\xE8\xA1\xA8/x");
}

TEST(SystemPaths, ProgramDirectoryHoldsTheProgram)
{
    const std::string& folder = GT::GetProgramDirectory();
    ASSERT_FALSE(folder.empty());
    EXPECT_NE(folder.back(), '/');
    EXPECT_EQ(GT::GetModuleFileName(), folder + "/test_toolkit_gt");
    EXPECT_EQ(GT::GetCurrentModuleDirectory(), folder);
    EXPECT_EQ(&GT::GetProgramDirectory(), &folder);
}

TEST(SystemPaths, ShortcutsAreSymbolicLinks)
{
    CTempDir temp;
    const std::string target = temp.File("Script");
    ASSERT_TRUE(GT::CreateFolder(target, false));
    ASSERT_TRUE(WriteFileBytes(temp.File("plain.txt"), "x"));
    fs::create_symlink(target, temp.File("Q9EE.lnk"));
    fs::create_symlink(target, temp.File("link"));
    fs::create_symlink(temp.File("gone"), temp.File("broken.lnk"));

    const struct
    {
        const char* name;
        std::string path;
        std::string resolved;
    } cases[] = {
        {"existing file stays", temp.File("plain.txt"), temp.File("plain.txt")},
        {"missing path falls back to .lnk", temp.File("Q9EE"), target},
        {"link named with .lnk", temp.File("Q9EE.lnk"), target},
        {"plain symbolic link", temp.File("link"), target},
        {"backslashes accepted", GT::ConvertPathSeparators(temp.File("Q9EE"), false), target},
        {"broken link stays", temp.File("broken"), temp.File("broken")},
        {"nothing there stays", temp.File("none"), temp.File("none")},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(GT::ResolveShortcut(c.path), c.resolved);
    }
    EXPECT_TRUE(GT::IsShortcutPath(temp.File("link")));
    EXPECT_TRUE(GT::IsShortcutPath("x.lnk"));
    EXPECT_FALSE(GT::IsShortcutPath(temp.File("plain.txt")));
    EXPECT_FALSE(GT::IsShortcutPath("lnk"));
}

TEST(SystemPaths, CreateFolderMakesParentsWithoutWideningPermissions)
{
    CTempDir temp;
    const mode_t previousMask = umask(022);
    const std::string deep = temp.File("Vantor/Talvarix Editor/sub");
    EXPECT_TRUE(GT::CreateFolder(deep, true));
    EXPECT_TRUE(fs::is_directory(deep));
    EXPECT_TRUE(GT::CreateFolder(deep, false));   // already there

    // An existing private folder stays private, also with the "open to all users" flag.
    const std::string privateFolder = temp.File("private");
    ASSERT_EQ(mkdir(privateFolder.c_str(), 0700), 0);
    ASSERT_TRUE(WriteFileBytes(privateFolder + "/ViewState.txt", "v"));
    ASSERT_EQ(chmod((privateFolder + "/ViewState.txt").c_str(), 0400), 0);
    EXPECT_TRUE(GT::CreateFolder(privateFolder, true));
    struct stat info {};
    ASSERT_EQ(stat(privateFolder.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
    ASSERT_EQ(stat((privateFolder + "/ViewState.txt").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);   // writable for its owner, for nobody else
    EXPECT_FALSE(GT::GrantEveryoneFullAccess(privateFolder));

    // A file in the way makes creation fail.
    ASSERT_TRUE(WriteFileBytes(temp.File("file"), "x"));
    EXPECT_FALSE(GT::CreateFolder(temp.File("file/sub"), false));
    EXPECT_FALSE(GT::CreateFolder("", false));
    umask(previousMask);
}

TEST(SystemPaths, ClearReadOnlyDoesNotFollowLinks)
{
    CTempDir outside;
    CTempDir temp;
    ASSERT_TRUE(WriteFileBytes(outside.File("foreign"), "x"));
    ASSERT_EQ(chmod(outside.File("foreign").c_str(), 0444), 0);
    ASSERT_TRUE(GT::CreateFolder(temp.File("a/b"), false));
    ASSERT_TRUE(WriteFileBytes(temp.File("a/b/own"), "x"));
    ASSERT_EQ(chmod(temp.File("a/b/own").c_str(), 0444), 0);
    fs::create_symlink(outside.File("foreign"), temp.File("a/link"));
    fs::create_directory_symlink(outside.Path(), temp.File("a/dirlink"));

    EXPECT_TRUE(GT::ClearReadOnlyRecursive(temp.Path()));
    struct stat info {};
    ASSERT_EQ(stat(temp.File("a/b/own").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0644u);
    ASSERT_EQ(stat(outside.File("foreign").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0444u);
    EXPECT_FALSE(GT::ClearReadOnlyRecursive(temp.File("missing")));
}

TEST(SystemPaths, SpecialFoldersFollowXdg)
{
    CTempDir data;
    const char* previous = std::getenv("XDG_DATA_HOME");
    const std::string saved = previous ? previous : "";
    setenv("XDG_DATA_HOME", data.Path().c_str(), 1);
    EXPECT_EQ(GT::GetSpecialFolderPath(CSIDL_LOCAL_APPDATA), data.Path());
    EXPECT_EQ(GT::GetSpecialFolderPath(12345), "");
    if (previous)
        setenv("XDG_DATA_HOME", saved.c_str(), 1);
    else
        unsetenv("XDG_DATA_HOME");
    EXPECT_EQ(GT::ParseShellPath("/a/b"), "/a/b");
}
