// The Qt window host, input: what the user does with the keyboard and the
// mouse, handed to the dialog manager; focus moves; mouse capture; the wait
// cursor; discarding input.
#include "platform/qt/qt_window_records.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QKeyEvent>
#include <QMessageBox>
#include <QMouseEvent>
#include <QTimer>

namespace osa {

namespace qt {

namespace {

// The marker DiscardPendingInput posts behind the queued input.
const QEvent::Type DiscardMarker = static_cast<QEvent::Type>(QEvent::registerEventType());

bool IsInput(QEvent::Type type) {
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::NonClientAreaMouseButtonPress:
    case QEvent::NonClientAreaMouseButtonRelease:
    case QEvent::NonClientAreaMouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TouchCancel:
    case QEvent::TabletPress:
    case QEvent::TabletMove:
    case QEvent::TabletRelease:
        return true;
    default:
        return false;
    }
}

} // namespace

void InputFilter::Discard() {
    // Input queued by the window system reaches the application in the next
    // turns of the event loop; two turns of a marker posted behind it see it
    // all through. Nothing is delivered here.
    if (discardTurns_ == 0) PostMarker();
    discardTurns_ = 2;
}

void InputFilter::PostMarker() {
    QCoreApplication::postEvent(this, new QEvent(DiscardMarker), Qt::LowEventPriority);
}

bool InputFilter::event(QEvent* event) {
    if (event->type() != DiscardMarker) return QObject::event(event);
    if (discardTurns_ > 0 && --discardTurns_ > 0) PostMarker();
    return true;
}

bool InputFilter::eventFilter(QObject* watched, QEvent* event) {
    if (Discarding() && IsInput(event->type())) return true;
    if (waitCursor && event->type() == QEvent::MouseMove) {
        waitCursor = false;
        QApplication::restoreOverrideCursor();
    }
    return QObject::eventFilter(watched, event);
}

} // namespace qt

void QtWindowHost::InstallInput() {
    QCoreApplication::instance()->installEventFilter(inputFilter_.get());
    QObject::connect(qApp, &QApplication::focusChanged, inputFilter_.get(),
                     [this](QWidget* old, QWidget* now) { FocusChanged(old, now); });
}

void QtWindowHost::RemoveInput() {
    if (QCoreApplication* app = QCoreApplication::instance())
        app->removeEventFilter(inputFilter_.get());
    QObject::disconnect(qApp, &QApplication::focusChanged, inputFilter_.get(), nullptr);
    if (inputFilter_->waitCursor) QApplication::restoreOverrideCursor();
    if (capture_) capture_->releaseMouse();
}

void QtWindowHost::FocusChanged(QWidget* old, QWidget* now) {
    ControlRecord* from = ControlOfWidget(old);
    ControlRecord* to = ControlOfWidget(now);
    manager_.FocusMoved(from != nullptr ? ItemOf(from->handle) : DialogItem{},
                        to != nullptr ? ItemOf(to->handle) : DialogItem{});
}

bool QtWindowHost::MouseEvent(std::uintptr_t dialog, QMouseEvent* mouse) {
    Msg msg = Msg::MouseMove;
    if (mouse->type() != QEvent::MouseMove) {
        if (mouse->button() != Qt::LeftButton) return true;
        // A quick second click comes as a double click; the interface has
        // no such message, so it is a press like the first.
        msg = mouse->type() == QEvent::MouseButtonRelease ? Msg::LButtonUp : Msg::LButtonDown;
    }
    const QPoint p = mouse->globalPosition().toPoint();
    const Qt::MouseButtons buttons = mouse->buttons();
    const Qt::KeyboardModifiers mods = mouse->modifiers();
    const unsigned keys = ((buttons & Qt::LeftButton) ? mk::LButton : 0u) |
                          ((buttons & Qt::RightButton) ? mk::RButton : 0u) |
                          ((mods & Qt::ShiftModifier) ? mk::Shift : 0u) |
                          ((mods & Qt::ControlModifier) ? mk::Control : 0u) |
                          ((buttons & Qt::MiddleButton) ? mk::MButton : 0u);
    (void)manager_.Mouse(Window{dialog}, msg, Point{p.x(), p.y()}, keys);
    mouse->accept();
    return true;
}

