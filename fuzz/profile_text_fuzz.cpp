// The profile-file reader and its single-key writer. The input is
// "section NUL key NUL value NUL file text". Reading must stay inside the
// text; writing a key must leave every other byte of the file as it was and
// read back as the value written.
#include <string>
#include <string_view>

#include "fuzz/fuzz_input.h"
#include "platform/profile_text.h"

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

std::string_view Trimmed(std::string_view s) {
    while (!s.empty() && IsBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

bool Inside(std::string_view part, std::string_view whole) {
    return part.data() >= whole.data() && part.data() + part.size() <= whole.data() + whole.size();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    namespace profile = osa::profile;
    std::string_view input = osa::fuzz::AsText(data, size);
    std::string_view field[3];
    for (std::string_view& f : field) {
        const std::size_t end = input.find('\0');
        if (end == std::string_view::npos) return 0;
        f = input.substr(0, end);
        input.remove_prefix(end + 1);
    }
    const std::string_view section = field[0], key = field[1], value = field[2];
    const std::string text(input);
    if (!profile::IsUsableText(text)) return 0;

    const auto found = profile::FindValue(text, section, key);
    if (found) OSA_FUZZ_REQUIRE(Inside(*found, text) && Trimmed(*found) == *found);
    for (std::size_t bytes : {0u, 1u, 2u, 16u, 512u}) {
        const std::string read = profile::ReadText(text, section, key, "default", bytes);
        OSA_FUZZ_REQUIRE(read.size() <= (bytes == 0 ? 0 : bytes - 1));
    }
    (void)profile::ReadInt(text, section, key, -5);
    (void)profile::ParseInt(value);

    if (!profile::IsWritableEntry(section, key, value)) return 0;
    const std::string written = profile::SetValue(text, section, key, value, "\r\n");
    const auto back = profile::FindValue(written, section, key);
    OSA_FUZZ_REQUIRE(back && *back == Trimmed(value));
    // Writing the same value again changes nothing (a value with blanks at
    // its ends reads back without them, as on Windows, so it cannot be the
    // same value).
    if (Trimmed(value) == value)
        OSA_FUZZ_REQUIRE(profile::SetValue(written, section, key, value, "\r\n") == written);

    if (found) {
        // Only the old value's bytes changed: everything before it, and the
        // line end and everything after its line, are kept.
        const std::size_t at = static_cast<std::size_t>(found->data() - text.data());
        std::size_t lineEnd = text.find('\n', at);
        if (lineEnd == std::string::npos)
            lineEnd = text.size();
        else if (lineEnd > at && text[lineEnd - 1] == '\r')
            --lineEnd;
        const std::string_view before(text.data(), at);
        const std::string_view after(text.data() + lineEnd, text.size() - lineEnd);
        OSA_FUZZ_REQUIRE(written.size() >= before.size() + after.size());
        OSA_FUZZ_REQUIRE(std::string_view(written).substr(0, at) == before);
        OSA_FUZZ_REQUIRE(std::string_view(written).substr(written.size() - after.size()) == after);
    } else {
        // A new key or section only adds bytes: the old text is still there,
        // in order, around what was inserted.
        OSA_FUZZ_REQUIRE(written.size() > text.size());
        std::size_t common = 0;
        while (common < text.size() && written[common] == text[common])
            ++common;
        const std::string_view rest(text.data() + common, text.size() - common);
        OSA_FUZZ_REQUIRE(std::string_view(written).substr(written.size() - rest.size()) == rest);
    }
    return 0;
}
