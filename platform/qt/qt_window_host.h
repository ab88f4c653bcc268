// The window host on Linux: Qt 6 Widgets windows built from the dialog
// templates of controller/res, driven by the same dialog procedures as on
// Windows. docs/QT.md describes the layout, the messages synthesised from Qt
// events and signals, and where the two systems differ.
//
// Window values are handed out from a counter, one per dialog and per
// control, and are never reused while the host lives; a value from another
// program (the -OWNER option) is simply not found and so means no window.
//
// The Win32 dialog manager's rules (what a click, Enter, the close box, a
// focus move or a drop-down list sends) come from platform/dialog_manager.h;
// this host only tells it what Qt reports. The host's code is in three
// files: qt_window_build.cpp (widgets from a template), qt_window_input.cpp
// (input events, focus, capture, wait cursor, discarding input) and
// qt_window_host.cpp (the rest).
//
// Needs a QApplication. Everything runs on the thread that made it.
#pragma once
#include <QPointer>

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "platform/dialog_manager.h"
#include "platform/dialog_template.h"
#include "platform/qt/qt_dialog_widgets.h"
#include "platform/window_host.h"

class QPainter;

namespace osa {

namespace qt {
class InputFilter;
}

class QtWindowHost final : public WindowHost, private qt::SurfaceSink, private DialogSite {
  public:
    // `templates`: the dialogs it can show.
    explicit QtWindowHost(dlg::DialogTemplates templates);
    ~QtWindowHost() override;
    QtWindowHost(const QtWindowHost&) = delete;
    QtWindowHost& operator=(const QtWindowHost&) = delete;

    // A close request from outside the program (SIGTERM): the innermost
    // modal window is closed first (a message box as by its Esc key, a
    // dialog through SysCommand(SC_CLOSE), Close, Command(IDCANCEL)), then
    // the next, down to the main window. A window that refuses stays open and
    // the request stops there.
    void RequestClose();

    // The widget of a window value (a dialog's surface or a control), or
    // nullptr. For tests and the program's entry.
    QWidget* WidgetOf(Window window) const;

    // --- WindowHost ---------------------------------------------------------
    std::intptr_t DialogBox(int templateId, Window owner, DialogProc proc,
                            std::intptr_t param) override;
    Window CreateDialog(int templateId, Window parent, DialogProc proc,
                        std::intptr_t param) override;
    void EndDialog(Window dialog, std::intptr_t result) override;
    Window GetItem(Window dialog, int id) override;
    int MessageBox(Window owner, std::string_view text, std::string_view caption,
                   unsigned style) override;
    void Beep() override;
    void SetCaption(Window window, std::string_view text) override;
    std::string GetCaption(Window window) override;
    void SetWindowIcon(Window window, int iconId) override;
    void SetItemText(Window dialog, int id, std::string_view text) override;
    std::string GetItemText(Window dialog, int id) override;
    void EnableItem(Window dialog, int id, bool enable) override;
    bool IsItemEnabled(Window dialog, int id) override;
    void ShowItem(Window dialog, int id, bool show) override;
    bool IsItemVisible(Window dialog, int id) override;
    void CheckItem(Window dialog, int id, bool checked) override;
    bool IsItemChecked(Window dialog, int id) override;
    void SetScrollRange(Window dialog, int id, int min, int max, bool redraw) override;
    void SetScrollPos(Window dialog, int id, int pos, bool redraw) override;
    int GetScrollPos(Window dialog, int id) override;
    void ComboReset(Window dialog, int id) override;
    int ComboAdd(Window dialog, int id, std::string_view text) override;
    void ComboSetSelection(Window dialog, int id, int index) override;
    int ComboGetSelection(Window dialog, int id) override;
    int ComboCount(Window dialog, int id) override;
    void EditSetSelection(Window dialog, int id, int start, int end) override;
    void EditLimitText(Window dialog, int id, int maxChars) override;
    void SetFocusItem(Window dialog, int id) override;
    int GetFocusItem(Window dialog) override;
    Brush CreateSolidBrush(Colour colour) override;
    void DeleteBrush(Brush brush) override;
    Font CreateGuiFont(int pixelHeight, int weight) override;
    void DeleteFont(Font font) override;
    Extent TextExtent(Font font, std::string_view text) override;
    void SetItemFont(Window dialog, int id, Font font) override;
    void InvalidateRect(Window window, std::optional<Rect> rect, bool erase) override;
    void UpdateWindow(Window window) override;
    void DrawIcon(Window window, int iconId, Point at) override;
    // Qt's coordinates are device independent: an icon is 32 logical pixels
    // on every screen, drawn sharp from the drawing nearest its device size.
    int IconSize() override { return 32; }
    void SetHotSpots(Window window, std::span<const HotSpot> spots) override;
    Rect GetWindowRect(Window window) override;
    Rect GetItemRect(Window dialog, int id) override;
    Rect GetClientRect(Window window) override;
    Point ScreenToClient(Window window, Point screen) override;
    void MoveWindow(Window window, Rect screenRect, bool repaint) override;
    Rect MapDialogRect(Window dialog, Rect dialogUnits) override;
    void SetForeground(Window window) override;
    void SetCapture(Window window) override;
    void ReleaseCapture() override;
    void SetWaitCursor(bool wait) override;
    void DiscardPendingInput() override;
    void RemoveCloseCommand(Window window) override;
    void RaiseWindow(Window window) override;
    void ShowHelp(Window owner, std::string_view helpFile, std::uint32_t context) override;

