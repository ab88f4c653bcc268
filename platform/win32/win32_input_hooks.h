// The input hooks on Windows: WH_KEYBOARD, WH_MOUSE and WH_CALLWNDPROC for
// the calling thread (no module handle), each calling the core's procedure;
// removed in that order by Remove or the destructor. One set per process.
#pragma once
#include "platform/input_hooks.h"
#include "platform/win32/win32_api.h"

namespace osa::win32 {

class Win32InputHooks final : public InputHooks {
  public:
    Win32InputHooks() = default;
    ~Win32InputHooks() override { Remove(); }
    Win32InputHooks(const Win32InputHooks&) = delete;
    Win32InputHooks& operator=(const Win32InputHooks&) = delete;

    bool Install(KeyboardHook keyboard, MouseHook mouse, CallWndHook callWnd) override;
    void Remove() override;
    std::intptr_t CallNext(Kind kind, int code, std::uintptr_t wParam,
                           std::intptr_t lParam) override;

  private:
    static LRESULT CALLBACK KeyboardThunk(int code, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK MouseThunk(int code, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK CallWndThunk(int code, WPARAM wParam, LPARAM lParam);

    HHOOK keyboard_ = nullptr;
    HHOOK mouse_ = nullptr;
    HHOOK callWnd_ = nullptr;
};

} // namespace osa::win32
