// Starting and steering the companion program on Windows.
//
//   Start          CreateProcessW of the full path (as the application name, and
//                  quoted as the whole command line), default start-up record,
//                  no inheritance, the controller's environment and current
//                  folder; the thread handle is closed at once; then
//                  WaitForInputIdle without a time limit.
//   IsRunning      GetExitCodeProcess: STILL_ACTIVE (259) while it runs. A
//                  program may itself end with 259, so "still active" is
//                  confirmed with a zero-time wait on the process handle.
//   FindMainWindow EnumWindows: the first visible top-level window of the
//                  process id (hidden helper windows, such as the IME's, are
//                  skipped: they never close on WM_CLOSE).
//   BringToFront   SetWindowPos(HWND_TOPMOST, no move, no size).
//   AskToClose     PostMessage(WM_CLOSE); nothing waits for the answer.
//   Release        CloseHandle of the process handle.
//
// The path is UTF-8, as every text of the core. A path that is not valid
// UTF-8 is taken in the ANSI code page instead.
#pragma once

#include "platform/process_launcher.h"
#include "platform/win32/win32_api.h"

namespace osa::win32 {

class Win32ProcessLauncher final : public ProcessLauncher {
  public:
    bool Start(std::string_view commandPath, ProcessRecord& out) override;
    bool IsRunning(const ProcessRecord& record, bool& known) override;
    std::uintptr_t FindMainWindow(const ProcessRecord& record) override;
    void BringToFront(std::uintptr_t window) override;
    void AskToClose(std::uintptr_t window) override;
    void Release(ProcessRecord& record) override;
};

} // namespace osa::win32
