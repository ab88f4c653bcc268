// The in-memory file system and profile store stand in for the real ones in
// every settings and media test, so the behaviours those tests rely on are
// pinned down here: folders must exist and be writable, nothing is replaced
// by a copy, failures leave files as they were.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/memory/memory_file_system.h"
#include "platform/memory/memory_profile_store.h"
#include "platform/profile_text.h"

namespace osa {
namespace {

std::vector<std::string> Names(const std::vector<FileSystem::Entry>& entries) {
    std::vector<std::string> out;
    for (const auto& e : entries)
        out.push_back(e.name + (e.directory ? "/" : ""));
    return out;
}

TEST(MemoryFileSystem, ListsInOrderOfMakingWithSuffixOfAnyCase) {
    MemoryFileSystem fs;
    fs.AddFile("/p/Media/b.hcf", "");
    fs.AddFile("/p/Media/a.HCF", "");
    fs.AddFile("/p/Media/c.hcf.bak", "");
    fs.AddDirectory("/p/Media/d.hcf");
    fs.AddFile("/p/Media/sub/e.hcf", "");
    EXPECT_EQ(Names(fs.List("/p/Media", ".hcf")),
              (std::vector<std::string>{"b.hcf", "a.HCF", "d.hcf/"}));
    EXPECT_EQ(Names(fs.List("/p/Media/", ".hcf")).size(), 3u);
    EXPECT_TRUE(fs.List("/p/Missing", ".hcf").empty());
    EXPECT_TRUE(fs.List("/p/Media/b.hcf", "").empty()); // a file is no folder
}

TEST(MemoryFileSystem, MakeDirectoryNeedsWritableParents) {
    MemoryFileSystem fs;
    fs.AddDirectory("/home");
    EXPECT_TRUE(fs.MakeDirectory("/home/u/.config/osactl")); // parents made too
    EXPECT_TRUE(fs.IsDirectory("/home/u/.config"));
    EXPECT_TRUE(fs.MakeDirectory("/home/u/.config/osactl")); // exists: no change
    fs.AddDirectory("/ro", false);
    EXPECT_FALSE(fs.MakeDirectory("/ro/x"));
    EXPECT_FALSE(fs.Exists("/ro/x"));
    fs.AddFile("/f", "");
    EXPECT_FALSE(fs.MakeDirectory("/f"));
    EXPECT_EQ(fs.Log(), (std::vector<std::string>{"mkdir /home/u/.config/osactl", "mkdir /ro/x"}));
}

TEST(MemoryFileSystem, CopyNeverReplacesAndNeedsAWritableFolder) {
    MemoryFileSystem fs;
    fs.AddFile("/p/a.hcf", "program");
    fs.AddFile("/u/a.hcf", "user");
    fs.AddDirectory("/ro", false);
    EXPECT_TRUE(fs.CopyFileIfMissing("/p/a.hcf", "/u/a.hcf"));
    EXPECT_EQ(fs.FileContents("/u/a.hcf"), "user");
    EXPECT_TRUE(fs.CopyFileIfMissing("/p/a.hcf", "/u/b.hcf"));
    EXPECT_EQ(fs.FileContents("/u/b.hcf"), "program");
    EXPECT_FALSE(fs.CopyFileIfMissing("/p/a.hcf", "/ro/a.hcf"));
    EXPECT_FALSE(fs.CopyFileIfMissing("/p/missing.hcf", "/u/c.hcf"));
    EXPECT_FALSE(fs.Exists("/u/c.hcf"));
}

TEST(MemoryFileSystem, TheNthChangeFails) {
    for (int n = 1; n <= 3; ++n) {
        SCOPED_TRACE(n);
        MemoryFileSystem fs;
        fs.AddFile("/p/a", "a");
        fs.FailChange(n);
        const bool results[] = {fs.MakeDirectory("/u"), fs.CopyFileIfMissing("/p/a", "/p/b"),
                                fs.WriteFile("/p/a", "new")};
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(results[i], i + 1 != n) << "change " << i + 1;
        EXPECT_EQ(fs.Exists("/u"), n != 1);
        EXPECT_EQ(fs.Exists("/p/b"), n != 2);
        EXPECT_EQ(fs.FileContents("/p/a"), n == 3 ? "a" : "new");
    }
}

TEST(MemoryProfileStore, WritesNeedAWritableFolderAndFailuresKeepTheOldFile) {
    MemoryFileSystem fs;
    MemoryProfileStore store(fs);
    fs.AddDirectory("/p");
    EXPECT_TRUE(store.WriteText("/p/x.ini", "S", "K", "1"));
    EXPECT_EQ(fs.FileContents("/p/x.ini"), "[S]\nK=1\n");

    store.FailWrite(1);
    EXPECT_FALSE(store.WriteText("/p/x.ini", "S", "K", "2"));
    EXPECT_TRUE(store.WriteText("/p/x.ini", "S", "K", "3")); // failure was once
    store.FailWrite(2, true);
    EXPECT_TRUE(store.WriteText("/p/x.ini", "S", "A", "4"));
    EXPECT_FALSE(store.WriteText("/p/x.ini", "S", "K", "5"));
    EXPECT_FALSE(store.WriteText("/p/x.ini", "S", "K", "6"));
    store.FailWrite(0);
    EXPECT_EQ(fs.FileContents("/p/x.ini"), "[S]\nK=3\nA=4\n");

    EXPECT_FALSE(store.WriteText("/missing/x.ini", "S", "K", "1"));
    fs.SetWritable("/p", false);
    EXPECT_FALSE(store.WriteText("/p/x.ini", "S", "K", "7"));
    EXPECT_FALSE(store.WriteText("/p/x.ini", "S", "K", "two\nlines"));
    EXPECT_EQ(store.ReadInt("/p/x.ini", "s", "k", -1), 3);

    ASSERT_EQ(store.Writes().size(), 9u);
    EXPECT_EQ(store.Writes()[0].value, "1");
    EXPECT_TRUE(store.Writes()[0].ok);
    EXPECT_FALSE(store.Writes()[1].ok);
}

TEST(MemoryProfileStore, AFileThatIsNoProfileReadsAsEmptyAndIsNeverRewritten) {
    using namespace std::string_literals;
    MemoryFileSystem fs;
    MemoryProfileStore store(fs);
    const std::string binary = "[S]\nK=1\n\0\x01"s;
    const std::string huge = "[S]\nK=1\n" + std::string(profile::MaxTextBytes, ';');
    for (const std::string& contents : {binary, huge}) {
        fs.AddFile("/p/x.ini", contents);
        EXPECT_EQ(store.ReadInt("/p/x.ini", "S", "K", 9), 9);
        EXPECT_EQ(store.ReadText("/p/x.ini", "S", "K", "d", 10), "d");
        EXPECT_FALSE(store.WriteText("/p/x.ini", "S", "K", "2"));
        EXPECT_EQ(fs.FileContents("/p/x.ini"), contents);
    }
}

} // namespace
} // namespace osa
