// The profile-file text logic shared by the Linux and in-memory stores:
// lookup, numbers, and the in-place edit that must leave every other byte of
// the user's file alone.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <string_view>

#include "platform/profile_text.h"

namespace osa::profile {
namespace {

TEST(ProfileText, FindValue) {
    struct Row {
        const char* name;
        std::string_view text;
        std::string_view section, key;
        std::optional<std::string_view> expected;
    };
    const Row rows[] = {
        {"names ignore case", "[main_section]\nUNIT=1\n", "Main_Section", "Unit", "1"},
        {"blanks around key and value", "[S]\n \t Key  =  a b \t\n", "S", "key", "a b"},
        {"value is all after the first =", "[S]\nK=a=b\n", "S", "K", "a=b"},
        {"empty value is present", "[S]\nK=\n", "S", "K", ""},
        {"CR LF lines", "[S]\r\nK=v\r\n", "S", "K", "v"},
        {"mixed line ends", "[S]\r\nA=1\nK=v\r\n", "S", "K", "v"},
        {"no final line end", "[S]\nK=v", "S", "K", "v"},
        {"byte-order mark", "\xEF\xBB\xBF[S]\nK=v\n", "S", "K", "v"},
        {"blanks inside the brackets", "[ S ] \nK=v\n", "S", "K", "v"},
        {"first key of a name", "[S]\nK=1\nk=2\n", "S", "K", "1"},
        {"missing key", "[S]\nA=1\n", "S", "K", std::nullopt},
        {"missing section", "[T]\nK=1\n", "S", "K", std::nullopt},
        {"key of the next section", "[S]\nA=1\n[T]\nK=1\n", "S", "K", std::nullopt},
        {"key before any section", "K=1\n[S]\n", "S", "K", std::nullopt},
        {"comment with ;", "[S]\n;K=1\n", "S", "K", std::nullopt},
        {"comment with #", "[S]\n  # K=1\n", "S", "K", std::nullopt},
        {"only the first section of a name", "[S]\nA=1\n[s]\nK=2\n", "S", "K", std::nullopt},
        {"unclosed bracket is no section", "[S\nK=v\n", "S", "K", std::nullopt},
        {"lone CR is text", "[S]\rK=v\n", "S", "K", std::nullopt},
        {"empty file", "", "S", "K", std::nullopt},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        EXPECT_EQ(FindValue(r.text, r.section, r.key), r.expected);
    }
}

TEST(ProfileText, ReadTextGivesDefaultAndCutsToTheBuffer) {
    const std::string name64(64, 'n');
    const std::string text = "[S]\nName=" + name64 + "\nLong=" + name64 + "x\n";
    EXPECT_EQ(ReadText(text, "S", "Name", "d", 65), name64);
    EXPECT_EQ(ReadText(text, "S", "Long", "d", 65), name64); // 65 bytes cut to 64
    EXPECT_EQ(ReadText(text, "S", "Missing", "default", 65), "default");
    EXPECT_EQ(ReadText(text, "S", "Missing", "default", 4), "def");
    EXPECT_EQ(ReadText(text, "S", "Name", "d", 1), "");
    EXPECT_EQ(ReadText(text, "S", "Name", "d", 0), "");
}

TEST(ProfileText, ReadInt) {
    struct Row {
        std::string_view line; // of section [S]; empty = key missing
        std::int32_t expected;
    };
    const Row rows[] = {
        {"K=-5", -5},
        {"K= 7x", 7},
        {"K=abc", 0},
        {"K=+12", 12},
        {"K=-", 0},
        {"K=12 34", 12},
        {"K=0x10", 0},
        {"K=007", 7},
        {"K=2147483647", 2147483647},
        {"K=-2147483648", -2147483647 - 1},
        {"K=4294967295", -1}, // wraps modulo 2^32
        {"K=4294967301", 5},
        {"K=", 42}, // empty value: the default, as on Windows
        {"K=   ", 42},
        {"", 42}, // missing
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(std::string(r.line));
        const std::string text = "[S]\n" + std::string(r.line) + "\n";
        EXPECT_EQ(ReadInt(text, "S", "k", 42), r.expected);
    }
}

TEST(ProfileText, SetValueChangesOnlyTheKey) {
    struct Row {
        const char* name;
        std::string_view before;
        std::string_view section, key, value;
        std::string_view after;
    };
    const Row rows[] = {
        {"replace in place, comments and blanks kept",
         "; top\r\n[Main_Section]\r\n; note\r\n  Unit = 1   \r\nOther=x\r\n\r\n[B]\r\nUnit=1\r\n",
         "main_section", "unit", "0",
         "; top\r\n[Main_Section]\r\n; note\r\n  Unit = 0\r\nOther=x\r\n\r\n[B]\r\nUnit=1\r\n"},
        {"key keeps its own spelling", "[a]\nUNIT=1\n", "A", "Unit", "0", "[a]\nUNIT=0\n"},
        {"empty value", "[A]\nk=v\n", "A", "k", "", "[A]\nk=\n"},
        {"last line without line end", "[A]\nk=v", "A", "k", "w", "[A]\nk=w"},
        {"byte-order mark kept", "\xEF\xBB\xBF[A]\nk=1\n", "A", "k", "2", "\xEF\xBB\xBF[A]\nk=2\n"},
        {"new key before the blank line and comment of the next section",
         "[A]\nx=1\n\n; about B\n[B]\ny=2\n", "A", "z", "3",
         "[A]\nx=1\nz=3\n\n; about B\n[B]\ny=2\n"},
        {"new key in an empty section", "[A]\n[B]\n", "A", "k", "v", "[A]\nk=v\n[B]\n"},
        {"new key after a last line without line end", "[A]\nx=1", "A", "k", "v", "[A]\nx=1\nk=v"},
        {"new key with CR LF", "[A]\r\nx=1\r\n", "A", "k", "v", "[A]\r\nx=1\r\nk=v\r\n"},
        {"first of two sections of a name", "[A]\nx=1\n[A]\nk=1\n", "A", "k", "2",
         "[A]\nx=1\nk=2\n[A]\nk=1\n"},
        {"new section at the end", "[A]\nx=1\n", "B", "k", "v", "[A]\nx=1\n\n[B]\nk=v\n"},
        {"new section, CR LF file without final line end", "[A]\r\nx=1", "B", "k", "v",
         "[A]\r\nx=1\r\n\r\n[B]\r\nk=v\r\n"},
        {"new section after a blank line", "[A]\nx=1\n\n", "B", "k", "v", "[A]\nx=1\n\n[B]\nk=v\n"},
        {"new section after keys outside any section", "k=1\n", "B", "k", "v", "k=1\n\n[B]\nk=v\n"},
        {"empty file", "", "B", "k", "v", "[B]\nk=v\n"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        const std::string after = SetValue(r.before, r.section, r.key, r.value, "\n");
        EXPECT_EQ(after, r.after);
        EXPECT_EQ(FindValue(after, r.section, r.key), r.value);
    }
    // A file without any line end takes the caller's choice for new lines.
    EXPECT_EQ(SetValue("", "B", "k", "v", "\r\n"), "[B]\r\nk=v\r\n");
}

TEST(ProfileText, EntriesThatWouldChangeOtherLinesAreRefused) {
    using namespace std::string_view_literals;
    struct Row {
        std::string_view section, key, value;
        bool writable;
    };
    const Row rows[] = {
        {"Main_Section", "MediaName", "any text = [x] ; #", true},
        {"Main_Section", "MediaName", "", true},
        {"Main_Section", "MediaName", "two\nlines", false},
        {"Main_Section", "MediaName", "cr\r", false},
        {"Main_Section", "MediaName", "nul\0"sv, false},
        {"Main_Section", "Media=Name", "v", false},
        {"Main_Section", "[Media", "v", false},
        {"Main_Section", ";Media", "v", false},
        {"Main_Section", "#Media", "v", false},
        {"Main_Section", " Media", "v", false},
        {"Main_Section", "Media\t", "v", false},
        {"Main_Section", "", "v", false},
        {"Main]Section", "Key", "v", false},
        {"Main\nSection", "Key", "v", false},
        {"", "Key", "v", false},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(std::string(r.section) + "/" + std::string(r.key));
        EXPECT_EQ(IsWritableEntry(r.section, r.key, r.value), r.writable);
    }
}

TEST(ProfileText, UsableTextHasALimitAndNoNulByte) {
    using namespace std::string_view_literals;
    EXPECT_TRUE(IsUsableText(""));
    EXPECT_TRUE(IsUsableText(std::string(MaxTextBytes, 'a')));
    EXPECT_FALSE(IsUsableText(std::string(MaxTextBytes + 1, 'a')));
    EXPECT_FALSE(IsUsableText("[S]\nK=v\0"sv));
    EXPECT_FALSE(IsUsableText("\xFF\xFE[\0S\0]\0"sv)); // UTF-16
}

} // namespace
} // namespace osa::profile
