#include "platform/profile_text.h"

#include "platform/ascii.h"

#include <vector>

namespace osa::profile {

namespace {

constexpr std::string_view kBlanks = " \t\r\v\f";
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool IsBlank(char c) {
    return kBlanks.find(c) != std::string_view::npos;
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

bool SameName(std::string_view a, std::string_view b) {
    return ascii::EqualsNoCase(a, b);
}

enum class LineKind { Blank, Comment, Section, Key, Other };

// One line of the file. Offsets are into the whole text.
struct Line {
    std::size_t begin = 0;      // first byte
    std::size_t contentEnd = 0; // end of the text, before the line end
    std::size_t end = 0;        // after the line end ("\n" or "\r\n"), if any
    LineKind kind = LineKind::Other;
    std::string_view name;      // section or key name (trimmed)
    std::size_t valueBegin = 0; // Key: first byte of the value after '=' and blanks
};

Line Classify(std::string_view text, std::size_t begin, std::size_t contentEnd, std::size_t end) {
    Line line{begin, contentEnd, end, LineKind::Other, {}, 0};
    std::string_view content = text.substr(begin, contentEnd - begin);
    if (begin == 0 && content.starts_with(kByteOrderMark)) content.remove_prefix(3);
    const std::string_view trimmed = Trim(content);
    if (trimmed.empty()) {
        line.kind = LineKind::Blank;
    } else if (trimmed.front() == ';' || trimmed.front() == '#') {
        line.kind = LineKind::Comment;
    } else if (trimmed.front() == '[') {
        const std::size_t close = trimmed.rfind(']');
        if (close != std::string_view::npos) {
            line.kind = LineKind::Section;
            line.name = Trim(trimmed.substr(1, close - 1));
        }
    } else if (const std::size_t eq = content.find('='); eq != std::string_view::npos) {
        line.kind = LineKind::Key;
        line.name = Trim(content.substr(0, eq));
        std::size_t v = static_cast<std::size_t>(content.data() - text.data()) + eq + 1;
        while (v < contentEnd && IsBlank(text[v]))
            ++v;
        line.valueBegin = v;
    }
    return line;
}

std::vector<Line> SplitLines(std::string_view text) {
    std::vector<Line> lines;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t newline = text.find('\n', pos);
        std::size_t contentEnd = 0;
        std::size_t end = 0;
        if (newline == std::string_view::npos) {
            contentEnd = end = text.size();
        } else {
            end = newline + 1;
            contentEnd = (newline > pos && text[newline - 1] == '\r') ? newline - 1 : newline;
        }
        lines.push_back(Classify(text, pos, contentEnd, end));
        pos = end;
    }
    return lines;
}

// Where `section` and `key` are in the file.
struct Place {
    std::optional<std::size_t> section; // index of the section's line
    std::optional<std::size_t> key;     // index of the key's line
    std::size_t lastContent = 0;        // last non-blank, non-comment line of the section
};

Place Locate(const std::vector<Line>& lines, std::string_view section, std::string_view key) {
    Place place;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const Line& line = lines[i];
        if (!place.section) {
            if (line.kind == LineKind::Section && SameName(line.name, section)) {
                place.section = i;
                place.lastContent = i;
            }
            continue;
        }
        if (line.kind == LineKind::Section) break; // end of the first section of that name
        if (line.kind == LineKind::Key && SameName(line.name, key)) {
            place.key = i;
            return place;
        }
        if (line.kind != LineKind::Blank && line.kind != LineKind::Comment) place.lastContent = i;
    }
    return place;
}

bool HasLineBreakOrNul(std::string_view s) {
    return s.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

bool IsWritableName(std::string_view name) {
    return !name.empty() && !HasLineBreakOrNul(name) && !IsBlank(name.front()) &&
           !IsBlank(name.back());
}

} // namespace

bool IsUsableText(std::string_view text) {
    return text.size() <= MaxTextBytes && text.find('\0') == std::string_view::npos;
}

bool IsWritableEntry(std::string_view section, std::string_view key, std::string_view value) {
    if (!IsWritableName(section) || section.find(']') != std::string_view::npos) return false;
    if (!IsWritableName(key) || key.find('=') != std::string_view::npos) return false;
    if (key.front() == '[' || key.front() == ';' || key.front() == '#') return false;
    return !HasLineBreakOrNul(value);
}

std::optional<std::string_view> FindValue(std::string_view text, std::string_view section,
                                          std::string_view key) {
    const std::vector<Line> lines = SplitLines(text);
    const Place place = Locate(lines, section, key);
    if (!place.key) return std::nullopt;
    const Line& line = lines[*place.key];
    return Trim(text.substr(line.valueBegin, line.contentEnd - line.valueBegin));
}

std::string ReadText(std::string_view text, std::string_view section, std::string_view key,
                     std::string_view defaultText, std::size_t bufferBytes) {
    if (bufferBytes == 0) return {};
    const std::string_view value = FindValue(text, section, key).value_or(defaultText);
    return std::string(value.substr(0, bufferBytes - 1));
}

std::int32_t ParseInt(std::string_view value) {
    std::size_t i = 0;
    while (i < value.size() && IsBlank(value[i]))
        ++i;
    bool negative = false;
    if (i < value.size() && (value[i] == '+' || value[i] == '-')) {
        negative = value[i] == '-';
        ++i;
    }
    std::uint32_t number = 0;
    for (; i < value.size() && value[i] >= '0' && value[i] <= '9'; ++i)
        number = number * 10u + static_cast<std::uint32_t>(value[i] - '0');
    if (negative) number = 0u - number;
    return static_cast<std::int32_t>(number); // modular since C++20
}

std::int32_t ReadInt(std::string_view text, std::string_view section, std::string_view key,
                     std::int32_t defaultValue) {
    const std::optional<std::string_view> value = FindValue(text, section, key);
    if (!value || value->empty()) return defaultValue;
    return ParseInt(*value);
}

std::string_view LineEndOf(std::string_view text, std::string_view fallback) {
    const std::size_t newline = text.find('\n');
    if (newline == std::string_view::npos) return fallback;
    return (newline > 0 && text[newline - 1] == '\r') ? std::string_view("\r\n")
                                                      : std::string_view("\n");
}

std::string SetValue(std::string_view text, std::string_view section, std::string_view key,
                     std::string_view value, std::string_view newFileLineEnd) {
    const std::string_view eol = LineEndOf(text, newFileLineEnd);
    const std::vector<Line> lines = SplitLines(text);
    const Place place = Locate(lines, section, key);
    std::string out;
    out.reserve(text.size() + section.size() + key.size() + value.size() + 8);

    if (place.key) { // replace the value, keep the rest of the line
        const Line& line = lines[*place.key];
        out.append(text.substr(0, line.valueBegin));
        out.append(value);
        out.append(text.substr(line.contentEnd));
        return out;
    }
    if (place.section) { // add the key after the section's last line of content
        const Line& after = lines[place.lastContent];
        out.append(text.substr(0, after.end));
        const bool hadLineEnd = after.end > after.contentEnd;
        if (!hadLineEnd) out.append(eol);
        out.append(key);
        out.push_back('=');
        out.append(value);
        if (hadLineEnd) out.append(eol);
        out.append(text.substr(after.end));
        return out;
    }
    // A new section at the end of the file.
    out.append(text);
    if (!text.empty()) {
        if (text.back() != '\n') out.append(eol);
        if (lines.back().kind != LineKind::Blank) out.append(eol);
    }
    out.push_back('[');
    out.append(section);
    out.push_back(']');
    out.append(eol);
    out.append(key);
    out.push_back('=');
    out.append(value);
    out.append(eol);
    return out;
}

} // namespace osa::profile
