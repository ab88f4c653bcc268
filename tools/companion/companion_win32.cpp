// MTC_DMAN.EXE: the animated instructions in a plain Win32 window. The
// controller finds the window as the first visible top-level window of this
// process once the process waits for input, keeps it topmost, and posts
// WM_CLOSE to it when the controller ends; WM_CLOSE closes the window like
// its close button, and the program ends with 0.
//
// The window is created and shown before the message loop starts, so it
// exists by the time WaitForInputIdle returns in the controller.
#include <cmath>
#include <string>
#include <string_view>

#include "platform/win32/win32_api.h"
#include "tools/companion/companion_steps.h"

namespace {

using namespace osa::companion;

constexpr wchar_t ClassName[] = L"OstrandelAnimatedInstructions";
constexpr int IconId = 1500;
constexpr int IdBack = 101;
constexpr int IdNext = 102;
constexpr int IdClose = 103;
constexpr UINT_PTR AnimationTimer = 1;
constexpr int Margin = 12;
constexpr int ButtonWidth = 88;
constexpr int ButtonHeight = 26;
constexpr int TitleHeight = 28;
constexpr int CaptionHeight = 64;
constexpr int ClientWidth = SceneWidth * 3 / 2 + 2 * Margin;
constexpr int ClientHeight =
    Margin + TitleHeight + SceneHeight * 3 / 2 + CaptionHeight + ButtonHeight + 2 * Margin;

std::wstring Widen(std::string_view utf8) {
    if (utf8.empty()) return {};
    const int n =
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), n);
    return out;
}

// Owns one GDI object (pen, brush, font, bitmap).
template <typename Handle> class Gdi {
  public:
    explicit Gdi(Handle handle = nullptr) : handle_(handle) {}
    ~Gdi() {
        if (handle_ != nullptr) DeleteObject(handle_);
    }
    Gdi(const Gdi&) = delete;
    Gdi& operator=(const Gdi&) = delete;
    Handle Get() const { return handle_; }

  private:
    Handle handle_;
};

// Selects an object into a DC for one scope.
class Selected {
  public:
    Selected(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
    ~Selected() { SelectObject(dc_, previous_); }
    Selected(const Selected&) = delete;
    Selected& operator=(const Selected&) = delete;

  private:
    HDC dc_;
    HGDIOBJ previous_;
};

// A memory DC compatible with `dc`.
class MemoryDc {
  public:
    explicit MemoryDc(HDC dc) : dc_(CreateCompatibleDC(dc)) {}
    ~MemoryDc() {
        if (dc_ != nullptr) DeleteDC(dc_);
    }
    MemoryDc(const MemoryDc&) = delete;
    MemoryDc& operator=(const MemoryDc&) = delete;
    HDC Get() const { return dc_; }

  private:
    HDC dc_;
};

// A memory DC drawing into a bitmap of the given size, for painting without
// flicker.
class BackBuffer {
  public:
    BackBuffer(HDC dc, int width, int height)
        : dc_(dc), bitmap_(CreateCompatibleBitmap(dc, width, height)),
          select_(dc_.Get(), bitmap_.Get()) {}
    BackBuffer(const BackBuffer&) = delete;
    BackBuffer& operator=(const BackBuffer&) = delete;
    HDC Get() const { return dc_.Get(); }

  private:
    // Destroyed in reverse: the bitmap is selected out before it is deleted.
    MemoryDc dc_;
    Gdi<HBITMAP> bitmap_;
    Selected select_;
};

COLORREF ToColorRef(Colour c) {
    return RGB(c.r, c.g, c.b);
}

struct Instructions {
    HINSTANCE instance = nullptr;
    HWND window = nullptr;
    HWND back = nullptr;
    HWND next = nullptr;
    Gdi<HBITMAP> picture;
    Gdi<HFONT> titleFont;
    Gdi<HFONT> textFont;
    int step = 0;
    int frame = 0;

