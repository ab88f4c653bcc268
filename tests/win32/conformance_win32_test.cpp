// The conformance table (tests/conformance/) on real Win32 windows: the
// reference for the other hosts. Keys are posted to the focused control, so
// that the dialog's own message loop and the system's dialog manager handle
// them; the mouse is real input (SendInput) at the controls' places. Each
// step runs from a thread timer, which fires only once the input before it
// has been handled.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "platform/services.h"
#include "platform/win32/win32_window_host.h"
#include "tests/conformance/dialog_conformance.h"

namespace osa {
namespace {

namespace cf = conformance;

std::vector<std::function<void()>> g_steps;
std::size_t g_next = 0;

void CALLBACK RunStep(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    if (g_next >= g_steps.size()) return;
    const std::size_t now = g_next++;
    g_steps[now]();
    if (g_next < g_steps.size()) SetTimer(nullptr, 0, 30, RunStep);
}

HWND Hwnd(Window w) {
    return win32::ToHwnd(w);
}

HWND Item(Window dialog, int id) {
    return GetDlgItem(Hwnd(dialog), id);
}

POINT CentreOf(HWND control) {
    RECT r{};
    GetWindowRect(control, &r);
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

POINT ScreenOfDlu(Window dialog, Point dlu) {
    RECT r{dlu.x, dlu.y, 0, 0};
    MapDialogRect(Hwnd(dialog), &r);
    POINT p{r.left, r.top};
    ClientToScreen(Hwnd(dialog), &p);
    return p;
}

// A move to `at`, or (with button flags) a button where the pointer is.
INPUT MouseInput(POINT at, DWORD flags) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    const int w = GetSystemMetrics(SM_CXSCREEN);
    const int h = GetSystemMetrics(SM_CYSCREEN);
    in.mi.dx = MulDiv(at.x, 65536, w) + 1;
    in.mi.dy = MulDiv(at.y, 65536, h) + 1;
    in.mi.dwFlags = flags != 0 ? flags : MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    return in;
}

// Moves to each point in turn, with the button going down at the first and
// up at the last (unless `release` is false).
void Drag(const std::vector<POINT>& path, bool release = true) {
    std::vector<INPUT> in;
    in.push_back(MouseInput(path.front(), 0));
    in.push_back(MouseInput(path.front(), MOUSEEVENTF_LEFTDOWN));
    for (std::size_t i = 1; i < path.size(); ++i)
        in.push_back(MouseInput(path[i], 0));
    if (release) in.push_back(MouseInput(path.back(), MOUSEEVENTF_LEFTUP));
    SendInput(static_cast<UINT>(in.size()), in.data(), sizeof(INPUT));
}

void Click(POINT at) {
    Drag({at});
}

void Key(UINT vk) {
    HWND focus = GetFocus();
    PostMessageW(focus, WM_KEYDOWN, vk, 1);
    PostMessageW(focus, WM_KEYUP, vk, static_cast<LPARAM>(0xC0000001u));
}

SCROLLBARINFO BarInfo() {
    SCROLLBARINFO info{};
    info.cbSize = sizeof(info);
    GetScrollBarInfo(Item(cf::MainWindow(), cf::Bar), OBJID_CLIENT, &info);
    return info;
}

// The steps of each action, each run once the input of the one before has
// been handled.
std::vector<std::function<void()>> ActionSteps(cf::Action action) {
    using enum cf::Action;
    auto main = [] { return cf::MainWindow(); };
    auto listItem = [main](int index) {
        COMBOBOXINFO info{};
        info.cbSize = sizeof(info);
        GetComboBoxInfo(Item(main(), cf::List), &info);
        RECT r{};
        SendMessageW(info.hwndList, LB_GETITEMRECT, static_cast<WPARAM>(index),
                     reinterpret_cast<LPARAM>(&r));
        POINT p{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
        ClientToScreen(info.hwndList, &p);
        return p;
    };
    switch (action) {
    case ClickRadio2:
        return {[=] { Click(CentreOf(Item(main(), cf::Radio2))); }};
    case RadioKeyRight:
        return {[] { Key(VK_RIGHT); }};
    case RadioKeyUp:
        return {[] { Key(VK_UP); }};
    case ClickCheck:
        return {[=] { Click(CentreOf(Item(main(), cf::Check))); }};
    case Enter:
        return {[] { Key(VK_RETURN); }};
    case Escape:
        return {[] { Key(VK_ESCAPE); }};
    case CloseBox:
        // What the caption's close button sends.
        return {[=] { PostMessageW(Hwnd(main()), WM_SYSCOMMAND, SC_CLOSE, 0); }};
    case Tab:
        return {[] { Key(VK_TAB); }};
    case ListChooseThree:
        return {[=] { Click(CentreOf(Item(main(), cf::List))); }, [=] { Click(listItem(2)); }};
    case ListCancel:
        return {[=] { Click(CentreOf(Item(main(), cf::List))); }, [] { Key(VK_ESCAPE); }};
    case ListKeyDown:
        return {[] { Key(VK_DOWN); }};
    case ListTypeLetter:
        return {[] { Key('O'); }};
    case SpaceOnButton:
    case SpaceOnCheck:
        return {[] { Key(VK_SPACE); }};
    case BarKeyRight:
        return {[] { Key(VK_RIGHT); }};
    case BarKeyPageDown:
        return {[] { Key(VK_NEXT); }};
    case BarKeyHome:
        return {[] { Key(VK_HOME); }};
    case ScrollArrowRight:
        return {[] {
            const SCROLLBARINFO b = BarInfo();
            Click(POINT{b.rcScrollBar.right - b.dxyLineButton / 2,
                        (b.rcScrollBar.top + b.rcScrollBar.bottom) / 2});
        }};
    case ScrollPageLeft:
        return {[] {
            const SCROLLBARINFO b = BarInfo();
            Click(POINT{b.rcScrollBar.left + (b.dxyLineButton + b.xyThumbTop) / 2,
                        (b.rcScrollBar.top + b.rcScrollBar.bottom) / 2});
        }};
    case ThumbDrag:
        return {[] {
            const SCROLLBARINFO b = BarInfo();
            const POINT thumb{b.rcScrollBar.left + (b.xyThumbTop + b.xyThumbBottom) / 2,
                              (b.rcScrollBar.top + b.rcScrollBar.bottom) / 2};
            Drag({thumb, POINT{thumb.x + 30, thumb.y}});
        }};
    case DragOnPage:
        return {[=] {
            Drag({ScreenOfDlu(cf::PageWindow(), cf::PagePressDlu),
                  ScreenOfDlu(main(), cf::MainDragDlu)});
        }};
    case PressOnPageThenEnd:
        return {[] {
                    const POINT at = ScreenOfDlu(cf::PageWindow(), cf::PagePressDlu);
                    Drag({at, POINT{at.x + 4, at.y + 2}}, false);
                },
                [] { Key(VK_ESCAPE); }};
    }
    return {};
}

class Win32Conformance : public ::testing::TestWithParam<cf::Case> {
  protected:
    void SetUp() override { previous_ = InstallServices(Services{&host, nullptr}); }
    void TearDown() override {
        InstallServices(previous_);
        // Whatever button a case left down goes up.
        INPUT up = MouseInput(POINT{5, 5}, MOUSEEVENTF_LEFTUP);
        SendInput(1, &up, sizeof(INPUT));
    }

    win32::Win32WindowHost host{dlg::DialogTemplates(cf::Templates())};

  private:
    Services previous_{};
};

TEST_P(Win32Conformance, MessagesAsTheWin32DialogManagerSendsThem) {
    const cf::Case& c = GetParam();
    cf::Outcome outcome;
    g_steps.clear();
    g_next = 0;
    g_steps.push_back([&] {
        const Window focusIn = c.focusWho == cf::Who::Main ? cf::MainWindow() : cf::PageWindow();
        SetForegroundWindow(Hwnd(cf::MainWindow()));
        host.SetFocusItem(focusIn, c.focusId);
        if (c.defaultDisabled) host.EnableItem(cf::MainWindow(), cf::Ok, false);
    });
    g_steps.push_back([] { cf::StartRecording(); });
    for (auto& step : ActionSteps(c.action))
        g_steps.push_back(step);
    g_steps.push_back([&] {
        const HWND main = Hwnd(cf::MainWindow());
        cf::Finish(outcome, main != nullptr && IsWindow(main) && IsWindowVisible(main));
    });
    SetTimer(nullptr, 0, 100, RunStep);
    (void)host.DialogBox(cf::MainTemplate, Window{}, cf::MainProc, 0);
    cf::ExpectAsTheTableSays(c, outcome);
}

INSTANTIATE_TEST_SUITE_P(Table, Win32Conformance, ::testing::ValuesIn(cf::Cases()),
                         [](const auto& row) { return cf::CaseName(row.param); });

} // namespace
} // namespace osa
