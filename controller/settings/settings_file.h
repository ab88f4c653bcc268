// The settings file OSACTL.INI: the user's last choices, read once while the
// main window starts and written once when it closes. Every key has its
// default (the value a missing file or key gives) and its reading rule; the
// start-up sequence calls the Read functions below in its own order, and
// only those whose conditions hold (firmware, cut mode, configuration mode).
//
//   [Version_Section] Version        string 2053; written, never read
//   [Main_Section]    GuideMenu      default 1   non-zero: guide shown
//                     MediaName      default DefaultMediaName, 64 bytes
//                     CutCondAdjust  default 0   as read
//                     RollAction     default 0   non-zero gives 1
//                     Direction      default 0   as read
//                     PosSet         default 0   as read
//                     TomboDisX/Y    default 0   checked as a pair
//                     TomboAutoRead  default 1   non-zero gives 1
//                     Unit           default 1   as read
//                     CutCondition   default 0   outside 0..11 gives 0
//                     CutSpeed       default 1   as read
//                     CutPress       default 1   outside 1..3 gives 1
//
// Files are reached through Profiles() only; nothing here shows a message.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "controller/app_state.h"
#include "controller/settings/media_record.h"

namespace osa {

namespace settings {
inline constexpr std::string_view MainSection = "Main_Section";
inline constexpr std::string_view VersionSection = "Version_Section";
inline constexpr std::string_view Version = "Version";
inline constexpr std::string_view GuideMenu = "GuideMenu";
inline constexpr std::string_view MediaName = "MediaName";
inline constexpr std::string_view CutCondAdjust = "CutCondAdjust";
inline constexpr std::string_view RollAction = "RollAction";
inline constexpr std::string_view Direction = "Direction";
inline constexpr std::string_view PosSet = "PosSet";
inline constexpr std::string_view TomboDisX = "TomboDisX";
inline constexpr std::string_view TomboDisY = "TomboDisY";
inline constexpr std::string_view TomboAutoRead = "TomboAutoRead";
inline constexpr std::string_view Unit = "Unit";
inline constexpr std::string_view CutCondition = "CutCondition";
inline constexpr std::string_view CutSpeed = "CutSpeed";
inline constexpr std::string_view CutPress = "CutPress";
} // namespace settings

// Number of built-in media; a stored condition index must be below it.
inline constexpr std::int32_t BuiltInMediaCount = 12;

// --- Rules on values ---------------------------------------------------------

// A condition index outside 0..11 gives 0.
std::int32_t CorrectCutCondition(std::int32_t index);
// An adjusted force outside 1..3 gives 1.
std::int32_t CorrectCutPress(std::int32_t force);
// True when the pair of mark distances (micrometres) lies in the range of the
// orientation: each distance taken in tenths of a millimetre, truncated
// toward zero, then landscape (direction 0) X 0..970.0 mm and Y 0..192.0 mm,
// portrait (any other direction) X 0..192.0 mm and Y 0..970.0 mm, both ends
// included. Compared in whole tenths, which is what the millimetre check
// with one decimal amounts to, without rounding surprises.
bool MarkDistancesInRange(std::int32_t xUm, std::int32_t yUm, std::int32_t direction);

// --- Reading, one key each, from the file `iniPath` ------------------------

std::int32_t ReadGuideMenu(std::string_view iniPath);     // 1 or 0
std::int32_t ReadCutCondAdjust(std::string_view iniPath); // as read
// At most MaxMediaNameBytes (64) bytes: read into room for 64 and a NUL.
std::string ReadMediaName(std::string_view iniPath);
std::int32_t ReadCutCondition(std::string_view iniPath); // 0..11
std::int32_t ReadCutSpeed(std::string_view iniPath);     // as read
std::int32_t ReadCutPress(std::string_view iniPath);     // 1..3
std::int32_t ReadRollAction(std::string_view iniPath);   // 1 or 0
std::int32_t ReadDirection(std::string_view iniPath); // 0 landscape, any other value 1 (portrait)
std::int32_t ReadPosSet(std::string_view iniPath);    // as read

struct MarkDistances {
    std::int32_t x = 0; // micrometres
    std::int32_t y = 0;
};
// TomboDisX and TomboDisY for the orientation `direction` (the one just
// read): both as stored when the pair is in range, else both 0.
MarkDistances ReadMarkDistances(std::string_view iniPath, std::int32_t direction);

std::int32_t ReadTomboAutoRead(std::string_view iniPath); // 1 or 0
std::int32_t ReadUnit(std::string_view iniPath); // 0 millimetres, any other value 1 (inches)

// --- Writing -------------------------------------------------------------------

// Writes the fourteen keys to `app.iniPath`, one profile write each, in this
// order: Version, GuideMenu, MediaName, CutCondAdjust, RollAction, Direction,
// PosSet, TomboDisX, TomboDisY, TomboAutoRead, Unit, CutCondition, CutSpeed,
// CutPress. `selected` is the record at MediaIndex (name, adjusted speed and
// force). A write that fails is not reported: that key keeps its old value.
void SaveSettings(const AppState& app, const MediaRecord& selected);

} // namespace osa
