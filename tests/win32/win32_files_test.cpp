// The Windows profile store and file system on real files (under Wine in
// the test runs): the settings file written by SaveSettings and read back
// through the private-profile functions, and the file-system services.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "controller/app_state.h"
#include "controller/settings/platform_names.h"
#include "controller/settings/program_paths.h"
#include "controller/settings/settings_file.h"
#include "platform/services.h"
#include "platform/win32/win32_api.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_profile_store.h"
#include "tests/settings_round_trip.h"
#include "tests/whole_file.h"

namespace osa::win32 {
namespace {

using test::ReadWholeFile;
using test::WriteWholeFile;

class Win32FilesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char temp[MAX_PATH] = {};
        ASSERT_NE(GetTempPathA(MAX_PATH, temp), 0u);
        char unique[MAX_PATH] = {};
        ASSERT_NE(GetTempFileNameA(temp, "osa", 0, unique), 0u);
        DeleteFileA(unique);
        ASSERT_TRUE(CreateDirectoryA(unique, nullptr));
        dir_ = unique;

        ResetAppState();
        Services services{};
        services.profiles = &profiles;
        services.files = &files;
        previous_ = InstallServices(services);
    }
    void TearDown() override {
        InstallServices(previous_);
        std::error_code ec;
        for (const auto& e : std::filesystem::recursive_directory_iterator(dir_, ec))
            SetFileAttributesA(e.path().string().c_str(), FILE_ATTRIBUTE_NORMAL);
        std::filesystem::remove_all(dir_, ec);
    }
    std::string Path(const std::string& name) const { return dir_ + "\\" + name; }

    Win32ProfileStore profiles;
    Win32FileSystem files;
    std::string dir_;

  private:
    Services previous_{};
};

TEST_F(Win32FilesTest, EveryKeySaveSettingsWritesComesBack) {
    const std::string ini = Path("OSACTL.INI");
    std::strcpy(App().iniPath, ini.c_str());
    EXPECT_EQ(ReadMediaName(ini), DefaultMediaName); // no file: the defaults
    EXPECT_EQ(ReadUnit(ini), 1);
    EXPECT_EQ(ReadTomboAutoRead(ini), 1);

    AppState& app = App();
    app.options.cutMode = 1; // a run with the guide in use writes its state
    app.FirmwareV2 = 1;
    app.GuideShown = 0;
    app.AdjustSettings = 1;
    app.RollAction = 1;
    app.Direction = 0;
    app.MarksOn = 1;
    app.MarkDistX = 970099;
    app.MarkDistY = -25;
    app.AutoSearchMarks = 0;
    app.Unit = 0;
    app.MediaIndex = 104;
    MediaRecord record{};
    const std::string name =
        std::string(DefaultMediaName) + std::string(64 - DefaultMediaName.size(), 'n');
    std::memcpy(record.Name, name.data(), name.size());
    record.AdjustedSpeed = 15;
    record.AdjustedForce = -4;
    SaveSettings(app, record);

    EXPECT_EQ(ReadGuideMenu(ini), 0);
    EXPECT_EQ(ReadMediaName(ini), name); // 64 bytes in the ANSI code page
    EXPECT_EQ(ReadCutCondAdjust(ini), 1);
    EXPECT_EQ(ReadRollAction(ini), 1);
    EXPECT_EQ(ReadDirection(ini), 0);
    EXPECT_EQ(ReadPosSet(ini), 1);
    const MarkDistances marks = ReadMarkDistances(ini, 0);
    EXPECT_EQ(marks.x, 970099);
    EXPECT_EQ(marks.y, -25);
    EXPECT_EQ(ReadTomboAutoRead(ini), 0);
    EXPECT_EQ(ReadUnit(ini), 0);
    EXPECT_EQ(ReadCutCondition(ini), 0); // 104 is no built-in medium
    EXPECT_EQ(ReadCutSpeed(ini), 15);
    EXPECT_EQ(ReadCutPress(ini), 1); // -4 is outside 1..3
    EXPECT_EQ(profiles.ReadText(ini, "version_section", "VERSION", "", 513),
              "Ostrandel Advanced Controller Version 2.01");
    EXPECT_EQ(profiles.ReadInt(ini, "Main_Section", "CutCondition", 0), 104);
    EXPECT_EQ(profiles.ReadInt(ini, "Main_Section", "CutPress", 0), -4);
}

