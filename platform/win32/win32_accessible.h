// The drawn buttons of a window (the blade position pad) shown to assistive
// technology: an IAccessible server for the window's client area whose
// children are the hot spots, each a push button with its name and state,
// whose default action is a mouse press and release in its middle. The
// window's own answers (its role, parent, focus) come from the system's
// standard object. The list is shared with the host, so a client holding
// the object sees the states as they change.
#pragma once
#include "platform/win32/win32_api.h"

#include <memory>
#include <string>
#include <vector>

#include "platform/window_host.h"

namespace osa::win32 {

struct AccessibleSpot {
    std::wstring name;
    Rect rect; // client coordinates, edges inside
    bool enabled = true;
    bool pressed = false;
};
using AccessibleSpots = std::shared_ptr<std::vector<AccessibleSpot>>;

// The answer to WM_GETOBJECT for OBJID_CLIENT (LresultFromObject); 0 when the
// object cannot be made.
LRESULT AnswerGetObject(HWND window, WPARAM wParam, const AccessibleSpots& spots);

} // namespace osa::win32
