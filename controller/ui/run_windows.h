// The windows of the run and its mode, as the main window, the guide and
// the page address them.
#pragma once
#include <cstdint>

#include "controller/app_state.h"
#include "platform/window_host.h"

namespace osa {

inline Window MainWindow() {
    return Window{App().mainDialog};
}

inline Window PageWindow() {
    return Window{App().pageDialog};
}

// Keeps a dialog's handle in the application state while it lives: every
// message stores it, and a closed dialog leaves no handle behind.
inline void RememberHandle(std::uintptr_t& slot, Window dialog, Msg msg) {
    slot = msg == Msg::Destroy ? 0 : dialog.value;
}

// Started by a printing application for a job (-CUTMODE).
inline bool InCutMode() {
    return App().options.cutMode != 0;
}

} // namespace osa
