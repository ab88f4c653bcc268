// The Win32 window host. In this file, in order: the helpers for message
// parameters, the dialog procedure shared by every dialog (DialogThunk) and
// its message translation, running dialogs, then the WindowHost operations in
// the order of platform/window_host.h.
#include "platform/win32/win32_window_host.h"

#include <algorithm>

#include "platform/win32/win32_dialog_template.h"
#include "platform/win32/win32_help.h"
#include "platform/win32/win32_text.h"

namespace osa::win32 {

namespace {

// LOWORD/HIWORD and friends are macros with C casts; these say the same.
int LowWord(std::uintptr_t v) {
    return static_cast<int>(v & 0xFFFF);
}
int HighWord(std::uintptr_t v) {
    return static_cast<int>((v >> 16) & 0xFFFF);
}
// Mouse positions are signed 16-bit halves (GET_X_LPARAM, GET_Y_LPARAM):
// they go negative left of or above the client area while the mouse is
// captured.
int SignedLowWord(LPARAM v) {
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(v));
}
int SignedHighWord(LPARAM v) {
    return static_cast<std::int16_t>(
        static_cast<std::uint16_t>(static_cast<std::uintptr_t>(v) >> 16));
}

// MAKEINTRESOURCEW.
LPCWSTR ResourceName(int id) {
    return reinterpret_cast<LPCWSTR>(static_cast<ULONG_PTR>(static_cast<WORD>(id)));
}

Rect FromRECT(const RECT& r) {
    return Rect{r.left, r.top, r.right, r.bottom};
}
RECT ToRECT(const Rect& r) {
    return RECT{r.left, r.top, r.right, r.bottom};
}

// An owner that is not (or no longer) a window would make the dialog or box
// fail to appear at all; it is shown without an owner instead. The owner
// arrives from the command line of the calling application, which may have
// closed that window meanwhile.
HWND UsableOwner(Window owner) {
    HWND h = ToHwnd(owner);
    return (h != nullptr && IsWindow(h)) ? h : nullptr;
}

} // namespace

Win32WindowHost::Win32WindowHost(dlg::DialogTemplates templates, HINSTANCE instance)
    : templates_(templates), instance_(instance != nullptr ? instance : GetModuleHandleW(nullptr)) {
}

int Win32WindowHost::LayoutScale(const dlg::DialogTemplate& dialog) {
    // The program declares itself aware of the system's dpi (its manifest),
    // so the screen's dots per inch are the real ones. A dialog grows with
    // its font's base units, which follow the dpi only roughly (8 points at
    // 192 dpi give about 1.9 times the base units of 96 dpi); its pictures
    // are drawn for the smaller of the two ratios.
    HDC screen = GetDC(nullptr);
    if (screen == nullptr) return 100;
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    const std::wstring face = Widen(dialog.font);
    auto baseUnits = [&](int dotsPerInch) {
        HFONT font = CreateFontW(-MulDiv(dialog.pointSize, dotsPerInch, 72), 0, 0, 0, FW_NORMAL,
                                 FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                 CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, face.c_str());
        SIZE units{};
        if (font == nullptr) return units;
        HGDIOBJ previous = SelectObject(screen, font);
        TEXTMETRICW metrics{};
        SIZE letters{};
        static constexpr wchar_t Alphabet[] =
            L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
        if (GetTextMetricsW(screen, &metrics) &&
            GetTextExtentPoint32W(screen, Alphabet, 52, &letters))
            units = SIZE{(letters.cx / 26 + 1) / 2, metrics.tmHeight};
        SelectObject(screen, previous);
        DeleteObject(font);
        return units;
    };
    const SIZE at96 = baseUnits(96), here = baseUnits(dpi);
    ReleaseDC(nullptr, screen);
    if (at96.cx <= 0 || at96.cy <= 0 || here.cx <= 0 || here.cy <= 0) return 100;
    return std::min(MulDiv(here.cx, 100, at96.cx), MulDiv(here.cy, 100, at96.cy));
}

