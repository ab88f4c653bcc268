// A cursor over a text that reads numbers and words the way sscanf's "%*c",
// "%d", "%lf" and "%s" do, independent of the locale: leading white space
// skipped, the longest number that fits taken, the rest left for the next
// conversion. Used for the command line and for the cutter's replies.
#pragma once
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string_view>

namespace osa {

inline bool IsScanSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

class TextScanner {
  public:
    explicit TextScanner(std::string_view text) : text_(text) {}

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
        const bool negative = TakeSign(p);
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

    // "%s": skips white space, then takes the run of other characters (at
    // most `capacity` - 1 of them, like "%15s" for a 16-byte buffer).
    bool Word(char* out, std::size_t capacity) {
        SkipSpace();
        std::size_t n = 0;
        while (pos_ < text_.size() && !IsScanSpace(text_[pos_])) {
            if (n + 1 >= capacity) break;
            out[n++] = text_[pos_++];
        }
        if (n == 0) return false;
        out[n] = '\0';
        return true;
    }

    // "%lf": an optional sign, then the longest decimal or exponent number,
    // or INF / NAN, independent of the locale.
    bool Double(double& out) {
        SkipSpace();
        std::size_t p = pos_;
        const bool negative = TakeSign(p);
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
    // An optional "+" or "-" at `p`, stepped over; true for "-".
    bool TakeSign(std::size_t& p) const {
        if (p >= text_.size() || (text_[p] != '+' && text_[p] != '-')) return false;
        return text_[p++] == '-';
    }

    void SkipSpace() {
        while (pos_ < text_.size() && IsScanSpace(text_[pos_]))
            ++pos_;
    }

    static double RangeFallback(const char* first, const char* end) {
        // The number is beyond double either way: too large when its decimal
        // magnitude (the place of its first non-zero digit, moved by the
        // exponent) is positive, too small (0) otherwise.
        std::string_view number(first, static_cast<std::size_t>(end - first));
        const std::size_t e = number.find_first_of("Ee");
        const std::string_view mantissa = number.substr(0, e);
        long long magnitude = 0;
        bool seenPoint = false, seenDigit = false;
        for (char c : mantissa) {
            if (c == '.') {
                seenPoint = true;
            } else if (!seenDigit && c == '0') {
                if (seenPoint) --magnitude;
            } else if (c >= '0' && c <= '9') {
                if (!seenDigit && seenPoint) --magnitude;
                seenDigit = true;
                if (!seenPoint) ++magnitude;
            }
        }
        if (e != std::string_view::npos) {
            std::string_view exponent = number.substr(e + 1);
            const bool minus = !exponent.empty() && exponent.front() == '-';
            if (!exponent.empty() && (exponent.front() == '-' || exponent.front() == '+'))
                exponent.remove_prefix(1);
            long long value = 0;
            for (char c : exponent)
                if (value < 1000000) value = value * 10 + (c - '0');
            magnitude += minus ? -value : value;
        }
        return magnitude > 0 ? std::numeric_limits<double>::infinity() : 0.0;
    }

    std::string_view text_;
    std::size_t pos_ = 0;
};

} // namespace osa
