// The Calibration dialog (template 12): the registration-mark sensor's
// position correction in X and Y (written to the cutter with every completed
// step of its two bars), the mark reading test, the media feed-direction
// distance correction (sent when the dialog closes), "Use Keyboard" for the
// position pad, and help. Modal over the main window; opened from the page.
#pragma once
#include <cstdint>
#include <optional>
#include <string_view>

#include "common/result_code.h"
#include "platform/window_host.h"

namespace osa {

// The dialog's procedure: TRUE only for WM_HELP. Escape does nothing; the
// dialog ends through "Close" (or Enter) only.
std::intptr_t CalibrationDialogProc(Window dialog, const DialogMessage& message);

void InitCalibrationDialog(Window dialog);

// A correction value (0..80, 40 = none) shown as "X:%d" / "Y:%d" of value - 40
// beside its bar, and as the bar's position.
void ShowSensorCorrectionX(Window dialog, std::int32_t value);
void ShowSensorCorrectionY(Window dialog, std::int32_t value);

// Asks 2102 on the dialog; on OK the cutter scans a mark ("TB70").
[[nodiscard]] ResultCode RunMarkReadingTest(Window dialog);

// Reads the feed correction text of the dialog's edit, checks it (209 for a
// text that is not a number or not within -2.00..+2.00, the edit focused
// with its text selected) and sends it cut to two decimals; `stored` takes
// the value sent, in thousandths of a percent, when the cutter took it.
[[nodiscard]] ResultCode ApplyFeedAdjustment(Window dialog, std::int32_t& stored);

// The value a feed correction text sends, in thousandths of a percent: the
// text must pass CheckNumberText and lie within -2.000..+2.000 as typed; the
// value is then that of the text cut after two decimals. Nothing for a text
// refused (209).
std::optional<std::int32_t> FeedAdjustmentToSend(std::string_view text);

// 0 for -2000..2000 (thousandths of a percent), else 209.
[[nodiscard]] ResultCode CheckFeedAdjustment(std::int32_t value);

} // namespace osa