int Win32WindowHost::ScreenBitmap(int bitmap, const void* context) {
    const auto& layout = *static_cast<const BitmapChoice*>(context);
    const Win32WindowHost* host = layout.host;
    const int scaled = ScaledBitmapId(bitmap, layout.scale);
    // A module without the scaled drawings shows the bitmap drawn at 100 %.
    if (scaled != bitmap &&
        FindResourceW(host->instance_, ResourceName(scaled), RT_BITMAP) != nullptr)
        return scaled;
    return bitmap;
}

Win32WindowHost::~Win32WindowHost() {
    // Destroying a window removes its entries (WM_NCDESTROY), so work on a copy.
    std::vector<HWND> open;
    for (const Live& l : live_)
        if (!l.record->modal) open.push_back(l.hwnd);
    for (HWND h : open)
        if (IsWindow(h)) DestroyWindow(h);
}

// --- The dialog procedure --------------------------------------------------

INT_PTR CALLBACK Win32WindowHost::DialogThunk(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    const DialogRecord* record = nullptr;
    if (msg == WM_INITDIALOG) {
        // The record comes as the creation parameter; from now on the window
        // carries it. Messages before this one (WM_SETFONT) go unhandled.
        record = reinterpret_cast<const DialogRecord*>(lParam);
        if (record == nullptr) return FALSE;
        SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
        record->host->live_.push_back(Live{hwnd, record});
    } else {
        record = reinterpret_cast<const DialogRecord*>(GetWindowLongPtrW(hwnd, DWLP_USER));
        if (record == nullptr) return FALSE;
        if (msg == WM_NCDESTROY) {
            // The last message a window receives: drop the record.
            SetWindowLongPtrW(hwnd, DWLP_USER, 0);
            std::erase_if(record->host->hotSpots_,
                          [hwnd](const auto& e) { return e.first == hwnd; });
            record->host->Forget(record);
            return FALSE;
        }
        // Assistive technology asks for the client area's object: a window
        // with drawn buttons answers with its own (the rest, the system).
        if (msg == WM_GETOBJECT && static_cast<LONG>(lParam) == OBJID_CLIENT) {
            for (const auto& [window, spots] : record->host->hotSpots_) {
                if (window != hwnd || spots->empty()) continue;
                const LRESULT answer = AnswerGetObject(hwnd, wParam, spots);
                if (answer == 0) break;
                SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, answer);
                return TRUE;
            }
        }
    }
    // By value: the procedure may destroy the window (EndDialog of a
    // modeless dialog) and with it the record.
    return record->host->Dispatch(*record, hwnd, msg, wParam, lParam);
}

