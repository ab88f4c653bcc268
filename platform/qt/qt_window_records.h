// What the three files of the Qt window host share: the records of dialogs
// and controls, the input filter, and small conversions. Not for use
// outside platform/qt/qt_window_*.cpp.
#pragma once
#include <QColor>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QWidget>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/qt/qt_window_host.h"

class QPainter;

namespace osa {

struct QtWindowHost::DialogRecord {
    std::uintptr_t handle = 0;
    const dlg::DialogTemplate* tmpl = nullptr;
    DialogProc proc = nullptr;
    std::uintptr_t parent = 0; // modeless: the dialog it belongs to
    bool modal = false;
    bool ended = false; // EndDialog was called
    std::intptr_t result = 0;
    bool closeRemoved = false;
    QPointer<QWidget> surface;
    qt::BaseUnits units;
    std::vector<std::uintptr_t> controls;   // template order
    QPainter* painter = nullptr;            // while its Paint message runs
    std::vector<qt::HotSpotState> hotSpots; // SetHotSpots
};

struct QtWindowHost::ControlRecord {
    std::uintptr_t handle = 0;
    std::uintptr_t dialog = 0;
    int id = dlg::NoId;
    const dlg::ControlTemplate* tmpl = nullptr;
    QPointer<QWidget> widget;
};

namespace qt {

inline constexpr const char* ControlProperty = "osa_control"; // window value of a control widget
inline constexpr const char* DialogProperty = "osa_dialog";   // window value of a dialog surface

inline QString Utf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

inline std::string ToUtf8(const QString& text) {
    return text.toUtf8().toStdString();
}

inline Rect ToRect(const QRect& r) {
    return Rect{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}

inline QColor ToQColor(Colour c) {
    return QColor(static_cast<int>(RedOf(c)), static_cast<int>(GreenOf(c)),
                  static_cast<int>(BlueOf(c)));
}

// The window flags of a top-level dialog made from `t`.
Qt::WindowFlags WindowFlagsFor(const dlg::DialogTemplate& t);

// Application-wide event filter for Win32 behaviours Qt has no call for:
//   - DiscardPendingInput: keyboard and mouse events queued when it was
//     called are dropped before any widget sees them (until the event loop
//     has come round twice to a marker posted behind them);
//   - the wait cursor lasts until the mouse next moves, as a cursor set with
//     SetCursor lasts until the next WM_SETCURSOR.
class InputFilter final : public QObject {
  public:
    bool waitCursor = false;

    // Starts dropping input; stops by itself once the input queued so far
    // has been delivered (and dropped).
    void Discard();
    bool Discarding() const { return discardTurns_ > 0; }

    bool eventFilter(QObject* watched, QEvent* event) override;

  protected:
    bool event(QEvent* event) override;

  private:
    void PostMarker();

    int discardTurns_ = 0;
};

} // namespace qt
} // namespace osa
