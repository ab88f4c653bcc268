// The Linux profile store on real files: the settings file round trip, the
// write that is never half done, files that are no profile files, folders
// that cannot be written, permissions and links.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "controller/app_state.h"
#include "controller/settings/settings_file.h"
#include "platform/linux/linux_file_system.h"
#include "platform/linux/profile_file.h"
#include "platform/profile_text.h"
#include "platform/services.h"
#include "tests/linux/linux_test_support.h"

namespace osa::posix {
namespace {

using Step = LinuxProfileStore::WriteStep;

class ProfileFileTest : public test::TempFolderTest {
  protected:
    LinuxProfileStore store;
};

// --- The settings file, written and read back ------------------------------

class SettingsOnDiskTest : public ProfileFileTest {
  protected:
    void SetUp() override {
        ProfileFileTest::SetUp();
        ResetAppState();
        Services services{};
        services.profiles = &store;
        previous_ = InstallServices(services);
        ini_ = Path("OSACTL.INI");
        std::strcpy(App().iniPath, ini_.c_str());
    }
    void TearDown() override {
        InstallServices(previous_);
        ProfileFileTest::TearDown();
    }
    std::string ini_;

  private:
    Services previous_{};
};

TEST_F(SettingsOnDiskTest, EveryKeySaveSettingsWritesComesBack) {
    AppState& app = App();
    app.GuideShown = 1;
    app.AdjustSettings = 1;
    app.RollAction = 0;
    app.Direction = 1;
    app.MarksOn = 1;
    app.MarkDistX = 192000;
    app.MarkDistY = 970099;
    app.AutoSearchMarks = 0;
    app.Unit = 0;
    app.MediaIndex = 11;
    MediaRecord record{};
    const std::string name = "クラフトマルチ台紙なしカード 2"; // UTF-8, 44 bytes
    std::memcpy(record.Name, name.data(), name.size());
    record.AdjustedSpeed = 15;
    record.AdjustedForce = 3;
    SaveSettings(app, record);

    EXPECT_EQ(test::ReadWholeFile(ini_), "[Version_Section]\n"
                                         "Version=Ostrandel Advanced Controller Version 2.01\n"
                                         "\n"
                                         "[Main_Section]\n"
                                         "GuideMenu=1\n"
                                         "MediaName=" +
                                             name +
                                             "\n"
                                             "CutCondAdjust=1\n"
                                             "RollAction=0\n"
                                             "Direction=1\n"
                                             "PosSet=1\n"
                                             "TomboDisX=192000\n"
                                             "TomboDisY=970099\n"
                                             "TomboAutoRead=0\n"
                                             "Unit=0\n"
                                             "CutCondition=11\n"
                                             "CutSpeed=15\n"
                                             "CutPress=3\n");
    EXPECT_EQ(ReadGuideMenu(ini_), 1);
    EXPECT_EQ(ReadMediaName(ini_), name);
    EXPECT_EQ(ReadCutCondAdjust(ini_), 1);
    EXPECT_EQ(ReadRollAction(ini_), 0);
    EXPECT_EQ(ReadDirection(ini_), 1);
    EXPECT_EQ(ReadPosSet(ini_), 1);
    const MarkDistances marks = ReadMarkDistances(ini_, 1);
    EXPECT_EQ(marks.x, 192000);
    EXPECT_EQ(marks.y, 970099);
    EXPECT_EQ(ReadTomboAutoRead(ini_), 0);
    EXPECT_EQ(ReadUnit(ini_), 0);
    EXPECT_EQ(ReadCutCondition(ini_), 11);
    EXPECT_EQ(ReadCutSpeed(ini_), 15);
    EXPECT_EQ(ReadCutPress(ini_), 3);
}

TEST_F(SettingsOnDiskTest, AWindowsFileKeepsItsLineEndsCommentsAndOtherKeys) {
    const std::string before = "; written on Windows\r\n"
                               "[Main_Section]\r\n"
                               "unit = 1 \r\n"
                               "Extra=kept\r\n"
                               "\r\n"
                               "[Other]\r\n"
                               "Unit=9\r\n";
    test::WriteWholeFile(ini_, before);
    App().Unit = 0;
    SaveSettings(App(), MediaRecord{});
    EXPECT_EQ(test::ReadWholeFile(ini_),
              "; written on Windows\r\n"
              "[Main_Section]\r\n"
              "unit = 0\r\n" // in place, its own spelling and blanks
              "Extra=kept\r\n"
              "GuideMenu=1\r\n" // stand-alone: the default it read
              "MediaName=\r\n"
              "CutCondAdjust=0\r\n"
              "RollAction=0\r\n"
              "Direction=0\r\n"
              "PosSet=0\r\n"
              "TomboDisX=0\r\n"
              "TomboDisY=0\r\n"
              "TomboAutoRead=0\r\n"
              "CutCondition=0\r\n"
              "CutSpeed=-1\r\n"
              "CutPress=-1\r\n"
              "\r\n"
              "[Other]\r\n"
              "Unit=9\r\n"
              "\r\n"
              "[Version_Section]\r\n"
              "Version=Ostrandel Advanced Controller Version 2.01\r\n");
}

// --- A write is never half done ----------------------------------------------

// Fails one step of the write, and at every step looks at what a crash at
// that moment would leave: the file under its name and the folder listing.
class FailingStore final : public LinuxProfileStore {
  public:
    FailingStore(Step failAt, int error, std::string file)
        : failAt_(failAt), error_(error), file_(std::move(file)) {}
    bool active = true;
    std::vector<Step> steps;
    std::vector<std::string> seen;                     // the file at each step
    std::vector<std::vector<FileSystem::Entry>> media; // *.hcf of its folder at each step

