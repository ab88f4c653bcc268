// The Win32 host on a small dialog of the test's own: how Win32 messages
// reach a DialogProc, how modal and modeless dialogs end, and what the
// control operations do on real controls (UTF-8 texts, missing controls,
// screen and client coordinates, input and system menu).
#include <gtest/gtest.h>

#include <oleacc.h>

#include <functional>
#include <string>
#include <vector>

#include "controller/res/resources.h"
#include "platform/win32/win32_text.h"
#include "platform/win32/win32_window_host.h"
#include "tests/win32/win32_test_support.h"

namespace osa {
namespace {

using res::ControlClass;

constexpr int kButton = 100, kLabel = 101, kHBar = 102, kEdit = 103, kList = 104, kCheck = 105,
              kHidden = 106, kMissing = 999;

constexpr res::ControlTemplate kControls[] = {
    {kButton, ControlClass::PushButton, res::CsTabStop, "Push", 0, {5, 5, 50, 14}},
    {kLabel, ControlClass::Static, res::CsLeft, "Label", 0, {5, 25, 60, 10}},
    {kHBar, ControlClass::HScrollBar, res::CsNone, "", 0, {5, 40, 100, 10}},
    {kEdit,
     ControlClass::Edit,
     res::CsTabStop | res::CsBorder | res::CsAutoHScroll,
     "",
     0,
     {5, 55, 80, 12}},
    {kList, ControlClass::DropDownList, res::CsTabStop | res::CsVScroll, "", 0, {5, 70, 80, 60}},
    {kCheck, ControlClass::AutoCheckBox, res::CsTabStop, "Check", 0, {5, 90, 60, 10}},
    {kHidden, ControlClass::Static, res::CsHidden, "Hidden", 0, {70, 25, 40, 10}},
};
constexpr res::DialogTemplate kDialog{9001,
                                      "Host test",
                                      res::DsPopup | res::DsCaption | res::DsSysMenu |
                                          res::DsVisible,
                                      "MS Sans Serif",
                                      8,
                                      {20, 20, 200, 150},
                                      kControls};

// What the test's dialog procedure saw and how it answers. One dialog
// procedure is a plain function, so it works on this one record.
struct Recorder {
    std::vector<DialogMessage> seen;
    std::intptr_t initParam = -1;
    std::function<std::intptr_t(Window, const DialogMessage&)> react;
};
Recorder* g_recorder = nullptr;

std::intptr_t RecordingProc(Window dialog, const DialogMessage& m) {
    Recorder& r = *g_recorder;
    DialogMessage copy = m;
    copy.colours = nullptr;
    r.seen.push_back(copy);
    if (m.msg == Msg::InitDialog) r.initParam = m.param;
    return r.react ? r.react(dialog, m) : 0;
}

class Win32HostTest : public ::testing::Test {
  protected:
    void SetUp() override { g_recorder = &recorder; }
    void TearDown() override {
        if (dialog && IsWindow(Hwnd())) host.EndDialog(dialog, 0);
        g_recorder = nullptr;
    }
    void Open() {
        dialog = host.CreateDialogFrom(kDialog, Window{}, RecordingProc, 1234);
        ASSERT_TRUE(dialog);
    }
    HWND Hwnd() const { return win32::ToHwnd(dialog); }
    HWND ItemHwnd(int id) const { return GetDlgItem(Hwnd(), id); }
    // The messages of one kind seen since the last Clear().
    std::vector<DialogMessage> Seen(Msg msg) const {
        std::vector<DialogMessage> out;
        for (const DialogMessage& m : recorder.seen)
            if (m.msg == msg) out.push_back(m);
        return out;
    }