    explicit Instructions(HINSTANCE inst)
        : instance(inst),
          picture(static_cast<HBITMAP>(
              LoadImageW(inst, MAKEINTRESOURCEW(1016), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION))),
          titleFont(CreateFontW(-18, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                DEFAULT_PITCH | FF_SWISS, L"Tahoma")),
          textFont(CreateFontW(-14, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                               OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                               DEFAULT_PITCH | FF_SWISS, L"Tahoma")) {}

    RECT SceneRect() const {
        return RECT{Margin, Margin + TitleHeight, ClientWidth - Margin,
                    Margin + TitleHeight + SceneHeight * 3 / 2};
    }

    void GoTo(int to) {
        if (to < 0 || to >= StepCount) return;
        step = to;
        frame = 0;
        EnableWindow(back, step > 0);
        EnableWindow(next, step + 1 < StepCount);
        InvalidateRect(window, nullptr, FALSE);
    }

    HWND Button(const wchar_t* text, int id, int x) const {
        HWND button = CreateWindowExW(
            0, L"BUTTON", text, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, x,
            ClientHeight - Margin - ButtonHeight, ButtonWidth, ButtonHeight, window,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
        SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(textFont.Get()), FALSE);
        return button;
    }

    void Create() {
        back = Button(L"< Back", IdBack, Margin);
        next = Button(L"Next >", IdNext, Margin + ButtonWidth + 8);
        Button(L"Close", IdClose, ClientWidth - Margin - ButtonWidth);
        SetTimer(window, AnimationTimer, FrameMilliseconds, nullptr);
        GoTo(0);
    }

    void Paint(HDC target) const {
        RECT client{};
        GetClientRect(window, &client);
        BackBuffer buffer(target, client.right, client.bottom);
        HDC dc = buffer.Get();
        FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
        SetBkMode(dc, TRANSPARENT);

        const Step& s = Steps[step];
        {
            Selected font(dc, titleFont.Get());
            const std::wstring title = L"Step " + std::to_wstring(step + 1) + L" of " +
                                       std::to_wstring(StepCount) + L": " + Widen(s.title);
            RECT r{Margin, Margin, ClientWidth - Margin, Margin + TitleHeight};
            DrawTextW(dc, title.c_str(), -1, &r, DT_LEFT | DT_TOP | DT_SINGLELINE);
        }
        PaintScene(dc, s);
        {
            Selected font(dc, textFont.Get());
            const std::wstring caption = Widen(s.caption);
            RECT r{Margin, SceneRect().bottom + 8, ClientWidth - Margin,
                   SceneRect().bottom + CaptionHeight};
            DrawTextW(dc, caption.c_str(), -1, &r, DT_LEFT | DT_TOP | DT_WORDBREAK);
        }
        BitBlt(target, 0, 0, client.right, client.bottom, dc, 0, 0, SRCCOPY);
    }

