#include "platform/win32/win32_profile_store.h"

#include <string>
#include <vector>

#include "platform/profile_text.h"
#include "platform/win32/win32_api.h"

namespace osa::win32 {

namespace {

// The system functions take NUL-ended texts; a name with a NUL inside could
// only be cut, never matched.
bool HasNul(std::string_view s) {
    return s.find('\0') != std::string_view::npos;
}

bool IsUsablePath(std::string_view file) {
    return !file.empty() && !HasNul(file) && file.find_first_of("\\/") != std::string_view::npos;
}

// Large enough for any value this program writes, and bounded.
constexpr std::size_t kMaxBuffer = 65536;

void LogFailure(const char* call, std::string_view file, DWORD error) {
    std::string line = "osactl: ";
    line += call;
    line += " ";
    line += file;
    line += ": error " + std::to_string(error) + "\n";
    OutputDebugStringA(line.c_str());
}

} // namespace

std::string Win32ProfileStore::ReadText(std::string_view file, std::string_view section,
                                        std::string_view key, std::string_view defaultText,
                                        std::size_t bufferBytes) {
    if (bufferBytes == 0) return {};
    const std::string fallback(defaultText.substr(0, bufferBytes - 1));
    if (!IsUsablePath(file) || HasNul(section) || HasNul(key)) return fallback;
    if (bufferBytes > kMaxBuffer) bufferBytes = kMaxBuffer;
    std::vector<char> buffer(bufferBytes, '\0');
    const DWORD n = GetPrivateProfileStringA(
        std::string(section).c_str(), std::string(key).c_str(), fallback.c_str(), buffer.data(),
        static_cast<DWORD>(buffer.size()), std::string(file).c_str());
    return std::string(buffer.data(), n < buffer.size() ? n : buffer.size() - 1);
}

std::int32_t Win32ProfileStore::ReadInt(std::string_view file, std::string_view section,
                                        std::string_view key, std::int32_t defaultValue) {
    if (!IsUsablePath(file) || HasNul(section) || HasNul(key)) return defaultValue;
    const UINT value = GetPrivateProfileIntA(std::string(section).c_str(), std::string(key).c_str(),
                                             defaultValue, std::string(file).c_str());
    return static_cast<std::int32_t>(value); // the system returns the signed value as UINT
}

bool Win32ProfileStore::WriteText(std::string_view file, std::string_view section,
                                  std::string_view key, std::string_view value) {
    if (!IsUsablePath(file) || !profile::IsWritableEntry(section, key, value)) return false;
    if (WritePrivateProfileStringA(std::string(section).c_str(), std::string(key).c_str(),
                                   std::string(value).c_str(), std::string(file).c_str()))
        return true;
    LogFailure("WritePrivateProfileStringA", file, GetLastError());
    return false;
}

} // namespace osa::win32
