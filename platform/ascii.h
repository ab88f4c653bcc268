// Case-insensitive comparison by the plain ASCII rule (only A-Z and a-z
// fold), as profile names and file extensions are compared on every
// platform. Bytes of other encodings compare exactly.
#pragma once
#include <cstddef>
#include <string_view>

namespace osa::ascii {

constexpr char Lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

constexpr char Upper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

constexpr bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (Lower(a[i]) != Lower(b[i])) return false;
    return true;
}

constexpr bool EndsWithNoCase(std::string_view s, std::string_view suffix) {
    return suffix.size() <= s.size() && EqualsNoCase(s.substr(s.size() - suffix.size()), suffix);
}

} // namespace osa::ascii
