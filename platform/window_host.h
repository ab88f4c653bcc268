// The window host: the one interface through which the controller's dialog
// procedures reach windows. Three implementations build the same windows from
// the templates of controller/res:
//   platform/win32/  real Win32 dialogs (DialogBoxIndirectParamW and friends)
//   platform/qt/     Qt 6 Widgets windows laid out from the same dialog units
//   platform/memory/ an in-memory host for tests, which acts as a user would
//
// Shape. A dialog is driven by a DialogProc that switches over the message
// and the control identifier, as a Win32 dialog procedure does. Message and
// notification numbers are the Win32 values, so the Win32 host passes them
// through; the other hosts produce the same numbers. Handles never cross:
// a Window is an opaque value that only the host that made it understands.
//
// Threading. Everything is called on the user-interface thread only. Calls
// that run a modal loop (DialogBox, MessageBox) block until the window ends,
// dispatching messages (and so re-entering dialog procedures) meanwhile.
//
// Errors. Operations on a window or control that does not exist do nothing
// and return the neutral value (empty text, false, 0, an empty rectangle),
// as their Win32 counterparts do. Nothing here throws.
//
// The contract every host keeps (the Win32 host by the system's own dialog
// manager, the others through platform/dialog_manager.h, which also lists
// the messages each user action gives):
//   - Re-entry. Only the calls marked "sends" below deliver messages to a
//     dialog procedure from inside the call, before it returns; every other
//     call is silent. Modal calls (DialogBox, MessageBox) run a loop that
//     delivers the user's input to any dialog that is open.
//   - After EndDialog nothing reaches that dialog's procedure but Destroy,
//     neither the notifications of calls made on it nor the user's input.
//   - Templates. A host is made with the table of templates it can show
//     (dlg::DialogTemplates); DialogBox and CreateDialog take a number of
//     that table.
#pragma once
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace osa {

// An opaque window: a dialog, a message box or a control. 0 is no window.
struct Window {
    std::uintptr_t value = 0;
    explicit operator bool() const { return value != 0; }
    friend bool operator==(Window, Window) = default;
};

struct Point {
    int x = 0;
    int y = 0;
    friend bool operator==(Point, Point) = default;
};

// A width and a height in pixels.
struct Extent {
    int cx = 0;
    int cy = 0;
    friend bool operator==(Extent, Extent) = default;
};

// left/top inclusive, right/bottom exclusive, as Win32's RECT.
struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    friend bool operator==(Rect, Rect) = default;
};

// Whether `p` lies in `r` with all four edges inclusive: the rule of the
// program's own hot spots (the blade position pad's buttons), which take a
// click on their right and bottom edges too.
constexpr bool Contains(Rect r, Point p) {
    return p.x >= r.left && p.x <= r.right && p.y >= r.top && p.y <= r.bottom;
}

// 0x00BBGGRR, as a Win32 COLORREF.
using Colour = std::uint32_t;
constexpr Colour Rgb(unsigned r, unsigned g, unsigned b) {
    return (r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16);
}
constexpr unsigned RedOf(Colour c) {
    return c & 0xFF;
}
constexpr unsigned GreenOf(Colour c) {
    return (c >> 8) & 0xFF;
}
constexpr unsigned BlueOf(Colour c) {
    return (c >> 16) & 0xFF;
}

// GDI-like objects made by the host. 0 is none. Whoever creates one deletes it.
struct Brush {
    std::uintptr_t value = 0;
    explicit operator bool() const { return value != 0; }
};
struct Font {
    std::uintptr_t value = 0;
    explicit operator bool() const { return value != 0; }
};

