// Media names on screen. A medium's name is the bytes of its file name: UTF-8
// on Linux, the ANSI code page (932 on the Japanese systems the media come
// from) on Windows. The window hosts show and return UTF-8, so a name passes
// through this codec on its way to and from the screen.
//
// The Win32 entry installs the code-page conversions (win32_text.h). Linux,
// Qt and the in-memory services keep names as they are: the identity below,
// which is also what the accessor gives when no codec is installed.
#pragma once
#include <string>
#include <string_view>

namespace osa {

class MediaNameCodec {
  public:
    virtual ~MediaNameCodec() = default;
    // Name bytes to the UTF-8 shown on screen.
    virtual std::string ToScreen(std::string_view name) const = 0;
    // UTF-8 from the screen to name bytes.
    virtual std::string FromScreen(std::string_view text) const = 0;
};

// Names that already are UTF-8.
class Utf8MediaNames final : public MediaNameCodec {
  public:
    std::string ToScreen(std::string_view name) const override { return std::string(name); }
    std::string FromScreen(std::string_view text) const override { return std::string(text); }
};

} // namespace osa
