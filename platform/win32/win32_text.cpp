#include "platform/win32/win32_text.h"

#include <climits>

namespace osa::win32 {

std::wstring Widen(std::string_view utf8) {
    if (utf8.empty() || utf8.size() > static_cast<std::size_t>(INT_MAX)) return {};
    const int inLength = static_cast<int>(utf8.size());
    const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), inLength, nullptr, 0);
    if (length <= 0) return {};
    std::wstring out(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), inLength, out.data(), length);
    return out;
}

std::string Narrow(std::wstring_view utf16) {
    if (utf16.empty() || utf16.size() > static_cast<std::size_t>(INT_MAX)) return {};
    const int inLength = static_cast<int>(utf16.size());
    const int length =
        WideCharToMultiByte(CP_UTF8, 0, utf16.data(), inLength, nullptr, 0, nullptr, nullptr);
    if (length <= 0) return {};
    std::string out(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, utf16.data(), inLength, out.data(), length, nullptr, nullptr);
    return out;
}

std::string CodePageToUtf8(std::string_view text, UINT codePage) {
    if (text.empty() || text.size() > static_cast<std::size_t>(INT_MAX)) return {};
    const int inLength = static_cast<int>(text.size());
    const int length = MultiByteToWideChar(codePage, 0, text.data(), inLength, nullptr, 0);
    if (length <= 0) return {};
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), inLength, wide.data(), length);
    return Narrow(wide);
}

std::string Utf8ToCodePage(std::string_view utf8, UINT codePage) {
    const std::wstring wide = Widen(utf8);
    if (wide.empty() || wide.size() > static_cast<std::size_t>(INT_MAX)) return {};
    const int inLength = static_cast<int>(wide.size());
    const int length =
        WideCharToMultiByte(codePage, 0, wide.data(), inLength, nullptr, 0, nullptr, nullptr);
    if (length <= 0) return {};
    std::string out(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(codePage, 0, wide.data(), inLength, out.data(), length, nullptr, nullptr);
    return out;
}

std::string WindowText(HWND window) {
    if (window == nullptr) return {};
    const int length = GetWindowTextLengthW(window);
    if (length <= 0) return {};
    // The length may be an overestimate (DBCS rules); GetWindowTextW says
    // how much it copied.
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(window, text.data(), length + 1);
    text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
    return Narrow(text);
}

} // namespace osa::win32
