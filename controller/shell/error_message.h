// Showing a result code to the user, in one of three presentations:
//   51, 200-210, 250-254  message box with the exclamation icon
//   57, 62                beep, then the communication-error box (template 15),
//                         always owned by the main window
//   anything else         message box with the stop icon
// The text is the code's string followed by " [code = N]".
#pragma once
#include <cstdint>
#include <string>

#include "common/result_code.h"
#include "platform/window_host.h"

namespace osa {

// The code's string joined with the code by "%s [code = %d]". A code without
// a string gives only " [code = N]".
std::string FormatErrorText(ResultCode code);

// Shows `code` to the user; returns what the box or dialog returned.
std::intptr_t ShowErrorMessage(Window owner, ResultCode code);

// Procedure of the communication-error box; its creation parameter is the code.
std::intptr_t CommErrorDialogProc(Window dialog, const DialogMessage& message);

} // namespace osa
