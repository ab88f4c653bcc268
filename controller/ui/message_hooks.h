// The three input hooks of the user-interface thread: the arrow keys drive
// the blade position pad while keyboard positioning is on, the left mouse
// button keeps the pad's input mode in step (a click switches keyboard
// positioning off; the mouse is blocked while an arrow key moves the
// blade, the keyboard while the mouse button is down), and the
// call-window-procedure hook sees the thread's new dialogs.
#pragma once
#include <cstdint>

#include "platform/input_hooks.h"

namespace osa {

// Installs the keyboard, mouse and call-window-procedure hooks (the last
// start-up step of the main dialog).
void InstallHooks();
// Removes them, in that order; harmless when they were never installed.
void RemoveHooks();

std::intptr_t KeyboardHookProc(int code, std::uintptr_t virtualKey, std::intptr_t flags);
std::intptr_t MouseHookProc(int code, unsigned message, std::intptr_t data);
std::intptr_t CallWndHookProc(int code, std::uintptr_t sentByThread, const SentMessage& message);

} // namespace osa
