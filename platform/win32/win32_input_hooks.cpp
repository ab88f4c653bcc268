#include "platform/win32/win32_input_hooks.h"

#include "platform/win32/win32_window_host.h"

namespace osa::win32 {

namespace {

// The core's procedures; a hook procedure is a plain function.
KeyboardHook g_keyboard = nullptr;
MouseHook g_mouse = nullptr;
CallWndHook g_callWnd = nullptr;

} // namespace

bool Win32InputHooks::Install(KeyboardHook keyboard, MouseHook mouse, CallWndHook callWnd) {
    Remove();
    g_keyboard = keyboard;
    g_mouse = mouse;
    g_callWnd = callWnd;
    const DWORD thread = GetCurrentThreadId();
    keyboard_ = SetWindowsHookExW(WH_KEYBOARD, KeyboardThunk, nullptr, thread);
    mouse_ = SetWindowsHookExW(WH_MOUSE, MouseThunk, nullptr, thread);
    callWnd_ = SetWindowsHookExW(WH_CALLWNDPROC, CallWndThunk, nullptr, thread);
    return keyboard_ != nullptr && mouse_ != nullptr && callWnd_ != nullptr;
}

void Win32InputHooks::Remove() {
    for (HHOOK* h : {&keyboard_, &mouse_, &callWnd_}) {
        if (*h != nullptr) UnhookWindowsHookEx(*h);
        *h = nullptr;
    }
    g_keyboard = nullptr;
    g_mouse = nullptr;
    g_callWnd = nullptr;
}

std::intptr_t Win32InputHooks::CallNext(Kind, int code, std::uintptr_t wParam,
                                        std::intptr_t lParam) {
    return CallNextHookEx(nullptr, code, static_cast<WPARAM>(wParam), static_cast<LPARAM>(lParam));
}

LRESULT CALLBACK Win32InputHooks::KeyboardThunk(int code, WPARAM wParam, LPARAM lParam) {
    if (code < 0 || g_keyboard == nullptr) return CallNextHookEx(nullptr, code, wParam, lParam);
    return g_keyboard(code, wParam, lParam);
}

LRESULT CALLBACK Win32InputHooks::MouseThunk(int code, WPARAM wParam, LPARAM lParam) {
    if (code < 0 || g_mouse == nullptr) return CallNextHookEx(nullptr, code, wParam, lParam);
    return g_mouse(code, static_cast<unsigned>(wParam), lParam);
}

LRESULT CALLBACK Win32InputHooks::CallWndThunk(int code, WPARAM wParam, LPARAM lParam) {
    const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code < 0 || g_callWnd == nullptr || sent == nullptr)
        return CallNextHookEx(nullptr, code, wParam, lParam);
    return g_callWnd(code, wParam, SentMessage{FromHwnd(sent->hwnd), sent->message, lParam});
}

} // namespace osa::win32
