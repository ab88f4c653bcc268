// A first run and a second run of the controller's settings and media, on
// whatever profile store and file system are installed: the real ones of
// each platform in the Linux and Windows tests. The first run starts with no
// settings file and the shipped media; the user then changes every setting
// the file keeps; the second run must read back exactly what the first saved.
// The reading follows the start-up order of the main window for a firmware
// 2 cutter in cut mode.
#pragma once
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "controller/app_state.h"
#include "controller/settings/media_catalogue.h"
#include "controller/settings/settings_file.h"
#include "platform/services.h"

namespace osa::test {

struct StartedRun {
    AppState app{};
    int selected = -1;
};

// Reads what the start-up sequence reads from the files of `app`'s paths.
// A cut-mode run with firmware 2, where the guide is the user's.
inline void ReadLikeStartUp(AppState& app) {
    app.options.cutMode = 1;
    app.FirmwareV2 = 1;
    app.StoredGuideMenu = ReadGuideMenu(app.iniPath);
    app.GuideShown = app.StoredGuideMenu;
    app.AdjustSettings = ReadCutCondAdjust(app.iniPath);
    std::string name = ReadMediaName(app.iniPath);
    int selected = 0;
    LoadMediaCatalogue(app.Media, selected, name, app.mediaDir);
    app.MediaIndex = selected;
    app.RollAction = ReadRollAction(app.iniPath);
    app.Direction = ReadDirection(app.iniPath);
    app.MarksOn = ReadPosSet(app.iniPath);
    MarkDistances d = ReadMarkDistances(app.iniPath, app.Direction);
    app.MarkDistX = d.x;
    app.MarkDistY = d.y;
    app.AutoSearchMarks = ReadTomboAutoRead(app.iniPath);
    app.Unit = ReadUnit(app.iniPath);
}

// `programDir` is an empty folder standing for the program's folder; the
// shipped media are copied into its Media folder from `shippedMediaDir`.
inline void ExpectSecondRunReadsWhatTheFirstSaved(const std::string& programDir,
                                                  const std::string& shippedMediaDir) {
    FileSystem& fs = Files();
    const std::string sep(1, fs.PathSeparator());
    const std::string ini = programDir + sep + "OSACTL.INI";
    const std::string media = programDir + sep + "Media";
    ASSERT_TRUE(fs.MakeDirectory(media));
    int shipped = 0;
    for (const FileSystem::Entry& e : fs.List(shippedMediaDir, ".hcf")) {
        ASSERT_TRUE(fs.CopyFileIfMissing(shippedMediaDir + sep + e.name, media + sep + e.name));
        ++shipped;
    }
    ASSERT_EQ(shipped, 12);

    auto fresh = [&] {
        auto app = std::make_unique<AppState>();
        ini.copy(app->iniPath, sizeof app->iniPath - 1);
        media.copy(app->mediaDir, sizeof app->mediaDir - 1);
        return app;
    };

    // First run: no settings file.
    auto first = fresh();
    ReadLikeStartUp(*first);
    ASSERT_EQ(first->Media.Count, 12);
    EXPECT_EQ(first->MediaIndex, 0); // the default name is not a shipped file: the first medium
    EXPECT_EQ(MediaName(first->Media.Records[0]), "Card without Craft Paper Backing");
    EXPECT_EQ(first->GuideShown, 1);
    EXPECT_EQ(first->AdjustSettings, 0);
    EXPECT_EQ(first->RollAction, 0);
    EXPECT_EQ(first->Direction, 0);
    EXPECT_EQ(first->MarksOn, 0);
    EXPECT_EQ(first->MarkDistX, 0);
    EXPECT_EQ(first->MarkDistY, 0);
    EXPECT_EQ(first->AutoSearchMarks, 1);
    EXPECT_EQ(first->Unit, 1);

    // The user changes everything the files keep, then closes.
    first->MediaIndex = 2;
    MediaRecord& vinyl = first->Media.Records[2];
    ASSERT_EQ(MediaName(vinyl), "Vinyl Film");
    vinyl.AdjustedSpeed = 7;
    vinyl.AdjustedForce = 1;
    first->GuideShown = 0;
    first->AdjustSettings = 1;
    first->RollAction = 1;
    first->Direction = 1;
    first->MarksOn = 1;
    first->MarkDistX = 150000; // portrait: X up to 192.0 mm
    first->MarkDistY = 900000;
    first->AutoSearchMarks = 0;
    first->Unit = 0;
    SaveSettings(*first, vinyl);
    SaveAllMediaFiles(first->Media, first->mediaDir);

    // Second run.
    auto second = fresh();
    ReadLikeStartUp(*second);
    ASSERT_EQ(second->Media.Count, 12);
    EXPECT_EQ(second->MediaIndex, 2);
    EXPECT_EQ(second->Media.Records[2].AdjustedSpeed, 7);
    EXPECT_EQ(second->Media.Records[2].AdjustedForce, 1);
    EXPECT_EQ(second->Media.Records[2].DefaultSpeed, 10);
    EXPECT_EQ(second->Media.Records[2].DefaultForce, 2);
    EXPECT_EQ(second->GuideShown, 0);
    EXPECT_EQ(second->AdjustSettings, 1);
    EXPECT_EQ(second->RollAction, 1);
    EXPECT_EQ(second->Direction, 1);
    EXPECT_EQ(second->MarksOn, 1);
    EXPECT_EQ(second->MarkDistX, 150000);
    EXPECT_EQ(second->MarkDistY, 900000);
    EXPECT_EQ(second->AutoSearchMarks, 0);
    EXPECT_EQ(second->Unit, 0);
    for (int i = 0; i < 12; ++i) {
        if (i == 2) continue;
        SCOPED_TRACE(i);
        const MediaRecord& a = first->Media.Records[static_cast<std::size_t>(i)];
        const MediaRecord& b = second->Media.Records[static_cast<std::size_t>(i)];
        EXPECT_EQ(MediaName(a), MediaName(b));
        EXPECT_EQ(a.AdjustedSpeed, b.AdjustedSpeed);
        EXPECT_EQ(a.AdjustedForce, b.AdjustedForce);
        EXPECT_EQ(a.ConditionNumber, b.ConditionNumber);
    }
    // The version line is written on every run.
    EXPECT_EQ(Profiles().ReadText(ini, "Version_Section", "Version", "", 513),
              "Ostrandel Advanced Controller Version 2.01");
}

} // namespace osa::test
