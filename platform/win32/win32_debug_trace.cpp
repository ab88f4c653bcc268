#include "platform/win32/win32_debug_trace.h"

#include "platform/win32/win32_api.h"
#include "platform/win32/win32_text.h"

namespace osa::win32 {

namespace {

constexpr UINT ShiftJis = 932;

} // namespace

std::string ToCodePage932(std::string_view utf8) {
    return Utf8ToCodePage(utf8, ShiftJis);
}

void Win32DebugTrace::Command(std::string_view label, std::string_view command) {
    OutputDebugStringA(ToCodePage932(label).c_str());
    OutputDebugStringA(std::string(command).c_str());
    OutputDebugStringA("\n");
}

} // namespace osa::win32
