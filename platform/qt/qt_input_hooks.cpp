#include "platform/qt/qt_input_hooks.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>

namespace osa {

QtInputHooks::~QtInputHooks() {
    Remove();
}

bool QtInputHooks::Install(KeyboardHook keyboard, MouseHook mouse, CallWndHook) {
    Remove();
    keyboard_ = keyboard;
    mouse_ = mouse;
    if (QCoreApplication* app = QCoreApplication::instance()) {
        app->installEventFilter(this);
        return true;
    }
    return false;
}

void QtInputHooks::Remove() {
    if (keyboard_ == nullptr && mouse_ == nullptr) return;
    if (QCoreApplication* app = QCoreApplication::instance()) app->removeEventFilter(this);
    keyboard_ = nullptr;
    mouse_ = nullptr;
    lastEvent_ = nullptr;
}

std::uintptr_t QtInputHooks::VirtualKey(int qtKey) {
    switch (qtKey) {
    case Qt::Key_Left:
        return hook::VkLeft;
    case Qt::Key_Up:
        return hook::VkUp;
    case Qt::Key_Right:
        return hook::VkRight;
    case Qt::Key_Down:
        return hook::VkDown;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return 0x0D;
    case Qt::Key_Escape:
        return 0x1B;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return 0x09;
    case Qt::Key_Space:
        return hook::VkSpace;
    case Qt::Key_PageUp:
        return hook::VkPrior;
    case Qt::Key_PageDown:
        return hook::VkNext;
    case Qt::Key_End:
        return hook::VkEnd;
    case Qt::Key_Home:
        return hook::VkHome;
    case Qt::Key_F1:
        return 0x70;
    default:
        if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) return static_cast<std::uintptr_t>(qtKey);
        if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) return static_cast<std::uintptr_t>(qtKey);
        return 0;
    }
}

bool QtInputHooks::Seen(QEvent* event) {
    // Qt offers an event a widget ignored to its parent, through the filter
    // again: the same event, the same time stamp.
    const auto* input = static_cast<QInputEvent*>(event);
    const unsigned long long stamp = input->timestamp();
    if (event == lastEvent_ && lastType_ == event->type() && lastTimestamp_ == stamp) return true;
    lastEvent_ = event;
    lastType_ = event->type();
    lastTimestamp_ = stamp;
    return false;
}

bool QtInputHooks::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    const bool key = type == QEvent::KeyPress || type == QEvent::KeyRelease;
    const bool mouse = type == QEvent::MouseButtonPress || type == QEvent::MouseButtonRelease ||
                       type == QEvent::MouseButtonDblClick || type == QEvent::MouseMove;
    // Input reaches a window first and then its widget: the widget's turn.
    if ((!key && !mouse) || !watched->isWidgetType() || Seen(event))
        return QObject::eventFilter(watched, event);
    if (key && keyboard_ != nullptr) {
        auto* k = static_cast<QKeyEvent*>(event);
        // An auto-repeat comes as a release and a press; the release is no
        // key going up.
        if (type == QEvent::KeyRelease && k->isAutoRepeat()) return false;
        std::intptr_t flags = 1;
        if (type == QEvent::KeyRelease) flags |= hook::KeyReleased | hook::KeyWasDown;
        if (k->isAutoRepeat()) flags |= hook::KeyWasDown;
        return keyboard_(hook::Action, VirtualKey(k->key()), flags) != 0;
    }
    if (mouse && mouse_ != nullptr) {
        auto* m = static_cast<QMouseEvent*>(event);
        unsigned message = 0x0200; // WM_MOUSEMOVE
        if (type != QEvent::MouseMove) {
            const bool release = type == QEvent::MouseButtonRelease;
            switch (m->button()) {
            case Qt::LeftButton:
                message = release ? hook::WmLButtonUp : hook::WmLButtonDown;
                break;
            case Qt::RightButton:
                message = release ? 0x0205u : 0x0204u;
                break;
            default:
                message = release ? 0x0208u : 0x0207u;
                break;
            }
        }
        return mouse_(hook::Action, message, 0) != 0;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace osa
