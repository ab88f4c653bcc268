#include "controller/ui/mark_distance.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <optional>
#include <string_view>

#include "controller/shell/text_scanner.h"

namespace osa {

namespace {

// One inch counts as 25405.9 micrometres in the cutter's units.
constexpr double MicrometresPerInch = 25405.9;
constexpr double MicrometresPerMm = 1000.0;

double ReadNumber(std::string_view text) {
    double value = 0.0;
    TextScanner scanner(text);
    return scanner.Double(value) ? value : 0.0;
}

std::int32_t TruncateToInt32(double value) {
    // Truncation toward zero; out of range (never after the range check) is pinned.
    if (std::isnan(value)) return 0;
    if (value >= 2147483647.0) return INT32_MAX;
    if (value <= -2147483648.0) return INT32_MIN;
    return static_cast<std::int32_t>(value);
}

// A plain decimal text (CheckNumberText) with at most `decimals` digits after
// its point, in units of 10^-decimals, read exactly from its digits; pinned
// to +-10^12 (far beyond any distance). Nothing for any other text.
std::optional<std::int64_t> ExactUnits(std::string_view text, std::size_t decimals) {
    constexpr std::int64_t Pin = 1'000'000'000'000;
    if (text.empty()) return std::nullopt;
    const bool negative = text.front() == '-';
    if (negative) text.remove_prefix(1);
    std::int64_t units = 0;
    std::size_t fraction = 0;
    bool point = false, digit = false;
    for (char c : text) {
        if (c == '.' && !point) {
            point = true;
        } else if (c >= '0' && c <= '9' && !(point && fraction == decimals)) {
            units = std::min(units * 10 + (c - '0'), Pin);
            digit = true;
            if (point) ++fraction;
        } else {
            return std::nullopt;
        }
    }
    if (!digit) return std::nullopt;
    for (; fraction < decimals; ++fraction)
        units = std::min(units * 10, Pin);
    return negative ? -units : units;
}

std::int32_t TextToMicrometres(std::string_view text, std::int32_t unit) {
    // Only what can be shown again is kept: one decimal in millimetres,
    // three in inches; the digits beyond are dropped, not rounded.
    const bool inches = unit == UnitInches;
    const std::size_t kept = inches ? 4 : 2;
    const std::size_t point = text.find('.');
    if (point != std::string_view::npos && point + kept < text.size())
        text = text.substr(0, point + kept);
    // From the digits, so that what was typed is what is kept: through a
    // double, "32.3" mm would be 32299.99... and truncate to 32299 um, which
    // the cutter gets as 32.2 mm and the next start shows as 32.2.
    if (const std::optional<std::int64_t> units = ExactUnits(text, kept - 1)) {
        // A thousandth of the cutter's inch is 25.4059 um.
        const std::int64_t um = inches ? *units * 254059 / 10000 : *units * 100;
        return static_cast<std::int32_t>(std::clamp<std::int64_t>(um, INT32_MIN, INT32_MAX));
    }
    const double factor = inches ? MicrometresPerInch : MicrometresPerMm;
    return TruncateToInt32(ReadNumber(text) * factor);
}

bool Within(double value, double low, double high) {
    // Written so that NaN fails.
    return value >= low && value <= high;
}

} // namespace

bool CheckNumberText(const char* text) {
    if (text == nullptr || *text == '\0') return false;
    bool digit = false;
    bool point = false;
    for (const char* p = text; *p != '\0'; ++p) {
        const char c = *p;
        if (c >= '0' && c <= '9') {
            digit = true;
        } else if (c == '.' && !point) {
            point = true;
        } else if (c == '-' && p == text) {
            // a sign, first only
        } else {
            return false;
        }
    }
    return digit;
}

ResultCode MarkDistanceFieldCode(bool yField, std::int32_t direction, std::int32_t unit) {
    const ResultCode first = yField ? rc::MarkDistanceYFirst : rc::MarkDistanceXFirst;
    return first + (direction == 1 ? 2 : 0) + (unit == UnitInches ? 1 : 0);
}

ResultCode CheckMarkDistances(std::int32_t direction, double x, double y, std::int32_t unit) {
    // The long side of the media is 970 mm, the short one 192 mm; in inches
    // the limits are those lengths in the cutter's inch.
    const bool inch = unit == UnitInches;
    const double longSide = inch ? 38.18 : 970.0;
    const double shortSide = inch ? 7.557 : 192.0;
    const bool portrait = direction == 1;
    const double xLimit = portrait ? shortSide : longSide;
    const double yLimit = portrait ? longSide : shortSide;
    if (!Within(x, 0.0, xLimit)) return MarkDistanceFieldCode(false, direction, unit);
    if (!Within(y, 0.0, yLimit)) return MarkDistanceFieldCode(true, direction, unit);
    return rc::Ok;
}

double ReadNumberText(std::string_view text) {
    return ReadNumber(text);
}

std::string FixedText(double value, int precision) {
    char buffer[400]; // enough for any double in fixed notation
    auto [end, ec] =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, precision);
    return ec == std::errc() ? std::string(buffer, end) : std::string{};
}

void ParseMarkDistances(const char* xText, const char* yText, std::int32_t unit, std::int32_t& xUm,
                        std::int32_t& yUm) {
    xUm = TextToMicrometres(xText != nullptr ? xText : "", unit);
    yUm = TextToMicrometres(yText != nullptr ? yText : "", unit);
}

void MillimetreDistancesToMicrometres(double x, double y, std::int32_t& xUm, std::int32_t& yUm) {
    const std::string xText = FixedText(x, 6); // "%lf"
    const std::string yText = FixedText(y, 6);
    ParseMarkDistances(xText.c_str(), yText.c_str(), UnitMillimetres, xUm, yUm);
}

std::string MicrometresToText(std::int32_t micrometres, std::int32_t unit) {
    if (unit == UnitInches) return FixedText(micrometres * (1.0 / MicrometresPerInch), 3);
    return FixedText(micrometres * 0.001, 1);
}

} // namespace osa
