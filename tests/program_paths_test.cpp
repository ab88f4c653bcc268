// Where the program's files are found: beside the program when its folder
// can be written, the settings and media in the user's folder when not.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "controller/settings/platform_names.h"
#include "controller/settings/program_paths.h"
#include "tests/test_support.h"

namespace osa {
namespace {

constexpr const char* kProgram = "/opt/osactl";
constexpr const char* kUser = "/home/u/.config/osactl";

class ProgramPathsTest : public test::CoreTest {
  protected:
    void SetUp() override {
        CoreTest::SetUp();
        Populate();
    }
    void Populate() {
        files.executablePath = std::string(kProgram) + "/osactl";
        files.userDataDirectory = kUser;
        files.AddDirectory("/home/u");
        files.AddFile(std::string(kProgram) + "/Media/Card.hcf", "program card");
        files.AddFile(std::string(kProgram) + "/Media/Photo.HCF", "program photo");
        files.AddFile(std::string(kProgram) + "/Media/readme.txt", "not a medium");
        files.AddDirectory(std::string(kProgram) + "/Media/Folder.hcf");
    }
    void ReadOnlyProgram() {
        files.SetWritable(kProgram, false);
        files.SetWritable(std::string(kProgram) + "/Media", false);
    }
    static std::string P(const std::string& tail) { return std::string(kProgram) + tail; }
    static std::string U(const std::string& tail) { return std::string(kUser) + tail; }

