// Profile files on Windows: the system's private-profile functions
// (GetPrivateProfileStringA, GetPrivateProfileIntA,
// WritePrivateProfileStringA), which own the format, its caching and the
// file's encoding (texts are bytes of the ANSI code page).
//
// Two guards in front of them:
//   - a file name without a folder is refused (reads give the defaults, a
//     write fails): the functions would look for it in the Windows folder;
//   - a write whose value or names would change other lines (a line break
//     in a value, '=' in a key, ...) is refused, as on Linux
//     (profile::IsWritableEntry).
// The system rewrites the file in place; unlike the Linux store, a write cut
// short by a power failure can leave it damaged. That is the platform's
// behaviour and is left as it is.
#pragma once
#include "platform/profile_store.h"

namespace osa::win32 {

class Win32ProfileStore final : public ProfileStore {
  public:
    std::string ReadText(std::string_view file, std::string_view section, std::string_view key,
                         std::string_view defaultText, std::size_t bufferBytes) override;
    // GetPrivateProfileIntA decides the corner cases: an empty value gives
    // the default; Wine also reads "0x" numbers as hexadecimal. The
    // controller writes plain decimal only.
    std::int32_t ReadInt(std::string_view file, std::string_view section, std::string_view key,
                         std::int32_t defaultValue) override;
    bool WriteText(std::string_view file, std::string_view section, std::string_view key,
                   std::string_view value) override;
};

} // namespace osa::win32
