// The Qt widgets that stand for the windows of a Win32 dialog: the dialog
// surfaces (a modal or pop-up QDialog, a child page) and the controls whose
// behaviour Qt does not give as Win32 does (statics that ask their dialog
// for colours on every paint, a drop-down list that reports its pop-up, a
// scroll bar that does not move by itself, an edit that reports losing the
// focus). Each widget knows its host only through SurfaceSink and its own
// window value; platform/qt/qt_window_host.cpp owns the rest.
//
// Layout in dialog units is Windows': the base units come from the dialog's
// font (see DialogBaseUnits) and every coordinate is converted with MulDiv.
#pragma once
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFont>
#include <QLabel>
#include <QLineEdit>
#include <QProxyStyle>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QWidget>

#include <cstdint>
#include <optional>

#include "platform/dialog_template.h"
#include "platform/window_host.h"

class QKeyEvent;

namespace osa::qt {

// Win32's MulDiv for the small non-negative and negative values of layouts:
// a * b / c rounded half away from zero.
int MulDiv(int a, int b, int c);

struct BaseUnits {
    int x = 0; // average character width of the dialog font
    int y = 0; // character height of the dialog font
};

// The font a template asks for. "MS Sans Serif" and "MS Shell Dlg" are
// Windows bitmap and alias fonts; they map to Liberation Sans (package
// fonts-liberation2, installed by the project's scripts), whose widths are
// those of Arial and whose dialog base units at 8 points (6 x 12) are
// closest to the Windows dialog font's (6 x 13), at the template's point
// size.
QFont DialogFont(const dlg::DialogTemplate& dialog);

// The default GUI font: Windows' is the dialog font at 8 points.
QFont GuiFont();

// Windows' dialog base units for `font`: x is the width of the 52 letters
// A-Z a-z divided by 52 and rounded, y the font height (ascent + descent,
// rounded up from Qt's fractional metrics, as a line is laid out).
BaseUnits DialogBaseUnits(const QFont& font);

// Dialog units to pixels: x and width scale by x/4, y and height by y/8.
QRect MapDialogUnits(const BaseUnits& units, const dlg::DluRect& rect);

// How a static wants to be painted, as its dialog answered CtlColorStatic.
struct StaticPaint {
    bool hollow = false;              // no background painted at all
    std::optional<QColor> background; // the brush; none: the default face colour
    std::optional<QColor> text;
};

// A drawn button of a surface (WindowHost::SetHotSpots), as the host keeps it.
struct HotSpotState {
    QString name;
    QRect rect; // surface coordinates
    bool enabled = true;
    bool pressed = false;
    bool operator==(const HotSpotState&) const = default;
};

// What the widgets report to the host. Every call names the window value of
// the widget (control or dialog) it comes from. The host hands each on to
// its dialog manager, which turns it into messages (platform/dialog_manager.h).
class SurfaceSink {
  public:
    // An event of a dialog surface. True when the host consumed it.
    virtual bool SurfaceEvent(std::uintptr_t dialog, QWidget* surface, QEvent* event) = 0;
    // Asks the static's dialog how to paint it (sends CtlColorStatic).
    virtual StaticPaint StaticColours(std::uintptr_t control) = 0;
    // A notification of a control, sent as Command(id, code) to its dialog.
    virtual void Notify(std::uintptr_t control, int code) = 0;
    // A button was clicked (by the mouse or the space bar).
    virtual void Clicked(std::uintptr_t control) = 0;
    // A drop-down list: its pop-up opened; closed with or without a choice;
    // a choice made on the closed box.
    virtual void ListDroppedDown(std::uintptr_t control) = 0;
    virtual void ListClosed(std::uintptr_t control, bool chosen) = 0;
    virtual void ListChoiceOnClosedBox(std::uintptr_t control) = 0;
    // A scroll bar: a step (SB_LINE*, SB_PAGE*, SB_LEFT/RIGHT), the button
    // that made it let go, a key pressed on the focused bar (a virtual-key
    // code; false when the bar does not take it), the thumb pressed,
    // dragged and let go.
    virtual void ScrollStep(std::uintptr_t control, int code) = 0;
    virtual void ScrollReleased(std::uintptr_t control) = 0;
    virtual bool ScrollKey(std::uintptr_t control, std::uintptr_t virtualKey) = 0;
    virtual void ThumbPressed(std::uintptr_t control, int position) = 0;
    virtual void ThumbTracked(std::uintptr_t control, int position) = 0;
    virtual void ThumbReleased(std::uintptr_t control, int position) = 0;
    // The drawn buttons of a surface, for assistive technology.
    virtual std::vector<HotSpotState> HotSpotsOf(std::uintptr_t dialog) = 0;

  protected:
    ~SurfaceSink() = default;
};

// The application's style with the spacing of Win32's buttons, for the
// controls of the dialogs: the templates' rectangles are Windows', where a
// check box or radio button is a 13-pixel box with its text 4 pixels after
// it and a push button's text may reach almost to its edges; with the
// style's own, larger spacing the texts would not fit.
class ControlStyle final : public QProxyStyle {
  public:
    // The one instance, owned by the application (widgets do not own the
    // style they are given, and some outlive the host that made them).
    static ControlStyle* Instance();