// Messages a dialog procedure receives (Win32 numbers).
enum class Msg : std::uint32_t {
    Destroy = 0x0002,
    Activate = 0x0006, // code: 0 inactive, 1 active, 2 click-active; minimized
    Paint = 0x000F,    // draw with DrawIcon while handling it
    Close = 0x0010,
    Help = 0x0053,       // id: the control under the help request
    InitDialog = 0x0110, // param: the creation parameter
    Command = 0x0111,    // id, code (notification)
    SysCommand = 0x0112, // code: SC_* value
    HScroll = 0x0114,    // id of the bar, code SB_*, position
    VScroll = 0x0115,
    CtlColorDlg = 0x0136,    // answer: return a brush value, or 0
    CtlColorStatic = 0x0138, // id of the static; fill `colours`, return a brush value or 0
    MouseMove = 0x0200,      // point (client), keys
    LButtonDown = 0x0201,
    LButtonUp = 0x0202,
    CaptureChanged = 0x0215, // the window lost the mouse capture
};

// Notifications and codes (Win32 numbers).
namespace notify {
inline constexpr int ButtonClicked = 0;      // BN_CLICKED
inline constexpr int EditSetFocus = 0x0100;  // EN_SETFOCUS
inline constexpr int EditKillFocus = 0x0200; // EN_KILLFOCUS
inline constexpr int EditChange = 0x0300;    // EN_CHANGE
inline constexpr int ComboSelChange = 1;     // CBN_SELCHANGE
inline constexpr int ComboSetFocus = 3;      // CBN_SETFOCUS (held back by the hosts)
inline constexpr int ComboKillFocus = 4;     // CBN_KILLFOCUS (held back by the hosts)
inline constexpr int ComboDropDown = 7;      // CBN_DROPDOWN
inline constexpr int ComboCloseUp = 8;       // CBN_CLOSEUP
inline constexpr int ComboSelEndOk = 9;      // CBN_SELENDOK
inline constexpr int ComboSelEndCancel = 10; // CBN_SELENDCANCEL
} // namespace notify
namespace sc {
inline constexpr int Close = 0xF060; // SC_CLOSE
}
namespace sb {
inline constexpr int LineLeft = 0, LineRight = 1, PageLeft = 2, PageRight = 3;
inline constexpr int ThumbPosition = 4, ThumbTrack = 5, Left = 6, Right = 7, EndScroll = 8;
} // namespace sb
namespace mk { // the MK_ bits of a mouse message's keys
inline constexpr unsigned LButton = 0x0001;
inline constexpr unsigned RButton = 0x0002;
inline constexpr unsigned Shift = 0x0004;
inline constexpr unsigned Control = 0x0008;
inline constexpr unsigned MButton = 0x0010;
} // namespace mk

// The answer to a CtlColorStatic message: how the host paints the static.
struct StaticColours {
    bool transparent = false;   // SetBkMode(TRANSPARENT)
    std::optional<Colour> text; // SetTextColor
    // No background at all (the hollow brush): the static paints only its
    // image or text, and what lies under it shows through the image's
    // transparent parts. The brush returned is then ignored.
    bool hollow = false;
};

struct DialogMessage {
    Msg msg = Msg::InitDialog;
    int id = 0;                       // control id (Command, scrolls, CtlColorStatic, Help)
    int code = 0;                     // notification, SB_*/SC_* code, activation state
    int position = 0;                 // scroll thumb position
    bool minimized = false;           // Activate
    Point point{};                    // mouse, client coordinates
    unsigned keys = 0;                // mouse, MK_* flags
    std::intptr_t param = 0;          // InitDialog: creation parameter
    StaticColours* colours = nullptr; // CtlColorStatic: filled by the procedure
};

// Returns TRUE (non-zero) when it handled the message, as a Win32 dialog
// procedure does; for CtlColor* messages, the brush value to paint with.
using DialogProc = std::intptr_t (*)(Window dialog, const DialogMessage& message);

// Message box styles and answers (Win32 numbers).
namespace mb {
inline constexpr unsigned Ok = 0x0;
inline constexpr unsigned OkCancel = 0x1;
inline constexpr unsigned IconHand = 0x10; // stop
inline constexpr unsigned IconQuestion = 0x20;
inline constexpr unsigned IconExclamation = 0x30;
inline constexpr unsigned IconAsterisk = 0x40; // information
inline constexpr int IdOk = 1;
inline constexpr int IdCancel = 2;
} // namespace mb

