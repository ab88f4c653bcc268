#include "platform/win32/win32_debug_trace.h"

#include "platform/win32/win32_api.h"

namespace osa::win32 {

namespace {

constexpr UINT ShiftJis = 932;

} // namespace

std::string ToCodePage932(std::string_view utf8) {
    if (utf8.empty()) return {};
    const int wide =
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    if (wide <= 0) return {};
    std::wstring utf16(static_cast<std::size_t>(wide), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), utf16.data(), wide);
    const int narrow =
        WideCharToMultiByte(ShiftJis, 0, utf16.data(), wide, nullptr, 0, nullptr, nullptr);
    if (narrow <= 0) return {};
    std::string out(static_cast<std::size_t>(narrow), '\0');
    WideCharToMultiByte(ShiftJis, 0, utf16.data(), wide, out.data(), narrow, nullptr, nullptr);
    return out;
}

void Win32DebugTrace::Command(std::string_view label, std::string_view command) {
    OutputDebugStringA(ToCodePage932(label).c_str());
    OutputDebugStringA(std::string(command).c_str());
    OutputDebugStringA("\n");
}

} // namespace osa::win32
