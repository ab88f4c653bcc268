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
ResultCode SendStartNotice();
// `versionText` holds 512 bytes and a NUL: the four-character version
// ("2.01"), or the demo string in demo mode. 62 when the model word is not
// the cutter's.
ResultCode ReadFirmwareVersion(char* versionText);
// 0 ready, 50 the sensor waits.
ResultCode QueryMarkSensorReady();
ResultCode ReadMarksAuto(std::int32_t searchParameter, std::int32_t distanceXUm,
                         std::int32_t distanceYUm);
ResultCode ReadMarksManual(std::int32_t searchParameter, std::int32_t distanceXUm,
                           std::int32_t distanceYUm);
// Out values are the device's values plus 40 (valid 0 to 80); stored also
// when they fail the range test.
ResultCode ReadSensorCorrection(std::int32_t& x, std::int32_t& y);
// Thousandths of a percent (valid -2000 to 2000); stored also when out of range.
ResultCode ReadFeedAdjustment(std::int32_t& adjustment);

// Settings.
ResultCode SendCutCondition(std::int32_t number, std::int32_t speed, std::int32_t pressure,
                            std::int32_t offset);
ResultCode SendRollAction(std::int32_t value);
ResultCode SendCutConditionNumber(std::int32_t number);
ResultCode SendCutSpeed(std::int32_t speed);
ResultCode SendCutPressure(std::int32_t pressure);
ResultCode SendCutterOffset(std::int32_t offset);
ResultCode SendThickMediaMode(std::int32_t mode);
ResultCode SendDesignOrientation(std::int32_t orientation);
// Moves the blade holder in `directions` (pad::Up .. pad::Right, the pad's
// held directions) while `run` is 1; any other value stops it.
ResultCode MovePen(std::int32_t directions, std::int32_t run);
ResultCode SendTestCut();
ResultCode SendOriginSet();
ResultCode SendMarkSize(double millimetres);
ResultCode StartSensorCorrectionScan();
ResultCode SendFeedAdjustment(std::int32_t adjustment);
ResultCode WriteSensorCorrection(std::int32_t x, std::int32_t y);

} // namespace osa
