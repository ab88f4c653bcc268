// Input hooks for tests: the scripted user's keys and clicks of the
// in-memory window host pass through them before any window sees them, so
// that scenario tests drive the same hook procedures as real input.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/input_hooks.h"

namespace osa {

class MemoryInputHooks final : public InputHooks {
  public:
    bool Install(KeyboardHook keyboard, MouseHook mouse, CallWndHook callWnd) override;
    void Remove() override;
    std::intptr_t CallNext(Kind, int, std::uintptr_t, std::intptr_t) override { return 0; }

    // The user's side. Each returns true when a hook swallowed the input.
    // A key going down (`repeat`: it was down already) or up.
    bool Key(std::uintptr_t virtualKey, bool down, bool repeat = false);
    bool Mouse(unsigned message);
    bool Installed() const { return keyboard_ != nullptr; }
    // "install" and "remove", in the order they came.
    const std::vector<std::string>& Calls() const { return calls_; }

  private:
    KeyboardHook keyboard_ = nullptr;
    MouseHook mouse_ = nullptr;
    CallWndHook callWnd_ = nullptr;
    std::vector<std::string> calls_;
};

} // namespace osa
