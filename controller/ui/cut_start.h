// How a run ends after a successful start: "Cut..." in cut mode (StartCut,
// exit code 2), or a close, "Cancel" or Esc (FinishController, 0 or 1). Both
// save the settings file and the media files, then CloseController ends the
// main dialog.
#pragma once
#include "common/result_code.h"

namespace osa {

// Cut mode only. Reads the registration marks when the job has them and the
// automatic search is on, asks the cutter whether it holds valid marks
// ("FQ5") and the user (question 2103) when it does not; then saves and
// ends with 2. Returns 0 also when the user declines the question (the
// controller stays open); a failure leaves everything as it was.
[[nodiscard]] ResultCode StartCut();

// Saves and ends with `exitCode` (0 or 1). Sends nothing to the cutter.
void FinishController(int exitCode);

// "Cut..." (and Enter): StartCut in cut mode, else save and end with 0.
[[nodiscard]] ResultCode CutOrClose();
// "Cancel" (and Esc): save and end with 1 in cut mode; nothing otherwise.
void CancelJob();

} // namespace osa
