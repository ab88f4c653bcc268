// The HTML help page's address on Windows: the browser gets a file: URL with
// the topic's anchor, so the path must survive as a URL.
#include <gtest/gtest.h>

#include "platform/win32/win32_help.h"

namespace osa::win32 {
namespace {

TEST(Win32Help, FileUrlKeepsThePathAndAddsTheAnchor) {
    struct Row {
        const wchar_t* path;
        const wchar_t* fragment;
        const wchar_t* url;
    };
    const Row rows[] = {
        {L"C:\\Program Files\\OSA\\help\\osactl-help.html", L"context-98304",
         L"file:///C:/Program%20Files/OSA/help/osactl-help.html#context-98304"},
        // Characters a URL gives a meaning to, and non-ASCII as UTF-8 bytes.
        {L"D:\\a#b%c?d\\\u00e9\u65e5.html", L"", L"file:///D:/a%23b%25c%3Fd/%C3%A9%E6%97%A5.html"},
        {L"\\\\server\\share\\help\\osactl-help.html", L"context-98305",
         L"file://server/share/help/osactl-help.html#context-98305"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(FileUrl(row.path, row.fragment), row.url);
    EXPECT_EQ(HelpAnchor(98305), L"context-98305");
}

TEST(Win32Help, TheHelpPageIsShippedBesideTheProgram) {
    const std::wstring page = HelpPagePath();
    ASSERT_TRUE(page.ends_with(L"\\help\\osactl-help.html"));
    const DWORD attributes = GetFileAttributesW(page.c_str());
    EXPECT_NE(attributes, INVALID_FILE_ATTRIBUTES);
}

} // namespace
} // namespace osa::win32
