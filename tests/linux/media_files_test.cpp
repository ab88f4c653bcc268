// The media catalogue on real files: the media files shipped with the
// program, read through the Linux file system and profile store, and written
// back at close without losing their CR LF line ends or their order.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controller/settings/media_catalogue.h"
#include "platform/linux/linux_file_system.h"
#include "platform/linux/profile_file.h"
#include "platform/services.h"
#include "tests/linux/linux_test_support.h"
#include "tests/settings_round_trip.h"

namespace osa::posix {
namespace {

class MediaFilesTest : public test::TempFolderTest {
  protected:
    void SetUp() override {
        TempFolderTest::SetUp();
        Services services{};
        services.files = &files;
        services.profiles = &store;
        previous_ = InstallServices(services);
    }
    void TearDown() override {
        InstallServices(previous_);
        TempFolderTest::TearDown();
    }

    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (int i = 0; i < catalogue.Count; ++i)
            names.emplace_back(MediaName(catalogue.Records[static_cast<std::size_t>(i)]));
        return names;
    }

    LinuxFileSystem files;
    LinuxProfileStore store;
    MediaCatalogue catalogue{};

  private:
    Services previous_{};
};

std::vector<std::string> BuiltInNames() {
    MediaCatalogue builtIn{};
    LoadBuiltInMedia(builtIn);
    std::vector<std::string> names;
    for (int i = 0; i < builtIn.Count; ++i)
        names.emplace_back(MediaName(builtIn.Records[static_cast<std::size_t>(i)]));
    return names;
}

TEST_F(MediaFilesTest, ShippedFilesLoadInBuiltInOrder) {
    int selected = -1;
    LoadMediaCatalogue(catalogue, selected, "Pen", OSA_MEDIA_SOURCE_DIR);
    EXPECT_EQ(Names(), BuiltInNames());
    EXPECT_EQ(selected, 11);
    for (int i = 0; i < catalogue.Count; ++i) {
        const MediaRecord& r = catalogue.Records[static_cast<std::size_t>(i)];
        EXPECT_EQ(r.ConfigurationMode, MediaModifiable) << r.Name;
        EXPECT_EQ(r.ListID, static_cast<std::uint32_t>(i)) << r.Name;
        EXPECT_EQ(r.AdjustedSpeed, 10) << r.Name;
    }
}

TEST_F(MediaFilesTest, AdjustmentsAndUserMediaSurviveARestart) {
    for (const std::string& name : BuiltInNames()) {
        const std::string file = name + ".hcf";
        test::WriteWholeFile(Path(file),
                             test::ReadWholeFile(std::string(OSA_MEDIA_SOURCE_DIR) + "/" + file));
    }
    int selected = -1;
    LoadMediaCatalogue(catalogue, selected, "Vinyl Film", Dir());
    ASSERT_EQ(selected, 2);
    catalogue.Records[2].AdjustedSpeed = 3;
    catalogue.Records[2].AdjustedForce = 1;
    MediumChange change = MediumChange::None;
    int position = -1;
    ASSERT_EQ(AddUserMedium(catalogue, NewMedium{"Kraft, matte", 6, 2, 18, CapRed}, Dir(), Window{},
                            change, position),
              rc::Ok);
    EXPECT_EQ(change, MediumChange::Appended);
    SaveAllMediaFiles(catalogue, Dir());
    const MediaCatalogue saved = catalogue;

    LoadMediaCatalogue(catalogue, selected, "Kraft, matte", Dir());
    EXPECT_EQ(selected, 12);
    ASSERT_EQ(catalogue.Count, 13);
    for (std::size_t i = 0; i < 13; ++i) {
        const MediaRecord& a = saved.Records[i];
        const MediaRecord& b = catalogue.Records[i];
        SCOPED_TRACE(a.Name);
        EXPECT_EQ(MediaName(a), MediaName(b));
        EXPECT_EQ(a.ListID, b.ListID);
        EXPECT_EQ(a.ConfigurationMode, b.ConfigurationMode);
        EXPECT_EQ(a.ConditionNumber, b.ConditionNumber);
        EXPECT_EQ(a.DefaultSpeed, b.DefaultSpeed);
        EXPECT_EQ(a.DefaultForce, b.DefaultForce);
        EXPECT_EQ(a.AdjustedSpeed, b.AdjustedSpeed);
        EXPECT_EQ(a.AdjustedForce, b.AdjustedForce);
        EXPECT_EQ(a.CutterOffset, b.CutterOffset);
        EXPECT_EQ(a.Cap, b.Cap);
    }
    // A rewritten shipped file keeps its CR LF line ends.
    const std::string vinyl = test::ReadWholeFile(Path("Vinyl Film.hcf"));
    EXPECT_NE(vinyl.find("[Modify]\r\nSpeed=3\r\nForce=1\r\n"), std::string::npos) << vinyl;
    for (std::size_t at = vinyl.find('\n'); at != std::string::npos; at = vinyl.find('\n', at + 1))
        EXPECT_TRUE(at > 0 && vinyl[at - 1] == '\r') << "line end at " << at;
}

} // namespace
} // namespace osa::posix

namespace osa::posix {
namespace {

TEST_F(MediaFilesTest, SecondRunReadsBackWhatTheFirstSaved) {
    test::ExpectSecondRunReadsWhatTheFirstSaved(Dir(), OSA_MEDIA_SOURCE_DIR);
}

} // namespace
} // namespace osa::posix
