// An in-memory window host for tests. It builds every window from the same
// templates as the real hosts, keeps each control's state, runs modal
// dialogs and message boxes with a loop of its own, and lets a test act as a
// user would: the test queues user actions, and each modal loop takes the
// next action whenever it waits for input. What a user would see (texts,
// states, message boxes, beeps, the pictures drawn) can be read at any time.
//
// When the queue runs dry, a message box is answered with its default button
// (OK) and a dialog is ended with -1; `Starved()` counts the latter, so a
// test that forgot an action fails visibly instead of hanging.
//
// Geometry uses fixed dialog base units (6 x 13 pixels, the usual values of
// an 8-point dialog font at 96 dpi) and a 1920 x 1080 screen.
//
// The Win32 dialog manager's rules (what a click, Enter, the close box, a
// focus move or a drop-down list sends) come from platform/dialog_manager.h,
// as they do for the Qt host. The user who acts is platform/memory/
// memory_user.h; the actions below hand over to it.
#pragma once
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/dialog_manager.h"
#include "platform/dialog_template.h"
#include "platform/window_host.h"

namespace osa {

class MemoryUser;
class MemoryInputHooks;

class MemoryWindowHost final : public WindowHost, private DialogSite {
  public:
    static constexpr int BaseUnitX = 6;
    static constexpr int BaseUnitY = 13;
    static constexpr Rect Screen{0, 0, 1920, 1080};

    struct Control {
        int id = dlg::NoId;
        Window handle{};
        const dlg::ControlTemplate* tmpl = nullptr;
        std::string text;
        bool enabled = true;
        bool visible = true;
        bool checked = false;
        int scrollMin = 0, scrollMax = 0, scrollPos = 0;
        std::vector<std::string> items;
        int selection = -1;
        int selStart = 0, selEnd = 0;
        bool listOpen = false;
        int textLimit = 0;
        Font font{};
    };

    struct IconDrawn {
        int iconId = 0;
        Point at{};
    };

    struct Dialog {
        Window handle{};
        const dlg::DialogTemplate* tmpl = nullptr;
        DialogProc proc = nullptr;
        Window owner{}; // modal: the owner; modeless: the parent
        bool modal = false;
        bool ended = false; // EndDialog was called (modal: its loop ends)
        std::intptr_t result = 0;
        std::string caption;
        int icon = 0;
        bool closeCommandRemoved = false;
        Rect rect{};        // screen coordinates
        DialogItem focus{}; // top-level dialogs: the focused control, here or in a page
        std::vector<Control> controls;
        std::vector<std::optional<Rect>> invalidated; // since the last Paint
        std::vector<IconDrawn> drawn;                 // during the last Paint
    };

    struct MessageBoxShown {
        Window owner{};
        std::string text;
        std::string caption;
        unsigned style = 0;
        int answer = 0;
    };

    // A help request: whom it was for, the help file and the topic.
    struct HelpShown {
        Window owner{};
        std::string helpFile;
        std::uint32_t context = 0;
    };

    struct FontRecord {
        int pixelHeight = 0;
        int weight = 0;
    };

    using UserAction = std::function<void(MemoryWindowHost&)>;

    // `templates`: the dialogs it can show.
    explicit MemoryWindowHost(dlg::DialogTemplates templates);
    ~MemoryWindowHost() override;
    MemoryWindowHost(const MemoryWindowHost&) = delete;
    MemoryWindowHost& operator=(const MemoryWindowHost&) = delete;

    // --- The test's side --------------------------------------------------
    // Queues what the user does next, in order (see MemoryUser).
    void Then(UserAction action);
    void ThenClick(int id);
    void ThenAnswer(int answer); // to the message box that is open
    void ThenCloseBox();         // the caption's close button
    std::size_t PendingActions() const;
    int Starved() const { return starved_; }

