// Text at the Win32 boundary. The core keeps every text as UTF-8; the Win32
// layer talks to the W functions in UTF-16. Invalid UTF-8 becomes U+FFFD (the
// conversion runs without MB_ERR_INVALID_CHARS), so a damaged text is shown,
// not dropped.
#pragma once
#include <string>
#include <string_view>

#include "platform/win32/win32_api.h"

namespace osa::win32 {

std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);

// The text of a window (WM_GETTEXT), as UTF-8; empty when there is none.
std::string WindowText(HWND window);

} // namespace osa::win32