// A drawn part of a window that works as a button (see SetHotSpots).
struct HotSpot {
    std::string_view name; // UTF-8, as a screen reader says it
    Rect rect;             // client coordinates, edges inside
    bool enabled = true;
    bool pressed = false;
    bool operator==(const HotSpot&) const = default;
};

class WindowHost {
  public:
    virtual ~WindowHost() = default;

    // --- Dialogs ---------------------------------------------------------
    // Runs template `templateId` modally, owned by `owner` (none when 0), and
    // returns the value given to EndDialog; -1 when the template is unknown
    // or the dialog cannot be made. Blocks until the dialog ends. Sends
    // InitDialog (with `param`), then whatever the user does; Destroy last.
    virtual std::intptr_t DialogBox(int templateId, Window owner, DialogProc proc,
                                    std::intptr_t param) = 0;
    // Creates template `templateId` modeless, as a child of `parent` when the
    // template says child. Sends InitDialog inside this call. 0 on failure,
    // and 0 when the procedure ended the dialog during InitDialog.
    virtual Window CreateDialog(int templateId, Window parent, DialogProc proc,
                                std::intptr_t param) = 0;
    // Marks a modal dialog to end with `result` once its procedure returns;
    // destroys a modeless one (sends Destroy to it, then to its pages).
    // Nothing but Destroy reaches the dialog's procedure after this call.
    virtual void EndDialog(Window dialog, std::intptr_t result) = 0;
    // The control `id` of `dialog` as a window, or 0.
    virtual Window GetItem(Window dialog, int id) = 0;

    // --- Message boxes and sound ------------------------------------------
    // Shows a modal message box (style: mb:: flags) and returns IDOK/IDCANCEL.
    // Esc and the close button answer Cancel when there is one, else OK.
    virtual int MessageBox(Window owner, std::string_view text, std::string_view caption,
                           unsigned style) = 0;
    // The default beep (MessageBeep(0)).
    virtual void Beep() = 0;

    // --- Texts, states, values -------------------------------------------
    virtual void SetCaption(Window window, std::string_view text) = 0;
    virtual std::string GetCaption(Window window) = 0;
    virtual void SetWindowIcon(Window window, int iconId) = 0;
    // On an edit, sends Command(id, EN_CHANGE), as WM_SETTEXT does; on any
    // other control it is silent.
    virtual void SetItemText(Window dialog, int id, std::string_view text) = 0;
    virtual std::string GetItemText(Window dialog, int id) = 0;
    virtual void EnableItem(Window dialog, int id, bool enable) = 0;
    virtual bool IsItemEnabled(Window dialog, int id) = 0;
    virtual void ShowItem(Window dialog, int id, bool show) = 0;
    virtual bool IsItemVisible(Window dialog, int id) = 0;
    // Silent, and touches only this control: the other radio buttons of its
    // group keep their state, as with BM_SETCHECK.
    virtual void CheckItem(Window dialog, int id, bool checked) = 0;
    virtual bool IsItemChecked(Window dialog, int id) = 0;
    virtual void SetScrollRange(Window dialog, int id, int min, int max, bool redraw) = 0;
    // Silent; the position is clamped to the range. A scroll bar moves only
    // through this call, never by itself.
    virtual void SetScrollPos(Window dialog, int id, int pos, bool redraw) = 0;
    virtual int GetScrollPos(Window dialog, int id) = 0;
    virtual void ComboReset(Window dialog, int id) = 0;
    // Appends an item and returns its index, or -1.
    virtual int ComboAdd(Window dialog, int id, std::string_view text) = 0;
    // Silent (CB_SETCURSEL); an index out of range selects nothing.
    virtual void ComboSetSelection(Window dialog, int id, int index) = 0;
    virtual int ComboGetSelection(Window dialog, int id) = 0; // -1 for none
    virtual int ComboCount(Window dialog, int id) = 0;
    virtual void EditSetSelection(Window dialog, int id, int start, int end) = 0;
    virtual void EditLimitText(Window dialog, int id, int maxChars) = 0;
    // Sends the focus notifications of the move (EN_KILLFOCUS from an edit
    // losing it, EN_SETFOCUS from one gaining it) where the window is active.
    virtual void SetFocusItem(Window dialog, int id) = 0;
    virtual int GetFocusItem(Window dialog) = 0; // id of the focused control, or 0

