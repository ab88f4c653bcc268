// The Linux file-system services on real folders.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "platform/linux/linux_file_system.h"
#include "tests/linux/linux_test_support.h"
#include "tests/scoped_env.h"

namespace osa::posix {
namespace {

class LinuxFileSystemTest : public test::TempFolderTest {
  protected:
    LinuxFileSystem fs;
};

TEST_F(LinuxFileSystemTest, ListGivesMatchingNamesInByteOrder) {
    for (const char* name : {"b.hcf", "A.HCF", "c.txt", "a.hcf", "x.hcf.tmp-1-0"})
        test::WriteWholeFile(Path(name), "");
    ASSERT_EQ(::mkdir(Path("d.hcf").c_str(), 0755), 0);
    ASSERT_EQ(::symlink("d.hcf", Path("e.hcf").c_str()), 0);
    std::vector<std::string> names;
    for (const FileSystem::Entry& e : fs.List(Dir(), ".hcf"))
        names.push_back(e.name + (e.directory ? "/" : ""));
    EXPECT_EQ(names, (std::vector<std::string>{"A.HCF", "a.hcf", "b.hcf", "d.hcf/", "e.hcf/"}));
    EXPECT_EQ(fs.List(Dir() + "/", ".hcf").size(), 5u);
    EXPECT_TRUE(fs.List(Path("missing"), ".hcf").empty());
    EXPECT_TRUE(fs.List(Path("b.hcf"), "").empty());
}

TEST_F(LinuxFileSystemTest, MakeDirectoryMakesParentsAndRefusesAFile) {
    EXPECT_TRUE(fs.MakeDirectory(Path("a/b/c/")));
    EXPECT_TRUE(fs.Exists(Path("a/b/c")));
    EXPECT_TRUE(fs.MakeDirectory(Path("a/b")));
    test::WriteWholeFile(Path("file"), "");
    EXPECT_FALSE(fs.MakeDirectory(Path("file")));
    EXPECT_FALSE(fs.MakeDirectory(Path("file/sub")));
}

TEST_F(LinuxFileSystemTest, CopyFileIfMissingNeverReplacesAndLeavesNoTemporaryFile) {
    ASSERT_EQ(::mkdir(Path("user").c_str(), 0755), 0);
    test::WriteWholeFile(Path("Card.hcf"), "[Generic]\nSpeed=3\n");
    ASSERT_EQ(::chmod(Path("Card.hcf").c_str(), 0444), 0); // installed read-only
    test::WriteWholeFile(Path("user/Mine.hcf"), "adjusted");

    const mode_t old = ::umask(022);
    EXPECT_TRUE(fs.CopyFileIfMissing(Path("Card.hcf"), Path("user/Card.hcf")));
    ::umask(old);
    EXPECT_EQ(test::ReadWholeFile(Path("user/Card.hcf")), "[Generic]\nSpeed=3\n");
    EXPECT_EQ(test::ModeOf(Path("user/Card.hcf")), 0644); // the user's copy is writable

    EXPECT_TRUE(fs.CopyFileIfMissing(Path("Card.hcf"), Path("user/Mine.hcf")));
    EXPECT_EQ(test::ReadWholeFile(Path("user/Mine.hcf")), "adjusted");

    EXPECT_FALSE(fs.CopyFileIfMissing(Path("missing.hcf"), Path("user/missing.hcf")));
    EXPECT_FALSE(fs.CopyFileIfMissing(Path("Card.hcf"), Path("nowhere/Card.hcf")));
    EXPECT_EQ(test::NamesIn(Path("user")), (std::vector<std::string>{"Card.hcf", "Mine.hcf"}));
}

TEST_F(LinuxFileSystemTest, WritableFoldersAreFoundByTryingAndLeaveNoTrace) {
    EXPECT_TRUE(fs.IsDirectoryWritable(Dir()));
    EXPECT_TRUE(fs.IsDirectoryWritable(Dir() + "/"));
    EXPECT_TRUE(test::NamesIn(Dir()).empty());
    EXPECT_FALSE(fs.IsDirectoryWritable(Path("missing")));
    EXPECT_FALSE(fs.IsDirectoryWritable(""));

    ASSERT_EQ(::mkdir(Path("ro").c_str(), 0555), 0);
    test::WriteWholeFile(Path("src.hcf"), "x");
    const std::string ro = Path("ro");
    const std::string src = Path("src.hcf");
    EXPECT_TRUE(test::AsUnprivilegedUser([&] {
        LinuxFileSystem unprivileged;
        return !unprivileged.IsDirectoryWritable(ro) &&
               !unprivileged.CopyFileIfMissing(src, ro + "/src.hcf") &&
               !unprivileged.MakeDirectory(ro + "/sub");
    }));
    EXPECT_TRUE(test::NamesIn(ro).empty());
}

TEST(LinuxFileSystem, ExecutablePathIsThisProgram) {
    LinuxFileSystem fs;
    const std::string path = fs.ExecutablePath();
    ASSERT_FALSE(path.empty());
    EXPECT_EQ(path.front(), '/');
    EXPECT_TRUE(path.ends_with("/linux_tests")) << path;
}

// Sets an environment variable for the life of the object.
using test::ScopedEnv;

TEST(LinuxFileSystem, UserDataDirectoryFollowsTheXdgRules) {
    struct Row {
        const char* xdg;
        const char* home;
        const char* expected;
    };
    const Row rows[] = {
        {"/x/cfg", "/h", "/x/cfg/osactl"},  {"/x/cfg/", "/h", "/x/cfg/osactl"},
        {"cfg", "/h", "/h/.config/osactl"}, // relative: ignored
        {"", "/h/", "/h/.config/osactl"},   {nullptr, "/h", "/h/.config/osactl"},
    };
    LinuxFileSystem fs;
    for (const Row& r : rows) {
        SCOPED_TRACE(r.expected);
        ScopedEnv xdg("XDG_CONFIG_HOME", r.xdg);
        ScopedEnv home("HOME", r.home);
        EXPECT_EQ(fs.UserDataDirectory(), r.expected);
    }
    // No usable HOME: the passwd entry's home folder.
    ScopedEnv xdg("XDG_CONFIG_HOME", nullptr);
    ScopedEnv home("HOME", "relative");
    const std::string fromPasswd = fs.UserDataDirectory();
    EXPECT_TRUE(fromPasswd.empty() || fromPasswd.ends_with("/.config/osactl")) << fromPasswd;
}

} // namespace
} // namespace osa::posix
