// Option table, compared in this order; the first match decides:
//   /DEMO_V1 -DEMO_V1            demo of a firmware 1.00 cutter
//   /DEMO -DEMO                  demo of a firmware 2.01 cutter
//   /OWNER<n> -OWNER<n>          owner window
//   /CUTMODE -CUTMODE            print-and-cut job
//   /NOTRM -NOTRM                the job has no registration marks
//   /FN<n> -FN<n>                design orientation
//   /TB23,<x>,<y> -TB23,<x>,<y>  distances between the marks, mm
//   /TB51,<s> -TB51,<s>          mark size, mm
// Numbers are read the way scanf's %d and %lf read them: leading white space
// skipped, the longest number that fits taken, the rest ignored.
#include "controller/shell/command_line.h"

#include <charconv>
#include <cstring>
#include <limits>
#include <string>

namespace osa {

namespace {

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// A cursor over the upper-cased argument that scans like sscanf.
class Scanner {
  public:
    explicit Scanner(std::string_view text) : text_(text) {}

    // "%*c": any one character.
    bool SkipOne() {
        if (pos_ >= text_.size()) return false;
        ++pos_;
        return true;
    }

    // A literal run of the format; must match exactly.
    bool Literal(std::string_view literal) {
        if (text_.substr(pos_, literal.size()) != literal) return false;
        pos_ += literal.size();
        return true;
    }

    // "%d". Digits beyond the range of 32 bits wrap around, as the Windows
    // runtime's scanf does; nothing here is undefined.
    bool Int(std::int32_t& out) {
        SkipSpace();
        std::size_t p = pos_;
        bool negative = false;
        if (p < text_.size() && (text_[p] == '+' || text_[p] == '-')) {
            negative = text_[p] == '-';
            ++p;
        }
        std::size_t digitsStart = p;
        std::uint32_t value = 0;
        while (p < text_.size() && text_[p] >= '0' && text_[p] <= '9') {
            value = value * 10u + static_cast<std::uint32_t>(text_[p] - '0');
            ++p;
        }
        if (p == digitsStart) return false;
        if (negative) value = 0u - value;
        out = static_cast<std::int32_t>(value);
        pos_ = p;
        return true;
    }

    // "%lf": an optional sign, then the longest decimal or exponent number,
    // or INF / NAN, independent of the locale.
    bool Double(double& out) {
        SkipSpace();
        std::size_t p = pos_;
        bool negative = false;
        if (p < text_.size() && (text_[p] == '+' || text_[p] == '-')) {
            negative = text_[p] == '-';
            ++p;
        }
        if (p < text_.size() && (text_[p] == '+' || text_[p] == '-')) return false;
        double value = 0.0;
        const char* first = text_.data() + p;
        const char* last = text_.data() + text_.size();
        auto [end, ec] = std::from_chars(first, last, value, std::chars_format::general);
        if (ec == std::errc::result_out_of_range) {
            // scanf gives HUGE_VAL or 0 here; from_chars leaves the value alone.
            value = RangeFallback(first, end);
        } else if (ec != std::errc()) {
            return false;
        }
        out = negative ? -value : value;
        pos_ = static_cast<std::size_t>(end - text_.data());
        return true;
    }

  private:
    void SkipSpace() {
        while (pos_ < text_.size() && IsSpace(text_[pos_]))
            ++pos_;
    }

    static double RangeFallback(const char* first, const char* end) {
        // An exponent that is large and positive overflows; otherwise it underflowed.
        std::string_view number(first, static_cast<std::size_t>(end - first));
        auto e = number.find('E');
        bool tiny = e != std::string_view::npos && e + 1 < number.size() && number[e + 1] == '-';
        return tiny ? 0.0 : std::numeric_limits<double>::infinity();
    }

    std::string_view text_;
    std::size_t pos_ = 0;
};

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

} // namespace

void ParseCommandLine(std::span<const std::string_view> args, std::uint32_t& demoMode,
                      StartupOptions& options) {
    demoMode = DemoOff;
    options = StartupOptions{};

    char scratch[MaxArgumentChars + 1];
    for (std::string_view arg : args) {
        std::size_t n = 0;
        for (; n < arg.size() && n < MaxArgumentChars; ++n) {
            char c = arg[n];
            scratch[n] = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
        }
        scratch[n] = '\0';
        // An embedded NUL ends the argument, as it would in a C string.
        std::string_view a(scratch, std::strlen(scratch));

        if (a == "/DEMO_V1" || a == "-DEMO_V1") {
            demoMode = DemoFirmware1;
        } else if (a == "/DEMO" || a == "-DEMO") {
            demoMode = DemoFirmware2;
        } else if (StartsWith(a, "/OWNER") || StartsWith(a, "-OWNER")) {
            options.ownerGiven = 1;
            Scanner s(a);
            if (s.SkipOne() && s.Literal("OWNER")) (void)s.Int(options.ownerWindow);
        } else if (a == "/CUTMODE" || a == "-CUTMODE") {
            options.cutMode = 1;
        } else if (a == "/NOTRM" || a == "-NOTRM") {
            options.noTrim = 1;
        } else if (StartsWith(a, "/FN") || StartsWith(a, "-FN")) {
            options.orientationGiven = 1;
            Scanner s(a);
            if (s.SkipOne() && s.Literal("FN")) (void)s.Int(options.orientation);
        } else if (StartsWith(a, "/TB23") || StartsWith(a, "-TB23")) {
            options.markDistanceGiven = 1;
            Scanner s(a);
            if (s.SkipOne() && s.Literal("TB23,") && s.Double(options.markDistanceX) &&
                s.Literal(",")) {
                (void)s.Double(options.markDistanceY);
            }
        } else if (StartsWith(a, "/TB51") || StartsWith(a, "-TB51")) {
            options.markSizeGiven = 1;
            Scanner s(a);
            if (s.SkipOne() && s.Literal("TB51,")) (void)s.Double(options.markSize);
        }
    }
}

} // namespace osa