    void PaintScene(HDC dc, const Step& s) const {
        const RECT area = SceneRect();
        Gdi<HBRUSH> white(CreateSolidBrush(ToColorRef(Paper)));
        FillRect(dc, &area, white.Get());
        const auto X = [&area](double x) { return area.left + static_cast<int>(x * 3 / 2); };
        const auto Y = [&area](double y) { return area.top + static_cast<int>(y * 3 / 2); };

        if (s.bitmap != 0 && picture.Get() != nullptr) {
            BITMAP info{};
            GetObjectW(picture.Get(), sizeof info, &info);
            MemoryDc source(dc);
            Selected held(source.Get(), picture.Get());
            const int w = info.bmWidth * 3 / 2;
            const int h = info.bmHeight * 3 / 2;
            SetStretchBltMode(dc, HALFTONE);
            StretchBlt(dc, (area.left + area.right - w) / 2, (area.top + area.bottom - h) / 2, w, h,
                       source.Get(), 0, 0, info.bmWidth, info.bmHeight, SRCCOPY);
        }

        Gdi<HPEN> outline(CreatePen(PS_SOLID, 2, ToColorRef(Ink)));
        for (const Shape& shape : s.shapes) {
            const int dx = shape.moves ? OffsetX(s, frame) : 0;
            const int dy = shape.moves ? OffsetY(s, frame) : 0;
            const int x1 = X(shape.x1 + dx), y1 = Y(shape.y1 + dy);
            switch (shape.kind) {
            case Kind::Line:
            case Kind::Arrow: {
                Gdi<HPEN> pen(CreatePen(PS_SOLID, 3, ToColorRef(shape.colour)));
                Selected held(dc, pen.Get());
                const int x2 = X(shape.x2 + dx), y2 = Y(shape.y2 + dy);
                MoveToEx(dc, x1, y1, nullptr);
                LineTo(dc, x2, y2);
                if (shape.kind == Kind::Arrow) {
                    const double angle = std::atan2(y2 - y1, x2 - x1);
                    for (double side : {-0.5, 0.5}) {
                        MoveToEx(dc, x2, y2, nullptr);
                        LineTo(dc, x2 - static_cast<int>(12 * std::cos(angle + side)),
                               y2 - static_cast<int>(12 * std::sin(angle + side)));
                    }
                }
                break;
            }
            case Kind::FilledBox: {
                Gdi<HBRUSH> fill(CreateSolidBrush(ToColorRef(shape.colour)));
                Selected pen(dc, outline.Get());
                Selected brush(dc, fill.Get());
                Rectangle(dc, x1, y1, X(shape.x2 + dx), Y(shape.y2 + dy));
                break;
            }
            case Kind::FilledCircle: {
                Gdi<HBRUSH> fill(CreateSolidBrush(ToColorRef(shape.colour)));
                Selected pen(dc, outline.Get());
                Selected brush(dc, fill.Get());
                const int r = shape.x2 * 3 / 2;
                Ellipse(dc, x1 - r, y1 - r, x1 + r, y1 + r);
                break;
            }
            }
        }
    }
};

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<Instructions*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    switch (message) {
    case WM_NCCREATE: {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        self = static_cast<Instructions*>(create->lpCreateParams);
        self->window = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        break;
    }
    case WM_CREATE:
        self->Create();
        return 0;
    case WM_COMMAND:
        if (self == nullptr) break;
        switch (LOWORD(wParam)) {
        case IdBack:
            self->GoTo(self->step - 1);
            return 0;
        case IdNext:
            self->GoTo(self->step + 1);
            return 0;
        case IdClose:
            PostMessageW(window, WM_CLOSE, 0, 0);
            return 0;
        default:
            break;
        }
        break;
    case WM_TIMER:
        if (self != nullptr && wParam == AnimationTimer) {
            ++self->frame;
            const RECT scene = self->SceneRect();
            InvalidateRect(window, &scene, FALSE);
        }
        return 0;
    case WM_ERASEBKGND:
        return 1; // WM_PAINT covers the whole client area
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(window, &ps);
        if (self != nullptr) self->Paint(dc);
        EndPaint(window, &ps);
        return 0;
    }
    case WM_DESTROY:
        KillTimer(window, AnimationTimer);
        PostQuitMessage(0);
        return 0;
    case WM_NCDESTROY:
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        break;
    default:
        break;
    }
    // WM_CLOSE goes on to DefWindowProc, which destroys the window.
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IconId));
    wc.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IconId), IMAGE_ICON,
                                               GetSystemMetrics(SM_CXSMICON),
                                               GetSystemMetrics(SM_CYSMICON), 0));
    wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)); // IDC_ARROW
    wc.hbrBackground = nullptr;
    wc.lpszClassName = ClassName;
    if (RegisterClassExW(&wc) == 0) return 1;

    Instructions instructions(instance);
    constexpr DWORD style =
        WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
    RECT frame{0, 0, ClientWidth, ClientHeight};
    AdjustWindowRectEx(&frame, style, FALSE, 0);
    const std::wstring title = Widen(WindowTitle);
    HWND window = CreateWindowExW(0, ClassName, title.c_str(), style, CW_USEDEFAULT, CW_USEDEFAULT,
                                  frame.right - frame.left, frame.bottom - frame.top, nullptr,
                                  nullptr, instance, &instructions);
    if (window == nullptr) return 1;
    ShowWindow(window, show);
    UpdateWindow(window);

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (IsDialogMessageW(window, &msg)) continue; // Tab between the buttons
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}
