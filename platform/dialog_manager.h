// The rules of the Win32 dialog manager, written once for the window hosts
// that have no such manager of their own (Qt and in memory). The Win32 host
// gets the same rules from the system; tests/dialog_conformance_*.cpp check
// that the three hosts deliver the same messages for the same user actions.
//
// A host reports what the user did (a click on a button, Enter, the close
// box, a focus move, a drop-down list opened and closed, a scroll bar
// action, mouse input) and the manager turns it into the messages a dialog
// procedure receives, in Win32's order:
//
//   click on an auto check box    it toggles, then Command(id, BN_CLICKED)
//   click on an auto radio button it is checked and the others of its group
//                                 (from the last control with the group flag
//                                 at or before it to the next one with the
//                                 flag) unchecked, then Command(id, BN_CLICKED)
//   Enter                         to the top-level dialog: Command(id of the
//                                 focused default push button), else
//                                 Command(id of the default push button of
//                                 the dialog or of one of its pages) unless
//                                 that button is disabled (then nothing),
//                                 else Command(IDOK). A plain push button
//                                 with the focus does not take Enter.
//   Esc                           Command(IDCANCEL) to the top-level dialog
//   the close box                 SysCommand(SC_CLOSE); unhandled, Close;
//                                 unhandled, Command(IDCANCEL). Nothing when
//                                 the dialog has no system menu or its Close
//                                 command was removed
//   a close request from outside  as the close box; for a dialog without a
//                                 close command: Close; unhandled,
//                                 Command(IDCANCEL)
//   an arrow key                  with the focus on a push button, check box
//                                 or radio button: the focus goes to the
//                                 next (Right, Down) or previous (Left, Up)
//                                 shown and enabled control of its group,
//                                 round the group; a radio button reached
//                                 so that is not checked is clicked (its
//                                 group checked as for a click, BN_CLICKED)
//   F1                            Help(id of the focused control) to that
//                                 control's dialog, then, while unhandled,
//                                 to each dialog it lives in
//   focus moves                   EN_KILLFOCUS from the edit losing it, then
//                                 EN_SETFOCUS from the edit gaining it
//                                 (other controls notify nothing; the Win32
//                                 host holds back the lists' CBN_SETFOCUS
//                                 and CBN_KILLFOCUS, which no procedure of
//                                 the program reads)
//   drop-down list                opened: CBN_DROPDOWN; closed with a choice:
//                                 CBN_SELENDOK, CBN_CLOSEUP, CBN_SELCHANGE;
//                                 closed without: CBN_SELENDCANCEL,
//                                 CBN_CLOSEUP; a choice on the closed box
//                                 (arrow keys, wheel): CBN_SELENDOK,
//                                 CBN_SELCHANGE
//   scroll bar                    an arrow, the page area or Home/End: its
//                                 SB_ code, then SB_ENDSCROLL when let go;
//                                 the thumb dragged: SB_THUMBTRACK with each
//                                 position, let go: SB_THUMBPOSITION, then
//                                 SB_ENDSCROLL. With the focus on the bar,
//                                 a key gives its code alone: Left/Up
//                                 SB_LINELEFT, Right/Down SB_LINERIGHT, Page
//                                 Up/Down SB_PAGELEFT/RIGHT, Home SB_LEFT,
//                                 End SB_RIGHT. The bar never moves itself.
//   mouse                         to the window holding the capture when
//                                 there is one, else to the dialog under the
//                                 pointer, in that window's client
//                                 coordinates; CaptureChanged to the window
//                                 that loses the capture (released or taken
//                                 by another window; a window destroyed with
//                                 it loses it untold)
//
// Once EndDialog has been called for a dialog, nothing but Destroy reaches
// its procedure.
#pragma once
#include <cstdint>
#include <map>
#include <set>
#include <vector>

#include "platform/dialog_template.h"
#include "platform/window_host.h"

namespace osa {

// A control of a dialog: where the focus is, for example.
struct DialogItem {
    Window dialog{};
    int id = 0;
    explicit operator bool() const { return static_cast<bool>(dialog); }
    friend bool operator==(DialogItem, DialogItem) = default;
};

// What the dialog manager needs of the host whose windows it runs, beyond
// the WindowHost calls (control states, geometry) it makes itself.
class DialogSite {
  public:
    // Calls the procedure of `dialog`; 0 when it has none.
    virtual std::intptr_t CallProcedure(Window dialog, const DialogMessage& message) = 0;
    // The template `dialog` was built from; nullptr when it is no dialog.
    virtual const dlg::DialogTemplate* TemplateOf(Window dialog) = 0;
    // The dialog a child page lives in; 0 for a top-level dialog.
    virtual Window ParentOf(Window dialog) = 0;
    // The child pages of `dialog`, in creation order.
    virtual std::vector<Window> PagesOf(Window dialog) = 0;
    // The control that has the keyboard focus in `dialog` or one of its
    // pages; none when the focus is elsewhere.
    virtual DialogItem FocusIn(Window dialog) = 0;
    // True once RemoveCloseCommand was called for `dialog`.
    virtual bool CloseCommandRemoved(Window dialog) = 0;

