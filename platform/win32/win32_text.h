// Text at the Win32 boundary. The core keeps every text as UTF-8; the Win32
// layer talks to the W functions in UTF-16. Invalid UTF-8 becomes U+FFFD (the
// conversion runs without MB_ERR_INVALID_CHARS), so a damaged text is shown,
// not dropped.
#pragma once
#include <string>
#include <string_view>

#include "platform/media_name_codec.h"
#include "platform/win32/win32_api.h"

namespace osa::win32 {

std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);

// Text in a code page (the ANSI code page unless told) to UTF-8 and back,
// through UTF-16. Bytes the code page does not define become U+FFFD on the
// way in; characters it cannot hold become its default character ('?') on
// the way out.
std::string CodePageToUtf8(std::string_view text, UINT codePage = CP_ACP);
std::string Utf8ToCodePage(std::string_view utf8, UINT codePage = CP_ACP);

// Media names are file names in the ANSI code page; the windows show UTF-8.
// The codec the core's media names take on Windows.
class AnsiMediaNames final : public MediaNameCodec {
  public:
    std::string ToScreen(std::string_view name) const override { return CodePageToUtf8(name); }
    std::string FromScreen(std::string_view text) const override { return Utf8ToCodePage(text); }
};

// The text of a window (WM_GETTEXT), as UTF-8; empty when there is none.
std::string WindowText(HWND window);

} // namespace osa::win32