  protected:
    int BeforeStep(Step step) override {
        steps.push_back(step);
        seen.push_back(test::ReadWholeFile(file_));
        media.push_back(files_.List(file_.substr(0, file_.rfind('/')), ".hcf"));
        return active && step == failAt_ ? error_ : 0;
    }

  private:
    Step failAt_;
    int error_;
    std::string file_;
    LinuxFileSystem files_;
};

TEST_F(ProfileFileTest, AWriteFailingAtAnyStepLeavesTheOldFileWhole) {
    const std::string oldText = "; c\r\n[Generic]\r\nSpeed=3\r\n";
    const std::string newText = "; c\r\n[Generic]\r\nSpeed=7\r\n";
    const std::string file = Path("Card.hcf");
    const Step all[] = {Step::OpenTemporary, Step::WriteTemporary, Step::SetMode,
                        Step::SyncTemporary, Step::CloseTemporary, Step::Rename,
                        Step::SyncFolder};
    for (const Step failAt : all) {
        SCOPED_TRACE(static_cast<int>(failAt));
        test::WriteWholeFile(file, oldText);
        ASSERT_EQ(::chmod(file.c_str(), 0640), 0);
        FailingStore failing(failAt, EIO, file);
        const bool written = failing.WriteText(file, "Generic", "Speed", "7");

        // Only a failure after the rename leaves the new file, and reports it.
        const bool afterRename = failAt == Step::SyncFolder;
        EXPECT_EQ(written, afterRename);
        EXPECT_EQ(test::ReadWholeFile(file), afterRename ? newText : oldText);
        EXPECT_EQ(test::ModeOf(file), 0640);
        EXPECT_EQ(test::NamesIn(Dir()), std::vector<std::string>{"Card.hcf"}); // no leftovers
        // At every moment the file was the old or the new one, and no
        // temporary file looked like a media file.
        for (std::size_t i = 0; i < failing.seen.size(); ++i) {
            EXPECT_EQ(failing.seen[i], failing.steps[i] == Step::SyncFolder ? newText : oldText);
            ASSERT_EQ(failing.media[i].size(), 1u);
            EXPECT_EQ(failing.media[i][0].name, "Card.hcf");
        }
    }
}

TEST_F(ProfileFileTest, AFailedFirstWriteLeavesNoFile) {
    for (const Step failAt : {Step::OpenTemporary, Step::WriteTemporary, Step::SyncTemporary,
                              Step::CloseTemporary, Step::Rename}) {
        SCOPED_TRACE(static_cast<int>(failAt));
        FailingStore failing(failAt, ENOSPC, Path("OSACTL.INI"));
        EXPECT_FALSE(failing.WriteText(Path("OSACTL.INI"), "Main_Section", "Unit", "1"));
        EXPECT_TRUE(test::NamesIn(Dir()).empty());
        // A new file has no mode to take over.
        EXPECT_EQ(std::count(failing.steps.begin(), failing.steps.end(), Step::SetMode), 0);
    }
}

TEST_F(ProfileFileTest, AWriteRunsItsStepsInOrderAndAnUnchangedValueWritesNothing) {
    const std::string file = Path("OSACTL.INI");
    test::WriteWholeFile(file, "[S]\nK=1\n");
    FailingStore watching(Step::OpenTemporary, 0, file);
    EXPECT_TRUE(watching.WriteText(file, "S", "K", "2"));
    EXPECT_EQ(watching.steps,
              (std::vector<Step>{Step::OpenTemporary, Step::WriteTemporary, Step::SetMode,
                                 Step::SyncTemporary, Step::CloseTemporary, Step::Rename,
                                 Step::SyncFolder}));
    watching.steps.clear();
    EXPECT_TRUE(watching.WriteText(file, "s", "k", "2"));
    EXPECT_TRUE(watching.steps.empty());
    EXPECT_EQ(test::ReadWholeFile(file), "[S]\nK=2\n");
}

// --- Files that are no profile files --------------------------------------------

TEST_F(ProfileFileTest, LargeBinaryOrSpecialFilesReadAsEmptyAndAreNeverReplaced) {
    using namespace std::string_literals;
    const std::string head = "[S]\nK=1\n";
    struct Row {
        const char* name;
        std::string contents;
        bool readable;
    };
    const Row rows[] = {
        {"at the size limit", head + std::string(profile::MaxTextBytes - head.size(), ';'), true},
        {"over the size limit", head + std::string(profile::MaxTextBytes, ';'), false},
        {"NUL byte", head + "\0"s, false},
        {"UTF-16", "\xFF\xFE[\0S\0]\0"s, false},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        const std::string file = Path("x.ini");
        test::WriteWholeFile(file, r.contents);
        EXPECT_EQ(store.ReadInt(file, "S", "K", 9), r.readable ? 1 : 9);
        EXPECT_EQ(store.WriteText(file, "S", "K", "2"), r.readable);
        if (!r.readable) {
            EXPECT_EQ(test::ReadWholeFile(file), r.contents);
        }
    }
}

TEST_F(ProfileFileTest, AFifoADeviceOrAFolderIsNeitherReadWithoutEndNorReplaced) {
    const std::string fifo = Path("fifo.ini");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0); // no writer: a blocking open would hang
    const std::string zero = Path("zero.ini");
    ASSERT_EQ(::symlink("/dev/zero", zero.c_str()), 0); // endless
    const std::string folder = Path("folder.ini");
    ASSERT_EQ(::mkdir(folder.c_str(), 0755), 0);
    for (const std::string& file : {fifo, zero, folder}) {
        SCOPED_TRACE(file);
        EXPECT_EQ(store.ReadInt(file, "S", "K", 9), 9);
        EXPECT_EQ(store.ReadText(file, "S", "K", "d", 10), "d");
        EXPECT_FALSE(store.WriteText(file, "S", "K", "1"));
    }
    struct stat st {};
    ASSERT_EQ(::stat(fifo.c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
    ASSERT_EQ(::lstat(zero.c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
}

// --- Folders, permissions and links ---------------------------------------------

TEST_F(ProfileFileTest, AReadOnlyFolderRefusesTheWriteAndKeepsTheOldFile) {
    const std::string file = Path("ro/OSACTL.INI");
    ASSERT_EQ(::mkdir(Path("ro").c_str(), 0755), 0);
    test::WriteWholeFile(file, "[Main_Section]\nUnit=1\n");
    ASSERT_EQ(::chmod(file.c_str(), 0666), 0); // the file itself could be written
    ASSERT_EQ(::chmod(Path("ro").c_str(), 0555), 0);
    const bool asExpected = test::AsUnprivilegedUser([&] {
        LinuxProfileStore unprivileged;
        return !unprivileged.WriteText(file, "Main_Section", "Unit", "0") &&
               unprivileged.ReadInt(file, "Main_Section", "Unit", -1) == 1;
    });
    EXPECT_TRUE(asExpected);
    EXPECT_EQ(test::ReadWholeFile(file), "[Main_Section]\nUnit=1\n");
    EXPECT_EQ(test::NamesIn(Path("ro")), std::vector<std::string>{"OSACTL.INI"});
}

TEST_F(ProfileFileTest, MissingFolderOrBadEntryIsRefused) {
    EXPECT_FALSE(store.WriteText(Path("missing/OSACTL.INI"), "S", "K", "1"));
    EXPECT_FALSE(store.WriteText("", "S", "K", "1"));
    EXPECT_FALSE(store.WriteText(Path("x.ini"), "S", "K", "two\nlines"));
    EXPECT_TRUE(test::NamesIn(Dir()).empty());
    EXPECT_EQ(store.ReadInt(Path("missing/OSACTL.INI"), "S", "K", 4), 4);
}

TEST_F(ProfileFileTest, PermissionsAreKeptAndANewFileFollowsTheUmask) {
    const std::string kept = Path("kept.ini");
    test::WriteWholeFile(kept, "[S]\nK=1\n");
    ASSERT_EQ(::chmod(kept.c_str(), 0604), 0);
    EXPECT_TRUE(store.WriteText(kept, "S", "K", "2"));
    EXPECT_EQ(test::ModeOf(kept), 0604);

    const mode_t old = ::umask(027);
    EXPECT_TRUE(store.WriteText(Path("new.ini"), "S", "K", "1"));
    ::umask(old);
    EXPECT_EQ(test::ModeOf(Path("new.ini")), 0640);
    EXPECT_EQ(test::ReadWholeFile(Path("new.ini")), "[S]\nK=1\n");
}

TEST_F(ProfileFileTest, ALinkStaysALinkAndItsTargetIsWritten) {
    ASSERT_EQ(::mkdir(Path("real").c_str(), 0755), 0);
    test::WriteWholeFile(Path("real/OSACTL.INI"), "[S]\nK=1\n");
    ASSERT_EQ(::symlink("real/OSACTL.INI", Path("OSACTL.INI").c_str()), 0);
    EXPECT_TRUE(store.WriteText(Path("OSACTL.INI"), "S", "K", "2"));
    struct stat st {};
    ASSERT_EQ(::lstat(Path("OSACTL.INI").c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_EQ(test::ReadWholeFile(Path("real/OSACTL.INI")), "[S]\nK=2\n");
    EXPECT_EQ(test::NamesIn(Path("real")), std::vector<std::string>{"OSACTL.INI"});

    ASSERT_EQ(::symlink("nowhere/x.ini", Path("dangling.ini").c_str()), 0);
    EXPECT_FALSE(store.WriteText(Path("dangling.ini"), "S", "K", "1"));
}

} // namespace
} // namespace osa::posix