  private:
    struct DialogRecord;
    struct ControlRecord;

    // --- SurfaceSink ----------------------------------------------------------
    bool SurfaceEvent(std::uintptr_t dialog, QWidget* surface, QEvent* event) override;
    qt::StaticPaint StaticColours(std::uintptr_t control) override;
    void Notify(std::uintptr_t control, int code) override;
    void Clicked(std::uintptr_t control) override;
    void ListDroppedDown(std::uintptr_t control) override;
    void ListClosed(std::uintptr_t control, bool chosen) override;
    void ListChoiceOnClosedBox(std::uintptr_t control) override;
    void ScrollStep(std::uintptr_t control, int code) override;
    void ScrollReleased(std::uintptr_t control) override;
    bool ScrollKey(std::uintptr_t control, std::uintptr_t virtualKey) override;
    void ThumbPressed(std::uintptr_t control, int position) override;
    void ThumbTracked(std::uintptr_t control, int position) override;
    void ThumbReleased(std::uintptr_t control, int position) override;
    std::vector<qt::HotSpotState> HotSpotsOf(std::uintptr_t dialog) override;

    // --- DialogSite -----------------------------------------------------------
    std::intptr_t CallProcedure(Window dialog, const DialogMessage& message) override;
    const dlg::DialogTemplate* TemplateOf(Window dialog) override;
    Window ParentOf(Window dialog) override;
    std::vector<Window> PagesOf(Window dialog) override;
    DialogItem FocusIn(Window dialog) override;
    bool CloseCommandRemoved(Window dialog) override;

    std::uintptr_t NewHandle();
    std::shared_ptr<DialogRecord> FindDialog(std::uintptr_t handle) const;
    ControlRecord* FindControl(std::uintptr_t handle);
    ControlRecord* FindItem(Window dialog, int id);
    QWidget* ItemWidget(Window dialog, int id);
    // The control that `widget` is or lies inside (a combo's own line edit).
    ControlRecord* ControlOfWidget(QWidget* widget);
    DialogItem ItemOf(std::uintptr_t control);

    // qt_window_build.cpp
    void BuildControls(DialogRecord& dialog, QWidget* surface);
    void Position(DialogRecord& dialog, QWidget* owner);

    // qt_window_input.cpp
    void InstallInput();
    void RemoveInput();
    bool MouseEvent(std::uintptr_t dialog, QMouseEvent* event);
    bool KeyPress(DialogRecord& dialog, QWidget* surface, QKeyEvent* event);
    void FocusChanged(QWidget* old, QWidget* now);

    std::intptr_t Send(std::uintptr_t dialog, const DialogMessage& message);
    void Destroy(std::uintptr_t dialog);
    void SetControlText(ControlRecord& control, std::string_view text);
    std::string ControlText(const ControlRecord& control) const;
    std::optional<QColor> BrushColour(std::intptr_t brush) const;
    // An icon (32 logical pixels) or a bitmap (its size at 100 %), drawn for
    // `ratio` device pixels per logical one: the drawing nearest above it.
    static QPixmap IconPixmap(int iconId, qreal ratio);
    static QPixmap BitmapPixmap(int bitmap, qreal ratio);
    void PaintSurface(DialogRecord& dialog, QWidget* surface);

    dlg::DialogTemplates templates_;
    DialogManager manager_;
    std::vector<QPointer<QWidget>> dying_; // top-level windows ended, deletion deferred
    std::map<std::uintptr_t, std::shared_ptr<DialogRecord>> dialogs_;
    std::map<std::uintptr_t, std::unique_ptr<ControlRecord>> controls_;
    std::map<std::uintptr_t, Colour> brushes_;
    std::map<std::uintptr_t, QFont> fonts_;
    std::vector<std::uintptr_t> modalStack_; // modal dialogs open now, bottom first
    std::unique_ptr<qt::InputFilter> inputFilter_;
    std::uintptr_t nextHandle_ = 0x10000;
    QPointer<QWidget> capture_; // the widget grabbing the mouse for the capture
    bool settingCheck_ = false; // CheckItem is changing a button's state
};

} // namespace osa