INT_PTR Win32WindowHost::Dispatch(DialogRecord record, HWND hwnd, UINT msg, WPARAM wParam,
                                  LPARAM lParam) {
    if (record.proc == nullptr) return FALSE;
    // After EndDialog the dialog hears nothing but its end, as the other
    // hosts keep it (window_host.h).
    if (record.ended && msg != WM_DESTROY) return FALSE;
    const Window self = FromHwnd(hwnd);
    DialogMessage m;
    m.msg = static_cast<Msg>(msg);

    switch (msg) {
    case WM_INITDIALOG:
        m.param = record.param;
        // TRUE: the system gives the focus to the first tab stop.
        return record.proc(self, m);

    case WM_COMMAND:
        m.id = LowWord(wParam);
        m.code = HighWord(wParam);
        // A list's focus notifications: no procedure of the program reads
        // them and the other hosts do not make them.
        if (lParam != 0 && (m.code == CBN_SETFOCUS || m.code == CBN_KILLFOCUS)) {
            wchar_t cls[16] = {};
            if (GetClassNameW(reinterpret_cast<HWND>(lParam), cls, 16) > 0 &&
                lstrcmpiW(cls, L"ComboBox") == 0)
                return FALSE;
        }
        break;

    case WM_HSCROLL:
    case WM_VSCROLL: {
        // lParam is the scroll bar control (0 for the window's own bars).
        HWND bar = reinterpret_cast<HWND>(lParam);
        m.id = bar != nullptr ? GetDlgCtrlID(bar) : 0;
        m.code = LowWord(wParam);
        // The 16-bit thumb position of SB_THUMBTRACK and SB_THUMBPOSITION;
        // the controller's scroll ranges are small and not negative.
        m.position = HighWord(wParam);
        break;
    }

    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORDLG: {
        HDC dc = reinterpret_cast<HDC>(wParam);
        StaticColours colours;
        if (msg == WM_CTLCOLORSTATIC) {
            m.id = GetDlgCtrlID(reinterpret_cast<HWND>(lParam));
            m.colours = &colours;
        }
        // The answer is the brush itself (not DWLP_MSGRESULT); 0 leaves the
        // colours to the dialog manager.
        const INT_PTR brush = record.proc(self, m);
        if (colours.transparent || colours.hollow) SetBkMode(dc, TRANSPARENT);
        if (colours.text) SetTextColor(dc, *colours.text);
        if (colours.hollow) return reinterpret_cast<INT_PTR>(GetStockObject(NULL_BRUSH));
        return brush;
    }

    case WM_PAINT: {
        // The dialog class paints nothing of its own beyond the background
        // (WM_ERASEBKGND, sent by BeginPaint), so painting here is the same
        // as the default whether or not the procedure draws.
        PAINTSTRUCT ps{};
        HDC dc = BeginPaint(hwnd, &ps);
        paints_.push_back(Painting{hwnd, dc});
        (void)record.proc(self, m);
        paints_.pop_back();
        EndPaint(hwnd, &ps);
        return TRUE;
    }

    case WM_ACTIVATE:
        m.code = LowWord(wParam);
        m.minimized = HighWord(wParam) != 0;
        break;

    case WM_SYSCOMMAND:
        m.code = static_cast<int>(wParam);
        break;

    case WM_HELP: {
        const auto* info = reinterpret_cast<const HELPINFO*>(lParam);
        m.id = info != nullptr ? info->iCtrlId : 0;
        break;
    }

    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
        m.point = Point{SignedLowWord(lParam), SignedHighWord(lParam)};
        m.keys = static_cast<unsigned>(wParam);
        break;

    case WM_CLOSE:
    case WM_DESTROY:
    case WM_CAPTURECHANGED:
        break;

    default:
        return FALSE; // not one the controller's procedures see
    }
    return record.proc(self, m) != 0 ? TRUE : FALSE;
}

void Win32WindowHost::SetHotSpots(Window window, std::span<const HotSpot> spots) {
    HWND hwnd = ToHwnd(window);
    if (!IsWindow(hwnd)) return;
    auto entry = std::find_if(hotSpots_.begin(), hotSpots_.end(),
                              [hwnd](const auto& e) { return e.first == hwnd; });
    if (entry == hotSpots_.end()) {
        hotSpots_.emplace_back(hwnd, std::make_shared<std::vector<AccessibleSpot>>());
        entry = std::prev(hotSpots_.end());
    }
    std::vector<AccessibleSpot> next;
    next.reserve(spots.size());
    for (const HotSpot& s : spots)
        next.push_back(AccessibleSpot{Widen(s.name), s.rect, s.enabled, s.pressed});
    std::vector<AccessibleSpot>& current = *entry->second;
    // Clients that follow the pad hear of each button whose state changed.
    std::vector<LONG> changed;
    if (current.size() == next.size()) {
        for (std::size_t i = 0; i < next.size(); ++i)
            if (current[i].pressed != next[i].pressed || current[i].enabled != next[i].enabled)
                changed.push_back(static_cast<LONG>(i + 1));
    }
    const bool reordered = current.size() != next.size();
    current = std::move(next);
    for (LONG child : changed)
        NotifyWinEvent(EVENT_OBJECT_STATECHANGE, hwnd, OBJID_CLIENT, child);
    if (reordered) NotifyWinEvent(EVENT_OBJECT_REORDER, hwnd, OBJID_CLIENT, CHILDID_SELF);
}

void Win32WindowHost::Forget(const DialogRecord* record) {
    std::erase_if(live_, [record](const Live& l) { return l.record == record; });
    std::erase_if(modeless_,
                  [record](const std::unique_ptr<DialogRecord>& r) { return r.get() == record; });
}

