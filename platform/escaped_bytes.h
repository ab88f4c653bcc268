// Bytes shown readably on one line: printable ASCII as it is, backslash as
// "\\", every other byte as "\xNN". Used by the Linux command trace and the
// simulated cutter's log.
#pragma once
#include <cstdio>
#include <string>
#include <string_view>

namespace osa {

inline std::string EscapedBytes(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (char c : bytes) {
        auto b = static_cast<unsigned char>(c);
        if (c == '\\') {
            out += "\\\\";
        } else if (b >= 0x20 && b < 0x7f) {
            out += c;
        } else {
            char hex[5];
            std::snprintf(hex, sizeof(hex), "\\x%02X", static_cast<unsigned>(b));
            out += hex;
        }
    }
    return out;
}

} // namespace osa
