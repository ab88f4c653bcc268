// The main window (template 10): the one window that lives for the whole run.
#pragma once
#include <cstdint>

#include "platform/window_host.h"

namespace osa {

inline constexpr int ExitClosed = 0;
inline constexpr int ExitCancelled = 1;
inline constexpr int ExitCut = 2;
inline constexpr int ExitStartupFailed = 101;

std::intptr_t MainDialogProc(Window dialog, const DialogMessage& message);

} // namespace osa
