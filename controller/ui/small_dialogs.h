// The Media loading dialog (template 17), shown when the guide arrives at
// the media-loading step, and the About dialog (template 13).
#pragma once
#include <cstdint>

#include "platform/window_host.h"

namespace osa {

std::intptr_t MediaLoadingDialogProc(Window dialog, const DialogMessage& message);
// Hides the four loading figures of `dialog` and shows the one for the
// marks and the orientation.
void ShowLoadingFigure(Window dialog, std::int32_t marksOn, std::int32_t direction);
std::intptr_t AboutDialogProc(Window dialog, const DialogMessage& message);

} // namespace osa