    int pixelMetric(PixelMetric metric, const QStyleOption* option = nullptr,
                    const QWidget* widget = nullptr) const override;
    // A push button's text may use its whole width, as a Win32 button's
    // centred text does (the frame is drawn under it).
    QRect subElementRect(SubElement element, const QStyleOption* option,
                         const QWidget* widget) const override;
};

// Buttons whose check state only the dialog manager changes (it toggles an
// auto check box and checks an auto radio button in its group), and that
// leave Enter to their dialog, as Win32 buttons do.
class PushControl final : public QPushButton {
  public:
    using QPushButton::QPushButton;

  protected:
    void nextCheckState() override {}
    void keyPressEvent(QKeyEvent* event) override;
};
class CheckControl final : public QCheckBox {
  public:
    using QCheckBox::QCheckBox;

  protected:
    void nextCheckState() override {}
    void keyPressEvent(QKeyEvent* event) override;
};
class RadioControl final : public QRadioButton {
  public:
    using QRadioButton::QRadioButton;

  protected:
    void nextCheckState() override {}
    void keyPressEvent(QKeyEvent* event) override;
};

// The program's interfaces for assistive technology: radio buttons are
// announced as radio buttons, although Qt's own says "check box" for one
// that is not auto-exclusive (the dialog manager keeps the groups), and a
// page shows its drawn buttons (the blade position pad) as buttons after
// its controls. Installed once, before any window.
void InstallAccessibility();

// A modal or pop-up dialog. Ends only through Finish(): Qt's own ways of
// closing a QDialog (accept, reject, Esc, the close button) go to the host
// as events and become messages to the dialog procedure.
class DialogWindow final : public QDialog {
  public:
    DialogWindow(QWidget* owner, Qt::WindowFlags flags, SurfaceSink& sink, std::uintptr_t handle);

    void Finish();
    bool Finishing() const { return finishing_; }

    void done(int result) override;

  protected:
    bool event(QEvent* event) override;

  private:
    SurfaceSink& sink_;
    std::uintptr_t handle_;
    bool finishing_ = false;
};

// A child dialog (a page) inside another dialog's client area.
class PageWidget final : public QWidget {
  public:
    PageWidget(QWidget* parent, SurfaceSink& sink, std::uintptr_t handle);
    // Its drawn buttons (the blade position pad), as assistive technology
    // sees them; pressing one is a mouse press and release in its middle.
    std::vector<HotSpotState> HotSpots() const { return sink_.HotSpotsOf(handle_); }
    void PressHotSpot(const QRect& spot);

  protected:
    bool event(QEvent* event) override;

  private:
    SurfaceSink& sink_;
    std::uintptr_t handle_;
};

// A static control: text, picture or icon. Before each paint it asks its
// dialog for colours, as a Win32 static sends WM_CTLCOLORSTATIC, and fills
// its rectangle with the brush (the default face colour when none). Text
// follows the Win32 static rules: word wrap, '&' marks a mnemonic, "&&" is
// an ampersand. A picture or icon static whose image is missing paints
// nothing, so it does not hide its neighbours.
class StaticLabel final : public QLabel {
  public:
    enum class Kind { Text, Image };
    StaticLabel(QWidget* parent, SurfaceSink& sink, std::uintptr_t handle, Kind kind,
                int textFlags);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    SurfaceSink& sink_;
    std::uintptr_t handle_;
    Kind kind_;
    int textFlags_;
};

// A drop-down list. Reports its pop-up opening, the pop-up closing with or
// without a choice, and a choice on the closed box (arrow keys, typing, the
// wheel, or an item selected in its list through the accessibility
// interface). Qt hides the pop-up before it announces the choice, so the
// closing is reported once the event that closed it has been handled.
// Programmatic selection reports nothing.
class ComboControl final : public QComboBox {
  public:
    ComboControl(QWidget* parent, SurfaceSink& sink, std::uintptr_t handle);

    void showPopup() override;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void PopupClosed();
    // After a change of the pop-up view's selection: when the pop-up is
    // closed and the selection is not the current item, it was chosen from
    // outside.
    void CheckSelectionFromOutside();

    SurfaceSink& sink_;
    std::uintptr_t handle_;
    bool popupOpen_ = false;
    bool picked_ = false;
    bool closePending_ = false; // closed; the closing notifications are still due
    bool watchingPopup_ = false;
    bool selectionCheckPending_ = false;
};

// A scroll bar that, like a Win32 scroll bar control, only reports: the
// position changes when the dialog procedure sets it (SetPosition). It
// reports steps (arrow, page area), their button let go, keys pressed on
// it, and the thumb dragged and let go. While dragging, the thumb follows
// the mouse; let go, it returns to the position the procedure set. A value
// set from outside (the accessibility interface) is put back and reported
// as the thumb dragged there and let go.
class ScrollControl final : public QScrollBar {
  public:
    ScrollControl(Qt::Orientation orientation, QWidget* parent, SurfaceSink& sink,
                  std::uintptr_t handle);

    void SetRange(int min, int max);
    void SetPosition(int pos);

  protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    // With the focus, a focus frame round the bar (the style draws none;
    // Windows marks a focused bar by its blinking thumb).
    void paintEvent(QPaintEvent* event) override;

  private:
    void OnAction(int action);
    void ValueSetFromOutside(int value);

    SurfaceSink& sink_;
    std::uintptr_t handle_;
    bool setting_ = false; // our own changes are not reported
    int position_ = 0;     // the value the procedure set
};

// An edit. EN_CHANGE is connected by the host; focus moves are reported by
// the host for every control at once (QApplication::focusChanged).
using EditControl = QLineEdit;

} // namespace osa::qt
