#include "controller/settings/settings_file.h"

#include <algorithm>
#include <string>

#include "controller/res/resource_ids.h"
#include "controller/res/resources.h"
#include "controller/settings/platform_names.h"
#include "platform/services.h"

namespace osa {

namespace {

std::int32_t ReadMain(std::string_view iniPath, std::string_view key, std::int32_t defaultValue) {
    return Profiles().ReadInt(iniPath, settings::MainSection, key, defaultValue);
}

std::int32_t Flag(std::int32_t value) {
    return value != 0 ? 1 : 0;
}

// Whole tenths of a millimetre: micrometres / 100, truncated toward zero.
std::int32_t Tenths(std::int32_t micrometres) {
    return micrometres / 100;
}

// The text of a fixed field: its bytes up to the first NUL, at most `limit`.
std::string_view FieldText(const char* field, std::size_t limit) {
    return std::string_view(
        field, static_cast<std::size_t>(std::find(field, field + limit, '\0') - field));
}

void WriteMain(std::string_view iniPath, std::string_view key, std::string_view value) {
    (void)Profiles().WriteText(iniPath, settings::MainSection, key, value);
}

void WriteMain(std::string_view iniPath, std::string_view key, std::int32_t value) {
    WriteMain(iniPath, key, std::to_string(value));
}

} // namespace

std::int32_t CorrectCutCondition(std::int32_t index) {
    return (index < 0 || index >= BuiltInMediaCount) ? 0 : index;
}

std::int32_t CorrectCutPress(std::int32_t force) {
    return (force < 1 || force > 3) ? 1 : force;
}

bool MarkDistancesInRange(std::int32_t xUm, std::int32_t yUm, std::int32_t direction) {
    constexpr std::int32_t kLong = 9700;  // 970.0 mm
    constexpr std::int32_t kShort = 1920; // 192.0 mm
    const std::int32_t xLimit = direction == 0 ? kLong : kShort;
    const std::int32_t yLimit = direction == 0 ? kShort : kLong;
    const std::int32_t x = Tenths(xUm);
    const std::int32_t y = Tenths(yUm);
    return x >= 0 && x <= xLimit && y >= 0 && y <= yLimit;
}

std::int32_t ReadGuideMenu(std::string_view iniPath) {
    return Flag(ReadMain(iniPath, settings::GuideMenu, 1));
}

std::int32_t ReadCutCondAdjust(std::string_view iniPath) {
    return ReadMain(iniPath, settings::CutCondAdjust, 0);
}

std::string ReadMediaName(std::string_view iniPath) {
    return Profiles().ReadText(iniPath, settings::MainSection, settings::MediaName,
                               DefaultMediaName, MaxMediaNameBytes + 1);
}

std::int32_t ReadCutCondition(std::string_view iniPath) {
    return CorrectCutCondition(ReadMain(iniPath, settings::CutCondition, 0));
}

std::int32_t ReadCutSpeed(std::string_view iniPath) {
    return ReadMain(iniPath, settings::CutSpeed, 1);
}

std::int32_t ReadCutPress(std::string_view iniPath) {
    return CorrectCutPress(ReadMain(iniPath, settings::CutPress, 1));
}

std::int32_t ReadRollAction(std::string_view iniPath) {
    return Flag(ReadMain(iniPath, settings::RollAction, 0));
}

// Any value but 0 is portrait, as the page shows it: the checks and the
// cutter's orientation command then agree with what is shown.
std::int32_t ReadDirection(std::string_view iniPath) {
    return Flag(ReadMain(iniPath, settings::Direction, 0));
}

std::int32_t ReadPosSet(std::string_view iniPath) {
    return ReadMain(iniPath, settings::PosSet, 0);
}

MarkDistances ReadMarkDistances(std::string_view iniPath, std::int32_t direction) {
    const MarkDistances stored{ReadMain(iniPath, settings::TomboDisX, 0),
                               ReadMain(iniPath, settings::TomboDisY, 0)};
    if (!MarkDistancesInRange(stored.x, stored.y, direction)) return MarkDistances{};
    return stored;
}

std::int32_t ReadTomboAutoRead(std::string_view iniPath) {
    return Flag(ReadMain(iniPath, settings::TomboAutoRead, 1));
}

// Any value but 0 is inches, as the page shows it and converts.
std::int32_t ReadUnit(std::string_view iniPath) {
    return Flag(ReadMain(iniPath, settings::Unit, 1));
}

void SaveSettings(const AppState& app, const MediaRecord& selected) {
    const std::string_view ini = FieldText(app.iniPath, sizeof app.iniPath);
    const std::string_view name =
        FieldText(selected.Name, static_cast<std::size_t>(MaxMediaNameBytes));

    (void)Profiles().WriteText(ini, settings::VersionSection, settings::Version,
                               res::LoadString(ids::StrVersionLine));
    // The guide is the user's to show or hide only in cut mode with firmware
    // 2.0 or later; a run without it keeps the choice the file held.
    const bool guideInUse = app.options.cutMode != 0 && app.FirmwareV2 == 1;
    const std::int32_t guide = guideInUse ? app.GuideShown : app.StoredGuideMenu;
    WriteMain(ini, settings::GuideMenu, guide != 0 ? "1" : "0");
    WriteMain(ini, settings::MediaName, name);
    WriteMain(ini, settings::CutCondAdjust, app.AdjustSettings);
    WriteMain(ini, settings::RollAction, app.RollAction != 0 ? "1" : "0");
    WriteMain(ini, settings::Direction, app.Direction);
    WriteMain(ini, settings::PosSet, app.MarksOn);
    WriteMain(ini, settings::TomboDisX, app.MarkDistX);
    WriteMain(ini, settings::TomboDisY, app.MarkDistY);
    WriteMain(ini, settings::TomboAutoRead, app.AutoSearchMarks != 0 ? "1" : "0");
    WriteMain(ini, settings::Unit, app.Unit);
    WriteMain(ini, settings::CutCondition, app.MediaIndex);
    WriteMain(ini, settings::CutSpeed, selected.AdjustedSpeed);
    WriteMain(ini, settings::CutPress, selected.AdjustedForce);
}

} // namespace osa
