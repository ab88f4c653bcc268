#include "controller/ui/message_hooks.h"

#include "controller/app_state.h"
#include "controller/res/control_ids.h"
#include "controller/shell/error_message.h"
#include "controller/ui/position_pad.h"
#include "controller/ui/run_windows.h"
#include "platform/services.h"

namespace osa {

namespace {

struct Arrow {
    std::uintptr_t virtualKey;
    std::int32_t bit;
    Rect PadRects::*area;
};
constexpr Arrow Arrows[] = {{hook::VkLeft, pad::Left, &PadRects::left},
                            {hook::VkUp, pad::Up, &PadRects::up},
                            {hook::VkRight, pad::Right, &PadRects::right},
                            {hook::VkDown, pad::Down, &PadRects::down}};

// The arrow keys that are down now (their direction bits), as the key
// presses and releases the hook saw say, whatever the pad did with them.
std::int32_t g_arrowsDown = 0;

const Arrow* ArrowOf(std::uintptr_t virtualKey) {
    for (const Arrow& a : Arrows)
        if (a.virtualKey == virtualKey) return &a;
    return nullptr;
}

void Show(ResultCode r) {
    if (r != rc::Ok) (void)ShowErrorMessage(MainWindow(), r);
}

} // namespace

void InstallHooks() {
    g_arrowsDown = 0;
    (void)Hooks().Install(KeyboardHookProc, MouseHookProc, CallWndHookProc);
}

void RemoveHooks() {
    Hooks().Remove();
    g_arrowsDown = 0;
}

std::intptr_t KeyboardHookProc(int code, std::uintptr_t virtualKey, std::intptr_t flags) {
    AppState& app = App();
    PositionPad& pad = app.Pad;
    if (code == hook::Action) {
        if ((pad.InputMode & pad::MouseDown) != 0)
            return 1; // keys are lost while the button is down
        const Arrow* arrow = ArrowOf(virtualKey);
        if (arrow != nullptr &&
            (pad.InputMode == pad::Keyboard || pad.InputMode == pad::ArrowHeld)) {
            const Window page = PageWindow();
            const Rect& area = app.PadAreas.*(arrow->area);
            const Point corner{area.left, area.top};
            ResultCode r = rc::Ok;
            if ((flags & hook::KeyReleased) == 0) {
                g_arrowsDown |= arrow->bit;
                pad.InputMode = pad::ArrowHeld;
                // A key that repeats presses nothing more.
                if ((pad.HeldDirections & arrow->bit) == 0) r = OnPadButtonDown(page, corner);
            } else {
                g_arrowsDown &= ~arrow->bit;
                r = OnPadButtonUp(page, corner);
                // The mouse is blocked only while an arrow key is down, also
                // when the pad was disabled meanwhile and holds nothing.
                if (pad.HeldDirections == 0 || g_arrowsDown == 0) pad.InputMode = pad::Keyboard;
            }
            Show(r);
            return 1; // the arrow never reaches the focused control
        }
    }
    return Hooks().CallNext(InputHooks::Kind::Keyboard, code, virtualKey, flags);
}

std::intptr_t MouseHookProc(int code, unsigned message, std::intptr_t data) {
    AppState& app = App();
    PositionPad& pad = app.Pad;
    if (code == hook::Action) {
        if ((pad.InputMode & pad::ArrowHeld) != 0) return 1; // an arrow key is moving the blade
        if (message == hook::WmLButtonDown) {
            if (pad.InputMode == pad::Keyboard) {
                WindowHost& w = Windows();
                w.CheckItem(Window{app.pageDialog}, ctl::UseKeyboard, false);
                w.CheckItem(Window{app.calibrationDialog}, ctl::CalibrationUseKeyboard, false);
                pad.InputMode = pad::KeyboardCancelled | pad::MouseDown;
            } else {
                pad.InputMode = pad::MouseDown;
            }
        } else if (message == hook::WmLButtonUp) {
            if ((pad.InputMode & pad::KeyboardCancelled) != 0)
                pad.InputMode = pad::KeyboardCancelled;
            else if ((pad.InputMode & pad::Keyboard) == 0)
                pad.InputMode = pad::Idle;
        }
    }
    return Hooks().CallNext(InputHooks::Kind::Mouse, code, message, data);
}

std::intptr_t CallWndHookProc(int code, std::uintptr_t sentByThread, const SentMessage& message) {
    // The program's own dialogs and message boxes keep the places their
    // templates and the window host give them: every one of them gets its
    // WM_INITDIALOG sent by this thread, which the test below leaves alone
    // (docs/DECISIONS.md).
    if (code == hook::Action && message.message == hook::WmInitDialog && sentByThread == 0) {
        const AppState& app = App();
        const Window target = message.window;
        const bool ours = target.value == app.mainDialog || target.value == app.pageDialog ||
                          target.value == app.calibrationDialog;
        if (!ours && target) {
            WindowHost& w = Windows();
            const Rect main = w.GetWindowRect(MainWindow());
            const Rect full = app.MainWindowRect;
            const Rect r = w.GetWindowRect(target);
            const int x = main.left + (full.Width() - r.Width()) / 2;
            const int y = main.top + (full.Height() - r.Height()) / 2;
            w.MoveWindow(target, Rect{x, y, x + r.Width(), y + r.Height()}, true);
        }
    }
    return Hooks().CallNext(InputHooks::Kind::CallWnd, code, sentByThread, message.native);
}

} // namespace osa