  protected:
    ~DialogSite() = default;
};

// The code a focused scroll bar sends for a key (a virtual-key code); -1
// for a key it does not take.
int ScrollCodeOfKey(std::uintptr_t virtualKey);

class DialogManager {
  public:
    DialogManager(DialogSite& site, WindowHost& host);
    DialogManager(const DialogManager&) = delete;
    DialogManager& operator=(const DialogManager&) = delete;

    // --- Life of a dialog --------------------------------------------------
    // Delivers `message` to the procedure of `dialog`; nothing (0) once the
    // dialog has ended, except Destroy.
    std::intptr_t Send(Window dialog, const DialogMessage& message);
    void Command(Window dialog, int id, int code);
    // EndDialog was called: from now on only Destroy is delivered.
    void MarkEnded(Window dialog);
    bool Ended(Window dialog) const;
    // The dialog is being destroyed: it loses the capture (untold), then
    // receives Destroy. The host destroys its pages after this.
    void Destroying(Window dialog);
    // The dialog is gone; its window value is forgotten.
    void Forget(Window dialog);

    // --- Buttons and keys ----------------------------------------------------
    // The user clicked button `id` of `dialog` (the host has moved the focus).
    void ButtonClicked(Window dialog, int id);
    // Enter, Esc and F1 in top-level dialog `dialog`. Enter and Esc return
    // false when `dialog` is not a top-level dialog of the host.
    bool Enter(Window dialog);
    bool Escape(Window dialog);
    void Help(Window dialog);
    // An arrow key with the focus on `focus` (see above); false, and
    // nothing done, when that control takes arrows itself or is none.
    bool GroupArrow(DialogItem focus, bool backwards);
    // The caption's close button; false when the dialog has none to give.
    bool CloseButton(Window dialog);
    // WM_CLOSE: Close; unhandled, Command(IDCANCEL).
    void CloseRequest(Window dialog);
    // A close request from outside the program (the window manager, the
    // end of the session): the close button's chain, or WM_CLOSE alone for
    // a dialog without a close command, which still takes it.
    void CloseFromOutside(Window dialog);

    // --- Focus ----------------------------------------------------------------
    // The keyboard focus moved from `from` to `to` (either may be none).
    void FocusMoved(DialogItem from, DialogItem to);
    // The next (or previous) tab stop after `from` in top-level dialog
    // `dialog` and its pages, in creation order; none when there is none.
    DialogItem NextTabStop(Window dialog, DialogItem from, bool backwards);

    // --- Drop-down lists ------------------------------------------------------
    void ComboDroppedDown(DialogItem combo);
    void ComboClosed(DialogItem combo, bool chosen);
    void ComboChoiceOnClosedBox(DialogItem combo);

    // --- Scroll bars ------------------------------------------------------------
    // An arrow, the page area, Home or End (SB_LINE*, SB_PAGE*, SB_LEFT/RIGHT).
    void ScrollStep(DialogItem bar, int code);
    // The button that made the steps was let go: SB_ENDSCROLL once.
    void ScrollReleased(DialogItem bar);
    // A key pressed on the focused bar; false, and nothing sent, for a key
    // the bar does not take.
    bool ScrollKey(DialogItem bar, std::uintptr_t virtualKey);
    void ThumbPressed(DialogItem bar, int position);
    void ThumbTracked(DialogItem bar, int position);
    void ThumbReleased(DialogItem bar, int position);

    // --- Mouse ----------------------------------------------------------------
    // Mouse input over `under` (a dialog of the host, or none) at `screen`.
    // Returns the window it was delivered to (0 when none).
    Window Mouse(Window under, Msg msg, Point screen, unsigned keys);
    void SetCapture(Window window);
    void ReleaseCapture();
    Window Capture() const { return capture_; }

  private:
    const dlg::ControlTemplate* ControlOf(DialogItem item);
    void CheckRadioGroup(Window dialog, int id);
    int DefaultButton(Window dialog, bool& disabled);
    Window TopLevelOf(Window dialog);

    DialogSite& site_;
    WindowHost& host_;
    std::set<std::uintptr_t> ended_;
    std::set<std::pair<std::uintptr_t, int>> stepPending_; // bars owing SB_ENDSCROLL
    Window capture_{};
};

} // namespace osa
