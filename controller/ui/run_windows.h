// The windows of the run and its mode, as the main window, the guide and
// the page address them.
#pragma once
#include "controller/app_state.h"
#include "platform/window_host.h"

namespace osa {

inline Window MainWindow() {
    return Window{App().mainDialog};
}

inline Window PageWindow() {
    return Window{App().pageDialog};
}

// Started by a printing application for a job (-CUTMODE).
inline bool InCutMode() {
    return App().options.cutMode != 0;
}

} // namespace osa
