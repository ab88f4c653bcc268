// Help on Windows. WinHelp (.HLP) files open only where the system still has
// a WinHelp viewer; otherwise the controller's HTML help page, shipped as
// help\osactl-help.html beside the program, opens in the user's browser at
// the topic's anchor.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/win32/win32_api.h"

namespace osa::win32 {

// The anchor of help topic `context` in the HTML help page.
std::wstring HelpAnchor(std::uint32_t context);

// A file: URL for the local path `path` (drive letter or UNC), with every
// byte outside the URL's unreserved characters percent-encoded as UTF-8 and
// `fragment` appended after "#" when it is not empty.
std::wstring FileUrl(std::wstring_view path, std::wstring_view fragment);

// The HTML help page beside the running program.
std::wstring HelpPagePath();

// Opens `helpFile` with WinHelp at `context` when the file exists and WinHelp
// takes it; otherwise the HTML help page at the topic. Returns false when
// neither could be opened.
bool ShowHelpTopic(HWND owner, std::string_view helpFile, std::uint32_t context);

} // namespace osa::win32
