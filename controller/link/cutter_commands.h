// The cutter's command set. Each operation formats its command, writes its
// trace entry, returns at once in demo mode (with the demo answer for a
// query), and otherwise writes the command, reads and parses the reply of a
// query, and turns a generic transfer failure (50) into its own code (see
// result_code.h). Codes 55 to 58 of the link pass through unchanged, except
// that any failed read of a mark reading's verdict is that reading's code.
#pragma once
#include <cstdint>

#include "common/result_code.h"
#include "controller/link/pen_directions.h"

namespace osa {

// Registration-mark distance in micrometres as the cutter takes it: cut to
// whole tenths of a millimetre (toward zero), in units of 0.05 mm.
constexpr std::int32_t MarkDistanceOnWire(std::int32_t micrometres) {
    return 2 * (micrometres / 100);
}

// Queries.
[[nodiscard]] ResultCode SendStartNotice();
// `versionText` holds 512 bytes and a NUL: the four-character version
// ("2.01"), or the demo string in demo mode. 62 when the model word is not
// the cutter's.
[[nodiscard]] ResultCode ReadFirmwareVersion(char* versionText);
// 0 ready, 50 the sensor waits.
[[nodiscard]] ResultCode QueryMarkSensorReady();
[[nodiscard]] ResultCode ReadMarksAuto(std::int32_t searchParameter, std::int32_t distanceXUm,
                                       std::int32_t distanceYUm);
[[nodiscard]] ResultCode ReadMarksManual(std::int32_t searchParameter, std::int32_t distanceXUm,
                                         std::int32_t distanceYUm);
// Out values are the device's values plus 40 (valid 0 to 80); stored also
// when they fail the range test.
[[nodiscard]] ResultCode ReadSensorCorrection(std::int32_t& x, std::int32_t& y);
// Thousandths of a percent (valid -2000 to 2000); stored also when out of range.
[[nodiscard]] ResultCode ReadFeedAdjustment(std::int32_t& adjustment);

// Settings.
[[nodiscard]] ResultCode SendCutCondition(std::int32_t number, std::int32_t speed,
                                          std::int32_t pressure, std::int32_t offset);
[[nodiscard]] ResultCode SendRollAction(std::int32_t value);
[[nodiscard]] ResultCode SendCutConditionNumber(std::int32_t number);
[[nodiscard]] ResultCode SendCutSpeed(std::int32_t speed);
[[nodiscard]] ResultCode SendCutPressure(std::int32_t pressure);
[[nodiscard]] ResultCode SendCutterOffset(std::int32_t offset);
[[nodiscard]] ResultCode SendThickMediaMode(std::int32_t mode);
[[nodiscard]] ResultCode SendDesignOrientation(std::int32_t orientation);
// Moves the blade holder in `directions` (pad::Up .. pad::Right, the pad's
// held directions) while `run` is 1; any other value stops it.
[[nodiscard]] ResultCode MovePen(std::int32_t directions, std::int32_t run);
[[nodiscard]] ResultCode SendTestCut();
[[nodiscard]] ResultCode SendOriginSet();
[[nodiscard]] ResultCode SendMarkSize(double millimetres);
[[nodiscard]] ResultCode StartSensorCorrectionScan();
[[nodiscard]] ResultCode SendFeedAdjustment(std::int32_t adjustment);
[[nodiscard]] ResultCode WriteSensorCorrection(std::int32_t x, std::int32_t y);

} // namespace osa
