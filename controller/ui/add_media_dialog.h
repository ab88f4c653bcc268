// The Add Media dialog (template 14): a user medium of the user's own, with
// its name, speed, thickness and blade adjustment cap, added at the end of
// the media list (its file written at once) or, for the name of a user
// medium that exists, that medium's values changed after asking. Either
// way the page then makes it the current medium.
#pragma once
#include <cstdint>

#include "common/result_code.h"
#include "platform/window_host.h"

namespace osa {

// The dialog's procedure; it always returns FALSE.
std::intptr_t AddMediaDialogProc(Window dialog, const DialogMessage& message);

void InitAddMediaDialog(Window dialog);

// Speed and thickness (force) as numbers beside their bars and as the bars'
// positions.
void ShowNewMediaValues(Window dialog, std::int32_t speed, std::int32_t force);

// Shows the picture of cap 1 (Blue), 2 (Yellow) or 3 (Red); none for another value.
void ShowNewMediaCap(Window dialog, std::int32_t cap);

// OK: adds or updates the medium of the form and ends the dialog with 1; 254
// for a name that cannot be used, 253 for a full list; 0 with the dialog
// left open when the user declines to update a medium of that name.
[[nodiscard]] ResultCode AddMediaOk(Window dialog);

} // namespace osa