    // User actions on the active window (the top of the modal stack, or the
    // child page that holds the control). Each returns false when a user
    // could not do it: no such control, hidden, disabled, no box open.
    bool Click(int id);
    bool ClickIn(Window dialog, int id);
    bool Type(int id, std::string_view text);
    // A choice on the closed drop-down list (arrow keys).
    bool SelectItem(int id, int index);
    // The drop-down list opened and closed on item `index`, or without a
    // choice when `index` is negative.
    bool ChooseFromList(int id, int index);
    // Delivers one scroll message as it is, with no sequence around it.
    bool Scroll(int id, int code, int position = 0);
    // A click on an arrow or the page area (SB_LINE*, SB_PAGE*), let go.
    bool ScrollClick(int id, int code);
    // The thumb pressed, dragged through `positions` and let go at the last.
    bool DragThumb(int id, const std::vector<int>& positions);
    bool PressEnter();
    bool PressEscape();
    bool PressTab(bool backwards = false);
    // A key (virtual-key code) going down, repeating while held, going up,
    // through the input hooks; true when it got past them. Arrow keys that
    // get past reach the focused control (counted by KeysToControls).
    bool KeyDown(std::uintptr_t virtualKey);
    bool KeyRepeat(std::uintptr_t virtualKey);
    bool KeyUp(std::uintptr_t virtualKey);
    int KeysToControls() const { return keysToControls_; }
    // The input hooks the user's keys and clicks pass through first (none:
    // straight to the windows).
    void AttachHooks(MemoryInputHooks* hooks) { hooks_ = hooks; }
    bool PressF1();
    bool CloseBox();
    // A close request from outside the window (the taskbar, the window
    // manager, the end of the session) to the active dialog: the close
    // button's chain, or WM_CLOSE where the Close command was removed.
    bool RequestClose();
    bool Answer(int answer);
    void Activate(Window dialog, bool active);
    // Sends Paint to the window and returns what it drew.
    std::vector<IconDrawn> Paint(Window window);
    // Asks the dialog how it paints static `id` (CtlColorStatic).
    struct Colours {
        bool transparent = false;
        std::optional<Colour> text;
        std::optional<Colour> background; // the brush returned, if any
        bool hollow = false;
    };
    Colours ColoursOf(Window dialog, int id);
    // The left mouse button over `dialog` at `client` (its client
    // coordinates); with the capture held, the input goes to the capturing
    // window instead, in its own coordinates.
    bool MouseDown(Window dialog, Point client);
    bool MouseMove(Window dialog, Point client, unsigned keys);
    bool MouseUp(Window dialog, Point client);

    // What the user sees.
    Window Active() const; // top of the modal stack, or 0
    const Dialog* Find(Window dialog) const;
    const Dialog* FindByTemplate(int templateId) const; // the newest alive one
    const Control* FindControl(Window dialog, int id) const;
    const std::vector<MessageBoxShown>& MessageBoxes() const { return boxes_; }
    const std::vector<int>& DialogsShown() const { return dialogsShown_; }
    const std::vector<HelpShown>& HelpRequests() const { return help_; }
    int Beeps() const { return beeps_; }
    // The windows UpdateWindow painted, in order.
    const std::vector<Window>& Updated() const { return updated_; }
    bool WaitCursor() const { return waitCursor_; }
    Window Capture() const { return manager_.Capture(); }
    Window Foreground() const { return foreground_; }
    int InputDiscards() const { return inputDiscards_; }
    std::optional<FontRecord> FontOf(Font font) const;
    std::optional<Colour> BrushColour(Brush brush) const;
    std::size_t LiveBrushes() const { return brushes_.size(); }
    std::size_t LiveFonts() const { return fonts_.size(); }
    std::vector<Window> RaisedWindows() const { return raised_; }
    // Modal dialogs and boxes open right now, bottom first.
    std::vector<Window> ModalStack() const { return modalStack_; }