    Recorder recorder;
    win32::Win32WindowHost host{dlg::DialogTemplates(res::AllDialogTemplates())};
    Window dialog{};
};

TEST_F(Win32HostTest, MessagesReachTheProcedureTranslated) {
    recorder.react = [](Window, const DialogMessage& m) -> std::intptr_t {
        return m.msg == Msg::SysCommand ? 1 : 0; // keep the dialog open
    };
    Open();
    EXPECT_EQ(recorder.initParam, 1234);

    struct Row {
        const char* what;
        std::function<void(HWND dialog)> send;
        DialogMessage expected;
    };
    HELPINFO help{};
    help.cbSize = sizeof help;
    help.iContextType = HELPINFO_WINDOW;
    help.iCtrlId = kLabel;
    const std::vector<Row> rows = {
        {"button click",
         [this](HWND) { SendMessageW(ItemHwnd(kButton), BM_CLICK, 0, 0); },
         {Msg::Command, kButton, BN_CLICKED}},
        {"edit change",
         [this](HWND) { SetWindowTextW(ItemHwnd(kEdit), L"12"); },
         {Msg::Command, kEdit, EN_CHANGE}},
        {"scroll bar thumb",
         [this](HWND d) {
             SendMessageW(d, WM_HSCROLL, MAKEWPARAM(SB_THUMBTRACK, 77),
                          reinterpret_cast<LPARAM>(ItemHwnd(kHBar)));
         },
         {Msg::HScroll, kHBar, SB_THUMBTRACK, 77}},
        {"window's own scroll bar",
         [](HWND d) { SendMessageW(d, WM_VSCROLL, SB_LINERIGHT, 0); },
         {Msg::VScroll, 0, SB_LINEDOWN, 0}},
        {"deactivated while minimised",
         [](HWND d) { SendMessageW(d, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 1), 0); },
         {Msg::Activate, 0, WA_INACTIVE, 0, true}},
        {"system close",
         [](HWND d) { SendMessageW(d, WM_SYSCOMMAND, SC_CLOSE, 0); },
         {Msg::SysCommand, 0, SC_CLOSE}},
        {"help on a control",
         [&help](HWND d) { SendMessageW(d, WM_HELP, 0, reinterpret_cast<LPARAM>(&help)); },
         {Msg::Help, kLabel}},
        {"button down left of and below the client area",
         [](HWND d) {
             SendMessageW(d, WM_LBUTTONDOWN, MK_LBUTTON,
                          MAKELPARAM(static_cast<WORD>(-3), static_cast<WORD>(9)));
         },
         {Msg::LButtonDown, 0, 0, 0, false, {-3, 9}, MK_LBUTTON}},
        {"mouse move at the extremes",
         [](HWND d) {
             SendMessageW(d, WM_MOUSEMOVE, MK_LBUTTON,
                          MAKELPARAM(static_cast<WORD>(-32768), static_cast<WORD>(32767)));
         },
         {Msg::MouseMove, 0, 0, 0, false, {-32768, 32767}, MK_LBUTTON}},
        {"button up",
         [](HWND d) { SendMessageW(d, WM_LBUTTONUP, 0, MAKELPARAM(40, 50)); },
         {Msg::LButtonUp, 0, 0, 0, false, {40, 50}, 0}},
        {"close request", [](HWND d) { SendMessageW(d, WM_CLOSE, 0, 0); }, {Msg::Close}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        recorder.seen.clear();
        row.send(Hwnd());
        const std::vector<DialogMessage> got = Seen(row.expected.msg);
        ASSERT_FALSE(got.empty()) << "not received";
        const DialogMessage& m = got.back();
        EXPECT_EQ(m.id, row.expected.id);
        EXPECT_EQ(m.code, row.expected.code);
        EXPECT_EQ(m.position, row.expected.position);
        EXPECT_EQ(m.minimized, row.expected.minimized);
        EXPECT_EQ(m.point, row.expected.point);
        EXPECT_EQ(m.keys, row.expected.keys);
    }
}

// A DC whose state the colour answer changes.
struct MemoryDc {
    HDC dc = CreateCompatibleDC(nullptr);
    ~MemoryDc() { DeleteDC(dc); }
};

TEST_F(Win32HostTest, ColourAnswersPaintTheStatic) {
    const Brush brush = host.CreateSolidBrush(Rgb(200, 100, 50));
    recorder.react = [brush](Window, const DialogMessage& m) -> std::intptr_t {
        if (m.msg == Msg::CtlColorStatic && m.id == kLabel) {
            m.colours->transparent = true;
            m.colours->text = Rgb(10, 20, 30);
            return static_cast<std::intptr_t>(brush.value);
        }
        if (m.msg == Msg::CtlColorDlg) return static_cast<std::intptr_t>(brush.value);
        return 0;
    };
    Open();
    MemoryDc paint;
    ASSERT_NE(paint.dc, nullptr);
    SetBkMode(paint.dc, OPAQUE);

    const LRESULT answer =
        SendMessageW(Hwnd(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(paint.dc),
                     reinterpret_cast<LPARAM>(ItemHwnd(kLabel)));
    EXPECT_EQ(static_cast<std::uintptr_t>(answer), brush.value);
    EXPECT_EQ(GetBkMode(paint.dc), TRANSPARENT);
    EXPECT_EQ(GetTextColor(paint.dc), RGB(10, 20, 30));
    ASSERT_FALSE(Seen(Msg::CtlColorStatic).empty());
    EXPECT_EQ(Seen(Msg::CtlColorStatic).back().id, kLabel);

    const LRESULT background =
        SendMessageW(Hwnd(), WM_CTLCOLORDLG, reinterpret_cast<WPARAM>(paint.dc),
                     reinterpret_cast<LPARAM>(Hwnd()));
    EXPECT_EQ(static_cast<std::uintptr_t>(background), brush.value);

    LOGBRUSH lb{};
    ASSERT_NE(GetObjectW(reinterpret_cast<HGDIOBJ>(brush.value), sizeof lb, &lb), 0);
    EXPECT_EQ(lb.lbColor, RGB(200, 100, 50));
    host.EndDialog(dialog, 0);
    host.DeleteBrush(brush);
}

TEST_F(Win32HostTest, ModalDialogEndsWithTheGivenResult) {
    struct Row {
        const char* what;
        std::function<std::intptr_t(Window, const DialogMessage&)> react;
    };
    const Row rows[] = {
        {"on a command posted during initialisation",
         [this](Window d, const DialogMessage& m) -> std::intptr_t {
             if (m.msg == Msg::InitDialog)
                 PostMessageW(win32::ToHwnd(d), WM_COMMAND, MAKEWPARAM(kButton, BN_CLICKED), 0);
             if (m.msg == Msg::Command && m.id == kButton) host.EndDialog(d, 42);
             return 0;
         }},
        {"while initialising",
         [this](Window d, const DialogMessage& m) -> std::intptr_t {
             if (m.msg == Msg::InitDialog) host.EndDialog(d, 42);
             return 0;
         }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        recorder.seen.clear();
        recorder.react = row.react;
        EXPECT_EQ(host.DialogBoxFrom(kDialog, Window{}, RecordingProc, 7), 42);
        EXPECT_EQ(recorder.initParam, 7);
        EXPECT_EQ(Seen(Msg::Destroy).size(), 1u);
    }
}

TEST_F(Win32HostTest, ModelessDialogIsDestroyedByEndDialog) {
    Open();
    HWND h = Hwnd();
    host.EndDialog(dialog, 5);
    EXPECT_FALSE(IsWindow(h));
    EXPECT_EQ(Seen(Msg::Destroy).size(), 1u);
    // The window is gone: ending it again does nothing.
    host.EndDialog(dialog, 5);

    // A dialog that ends while it initialises is not returned.
    recorder.react = [this](Window d, const DialogMessage& m) -> std::intptr_t {
        if (m.msg == Msg::InitDialog) host.EndDialog(d, 0);
        return 0;
    };
    EXPECT_FALSE(host.CreateDialogFrom(kDialog, Window{}, RecordingProc, 0));
}

TEST_F(Win32HostTest, UnknownTemplatesFail) {
    EXPECT_EQ(host.DialogBox(-12345, Window{}, RecordingProc, 0), -1);
    EXPECT_FALSE(host.CreateDialog(-12345, Window{}, RecordingProc, 0));
    EXPECT_TRUE(recorder.seen.empty());
}

TEST_F(Win32HostTest, ControlsKeepTextsStatesAndValues) {
    Open();
    const std::string utf8 = "Gr\xC3\xB6\xC3\x9F"
                             "e 5 \xC2\xB5m \xE2\x80\x93 ok"; // Größe 5 µm – ok
    host.SetItemText(dialog, kLabel, utf8);
    EXPECT_EQ(host.GetItemText(dialog, kLabel), utf8);
    EXPECT_EQ(wintest::Text(ItemHwnd(kLabel)), utf8);
    host.SetCaption(dialog, utf8);
    EXPECT_EQ(host.GetCaption(dialog), utf8);
    // As UTF-16 on screen: 15 characters, not the 19 bytes.
    EXPECT_EQ(GetWindowTextLengthW(ItemHwnd(kLabel)), 15);

    EXPECT_TRUE(host.IsItemEnabled(dialog, kButton));
    host.EnableItem(dialog, kButton, false);
    EXPECT_FALSE(host.IsItemEnabled(dialog, kButton));

    EXPECT_FALSE(host.IsItemVisible(dialog, kHidden));
    EXPECT_TRUE(host.IsItemVisible(dialog, kLabel));
    host.ShowItem(dialog, kHidden, true);
    host.ShowItem(dialog, kLabel, false);
    EXPECT_TRUE(host.IsItemVisible(dialog, kHidden));
    EXPECT_FALSE(host.IsItemVisible(dialog, kLabel));

    host.CheckItem(dialog, kCheck, true);
    EXPECT_TRUE(host.IsItemChecked(dialog, kCheck));
    host.CheckItem(dialog, kCheck, false);
    EXPECT_FALSE(host.IsItemChecked(dialog, kCheck));

    host.SetScrollRange(dialog, kHBar, 1, 10, false);
    host.SetScrollPos(dialog, kHBar, 7, true);
    EXPECT_EQ(host.GetScrollPos(dialog, kHBar), 7);

    EXPECT_EQ(host.ComboAdd(dialog, kList, "Plain"), 0);
    EXPECT_EQ(host.ComboAdd(dialog, kList, "\xC3\x84rger"), 1); // Ärger
    EXPECT_EQ(host.ComboCount(dialog, kList), 2);
    EXPECT_EQ(host.ComboGetSelection(dialog, kList), -1);
    host.ComboSetSelection(dialog, kList, 1);
    EXPECT_EQ(host.ComboGetSelection(dialog, kList), 1);
    EXPECT_EQ(host.GetItemText(dialog, kList), "\xC3\x84rger");
    host.ComboReset(dialog, kList);
    EXPECT_EQ(host.ComboCount(dialog, kList), 0);
    EXPECT_EQ(host.ComboGetSelection(dialog, kList), -1);

    host.SetItemText(dialog, kEdit, "123456");
    host.EditLimitText(dialog, kEdit, 4);
    EXPECT_EQ(SendMessageW(ItemHwnd(kEdit), EM_GETLIMITTEXT, 0, 0), 4);
    host.EditSetSelection(dialog, kEdit, 1, 3);
    DWORD start = 0, end = 0;
    SendMessageW(ItemHwnd(kEdit), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 1u);
    EXPECT_EQ(end, 3u);

    host.SetFocusItem(dialog, kEdit);
    EXPECT_EQ(host.GetFocusItem(dialog), kEdit);
    // A control that does not exist takes nothing, the focus included.
    host.SetFocusItem(dialog, kMissing);
    EXPECT_EQ(host.GetFocusItem(dialog), kEdit);
}

TEST_F(Win32HostTest, MissingControlsAndWindowsGiveNeutralValues) {
    Open();
    const Window none{};
    const Window gone{0x7FFF0001}; // no window has this value
    for (const Window d : {dialog, none, gone}) {
        const int id = d == dialog ? kMissing : kLabel;
        SCOPED_TRACE(d == dialog ? "missing control" : "no such dialog");
        host.SetItemText(d, id, "x");
        host.EnableItem(d, id, true);
        host.ShowItem(d, id, true);
        host.CheckItem(d, id, true);
        host.SetScrollRange(d, id, 0, 5, true);
        host.SetScrollPos(d, id, 3, true);
        host.ComboReset(d, id);
        host.ComboSetSelection(d, id, 0);
        host.EditSetSelection(d, id, 0, -1);
        host.EditLimitText(d, id, 3);
        EXPECT_FALSE(host.GetItem(d, id));
        EXPECT_EQ(host.GetItemText(d, id), "");
        EXPECT_FALSE(host.IsItemEnabled(d, id));
        EXPECT_FALSE(host.IsItemVisible(d, id));
        EXPECT_FALSE(host.IsItemChecked(d, id));
        EXPECT_EQ(host.GetScrollPos(d, id), 0);
        EXPECT_EQ(host.ComboAdd(d, id, "x"), -1);
        EXPECT_EQ(host.ComboGetSelection(d, id), -1);
        EXPECT_EQ(host.ComboCount(d, id), 0);
        EXPECT_EQ(host.GetItemRect(d, id), Rect{});
    }
    for (const Window w : {none, gone}) {
        EXPECT_EQ(host.GetCaption(w), "");
        EXPECT_EQ(host.GetWindowRect(w), Rect{});
        EXPECT_EQ(host.GetClientRect(w), Rect{});
        EXPECT_EQ(host.MapDialogRect(w, Rect{0, 0, 4, 8}), Rect{});
        EXPECT_EQ(host.GetFocusItem(w), 0);
        host.EndDialog(w, 1);
        host.MoveWindow(w, Rect{0, 0, 10, 10}, true);
        host.RaiseWindow(w);
    }
    // The label was never touched through the missing id.
    EXPECT_EQ(host.GetItemText(dialog, kLabel), "Label");
}

TEST_F(Win32HostTest, GeometryIsInScreenAndClientCoordinates) {
    Open();
    // A control sits where its template says, in dialog units of the dialog.
    const Rect dlu = host.MapDialogRect(dialog, Rect{5, 25, 5 + 60, 25 + 10});
    const Rect item = host.GetItemRect(dialog, kLabel);
    EXPECT_EQ(host.ScreenToClient(dialog, Point{item.left, item.top}), (Point{dlu.left, dlu.top}));
    EXPECT_EQ(item.Width(), dlu.Width());
    EXPECT_EQ(item.Height(), dlu.Height());

    // MoveWindow takes screen coordinates for a control as for a dialog.
    const Rect moved{item.left + 10, item.top + 5, item.right + 30, item.bottom + 5};
    host.MoveWindow(host.GetItem(dialog, kLabel), moved, true);
    EXPECT_EQ(host.GetItemRect(dialog, kLabel), moved);

    const Rect frame = host.GetWindowRect(dialog);
    const Rect shifted{frame.left + 17, frame.top + 9, frame.right + 40, frame.bottom + 9};
    host.MoveWindow(dialog, shifted, true);
    EXPECT_EQ(host.GetWindowRect(dialog), shifted);
    const Rect client = host.GetClientRect(dialog);
    EXPECT_EQ(client.left, 0);
    EXPECT_GT(client.Width(), 0);
}

TEST_F(Win32HostTest, GuiFontsTakeHeightAndWeight) {
    LOGFONTW stock{};
    ASSERT_NE(GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof stock, &stock), 0);
    struct Row {
        int height, weight;
        LONG wantHeight, wantWeight;
    };
    const Row rows[] = {
        {-20, 700, -20, 700},
        {0, 0, stock.lfHeight, stock.lfWeight},
        {14, 0, 14, stock.lfWeight},
    };
    Open();
    for (const Row& row : rows) {
        const Font font = host.CreateGuiFont(row.height, row.weight);
        ASSERT_TRUE(font);
        LOGFONTW lf{};
        ASSERT_NE(GetObjectW(reinterpret_cast<HGDIOBJ>(font.value), sizeof lf, &lf), 0);
        EXPECT_EQ(lf.lfHeight, row.wantHeight);
        EXPECT_EQ(lf.lfWeight, row.wantWeight);
        EXPECT_EQ(std::wstring(lf.lfFaceName), std::wstring(stock.lfFaceName));
        host.SetItemFont(dialog, kLabel, font);
        EXPECT_EQ(static_cast<std::uintptr_t>(SendMessageW(ItemHwnd(kLabel), WM_GETFONT, 0, 0)),
                  font.value);
        host.SetItemFont(dialog, kLabel, Font{});
        host.DeleteFont(font);
    }
}

TEST_F(Win32HostTest, PaintRunsTheProcedureWithADrawingContext) {
    int painted = 0;
    recorder.react = [this, &painted](Window d, const DialogMessage& m) -> std::intptr_t {
        if (m.msg == Msg::Paint) {
            ++painted;
            host.DrawIcon(d, 1500, Point{0, 0});
        }
        return 0;
    };
    Open();
    UpdateWindow(Hwnd());
    painted = 0;
    host.InvalidateRect(dialog, Rect{0, 0, 10, 10}, true);
    UpdateWindow(Hwnd());
    EXPECT_EQ(painted, 1);
    // Validated by the paint: nothing is left to paint.
    EXPECT_FALSE(GetUpdateRect(Hwnd(), nullptr, FALSE));
    // Outside a paint, DrawIcon draws nothing and does no harm.
    host.DrawIcon(dialog, 1500, Point{0, 0});
}

TEST_F(Win32HostTest, DiscardPendingInputDropsOnlyInput) {
    Open();
    MSG m;
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageW(&m);
    PostMessageW(Hwnd(), WM_KEYDOWN, 'A', 0);
    PostMessageW(Hwnd(), WM_CHAR, 'a', 0);
    PostMessageW(Hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, 0);
    PostMessageW(Hwnd(), WM_MOUSEMOVE, 0, 0);
    PostMessageW(Hwnd(), WM_APP, 0, 0);
    host.DiscardPendingInput();
    EXPECT_FALSE(PeekMessageW(&m, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_NOREMOVE));
    EXPECT_FALSE(PeekMessageW(&m, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_NOREMOVE));
    EXPECT_TRUE(PeekMessageW(&m, Hwnd(), WM_APP, WM_APP, PM_REMOVE));
}

TEST_F(Win32HostTest, RemoveCloseCommandTakesCloseFromTheSystemMenu) {
    Open();
    ASSERT_NE(GetMenuState(GetSystemMenu(Hwnd(), FALSE), SC_CLOSE, MF_BYCOMMAND),
              static_cast<UINT>(-1));
    host.RemoveCloseCommand(dialog);
    EXPECT_EQ(GetMenuState(GetSystemMenu(Hwnd(), FALSE), SC_CLOSE, MF_BYCOMMAND),
              static_cast<UINT>(-1));
}

#ifdef OSA_TEST_HAVE_ARTWORK
TEST_F(Win32HostTest, WindowIconComesFromTheProgramsResources) {
    Open();
    host.SetWindowIcon(dialog, 1500);
    EXPECT_NE(SendMessageW(Hwnd(), WM_GETICON, ICON_BIG, 0), 0);
    EXPECT_NE(SendMessageW(Hwnd(), WM_GETICON, ICON_SMALL, 0), 0);
}
#endif

// The drawn buttons reach assistive technology: the window's accessible
// object has one push-button child per hot spot, with its name, state and
// place, and its default action is a press and release in its middle.
TEST_F(Win32HostTest, HotSpotsAreAccessibleButtons) {
    Open();
    const HotSpot spots[] = {
        {"Up", Rect{10, 10, 40, 40}, true, false},
        {"Test Cut", Rect{50, 10, 80, 40}, false, false},
    };
    host.SetHotSpots(dialog, spots);
    IAccessible* object = nullptr;
    ASSERT_EQ(AccessibleObjectFromWindow(Hwnd(), static_cast<DWORD>(OBJID_CLIENT),
                                         __uuidof(IAccessible), reinterpret_cast<void**>(&object)),
              S_OK);
    ASSERT_NE(object, nullptr);
    long count = 0;
    EXPECT_EQ(object->get_accChildCount(&count), S_OK);
    EXPECT_EQ(count, 2);

    auto child = [](long id) {
        VARIANT v;
        VariantInit(&v);
        v.vt = VT_I4;
        v.lVal = id;
        return v;
    };
    struct Row {
        long id;
        const wchar_t* name;
        long state;
    } rows[] = {{1, L"Up", 0}, {2, L"Test Cut", STATE_SYSTEM_UNAVAILABLE}};
    for (const Row& row : rows) {
        BSTR name = nullptr;
        EXPECT_EQ(object->get_accName(child(row.id), &name), S_OK);
        EXPECT_STREQ(name, row.name);
        SysFreeString(name);
        VARIANT role, state;
        EXPECT_EQ(object->get_accRole(child(row.id), &role), S_OK);
        EXPECT_EQ(role.lVal, ROLE_SYSTEM_PUSHBUTTON);
        EXPECT_EQ(object->get_accState(child(row.id), &state), S_OK);
        EXPECT_EQ(state.lVal, row.state);
    }
    BSTR none = nullptr;
    EXPECT_EQ(object->get_accName(child(3), &none), E_INVALIDARG);

    // Its place on the screen, and what lies there.
    long x = 0, y = 0, w = 0, h = 0;
    EXPECT_EQ(object->accLocation(&x, &y, &w, &h, child(1)), S_OK);
    POINT corner{10, 10};
    ClientToScreen(Hwnd(), &corner);
    EXPECT_EQ(x, corner.x);
    EXPECT_EQ(y, corner.y);
    EXPECT_EQ(w, 30);
    EXPECT_EQ(h, 30);
    VARIANT hit;
    EXPECT_EQ(object->accHitTest(corner.x + 5, corner.y + 5, &hit), S_OK);
    EXPECT_EQ(hit.vt, VT_I4);
    EXPECT_EQ(hit.lVal, 1);

    // A state that changes is what the object the client holds reports.
    const HotSpot pressed[] = {
        {"Up", Rect{10, 10, 40, 40}, true, true},
        {"Test Cut", Rect{50, 10, 80, 40}, true, false},
    };
    host.SetHotSpots(dialog, pressed);
    VARIANT state;
    EXPECT_EQ(object->get_accState(child(1), &state), S_OK);
    EXPECT_EQ(state.lVal, STATE_SYSTEM_PRESSED);

    // Pressing it there: a press and a release in its middle.
    recorder.seen.clear();
    EXPECT_EQ(object->accDoDefaultAction(child(1)), S_OK);
    MSG m;
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageW(&m);
    const auto down = Seen(Msg::LButtonDown);
    const auto up = Seen(Msg::LButtonUp);
    ASSERT_EQ(down.size(), 1u);
    ASSERT_EQ(up.size(), 1u);
    EXPECT_EQ(down[0].point.x, 25);
    EXPECT_EQ(down[0].point.y, 25);
    object->Release();
}

} // namespace
} // namespace osa
