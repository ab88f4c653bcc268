// The main window (template 10): the one window that lives for the whole
// run. Its start-up sequence prepares the cutter before the user sees
// anything; it holds the cut settings page and the operation guide, paints
// itself in its own colours, and routes Enter, Esc and the close request to
// the same operations as the page's "Cut..." and "Cancel".
#pragma once
#include <cstdint>

#include "common/result_code.h"
#include "platform/window_host.h"

namespace osa {

inline constexpr int ExitClosed = 0;
inline constexpr int ExitCancelled = 1;
inline constexpr int ExitCut = 2;
inline constexpr int ExitStartupFailed = 101;

inline constexpr Colour MainBackgroundColour = Rgb(0, 29, 160);
inline constexpr Colour StepHighlightColour = Rgb(255, 64, 192);
inline constexpr Colour LabelColour = Rgb(255, 255, 255);

std::intptr_t MainDialogProc(Window dialog, const DialogMessage& message);

// The start-up sequence; the first non-zero code of any step stops it.
[[nodiscard]] ResultCode InitMainDialog();
// The title, step and message fonts, made and given to their controls.
void CreateDialogFonts();
// Frees the printer table, the link events and the companion program, then
// ends the main dialog with `exitCode`.
void CloseController(int exitCode);

} // namespace osa
