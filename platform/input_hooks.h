// Thread-wide input hooks: the keyboard and mouse input of the user-interface
// thread, seen before any window of the program sees it (inside modal
// dialogs and message boxes too), with the power to swallow it; and the
// messages sent to the thread's windows. The hook procedures are the core's
// (controller/ui/message_hooks.cpp); each platform calls them from its own
// mechanism:
//   Win32      SetWindowsHookEx(WH_KEYBOARD, WH_MOUSE, WH_CALLWNDPROC) for
//              the thread, no module handle
//   Qt         one application-wide event filter (platform/qt/qt_input_hooks)
//   in memory  the scripted user's keys and clicks (platform/memory/)
// Arguments have the Win32 meanings: a keyboard hook gets the virtual-key
// code and the key flags (bit 31 set for a release, bit 30 for a key that
// was down already, as in auto-repeat); a mouse hook gets the mouse message
// (WM_LBUTTONDOWN, WM_LBUTTONUP, WM_MOUSEMOVE...). A procedure returns
// non-zero to swallow the input, or passes it on with CallNext.
#pragma once
#include <cstdint>

#include "platform/window_host.h"

namespace osa {

namespace hook {
inline constexpr int Action = 0; // HC_ACTION
inline constexpr std::intptr_t KeyReleased = std::intptr_t{1} << 31;
inline constexpr std::intptr_t KeyWasDown = std::intptr_t{1} << 30;
inline constexpr unsigned WmInitDialog = 0x0110;
inline constexpr unsigned WmLButtonDown = 0x0201;
inline constexpr unsigned WmLButtonUp = 0x0202;
inline constexpr std::uintptr_t VkLeft = 0x25, VkUp = 0x26, VkRight = 0x27, VkDown = 0x28;
inline constexpr std::uintptr_t VkSpace = 0x20, VkPrior = 0x21, VkNext = 0x22, VkEnd = 0x23,
                                VkHome = 0x24;
} // namespace hook

// A message sent to a window of the thread, as the call-window-procedure
// hook sees it.
struct SentMessage {
    Window window{};
    unsigned message = 0;
    std::intptr_t native = 0; // the platform's own record of it, for CallNext
};

using KeyboardHook = std::intptr_t (*)(int code, std::uintptr_t virtualKey, std::intptr_t flags);
using MouseHook = std::intptr_t (*)(int code, unsigned message, std::intptr_t data);
using CallWndHook = std::intptr_t (*)(int code, std::uintptr_t sentByThread,
                                      const SentMessage& message);

class InputHooks {
  public:
    enum class Kind { Keyboard, Mouse, CallWnd };
    virtual ~InputHooks() = default;
    // Installs the three for the user-interface thread, in this order; false
    // when one could not be (those installed stay until Remove).
    virtual bool Install(KeyboardHook keyboard, MouseHook mouse, CallWndHook callWnd) = 0;
    // Removes the keyboard, the mouse and the call-window-procedure hook in
    // that order; harmless when none is installed.
    virtual void Remove() = 0;
    // Passes a call on to the next hook of its kind; that hook's answer (0
    // when there is none).
    virtual std::intptr_t CallNext(Kind kind, int code, std::uintptr_t wParam,
                                   std::intptr_t lParam) = 0;
};

// Hooks that install nothing: what the core gets when no platform installed
// any (tests that do not drive input).
class NoInputHooks final : public InputHooks {
  public:
    bool Install(KeyboardHook, MouseHook, CallWndHook) override { return true; }
    void Remove() override {}
    std::intptr_t CallNext(Kind, int, std::uintptr_t, std::intptr_t) override { return 0; }
};

} // namespace osa
