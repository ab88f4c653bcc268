// Media names on screen. A medium's name is the bytes of its file name: UTF-8
// on Linux, the ANSI code page (932 on the Japanese systems the media come
// from) on Windows. The window hosts show and return UTF-8, so a name passes
// through these two conversions on its way to and from the screen.
//
// The core cannot convert code pages itself; the Win32 entry installs its
// conversions before the main window opens. Without them (Linux, Qt, tests)
// both are the identity, which is right wherever names already are UTF-8.
#pragma once
#include <string>
#include <string_view>

namespace osa {

using TextConversion = std::string (*)(std::string_view text);

struct MediaNameConversions {
    TextConversion toScreen = nullptr;   // name bytes to UTF-8
    TextConversion fromScreen = nullptr; // UTF-8 to name bytes
};

// Installs the conversions; returns the ones installed before.
MediaNameConversions InstallMediaNameConversions(MediaNameConversions conversions);

std::string MediaNameToScreen(std::string_view name);
std::string MediaNameFromScreen(std::string_view text);

} // namespace osa
