// The settings file: defaults with no file, the reading rule of every key,
// and SaveSettings' fourteen writes, read back by the next run.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "controller/res/resource_ids.h"
#include "controller/res/resources.h"
#include "controller/settings/platform_names.h"
#include "controller/settings/settings_file.h"
#include "tests/test_support.h"

namespace osa {
namespace {

constexpr const char* kIni = "/opt/osactl/OSACTL.INI";

using IntRule = std::function<std::int32_t(std::string_view)>;

class SettingsFileTest : public test::CoreTest {
  protected:
    void SetUp() override {
        CoreTest::SetUp();
        files.AddDirectory("/opt/osactl");
        std::strcpy(App().iniPath, kIni);
    }
    void Store(std::string_view key, std::string_view value) {
        ASSERT_TRUE(profiles.WriteText(kIni, "Main_Section", key, value));
    }
};

struct IntRuleRow {
    const char* key;
    IntRule read;
    std::int32_t defaultValue;
};

const std::vector<IntRuleRow>& IntRules() {
    static const std::vector<IntRuleRow> rows = {
        {"GuideMenu", ReadGuideMenu, 1},         {"CutCondAdjust", ReadCutCondAdjust, 0},
        {"CutCondition", ReadCutCondition, 0},   {"CutSpeed", ReadCutSpeed, 1},
        {"CutPress", ReadCutPress, 1},           {"RollAction", ReadRollAction, 0},
        {"Direction", ReadDirection, 0},         {"PosSet", ReadPosSet, 0},
        {"TomboAutoRead", ReadTomboAutoRead, 1}, {"Unit", ReadUnit, 1},
    };
    return rows;
}

TEST_F(SettingsFileTest, NoFileGivesTheDefaults) {
    for (const IntRuleRow& r : IntRules()) {
        SCOPED_TRACE(r.key);
        EXPECT_EQ(r.read(kIni), r.defaultValue);
    }
    EXPECT_EQ(ReadMediaName(kIni), DefaultMediaName);
    const MarkDistances marks = ReadMarkDistances(kIni, 0);
    EXPECT_EQ(marks.x, 0);
    EXPECT_EQ(marks.y, 0);
}

TEST_F(SettingsFileTest, EachKeyFollowsItsRule) {
    struct Row {
        const char* key;
        IntRule read;
        const char* stored;
        std::int32_t expected;
    };
    const Row rows[] = {
        {"CutCondition", ReadCutCondition, "-1", 0},
        {"CutCondition", ReadCutCondition, "12", 0},
        {"CutCondition", ReadCutCondition, "11", 11},
        {"CutCondition", ReadCutCondition, "5", 5},
        {"CutPress", ReadCutPress, "0", 1},
        {"CutPress", ReadCutPress, "4", 1},
        {"CutPress", ReadCutPress, "-2", 1},
        {"CutPress", ReadCutPress, "3", 3},
        {"CutSpeed", ReadCutSpeed, "15", 15}, // taken as read
        {"CutSpeed", ReadCutSpeed, "-3", -3},
        {"RollAction", ReadRollAction, "5", 1},
        {"RollAction", ReadRollAction, "-1", 1},
        {"RollAction", ReadRollAction, "0", 0},
        {"GuideMenu", ReadGuideMenu, "0", 0},
        {"GuideMenu", ReadGuideMenu, "2", 1},
        {"TomboAutoRead", ReadTomboAutoRead, "0", 0},
        {"TomboAutoRead", ReadTomboAutoRead, "7", 1},
        {"Unit", ReadUnit, "0", 0},
        {"Unit", ReadUnit, "5", 1}, // shown, checked and converted as inches
        {"Unit", ReadUnit, "-1", 1},
        {"Direction", ReadDirection, "2", 1}, // shown, checked and sent as portrait
        {"Direction", ReadDirection, "-3", 1},
        {"CutCondAdjust", ReadCutCondAdjust, "3", 3},
        {"PosSet", ReadPosSet, "1", 1},
        {"Unit", ReadUnit, "", 1}, // empty value: the default
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(std::string(r.key) + "=" + r.stored);
        Store(r.key, r.stored);
        EXPECT_EQ(r.read(kIni), r.expected);
    }
}

TEST_F(SettingsFileTest, MarkDistancesOutOfRangeResetBoth) {
    struct Row {
        std::int32_t x, y, direction;
        bool kept;
    };
    const Row rows[] = {
        {971000, 0, 0, false},     // 971.0 mm in landscape
        {970099, 0, 0, true},      // 970.0 mm after truncation
        {970100, 5000, 0, false},  // 970.1 mm
        {5000, 192099, 0, true},   // Y 192.0 mm
        {5000, 192100, 0, false},  // Y 192.1 mm resets X too
        {192099, 970099, 1, true}, // portrait swaps the limits
        {192100, 5000, 1, false},  {970000, 0, 1, false},
        {192000, 970000, 2, true}, // any non-zero direction is portrait
        {-100, 0, 0, false},       // -0.1 mm
        {-99, 0, 0, true},         // -0.099 mm truncates to 0.0
        {0, -100, 0, false},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(std::to_string(r.x) + " " + std::to_string(r.y) + " direction " +
                     std::to_string(r.direction));
        EXPECT_EQ(MarkDistancesInRange(r.x, r.y, r.direction), r.kept);
        Store("TomboDisX", std::to_string(r.x));
        Store("TomboDisY", std::to_string(r.y));
        const MarkDistances read = ReadMarkDistances(kIni, r.direction);
        EXPECT_EQ(read.x, r.kept ? r.x : 0);
        EXPECT_EQ(read.y, r.kept ? r.y : 0);
    }
}

// A record as the catalogue holds it.
MediaRecord Record(std::string_view name, std::int32_t speed, std::int32_t force) {
    MediaRecord record{};
    std::memcpy(record.Name, name.data(), name.size());
    record.AdjustedSpeed = speed;
    record.AdjustedForce = force;
    return record;
}

// Only a run with the guide in use (cut mode, firmware 2.0 or later) writes
// the guide's state; any other run writes back what the file held.
TEST_F(SettingsFileTest, TheGuideChoiceIsWrittenOnlyWhereTheGuideWasInUse) {
    struct Case {
        std::uint32_t cutMode;
        std::int32_t firmwareV2, shown, stored;
        const char* written;
    };
    const Case cases[] = {
        {1, 1, 0, 1, "0"}, {1, 1, 1, 0, "1"}, // cut mode: the user's choice
        {0, 1, 0, 1, "1"}, {0, 1, 0, 0, "0"}, // stand-alone
        {1, 0, 0, 1, "1"},                    // firmware 1: no guide
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "cut mode " << c.cutMode << ", firmware 2 "
                                          << c.firmwareV2 << ", stored " << c.stored);
        AppState& app = App();
        app.options.cutMode = c.cutMode;
        app.FirmwareV2 = c.firmwareV2;
        app.GuideShown = c.shown;
        app.StoredGuideMenu = c.stored;
        profiles.ClearWrites();
        SaveSettings(app, Record("Card", 4, 3));
        ASSERT_GE(profiles.Writes().size(), 2u);
        EXPECT_EQ(profiles.Writes()[1].key, "GuideMenu");
        EXPECT_EQ(profiles.Writes()[1].value, c.written);
    }
}

TEST_F(SettingsFileTest, SaveWritesTheFourteenKeysInOrder) {
    AppState& app = App();
    app.options.cutMode = 1;
    app.FirmwareV2 = 1;
    app.GuideShown = 5;
    app.AdjustSettings = 3;
    app.RollAction = 7;
    app.Direction = 1;
    app.MarksOn = 1;
    app.MarkDistX = 192000;
    app.MarkDistY = -25;
    app.AutoSearchMarks = 0;
    app.Unit = 0;
    app.MediaIndex = 104;
    SaveSettings(app, Record("Photo Paper", 9, 2));

    struct Expected {
        std::string_view section, key, value;
    };
    const std::string version(res::LoadString(ids::StrVersionLine));
    const Expected expected[] = {
        {"Version_Section", "Version", version},
        {"Main_Section", "GuideMenu", "1"},
        {"Main_Section", "MediaName", "Photo Paper"},
        {"Main_Section", "CutCondAdjust", "3"},
        {"Main_Section", "RollAction", "1"},
        {"Main_Section", "Direction", "1"},
        {"Main_Section", "PosSet", "1"},
        {"Main_Section", "TomboDisX", "192000"},
        {"Main_Section", "TomboDisY", "-25"},
        {"Main_Section", "TomboAutoRead", "0"},
        {"Main_Section", "Unit", "0"},
        {"Main_Section", "CutCondition", "104"},
        {"Main_Section", "CutSpeed", "9"},
        {"Main_Section", "CutPress", "2"},
    };
    const auto& writes = profiles.Writes();
    ASSERT_EQ(writes.size(), std::size(expected));
    for (std::size_t i = 0; i < writes.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(writes[i].file, kIni);
        EXPECT_EQ(writes[i].section, expected[i].section);
        EXPECT_EQ(writes[i].key, expected[i].key);
        EXPECT_EQ(writes[i].value, expected[i].value);
        EXPECT_TRUE(writes[i].ok);
    }
    EXPECT_EQ(version, "Ostrandel Advanced Controller Version 2.01");
}

TEST_F(SettingsFileTest, WhatIsSavedIsReadBackByTheNextRun) {
    files.AddFile(kIni, "; kept\n[Main_Section]\nForeign=x\n");
    AppState& app = App();
    app.options.cutMode = 1;
    app.FirmwareV2 = 1;
    app.GuideShown = 0;
    app.AdjustSettings = 1;
    app.RollAction = 1;
    app.Direction = 0;
    app.MarksOn = 1;
    app.MarkDistX = 970099;
    app.MarkDistY = 150000;
    app.AutoSearchMarks = 1;
    app.Unit = 0;
    app.MediaIndex = 7;
    // A name of exactly 64 bytes (21 three-byte characters and one more).
    std::string name;
    for (int i = 0; i < 21; ++i)
        name += "\xE3\x81\x82";
    name += "x";
    ASSERT_EQ(name.size(), 64u);
    SaveSettings(app, Record(name, 15, 3));

    EXPECT_EQ(ReadGuideMenu(kIni), 0);
    EXPECT_EQ(ReadCutCondAdjust(kIni), 1);
    EXPECT_EQ(ReadMediaName(kIni), name);
    EXPECT_EQ(ReadCutCondition(kIni), 7);
    EXPECT_EQ(ReadCutSpeed(kIni), 15);
    EXPECT_EQ(ReadCutPress(kIni), 3);
    EXPECT_EQ(ReadRollAction(kIni), 1);
    EXPECT_EQ(ReadDirection(kIni), 0);
    EXPECT_EQ(ReadPosSet(kIni), 1);
    const MarkDistances marks = ReadMarkDistances(kIni, 0);
    EXPECT_EQ(marks.x, 970099);
    EXPECT_EQ(marks.y, 150000);
    EXPECT_EQ(ReadTomboAutoRead(kIni), 1);
    EXPECT_EQ(ReadUnit(kIni), 0);

    const std::string text = files.FileContents(kIni).value_or("");
    EXPECT_TRUE(text.starts_with("; kept\n[Main_Section]\nForeign=x\nGuideMenu=0\n")) << text;
}

TEST_F(SettingsFileTest, AFailedWriteKeepsThatKeyOnly) {
    const std::string before = "[Main_Section]\nUnit=1\nDirection=0\nCutPress=2\n";
    App().Unit = 0;
    App().Direction = 1;
    const MediaRecord record = Record("Card", 4, 3);
    for (int n = 1; n <= 14; ++n) {
        SCOPED_TRACE(n);
        files.AddFile(kIni, before);
        profiles.ClearWrites();
        profiles.FailWrite(n);
        SaveSettings(App(), record);
        const auto& writes = profiles.Writes();
        ASSERT_EQ(writes.size(), 14u);
        const std::string& failedKey = writes[static_cast<std::size_t>(n - 1)].key;
        EXPECT_EQ(ReadUnit(kIni), failedKey == "Unit" ? 1 : 0);
        EXPECT_EQ(ReadDirection(kIni), failedKey == "Direction" ? 0 : 1);
        EXPECT_EQ(ReadCutPress(kIni), failedKey == "CutPress" ? 2 : 3);
        EXPECT_EQ(ReadCutSpeed(kIni), failedKey == "CutSpeed" ? 1 : 4);
    }
}

TEST_F(SettingsFileTest, NoSettingsPathWritesNothing) {
    App().iniPath[0] = '\0';
    SaveSettings(App(), Record("Card", 4, 3));
    for (const auto& w : profiles.Writes())
        EXPECT_FALSE(w.ok) << w.key;
    EXPECT_EQ(files.Changes(), 0);
}

} // namespace
} // namespace osa
