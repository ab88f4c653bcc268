// Profile files: the INI format of the settings file and the media files.
// Bracketed section lines, key=value lines; section and key names match
// without regard to case.
//   Win32: the private-profile functions (GetPrivateProfileStringA & co.).
//   Linux: our own reader and writer of the same format (platform/linux).
//   memory: files kept as text in memory, with injectable write failures.
//
// Every call opens, reads or writes and closes the file; nothing is cached.
// Paths are the platform's own (UTF-8 on Linux, the ANSI code page on Win32).
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace osa {

class ProfileStore {
  public:
    virtual ~ProfileStore() = default;
    // The key's value, or `defaultText` when the file, the section or the key
    // is missing, cut to `bufferBytes` - 1 bytes. Never blocks on anything
    // but the file system.
    virtual std::string ReadText(std::string_view file, std::string_view section,
                                 std::string_view key, std::string_view defaultText,
                                 std::size_t bufferBytes) = 0;
    // The key's value read as a signed decimal number (leading white space
    // and a sign allowed, reading stops at the first non-digit; no digits
    // give 0), or `defaultValue` when the key is missing or its value empty.
    virtual std::int32_t ReadInt(std::string_view file, std::string_view section,
                                 std::string_view key, std::int32_t defaultValue) = 0;
    // Sets the key, creating the file and the section when needed and leaving
    // every other line as it was. Returns false when the file could not be
    // written; the old file is then unchanged.
    virtual bool WriteText(std::string_view file, std::string_view section, std::string_view key,
                           std::string_view value) = 0;
};

} // namespace osa