    // --- Drawing ------------------------------------------------------------
    virtual Brush CreateSolidBrush(Colour colour) = 0;
    virtual void DeleteBrush(Brush brush) = 0;
    // The default GUI font with its height set to `pixelHeight` (0 keeps it)
    // and its weight set to `weight` (0 keeps it; 700 bold).
    virtual Font CreateGuiFont(int pixelHeight, int weight) = 0;
    virtual void DeleteFont(Font font) = 0;
    virtual void SetItemFont(Window dialog, int id, Font font) = 0;
    // What `text` (UTF-8) takes on one line in `font` (0: the default GUI
    // font): the advance width (GetTextExtentPoint32's), and the height of
    // a line as a static draws its lines (Win32: the font's height; Qt: its
    // line spacing, which adds the leading).
    virtual Extent TextExtent(Font font, std::string_view text) = 0;
    // Invalidates `rect` of the client area (all of it when empty).
    virtual void InvalidateRect(Window window, std::optional<Rect> rect, bool erase) = 0;
    // Paints now what is invalid in `window` and its controls (UpdateWindow),
    // without waiting for the message loop: before a call that blocks it.
    virtual void UpdateWindow(Window window) = 0;
    // Draws icon `iconId` with its top left at `at`; only while handling Paint.
    virtual void DrawIcon(Window window, int iconId, Point at) = 0;
    // Parts of `window` that work as buttons although they are only drawn
    // (the blade position pad), in client coordinates: assistive technology
    // is told of each as a button with its name and state, and pressing it
    // there is a mouse press and release in its middle. Each call replaces
    // the window's list.
    virtual void SetHotSpots(Window window, std::span<const HotSpot> spots) = 0;
    // The side of the square DrawIcon draws in, in window coordinates: 32 at
    // 96 dpi, more where the platform's coordinates are device pixels of a
    // screen of more dots per inch (Win32: the large icon size).
    virtual int IconSize() = 0;

    // --- Geometry ---------------------------------------------------------
    virtual Rect GetWindowRect(Window window) = 0;       // screen coordinates
    virtual Rect GetItemRect(Window dialog, int id) = 0; // screen coordinates
    virtual Rect GetClientRect(Window window) = 0;
    virtual Point ScreenToClient(Window window, Point screen) = 0;
    virtual void MoveWindow(Window window, Rect screenRect, bool repaint) = 0;
    virtual Rect MapDialogRect(Window dialog, Rect dialogUnits) = 0;

    // --- Focus, input, cursor --------------------------------------------
    virtual void SetForeground(Window window) = 0;
    // Mouse input goes to `window` (a dialog) until released, wherever the
    // pointer is, in that window's client coordinates. Sends CaptureChanged to
    // the window that loses the capture; so does ReleaseCapture. A window
    // destroyed while it holds the capture loses it without the message.
    virtual void SetCapture(Window window) = 0;
    virtual void ReleaseCapture() = 0;
    virtual void SetWaitCursor(bool wait) = 0;
    // Drops keyboard and mouse input queued for the program so far, and
    // runs nothing else: no timer, paint or procedure runs inside the call.
    virtual void DiscardPendingInput() = 0;
    // Removes Close from the window's system menu (and so its close button).
    virtual void RemoveCloseCommand(Window window) = 0;
    // Brings the program's last active pop-up (or `window`) to the front.
    virtual void RaiseWindow(Window window) = 0;

    // --- Help ---------------------------------------------------------------
    // Opens the program's help at topic `context` for `owner`, without
    // waiting: the WinHelp file `helpFile` where the system can still show
    // one, else the HTML help page shipped beside the program
    // (help/osactl-help.html) at its anchor "context-<context>".
    virtual void ShowHelp(Window owner, std::string_view helpFile, std::uint32_t context) = 0;
};

} // namespace osa