TEST_F(Win32FilesTest, WritesThatWouldChangeOtherLinesOrMissTheFolderAreRefused) {
    const std::string ini = Path("x.ini");
    WriteWholeFile(ini, "[S]\r\nK=1\r\n");
    EXPECT_FALSE(profiles.WriteText(ini, "S", "K", "2\r\n[T]"));
    EXPECT_FALSE(profiles.WriteText(ini, "S", "K=", "2"));
    EXPECT_EQ(ReadWholeFile(ini), "[S]\r\nK=1\r\n");
    // A bare name would be looked for in the Windows folder.
    EXPECT_FALSE(profiles.WriteText("OSA_TEST.INI", "S", "K", "1"));
    EXPECT_EQ(profiles.ReadInt("OSA_TEST.INI", "S", "K", 7), 7);
    EXPECT_EQ(profiles.ReadText(ini, "S", "K", "d", 0), "");
    EXPECT_EQ(profiles.ReadText(ini, "S", "Missing", "default", 4), "def");
}

TEST_F(Win32FilesTest, FileSystemServices) {
    EXPECT_TRUE(files.IsDirectoryWritable(dir_));
    EXPECT_TRUE(files.IsDirectoryWritable(dir_ + "\\"));
    EXPECT_FALSE(files.IsDirectoryWritable(Path("missing")));

    EXPECT_TRUE(files.MakeDirectory(Path("a\\b\\Media")));
    EXPECT_TRUE(files.Exists(Path("a\\b\\Media")));
    for (const char* name : {"b.hcf", "A.HCF", "c.txt", "d.hcfx"})
        WriteWholeFile(Path("a\\b\\Media\\") + name, name);
    ASSERT_TRUE(CreateDirectoryA(Path("a\\b\\Media\\sub.hcf").c_str(), nullptr));
    std::vector<std::string> names;
    for (const FileSystem::Entry& e : files.List(Path("a\\b\\Media"), ".hcf"))
        names.push_back(e.name + (e.directory ? "\\" : ""));
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"A.HCF", "b.hcf", "sub.hcf\\"}));

    const std::string source = Path("a\\b\\Media\\b.hcf");
    ASSERT_TRUE(SetFileAttributesA(source.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_TRUE(files.CopyFileIfMissing(source, Path("copy.hcf")));
    EXPECT_EQ(ReadWholeFile(Path("copy.hcf")), "b.hcf");
    EXPECT_EQ(GetFileAttributesA(Path("copy.hcf").c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
    WriteWholeFile(Path("mine.hcf"), "adjusted");
    EXPECT_TRUE(files.CopyFileIfMissing(source, Path("mine.hcf")));
    EXPECT_EQ(ReadWholeFile(Path("mine.hcf")), "adjusted");
    EXPECT_FALSE(files.CopyFileIfMissing(Path("missing.hcf"), Path("other.hcf")));
    EXPECT_FALSE(files.Exists(Path("other.hcf")));

    const std::string program = files.ExecutablePath();
    ASSERT_GT(program.size(), 4u);
    EXPECT_EQ(program.substr(program.size() - 4), ".exe");
    const std::string user = files.UserDataDirectory();
    EXPECT_TRUE(user.ends_with("\\OSACTL")) << user;
}

TEST_F(Win32FilesTest, ProgramPathsAreBesideThisProgram) {
    ResolveProgramPaths(App());
    const std::string program = files.ExecutablePath();
    const std::string folder = program.substr(0, program.rfind('\\') + 1);
    EXPECT_EQ(std::string(App().helpPath), folder + "OSHLP_A.HLP");
    EXPECT_EQ(std::string(App().companionCommand), folder + "MTC_DMAN.EXE");
    if (files.IsDirectoryWritable(folder)) {
        EXPECT_EQ(std::string(App().iniPath), folder + "OSACTL.INI");
        EXPECT_EQ(std::string(App().mediaDir), folder + "Media");
    }
}

} // namespace
} // namespace osa::win32

namespace osa::win32 {
namespace {

TEST_F(Win32FilesTest, SecondRunReadsBackWhatTheFirstSaved) {
    // The shipped media lie beside the test program, as beside OSACTL.EXE.
    std::string exe = files.ExecutablePath();
    std::string shipped = exe.substr(0, exe.find_last_of('\\')) + "\\Media";
    test::ExpectSecondRunReadsWhatTheFirstSaved(dir_, shipped);
}

} // namespace
} // namespace osa::win32