    // --- WindowHost ---------------------------------------------------------
    std::intptr_t DialogBox(int templateId, Window owner, DialogProc proc,
                            std::intptr_t param) override;
    Window CreateDialog(int templateId, Window parent, DialogProc proc,
                        std::intptr_t param) override;
    void EndDialog(Window dialog, std::intptr_t result) override;
    Window GetItem(Window dialog, int id) override;
    int MessageBox(Window owner, std::string_view text, std::string_view caption,
                   unsigned style) override;
    void Beep() override { ++beeps_; }
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
    int IconSize() override { return iconSize_; }
    void SetHotSpots(Window window, std::span<const HotSpot> spots) override;
    // The hot spots `window` last told of, with their names held.
    struct HeldHotSpot {
        std::string name;
        Rect rect;
        bool enabled = true;
        bool pressed = false;
    };
    std::vector<HeldHotSpot> HotSpots(Window window) const;
    // As a screen of more dots per inch would have it (64 at 200 %).
    void SetIconSize(int size) { iconSize_ = size; }
    Rect GetWindowRect(Window window) override;
    Rect GetItemRect(Window dialog, int id) override;
    Rect GetClientRect(Window window) override;
    Point ScreenToClient(Window window, Point screen) override;
    void MoveWindow(Window window, Rect screenRect, bool repaint) override;
    Rect MapDialogRect(Window dialog, Rect dialogUnits) override;
    void SetForeground(Window window) override { foreground_ = window; }
    void SetCapture(Window window) override;
    void ReleaseCapture() override { manager_.ReleaseCapture(); }
    void SetWaitCursor(bool wait) override { waitCursor_ = wait; }
    void DiscardPendingInput() override { ++inputDiscards_; }
    void RemoveCloseCommand(Window window) override;
    void RaiseWindow(Window window) override { raised_.push_back(window); }
    void ShowHelp(Window owner, std::string_view helpFile, std::uint32_t context) override {
        help_.push_back(HelpShown{owner, std::string(helpFile), context});
    }

  private:
    friend class MemoryUser;

    // --- DialogSite -----------------------------------------------------------
    std::intptr_t CallProcedure(Window dialog, const DialogMessage& message) override;
    const dlg::DialogTemplate* TemplateOf(Window dialog) override;
    Window ParentOf(Window dialog) override;
    std::vector<Window> PagesOf(Window dialog) override;
    DialogItem FocusIn(Window dialog) override;
    bool CloseCommandRemoved(Window dialog) override;

    Dialog* Lookup(Window dialog);
    const Dialog* Lookup(Window dialog) const;
    Control* LookupControl(Window dialog, int id);
    // The dialog (active one or a child page of it) that holds control `id`.
    Dialog* Holder(int id);
    // The top-level dialog `dialog` is or lives in.
    Dialog* TopLevel(Window dialog);
    Dialog* Build(int templateId, Window owner, DialogProc proc, bool modal);
    void RunModalLoop(Window dialog);
    void Destroy(Window dialog);
    bool UserCanReach(const Control& control) const;
    void MoveFocus(Window dialog, int id);
    Window NewHandle();

    dlg::DialogTemplates templates_;
    DialogManager manager_;
    std::unique_ptr<MemoryUser> user_;
    std::map<std::uintptr_t, Dialog> dialogs_;
    std::vector<Window> modalStack_;
    std::vector<MessageBoxShown> boxes_;
    std::optional<std::size_t> openBox_; // index into boxes_ of the box on screen
    std::vector<int> dialogsShown_;
    std::vector<HelpShown> help_;
    std::map<std::uintptr_t, Colour> brushes_;
    std::map<std::uintptr_t, FontRecord> fonts_;
    std::vector<Window> raised_;
    std::vector<Window> updated_;
    Window painting_{};
    Window foreground_{};
    int iconSize_ = 32;
    std::vector<std::pair<Window, std::vector<HeldHotSpot>>> hotSpots_;
    std::uintptr_t nextHandle_ = 0x1000;
    int beeps_ = 0;
    int starved_ = 0;
    int inputDiscards_ = 0;
    bool waitCursor_ = false;
    MemoryInputHooks* hooks_ = nullptr;
    int keysToControls_ = 0;
};

} // namespace osa
