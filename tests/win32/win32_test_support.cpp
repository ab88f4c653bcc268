#include "tests/win32/win32_test_support.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <system_error>
#include <thread>

#include "platform/win32/win32_text.h"

namespace osa::wintest {

namespace {

struct Collect {
    DWORD processId = 0; // 0: any
    const char* className = nullptr;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM lParam) {
    auto& c = *reinterpret_cast<Collect*>(lParam);
    if (!IsWindowVisible(window)) return TRUE;
    if (c.processId != 0) {
        DWORD pid = 0;
        GetWindowThreadProcessId(window, &pid);
        if (pid != c.processId) return TRUE;
    }
    if (c.className != nullptr && ClassName(window) != c.className) return TRUE;
    c.found.push_back(window);
    return TRUE;
}

HICON SystemIcon(LPCWSTR id) {
    return LoadIconW(nullptr, id);
}

} // namespace

std::string ClassName(HWND window) {
    wchar_t name[256] = {};
    const int n = GetClassNameW(window, name, 256);
    return n > 0 ? win32::Narrow(std::wstring_view(name, static_cast<std::size_t>(n))) : "";
}

std::string Text(HWND window) {
    return win32::WindowText(window);
}

std::vector<HWND> ThreadWindows(DWORD threadId, const char* className) {
    Collect c{0, className, {}};
    EnumThreadWindows(threadId, CollectWindow, reinterpret_cast<LPARAM>(&c));
    return c.found;
}

std::vector<HWND> ProcessWindows(DWORD processId, const char* className) {
    Collect c{processId, className, {}};
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&c));
    return c.found;
}

std::vector<HWND> Children(HWND parent) {
    std::vector<HWND> out;
    for (HWND c = GetWindow(parent, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT))
        out.push_back(c);
    return out;
}

HWND WaitFor(const std::function<HWND()>& find) {
    const auto deadline = std::chrono::steady_clock::now() + Patience;
    do {
        if (HWND w = find()) return w;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    } while (std::chrono::steady_clock::now() < deadline);
    return nullptr;
}

bool WaitUntil(const std::function<bool()>& ready, std::chrono::milliseconds patience) {
    const auto deadline = std::chrono::steady_clock::now() + patience;
    do {
        if (ready()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    } while (std::chrono::steady_clock::now() < deadline);
    return false;
}

BoxIcon MessageBoxIcon(HWND box) {
    for (HWND child : Children(box)) {
        if ((GetWindowLongPtrW(child, GWL_STYLE) & SS_TYPEMASK) != SS_ICON) continue;
        if (ClassName(child) != "Static") continue;
        auto icon = reinterpret_cast<HICON>(SendMessageW(child, STM_GETICON, 0, 0));
        if (icon == nullptr) return BoxIcon::None;
        if (icon == SystemIcon(IDI_HAND)) return BoxIcon::Hand;
        if (icon == SystemIcon(IDI_EXCLAMATION)) return BoxIcon::Exclamation;
        if (icon == SystemIcon(IDI_ASTERISK)) return BoxIcon::Asterisk;
        if (icon == SystemIcon(IDI_QUESTION)) return BoxIcon::Question;
        return BoxIcon::Other;
    }
    return BoxIcon::None;
}

const char* ToString(BoxIcon icon) {
    switch (icon) {
    case BoxIcon::None:
        return "none";
    case BoxIcon::Hand:
        return "stop";
    case BoxIcon::Exclamation:
        return "exclamation";
    case BoxIcon::Asterisk:
        return "information";
    case BoxIcon::Question:
        return "question";
    case BoxIcon::Other:
        break;
    }
    return "other";
}

Pictures PicturesOf(HWND dialog) {
    Pictures p;
    for (HWND child : Children(dialog)) {
        if (ClassName(child) != "Static") continue;
        const auto type = GetWindowLongPtrW(child, GWL_STYLE) & SS_TYPEMASK;
        if (type == SS_BITMAP) {
            ++p.bitmaps;
            if (SendMessageW(child, STM_GETIMAGE, IMAGE_BITMAP, 0) != 0) ++p.bitmapsLoaded;
        } else if (type == SS_ICON) {
            ++p.icons;
            if (SendMessageW(child, STM_GETICON, 0, 0) != 0) ++p.iconsLoaded;
        }
    }
    return p;
}

void PressOk(HWND dialog) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
}

ScratchFolder::ScratchFolder(const char* prefix) {
    char temp[MAX_PATH] = {};
    char unique[MAX_PATH] = {};
    if (GetTempPathA(MAX_PATH, temp) == 0 || GetTempFileNameA(temp, prefix, 0, unique) == 0) return;
    DeleteFileA(unique);
    if (CreateDirectoryA(unique, nullptr)) path_ = unique;
}

ScratchFolder::~ScratchFolder() {
    if (path_.empty()) return;
    std::error_code ec;
    for (const auto& e : std::filesystem::recursive_directory_iterator(path_, ec))
        SetFileAttributesA(e.path().string().c_str(), FILE_ATTRIBUTE_NORMAL);
    std::filesystem::remove_all(path_, ec);
}

std::string ThisProgramsFolder() {
    char path[MAX_PATH] = {};
    const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string s(path, n);
    return s.substr(0, s.rfind('\\') + 1);
}

int ScreenScale() {
    HDC screen = GetDC(nullptr);
    const int scale = MulDiv(GetDeviceCaps(screen, LOGPIXELSY), 100, 96);
    ReleaseDC(nullptr, screen);
    return scale;
}

bool SaveScreenshot(HWND window, const std::string& name) {
    RECT r{};
    if (!GetWindowRect(window, &r) || r.right <= r.left || r.bottom <= r.top) return false;
    const int width = r.right - r.left, height = r.bottom - r.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height; // bottom-up, as a BMP file stores its rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP shot = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bool ok = false;
    if (shot != nullptr && memory != nullptr) {
        HGDIOBJ previous = SelectObject(memory, shot);
        ok = BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY) != FALSE;
        GdiFlush();
        SelectObject(memory, previous);
    }
    if (ok) {
        const std::uint32_t stride = (static_cast<std::uint32_t>(width) * 3 + 3) & ~3u;
        const std::uint32_t size = stride * static_cast<std::uint32_t>(height);
        BITMAPFILEHEADER file{};
        file.bfType = 0x4D42; // "BM"
        file.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
        file.bfSize = file.bfOffBits + size;
        std::error_code ec;
        const std::filesystem::path folder =
            std::filesystem::path(OSA_SCREENSHOT_DIR) / std::to_string(ScreenScale());
        std::filesystem::create_directories(folder, ec);
        std::ofstream out(folder / (name + ".bmp"), std::ios::binary);
        out.write(reinterpret_cast<const char*>(&file), sizeof file);
        out.write(reinterpret_cast<const char*>(&info.bmiHeader), sizeof info.bmiHeader);
        out.write(static_cast<const char*>(bits), size);
        ok = out.good();
    }
    if (shot != nullptr) DeleteObject(shot);
    if (memory != nullptr) DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return ok;
}

} // namespace osa::wintest
