#include "platform/win32/win32_help.h"

#include "platform/help_page.h"

#include <vector>

#include "platform/win32/win32_text.h"

#include <shellapi.h>

namespace osa::win32 {

namespace {

bool IsFile(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

std::wstring ProgramFolder() {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD n =
            GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0) return {};
        if (n < buffer.size()) {
            std::wstring path(buffer.data(), n);
            const std::size_t slash = path.find_last_of(L"\\/");
            return slash == std::wstring::npos ? std::wstring{} : path.substr(0, slash + 1);
        }
        buffer.resize(buffer.size() * 2); // cut off: try a larger buffer
    }
}

// ShellExecuteW reports success as a value above 32.
bool Succeeded(HINSTANCE result) {
    return reinterpret_cast<INT_PTR>(result) > 32;
}

} // namespace

std::wstring HelpAnchor(std::uint32_t context) {
    return Widen(help::Anchor(context));
}

std::wstring FileUrl(std::wstring_view path, std::wstring_view fragment) {
    static constexpr char Hex[] = "0123456789ABCDEF";
    std::wstring url = L"file:";
    // C:\dir -> file:///C:/dir; \\server\share -> file://server/share.
    if (path.starts_with(L"\\\\")) {
        path.remove_prefix(2);
        url += L"//";
    } else {
        url += L"///";
    }
    for (unsigned char c : Narrow(path)) {
        const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                           (c >= '0' && c <= '9') || c == '-' || c == '.' || c == '_' || c == '~' ||
                           c == ':';
        if (c == '\\' || c == '/') {
            url += L'/';
        } else if (plain) {
            url += static_cast<wchar_t>(c);
        } else {
            url += L'%';
            url += static_cast<wchar_t>(Hex[c >> 4]);
            url += static_cast<wchar_t>(Hex[c & 0xF]);
        }
    }
    if (!fragment.empty()) {
        url += L'#';
        url += fragment;
    }
    return url;
}

std::wstring HelpPagePath() {
    std::wstring relative = Widen(help::PageRelativePath);
    for (wchar_t& c : relative)
        if (c == L'/') c = L'\\';
    return ProgramFolder() + relative;
}

bool ShowHelpTopic(HWND owner, std::string_view helpFile, std::uint32_t context) {
    const std::wstring hlp = Widen(helpFile);
    if (!hlp.empty() && IsFile(hlp) && WinHelpW(owner, hlp.c_str(), HELP_CONTEXT, context))
        return true;

    const std::wstring page = HelpPagePath();
    if (!IsFile(page)) return false;
    // Opening the page's path directly would lose the anchor, so the browser
    // that opens .html files is given the page's URL with it.
    wchar_t browser[MAX_PATH] = {};
    if (Succeeded(FindExecutableW(page.c_str(), nullptr, browser))) {
        const std::wstring argument = L"\"" + FileUrl(page, HelpAnchor(context)) + L"\"";
        if (Succeeded(
                ShellExecuteW(owner, L"open", browser, argument.c_str(), nullptr, SW_SHOWNORMAL)))
            return true;
    }
    return Succeeded(ShellExecuteW(owner, L"open", page.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
}

} // namespace osa::win32
