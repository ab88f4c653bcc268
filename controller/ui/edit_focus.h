// Where a dialog sends the user back to a text it refused.
#pragma once
#include "platform/services.h"
#include "platform/window_host.h"

namespace osa {

// Gives control `id` of `dialog` the focus with all its text selected.
inline void FocusAndSelect(Window dialog, int id) {
    Windows().SetFocusItem(dialog, id);
    Windows().EditSetSelection(dialog, id, 0, -1);
}

} // namespace osa