const Win32WindowHost::DialogRecord* Win32WindowHost::RecordOf(HWND hwnd) const {
    auto it =
        std::find_if(live_.begin(), live_.end(), [hwnd](const Live& l) { return l.hwnd == hwnd; });
    return it != live_.end() ? it->record : nullptr;
}

HWND Win32WindowHost::Item(Window dialog, int id) const {
    HWND d = ToHwnd(dialog);
    return d != nullptr ? GetDlgItem(d, id) : nullptr;
}

HICON Win32WindowHost::LoadIconResource(int iconId, int size) const {
    // Shared: the system keeps the icon and frees it with the module.
    return static_cast<HICON>(
        LoadImageW(instance_, ResourceName(iconId), IMAGE_ICON, size, size, LR_SHARED));
}

// --- Dialogs -----------------------------------------------------------------

std::intptr_t Win32WindowHost::DialogBoxFrom(const dlg::DialogTemplate& dialog, Window owner,
                                             DialogProc proc, std::intptr_t param) {
    const BitmapChoice pictures{this, BitmapScaleAtMost(LayoutScale(dialog))};
    const DialogTemplateImage image(dialog, &ScreenBitmap, &pictures);
    DialogRecord record{this, proc, param, true};
    // -1 when the dialog cannot be made.
    return DialogBoxIndirectParamW(instance_, image.Get(), UsableOwner(owner), &DialogThunk,
                                   reinterpret_cast<LPARAM>(&record));
}

Window Win32WindowHost::CreateDialogFrom(const dlg::DialogTemplate& dialog, Window parent,
                                         DialogProc proc, std::intptr_t param) {
    const BitmapChoice pictures{this, BitmapScaleAtMost(LayoutScale(dialog))};
    const DialogTemplateImage image(dialog, &ScreenBitmap, &pictures);
    auto owned = std::make_unique<DialogRecord>(DialogRecord{this, proc, param, false});
    const DialogRecord* record = owned.get();
    modeless_.push_back(std::move(owned));
    HWND h = CreateDialogIndirectParamW(instance_, image.Get(), UsableOwner(parent), &DialogThunk,
                                        reinterpret_cast<LPARAM>(record));
    // Also when the procedure ended the dialog while it initialised.
    if (h == nullptr || !IsWindow(h)) {
        Forget(record);
        return Window{};
    }
    return FromHwnd(h);
}

std::intptr_t Win32WindowHost::DialogBox(int templateId, Window owner, DialogProc proc,
                                         std::intptr_t param) {
    const dlg::DialogTemplate* t = templates_.Find(templateId);
    return t != nullptr ? DialogBoxFrom(*t, owner, proc, param) : -1;
}

Window Win32WindowHost::CreateDialog(int templateId, Window parent, DialogProc proc,
                                     std::intptr_t param) {
    const dlg::DialogTemplate* t = templates_.Find(templateId);
    return t != nullptr ? CreateDialogFrom(*t, parent, proc, param) : Window{};
}

void Win32WindowHost::EndDialog(Window dialog, std::intptr_t result) {
    HWND h = ToHwnd(dialog);
    const DialogRecord* record = RecordOf(h);
    if (record == nullptr) return; // not one of this host's dialogs
    record->ended = true;
    if (record->modal)
        ::EndDialog(h, result); // the modal loop ends once the procedure returns
    else
        DestroyWindow(h);
}

Window Win32WindowHost::GetItem(Window dialog, int id) {
    return FromHwnd(Item(dialog, id));
}

// --- Message boxes and sound -------------------------------------------------

int Win32WindowHost::MessageBox(Window owner, std::string_view text, std::string_view caption,
                                unsigned style) {
    return MessageBoxW(UsableOwner(owner), Widen(text).c_str(), Widen(caption).c_str(), style);
}

void Win32WindowHost::Beep() {
    MessageBeep(0);
}

// --- Texts, states, values ---------------------------------------------------

void Win32WindowHost::SetCaption(Window window, std::string_view text) {
    if (HWND h = ToHwnd(window)) SetWindowTextW(h, Widen(text).c_str());
}

