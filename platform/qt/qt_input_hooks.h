// The input hooks on Linux: one application-wide event filter that hands
// every key and mouse event of the program's widgets to the core's hook
// procedures before the widget sees it, with the Win32 arguments (virtual-key
// code; key flags with bit 31 for a release and bit 30 for auto-repeat;
// WM_LBUTTONDOWN, WM_LBUTTONUP, WM_MOUSEMOVE), and drops what they swallow.
// An event that Qt hands on to a parent widget is offered once. The
// call-window-procedure hook is never called: Qt sends no WM_INITDIALOG,
// and the program's dialogs keep the places the host gives them.
#pragma once
#include <QObject>

#include <cstdint>

#include "platform/input_hooks.h"

class QKeyEvent;

namespace osa {

class QtInputHooks final : public QObject, public InputHooks {
  public:
    QtInputHooks() = default;
    ~QtInputHooks() override;

    bool Install(KeyboardHook keyboard, MouseHook mouse, CallWndHook callWnd) override;
    void Remove() override;
    std::intptr_t CallNext(Kind, int, std::uintptr_t, std::intptr_t) override { return 0; }

    // The virtual-key code of a Qt key (arrows, letters, digits and the keys
    // the dialogs use); 0 for any other.
    static std::uintptr_t VirtualKey(int qtKey);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    bool Seen(QEvent* event);

    KeyboardHook keyboard_ = nullptr;
    MouseHook mouse_ = nullptr;
    const QEvent* lastEvent_ = nullptr;
    int lastType_ = 0;
    unsigned long long lastTimestamp_ = 0;
};

} // namespace osa
