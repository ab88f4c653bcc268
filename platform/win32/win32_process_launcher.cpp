#include "platform/win32/win32_process_launcher.h"

#include <cstdio>
#include <string>

namespace osa::win32 {

namespace {

// The path in UTF-16: read as UTF-8, or in the ANSI code page when it is not
// valid UTF-8. Empty when neither reading works.
std::wstring PathToWide(std::string_view path) {
    for (const UINT codePage : {static_cast<UINT>(CP_UTF8), static_cast<UINT>(CP_ACP)}) {
        const DWORD flags = codePage == CP_UTF8 ? MB_ERR_INVALID_CHARS : 0;
        const int n = MultiByteToWideChar(codePage, flags, path.data(),
                                          static_cast<int>(path.size()), nullptr, 0);
        if (n <= 0) continue;
        std::wstring out(static_cast<std::size_t>(n), L'\0');
        MultiByteToWideChar(codePage, flags, path.data(), static_cast<int>(path.size()), out.data(),
                            n);
        return out;
    }
    return {};
}

void Trace(const char* call, DWORD error) {
    char line[96];
    std::snprintf(line, sizeof line, "OSACTL: %s failed, error %lu\n", call,
                  static_cast<unsigned long>(error));
    OutputDebugStringA(line);
}

HANDLE ProcessHandle(const ProcessRecord& record) {
    return reinterpret_cast<HANDLE>(record.process);
}

HWND WindowHandle(std::uintptr_t window) {
    return reinterpret_cast<HWND>(window);
}

struct WindowSearch {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK FirstWindowOf(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<WindowSearch*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->processId || !IsWindowVisible(window)) return TRUE;
    search->found = window;
    return FALSE; // the first one is the one
}

} // namespace

bool Win32ProcessLauncher::Start(std::string_view commandPath, ProcessRecord& out) {
    out = ProcessRecord{};
    if (commandPath.empty()) return false;
    const std::wstring application = PathToWide(commandPath);
    if (application.empty()) return false;
    // The path goes in as the application name, so that a path with spaces
    // cannot be taken for a shorter program followed by arguments; the
    // command line repeats it, quoted, as the program's own argv[0].
    std::wstring commandLine = L"\"" + application + L"\"";

    STARTUPINFOW startup{};
    startup.cb = sizeof startup; // everything else 0: the system's defaults
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(application.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                        nullptr, nullptr, &startup, &info)) {
        Trace("CreateProcessW (companion)", GetLastError());
        return false;
    }
    CloseHandle(info.hThread);
    // Until the program waits for input its window may not exist yet.
    // WaitForInputIdle fails at once for a program without a message loop.
    WaitForInputIdle(info.hProcess, INFINITE);

    out.process = reinterpret_cast<std::uintptr_t>(info.hProcess);
    out.thread = 0; // closed above
    out.processId = info.dwProcessId;
    out.threadId = info.dwThreadId;
    return true;
}

bool Win32ProcessLauncher::IsRunning(const ProcessRecord& record, bool& known) {
    known = false;
    if (record.process == 0) return false;
    DWORD code = 0;
    if (!GetExitCodeProcess(ProcessHandle(record), &code)) return false;
    known = true;
    return code == STILL_ACTIVE && WaitForSingleObject(ProcessHandle(record), 0) == WAIT_TIMEOUT;
}

std::uintptr_t Win32ProcessLauncher::FindMainWindow(const ProcessRecord& record) {
    WindowSearch search{record.processId, nullptr};
    if (record.processId != 0) EnumWindows(FirstWindowOf, reinterpret_cast<LPARAM>(&search));
    return reinterpret_cast<std::uintptr_t>(search.found);
}

void Win32ProcessLauncher::BringToFront(std::uintptr_t window) {
    if (window == 0) return;
    if (!SetWindowPos(WindowHandle(window), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE))
        Trace("SetWindowPos (companion)", GetLastError());
}

void Win32ProcessLauncher::AskToClose(std::uintptr_t window) {
    if (window == 0) return;
    if (!PostMessageW(WindowHandle(window), WM_CLOSE, 0, 0))
        Trace("PostMessage WM_CLOSE (companion)", GetLastError());
}

void Win32ProcessLauncher::Release(ProcessRecord& record) {
    if (record.process != 0) CloseHandle(ProcessHandle(record));
    if (record.thread != 0) CloseHandle(reinterpret_cast<HANDLE>(record.thread));
    record = ProcessRecord{};
}

} // namespace osa::win32