std::string Win32WindowHost::GetCaption(Window window) {
    return WindowText(ToHwnd(window));
}

void Win32WindowHost::SetWindowIcon(Window window, int iconId) {
    HWND h = ToHwnd(window);
    if (h == nullptr) return;
    HICON big = LoadIconResource(iconId, GetSystemMetrics(SM_CXICON));
    HICON small = LoadIconResource(iconId, GetSystemMetrics(SM_CXSMICON));
    if (big != nullptr) SendMessageW(h, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
    if (small != nullptr) SendMessageW(h, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
}

void Win32WindowHost::SetItemText(Window dialog, int id, std::string_view text) {
    if (HWND item = Item(dialog, id)) SetWindowTextW(item, Widen(text).c_str());
}

std::string Win32WindowHost::GetItemText(Window dialog, int id) {
    return WindowText(Item(dialog, id));
}

void Win32WindowHost::EnableItem(Window dialog, int id, bool enable) {
    if (HWND item = Item(dialog, id)) EnableWindow(item, enable ? TRUE : FALSE);
}

bool Win32WindowHost::IsItemEnabled(Window dialog, int id) {
    HWND item = Item(dialog, id);
    return item != nullptr && IsWindowEnabled(item);
}

void Win32WindowHost::ShowItem(Window dialog, int id, bool show) {
    if (HWND item = Item(dialog, id)) ShowWindow(item, show ? SW_SHOW : SW_HIDE);
}

bool Win32WindowHost::IsItemVisible(Window dialog, int id) {
    // The control's own state, whether or not its dialog is on screen yet.
    HWND item = Item(dialog, id);
    return item != nullptr && (GetWindowLongPtrW(item, GWL_STYLE) & WS_VISIBLE) != 0;
}

void Win32WindowHost::CheckItem(Window dialog, int id, bool checked) {
    if (HWND item = Item(dialog, id))
        SendMessageW(item, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool Win32WindowHost::IsItemChecked(Window dialog, int id) {
    HWND item = Item(dialog, id);
    return item != nullptr && SendMessageW(item, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void Win32WindowHost::SetScrollRange(Window dialog, int id, int min, int max, bool redraw) {
    if (HWND item = Item(dialog, id)) ::SetScrollRange(item, SB_CTL, min, max, redraw);
}

void Win32WindowHost::SetScrollPos(Window dialog, int id, int pos, bool redraw) {
    if (HWND item = Item(dialog, id)) ::SetScrollPos(item, SB_CTL, pos, redraw);
}

int Win32WindowHost::GetScrollPos(Window dialog, int id) {
    HWND item = Item(dialog, id);
    return item != nullptr ? ::GetScrollPos(item, SB_CTL) : 0;
}

void Win32WindowHost::ComboReset(Window dialog, int id) {
    if (HWND item = Item(dialog, id)) SendMessageW(item, CB_RESETCONTENT, 0, 0);
}

int Win32WindowHost::ComboAdd(Window dialog, int id, std::string_view text) {
    HWND item = Item(dialog, id);
    if (item == nullptr) return -1;
    const std::wstring w = Widen(text);
    const LRESULT index = SendMessageW(item, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(w.c_str()));
    return index >= 0 ? static_cast<int>(index) : -1; // CB_ERR, CB_ERRSPACE
}

void Win32WindowHost::ComboSetSelection(Window dialog, int id, int index) {
    if (HWND item = Item(dialog, id))
        SendMessageW(item, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

int Win32WindowHost::ComboGetSelection(Window dialog, int id) {
    HWND item = Item(dialog, id);
    if (item == nullptr) return -1;
    const LRESULT index = SendMessageW(item, CB_GETCURSEL, 0, 0);
    return index >= 0 ? static_cast<int>(index) : -1;
}

int Win32WindowHost::ComboCount(Window dialog, int id) {
    HWND item = Item(dialog, id);
    if (item == nullptr) return 0;
    const LRESULT count = SendMessageW(item, CB_GETCOUNT, 0, 0);
    return count >= 0 ? static_cast<int>(count) : 0;
}

void Win32WindowHost::EditSetSelection(Window dialog, int id, int start, int end) {
    // Negative values keep their meaning (-1: no selection) through the casts.
    if (HWND item = Item(dialog, id))
        SendMessageW(item, EM_SETSEL, static_cast<WPARAM>(start), static_cast<LPARAM>(end));
}

void Win32WindowHost::EditLimitText(Window dialog, int id, int maxChars) {
    if (HWND item = Item(dialog, id))
        SendMessageW(item, EM_SETLIMITTEXT, static_cast<WPARAM>(maxChars), 0);
}

void Win32WindowHost::SetFocusItem(Window dialog, int id) {
    // Only a control that exists: SetFocus(nullptr) would take the focus away.
    if (HWND item = Item(dialog, id)) SetFocus(item);
}

int Win32WindowHost::GetFocusItem(Window dialog) {
    HWND d = ToHwnd(dialog);
    HWND f = GetFocus();
    if (d == nullptr || f == nullptr || f == d) return 0;
    // The focus may sit in a part of a control (the edit of a combo box):
    // climb to the dialog's own child.
    HWND desktop = GetDesktopWindow();
    for (HWND parent = GetAncestor(f, GA_PARENT); parent != d; parent = GetAncestor(f, GA_PARENT)) {
        if (parent == nullptr || parent == desktop) return 0;
        f = parent;
    }
    return GetDlgCtrlID(f);
}

// --- Drawing -----------------------------------------------------------------

Brush Win32WindowHost::CreateSolidBrush(Colour colour) {
    return Brush{reinterpret_cast<std::uintptr_t>(::CreateSolidBrush(colour))};
}

void Win32WindowHost::DeleteBrush(Brush brush) {
    if (brush) DeleteObject(reinterpret_cast<HGDIOBJ>(brush.value));
}

Font Win32WindowHost::CreateGuiFont(int pixelHeight, int weight) {
    LOGFONTW lf{};
    HGDIOBJ gui = GetStockObject(DEFAULT_GUI_FONT);
    if (gui == nullptr || GetObjectW(gui, sizeof lf, &lf) == 0) return Font{};
    if (pixelHeight != 0) lf.lfHeight = pixelHeight;
    if (weight != 0) lf.lfWeight = weight;
    return Font{reinterpret_cast<std::uintptr_t>(CreateFontIndirectW(&lf))};
}

Extent Win32WindowHost::TextExtent(Font font, std::string_view text) {
    HDC dc = GetDC(nullptr);
    if (dc == nullptr) return Extent{};
    HGDIOBJ chosen =
        font ? reinterpret_cast<HGDIOBJ>(font.value) : GetStockObject(DEFAULT_GUI_FONT);
    HGDIOBJ previous = SelectObject(dc, chosen);
    const std::wstring wide = Widen(text);
    SIZE size{};
    if (!GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &size))
        size = SIZE{};
    SelectObject(dc, previous);
    ReleaseDC(nullptr, dc);
    return Extent{size.cx, size.cy};
}

void Win32WindowHost::DeleteFont(Font font) {
    if (font) DeleteObject(reinterpret_cast<HGDIOBJ>(font.value));
}

void Win32WindowHost::SetItemFont(Window dialog, int id, Font font) {
    if (HWND item = Item(dialog, id)) SendMessageW(item, WM_SETFONT, font.value, TRUE);
}

void Win32WindowHost::UpdateWindow(Window window) {
    // The controls are child windows with their own WM_PAINT: the whole
    // tree is painted.
    if (HWND h = ToHwnd(window))
        ::RedrawWindow(h, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void Win32WindowHost::InvalidateRect(Window window, std::optional<Rect> rect, bool erase) {
    HWND h = ToHwnd(window);
    if (h == nullptr) return;
    if (rect) {
        const RECT r = ToRECT(*rect);
        ::InvalidateRect(h, &r, erase);
    } else {
        ::InvalidateRect(h, nullptr, erase);
    }
}

int Win32WindowHost::IconSize() {
    // DrawIcon draws at the large icon size, which grows with the dpi.
    return GetSystemMetrics(SM_CXICON);
}

void Win32WindowHost::DrawIcon(Window window, int iconId, Point at) {
    HWND h = ToHwnd(window);
    auto it = std::find_if(paints_.rbegin(), paints_.rend(),
                           [h](const Painting& p) { return p.window == h; });
    if (it == paints_.rend()) return; // only while handling Paint
    if (HICON icon = LoadIconW(instance_, ResourceName(iconId)))
        ::DrawIcon(it->dc, at.x, at.y, icon);
}

// --- Geometry ----------------------------------------------------------------

Rect Win32WindowHost::GetWindowRect(Window window) {
    RECT r{};
    HWND h = ToHwnd(window);
    return (h != nullptr && ::GetWindowRect(h, &r)) ? FromRECT(r) : Rect{};
}

Rect Win32WindowHost::GetItemRect(Window dialog, int id) {
    return GetWindowRect(FromHwnd(Item(dialog, id)));
}

Rect Win32WindowHost::GetClientRect(Window window) {
    RECT r{};
    HWND h = ToHwnd(window);
    return (h != nullptr && ::GetClientRect(h, &r)) ? FromRECT(r) : Rect{};
}

Point Win32WindowHost::ScreenToClient(Window window, Point screen) {
    POINT p{screen.x, screen.y};
    HWND h = ToHwnd(window);
    return (h != nullptr && ::ScreenToClient(h, &p)) ? Point{p.x, p.y} : Point{};
}

void Win32WindowHost::MoveWindow(Window window, Rect screenRect, bool repaint) {
    HWND h = ToHwnd(window);
    if (h == nullptr || !IsWindow(h)) return;
    POINT corners[2] = {{screenRect.left, screenRect.top}, {screenRect.right, screenRect.bottom}};
    // MoveWindow takes a child's position in its parent's client area.
    if ((GetWindowLongPtrW(h, GWL_STYLE) & WS_CHILD) != 0)
        MapWindowPoints(nullptr, GetAncestor(h, GA_PARENT), corners, 2);
    ::MoveWindow(h, corners[0].x, corners[0].y, corners[1].x - corners[0].x,
                 corners[1].y - corners[0].y, repaint);
}

Rect Win32WindowHost::MapDialogRect(Window dialog, Rect dialogUnits) {
    RECT r = ToRECT(dialogUnits);
    HWND h = ToHwnd(dialog);
    return (h != nullptr && ::MapDialogRect(h, &r)) ? FromRECT(r) : Rect{};
}

// --- Focus, input, cursor ----------------------------------------------------

void Win32WindowHost::SetForeground(Window window) {
    if (HWND h = ToHwnd(window)) SetForegroundWindow(h);
}

void Win32WindowHost::SetCapture(Window window) {
    if (HWND h = ToHwnd(window)) ::SetCapture(h);
}

void Win32WindowHost::ReleaseCapture() {
    ::ReleaseCapture();
}

void Win32WindowHost::SetWaitCursor(bool wait) {
    SetCursor(LoadCursorW(nullptr, wait ? IDC_WAIT : IDC_ARROW));
}

void Win32WindowHost::DiscardPendingInput() {
    MSG m;
    while (PeekMessageW(&m, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE)) {
    }
    while (PeekMessageW(&m, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE)) {
    }
}

void Win32WindowHost::RemoveCloseCommand(Window window) {
    HWND h = ToHwnd(window);
    if (h == nullptr) return;
    if (HMENU menu = GetSystemMenu(h, FALSE)) DeleteMenu(menu, SC_CLOSE, MF_BYCOMMAND);
}

void Win32WindowHost::RaiseWindow(Window window) {
    HWND h = ToHwnd(window);
    if (h == nullptr || !IsWindow(h)) return;
    HWND popup = GetLastActivePopup(h); // the window itself when it has none
    if (popup == nullptr) popup = h;
    SetForegroundWindow(popup);
    SetFocus(popup);
    ShowWindow(popup, SW_SHOWNORMAL);
}

void Win32WindowHost::ShowHelp(Window owner, std::string_view helpFile, std::uint32_t context) {
    if (!ShowHelpTopic(UsableOwner(owner), helpFile, context)) MessageBeep(0);
}

} // namespace osa::win32