bool QtWindowHost::KeyPress(DialogRecord& dialog, QWidget* surface, QKeyEvent* event) {
    // Keys no control took reach the dialog; the top-level dialog answers
    // Enter and Esc, as IsDialogMessage does for the dialog of its loop.
    switch (event->key()) {
    case Qt::Key_F1:
        manager_.Help(Window{dialog.handle});
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return surface->isWindow() && manager_.Enter(Window{dialog.handle});
    case Qt::Key_Escape:
        return surface->isWindow() && manager_.Escape(Window{dialog.handle});
    case Qt::Key_Left:
    case Qt::Key_Up:
    case Qt::Key_Right:
    case Qt::Key_Down:
        // Arrows a button did not take move through its group.
        if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) return false;
        return manager_.GroupArrow(FocusIn(Window{dialog.handle}),
                                   event->key() == Qt::Key_Left || event->key() == Qt::Key_Up);
    default:
        return false;
    }
}

bool QtWindowHost::SurfaceEvent(std::uintptr_t dialog, QWidget* surface, QEvent* event) {
    auto record = FindDialog(dialog);
    if (!record || manager_.Ended(Window{dialog})) return false;
    switch (event->type()) {
    case QEvent::Paint:
        PaintSurface(*record, surface);
        return true;
    case QEvent::MouseMove:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseButtonRelease:
        return MouseEvent(dialog, static_cast<QMouseEvent*>(event));
    case QEvent::KeyPress:
        return KeyPress(*record, surface, static_cast<QKeyEvent*>(event));
    case QEvent::Close:
        if (!surface->isWindow()) return false;
        event->ignore();
        // The close button or Alt+F4. Without a system menu, or after
        // RemoveCloseCommand, there is no close command to give.
        (void)manager_.CloseButton(Window{dialog});
        return true;
    case QEvent::WindowActivate:
    case QEvent::WindowDeactivate:
        if (surface->isWindow()) {
            // X keeps no grab for a window that is not active.
            if (event->type() == QEvent::WindowDeactivate && capture_ &&
                capture_->window() == surface)
                ReleaseCapture();
            DialogMessage m;
            m.msg = Msg::Activate;
            m.code = event->type() == QEvent::WindowActivate ? 1 : 0;
            m.minimized = surface->isMinimized();
            (void)Send(dialog, m);
        }
        return false;
    default:
        return false;
    }
}

void QtWindowHost::SetForeground(Window window) {
    QWidget* w = WidgetOf(window);
    if (w == nullptr) return;
    w->window()->raise();
    w->window()->activateWindow();
}

void QtWindowHost::SetCapture(Window window) {
    QWidget* w = WidgetOf(window);
    if (w == nullptr || !FindDialog(window.value) || !w->isVisible()) return;
    if (capture_ && capture_ != w) capture_->releaseMouse();
    capture_ = w;
    w->grabMouse();
    manager_.SetCapture(window);
}

void QtWindowHost::ReleaseCapture() {
    if (capture_) capture_->releaseMouse();
    capture_ = nullptr;
    manager_.ReleaseCapture();
}

void QtWindowHost::SetWaitCursor(bool wait) {
    if (wait && !inputFilter_->waitCursor) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        inputFilter_->waitCursor = true;
    } else if (!wait && inputFilter_->waitCursor) {
        QApplication::restoreOverrideCursor();
        inputFilter_->waitCursor = false;
    }
}

void QtWindowHost::DiscardPendingInput() {
    // Runs nothing now: no event is delivered inside this call.
    inputFilter_->Discard();
}

void QtWindowHost::RequestClose() {
    // The innermost window first.
    QPointer<QWidget> top = QApplication::activeModalWidget();
    std::uintptr_t dialog = 0;
    if (top) {
        QVariant value = top->property(qt::DialogProperty);
        if (value.isValid()) dialog = static_cast<std::uintptr_t>(value.toULongLong());
    } else {
        for (auto it = modalStack_.rbegin(); it != modalStack_.rend() && dialog == 0; ++it)
            if (auto record = FindDialog(*it); record && !record->ended) dialog = *it;
        if (dialog == 0) return;
    }

    bool closed = false;
    if (dialog != 0) {
        manager_.CloseFromOutside(Window{dialog});
        closed = !FindDialog(dialog) || manager_.Ended(Window{dialog});
    } else if (auto* box = qobject_cast<QMessageBox*>(top.data())) {
        if (QAbstractButton* escape = box->escapeButton())
            escape->click();
        else
            box->reject();
        closed = !box->isVisible();
    } else {
        closed = top->close();
    }
    // The window's loop ends once this returns; then the next one in.
    if (closed) QTimer::singleShot(0, inputFilter_.get(), [this] { RequestClose(); });
}

} // namespace osa
