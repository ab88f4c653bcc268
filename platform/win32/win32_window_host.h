// The Win32 window host: real dialogs, message boxes and GDI objects.
//
// Dialogs are built at run time from the templates of controller/res (see
// win32_dialog_template.h) and run with DialogBoxIndirectParamW and
// CreateDialogIndirectParamW. One dialog procedure, DialogThunk, serves every
// dialog: it finds the dialog's record (kept in DWLP_USER from WM_INITDIALOG
// on), translates the Win32 message into an osa::DialogMessage, calls the
// controller's DialogProc and gives its answer back the way a Win32 dialog
// procedure does. A Window's value is the HWND itself.
//
// Pictures (SS_BITMAP and SS_ICON statics, window icons, DrawIcon) load from
// the module given at construction; the program passes its own instance, so
// the bitmaps and icons of its resource script are found.
//
// Everything runs on the thread that made the host, which must also be the
// thread that made its windows.
#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/dialog_template.h"
#include "platform/win32/win32_accessible.h"
#include "platform/win32/win32_api.h"
#include "platform/window_host.h"

namespace osa::win32 {

inline HWND ToHwnd(Window window) {
    return reinterpret_cast<HWND>(window.value);
}
inline Window FromHwnd(HWND hwnd) {
    return Window{reinterpret_cast<std::uintptr_t>(hwnd)};
}

class Win32WindowHost final : public WindowHost {
  public:
    // `instance`: the module that holds the pictures; nullptr for the
    // program's own (GetModuleHandleW(nullptr)).
    // `templates`: the dialogs it can show by number.
    explicit Win32WindowHost(dlg::DialogTemplates templates, HINSTANCE instance = nullptr);
    // Destroys the modeless dialogs that are still open.
    ~Win32WindowHost() override;
    Win32WindowHost(const Win32WindowHost&) = delete;
    Win32WindowHost& operator=(const Win32WindowHost&) = delete;

    // DialogBox and CreateDialog for a template that is not in the program's
    // table (tests use small ones of their own).
    std::intptr_t DialogBoxFrom(const dlg::DialogTemplate& dialog, Window owner, DialogProc proc,
                                std::intptr_t param);
    Window CreateDialogFrom(const dlg::DialogTemplate& dialog, Window parent, DialogProc proc,
                            std::intptr_t param);

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
    int IconSize() override;
    // Answered to assistive technology by the window's IAccessible server
    // (win32_accessible.h), which the window gives on WM_GETOBJECT.
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
    struct DialogRecord {
        Win32WindowHost* host = nullptr;
        DialogProc proc = nullptr;
        std::intptr_t param = 0;
        bool modal = false;
        // EndDialog was called: only WM_DESTROY still reaches the procedure.
        mutable bool ended = false;
    };
    struct Painting {
        HWND window = nullptr;
        HDC dc = nullptr;
    };

    // A dialog of this host that exists now.
    struct Live {
        HWND hwnd = nullptr;
        const DialogRecord* record = nullptr;
    };

    static INT_PTR CALLBACK DialogThunk(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    INT_PTR Dispatch(DialogRecord record, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    const DialogRecord* RecordOf(HWND hwnd) const;
    void Forget(const DialogRecord* record);
    HWND Item(Window dialog, int id) const;
    HICON LoadIconResource(int iconId, int size) const;

    dlg::DialogTemplates templates_;
    HINSTANCE instance_;
    // How much larger than at 96 dpi a dialog made from `dialog` is laid
    // out, in per cent; and the bitmap a picture control of it loads.
    static int LayoutScale(const dlg::DialogTemplate& dialog);
    struct BitmapChoice {
        const Win32WindowHost* host;
        int scale;
    };
    static int ScreenBitmap(int bitmap, const void* context);
    // Records of the modeless dialogs; a modal dialog's record lives on the
    // stack of DialogBoxFrom. Each is removed when its window is gone.
    std::vector<std::unique_ptr<DialogRecord>> modeless_;
    // Every dialog from its WM_INITDIALOG to its WM_NCDESTROY.
    std::vector<Live> live_;
    // The paint in progress per window (BeginPaint's DC), for DrawIcon.
    std::vector<Painting> paints_;
    // The drawn buttons of each window that has some, as its accessible
    // object shows them (shared with the objects clients hold).
    std::vector<std::pair<HWND, AccessibleSpots>> hotSpots_;
};

} // namespace osa::win32
