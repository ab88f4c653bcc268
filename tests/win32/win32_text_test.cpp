// Code-page text at the Win32 boundary: media names in a code page shown as
// UTF-8 and taken back.
#include <gtest/gtest.h>

#include <string>

#include "platform/win32/win32_text.h"

namespace osa::win32 {
namespace {

TEST(Win32CodePageText, NamesRoundTripThroughUtf8) {
    struct Case {
        const char* what;
        UINT codePage;
        std::string bytes; // in the code page
        std::string utf8;
    };
    const Case cases[] = {
        {"CP932 kanji and katakana", 932,
         "\x83\x4A\x83\x62\x83\x67\x97\x70\x83\x56\x81\x5B\x83\x67",
         "\xE3\x82\xAB\xE3\x83\x83\xE3\x83\x88\xE7\x94\xA8\xE3\x82\xB7\xE3\x83\xBC\xE3\x83\x88"},
        // The first trail byte is 0x5C, a backslash to a byte-wise reader.
        {"CP932 with a 0x5C trail byte", 932, "\x83\x5C\x83\x74\x83\x67",
         "\xE3\x82\xBD\xE3\x83\x95\xE3\x83\x88"},
        {"CP932 half-width katakana", 932, "\xB6\xAF\xC4", "\xEF\xBD\xB6\xEF\xBD\xAF\xEF\xBE\x84"},
        {"CP1252 accents", 1252, "Caf\xE9 \xC9t\xE9", "Caf\xC3\xA9 \xC3\x89t\xC3\xA9"},
        {"ASCII", 932, "Vinyl Film", "Vinyl Film"},
        {"empty", 932, "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(CodePageToUtf8(c.bytes, c.codePage), c.utf8);
        EXPECT_EQ(Utf8ToCodePage(c.utf8, c.codePage), c.bytes);
    }
}

TEST(Win32CodePageText, WhatTheCodePageCannotHoldIsMarkedNotDropped) {
    // A lead byte without its trail byte becomes the code page's default
    // character; a character CP1252 lacks becomes '?'.
    const std::string lone = CodePageToUtf8("A\x83", 932);
    EXPECT_EQ(lone.substr(0, 1), "A");
    EXPECT_GT(lone.size(), 1u);
    EXPECT_EQ(Utf8ToCodePage("A\xE3\x82\xAB", 1252), "A?");
}

TEST(Win32CodePageText, TheAnsiCodePageIsTheDefault) {
    const UINT acp = GetACP();
    const std::string bytes = "Film \xB1\xE9";
    EXPECT_EQ(CodePageToUtf8(bytes), CodePageToUtf8(bytes, acp)) << "ACP " << acp;
    const std::string utf8 = "Film \xC3\xA9\xE3\x82\xAB";
    EXPECT_EQ(Utf8ToCodePage(utf8), Utf8ToCodePage(utf8, acp)) << "ACP " << acp;
}

} // namespace
} // namespace osa::win32