    void ExpectBesideProgram(const AppState& app) {
        EXPECT_STREQ(app.helpPath, P("/OSHLP_A.HLP").c_str());
        EXPECT_STREQ(app.iniPath, P("/OSACTL.INI").c_str());
        EXPECT_STREQ(app.mediaDir, P("/Media").c_str());
        // Appended rather than "/" + std::string(...): GCC 12 at -O3 for i686 warns
        // falsely (-Wrestrict) about the operator+ form.
        std::string companion = "/";
        companion += CompanionFileName;
        EXPECT_STREQ(app.companionCommand, P(companion).c_str());
    }
};

TEST_F(ProgramPathsTest, WritableFolderKeepsEverythingBesideTheProgram) {
    ResolveProgramPaths(App());
    ExpectBesideProgram(App());
    EXPECT_TRUE(files.Log().empty()); // nothing made, nothing copied
}

TEST_F(ProgramPathsTest, ReadOnlyFolderMovesSettingsAndMediaToTheUserFolder) {
    ReadOnlyProgram();
    ResolveProgramPaths(App());
    const AppState& app = App();
    EXPECT_STREQ(app.helpPath, P("/OSHLP_A.HLP").c_str());
    EXPECT_STREQ(app.companionCommand, P("/" + std::string(CompanionFileName)).c_str());
    EXPECT_STREQ(app.iniPath, U("/OSACTL.INI").c_str());
    EXPECT_STREQ(app.mediaDir, U("/Media").c_str());
    EXPECT_EQ(files.FileContents(U("/Media/Card.hcf")), "program card");
    EXPECT_EQ(files.FileContents(U("/Media/Photo.HCF")), "program photo");
    EXPECT_FALSE(files.Exists(U("/Media/readme.txt")));
    EXPECT_FALSE(files.Exists(U("/Media/Folder.hcf")));
    EXPECT_FALSE(files.Exists(U("/OSACTL.INI"))); // none beside the program either

    // The next start copies nothing again.
    const std::size_t changes = files.Log().size();
    ResolveProgramPaths(App());
    EXPECT_EQ(files.Log().size(), changes);
    EXPECT_STREQ(app.mediaDir, U("/Media").c_str());
}

TEST_F(ProgramPathsTest, TheUsersOwnCopiesAreNeverReplaced) {
    files.AddFile(U("/Media/Card.hcf"), "adjusted by the user");
    files.AddFile(U("/Media/Mine.hcf"), "user medium");
    files.AddFile(P("/OSACTL.INI"), "[Main_Section]\nUnit=0\n");
    files.AddFile(U("/OSACTL.INI"), "[Main_Section]\nUnit=1\n");
    ReadOnlyProgram();
    ResolveProgramPaths(App());
    EXPECT_EQ(files.FileContents(U("/Media/Card.hcf")), "adjusted by the user");
    EXPECT_EQ(files.FileContents(U("/Media/Photo.HCF")), "program photo"); // missing one arrives
    EXPECT_EQ(files.FileContents(U("/Media/Mine.hcf")), "user medium");
    EXPECT_EQ(files.FileContents(U("/OSACTL.INI")), "[Main_Section]\nUnit=1\n");
}

TEST_F(ProgramPathsTest, ASettingsFileBesideTheProgramCarriesOver) {
    files.AddFile(P("/OSACTL.INI"), "[Main_Section]\nUnit=0\n");
    ReadOnlyProgram();
    ResolveProgramPaths(App());
    EXPECT_EQ(files.FileContents(U("/OSACTL.INI")), "[Main_Section]\nUnit=0\n");
}

TEST_F(ProgramPathsTest, WithoutAUsableUserFolderThePathsStayBesideTheProgram) {
    struct Row {
        const char* name;
        std::string userFolder;
        bool homeWritable;
        int failChange; // 0: none
        bool iniMoves, mediaMoves;
    };
    const Row rows[] = {
        {"no user folder", "", true, 0, false, false},
        {"user folder cannot be made", kUser, false, 0, false, false},
        {"making the user folder fails", kUser, true, 1, false, false},
        {"making the media folder fails", kUser, true, 2, true, false},
        {"a copy fails", kUser, true, 3, true, true},
        {"user path too long", "/home/u/" + std::string(260, 'x'), true, 0, false, false},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        files = MemoryFileSystem{};
        Populate();
        ResetAppState();
        ReadOnlyProgram();
        files.userDataDirectory = r.userFolder;
        files.SetWritable("/home/u", r.homeWritable);
        files.FailChange(r.failChange);
        ResolveProgramPaths(App());
        EXPECT_STREQ(App().iniPath,
                     r.iniMoves ? U("/OSACTL.INI").c_str() : P("/OSACTL.INI").c_str());
        EXPECT_STREQ(App().mediaDir, r.mediaMoves ? U("/Media").c_str() : P("/Media").c_str());
        EXPECT_STREQ(App().helpPath, P("/OSHLP_A.HLP").c_str());
    }
}

TEST_F(ProgramPathsTest, APathThatDoesNotFitIsLeftEmpty) {
    // Folder of 249 bytes with its '/': OSACTL.INI makes 259 bytes (fits with
    // the NUL), OSHLP_A.HLP 260 (does not).
    const std::string folder = "/" + std::string(247, 'f') + "/";
    ASSERT_EQ(folder.size(), 249u);
    files.executablePath = folder + "osactl";
    files.AddDirectory(folder);
    ResolveProgramPaths(App());
    EXPECT_STREQ(App().helpPath, "");
    EXPECT_EQ(std::string(App().iniPath), folder + "OSACTL.INI");
    EXPECT_EQ(std::string(App().mediaDir), folder + "Media");
    const std::string companion = folder + std::string(CompanionFileName);
    EXPECT_EQ(std::string(App().companionCommand), companion.size() < 260 ? companion : "");

    files.executablePath = "/" + std::string(600, 'p') + "/osactl";
    files.userDataDirectory.clear();
    ResolveProgramPaths(App());
    EXPECT_STREQ(App().helpPath, "");
    EXPECT_STREQ(App().iniPath, "");
    EXPECT_STREQ(App().mediaDir, "");
    EXPECT_STREQ(App().companionCommand, "");
}

TEST_F(ProgramPathsTest, UnknownProgramPathGivesNoPaths) {
    std::strcpy(App().iniPath, "stale");
    for (const char* program : {"", "osactl"}) {
        SCOPED_TRACE(program);
        files.executablePath = program;
        ResolveProgramPaths(App());
        EXPECT_STREQ(App().helpPath, "");
        EXPECT_STREQ(App().iniPath, "");
        EXPECT_STREQ(App().mediaDir, "");
        EXPECT_STREQ(App().companionCommand, "");
    }
}

} // namespace
} // namespace osa
