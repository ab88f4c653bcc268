#include "platform/memory/memory_input_hooks.h"

namespace osa {

bool MemoryInputHooks::Install(KeyboardHook keyboard, MouseHook mouse, CallWndHook callWnd) {
    keyboard_ = keyboard;
    mouse_ = mouse;
    callWnd_ = callWnd;
    calls_.emplace_back("install");
    return true;
}

void MemoryInputHooks::Remove() {
    if (keyboard_ == nullptr && mouse_ == nullptr && callWnd_ == nullptr) return;
    keyboard_ = nullptr;
    mouse_ = nullptr;
    callWnd_ = nullptr;
    calls_.emplace_back("remove");
}

bool MemoryInputHooks::Key(std::uintptr_t virtualKey, bool down, bool repeat) {
    if (keyboard_ == nullptr) return false;
    std::intptr_t flags = 1; // repeat count
    if (!down) flags |= hook::KeyReleased | hook::KeyWasDown;
    if (repeat) flags |= hook::KeyWasDown;
    return keyboard_(hook::Action, virtualKey, flags) != 0;
}

bool MemoryInputHooks::Mouse(unsigned message) {
    return mouse_ != nullptr && mouse_(hook::Action, message, 0) != 0;
}

} // namespace osa
