// Starting and steering the companion program (animated instructions).
//   Win32: CreateProcessA, WaitForInputIdle, GetExitCodeProcess, EnumWindows,
//          SetWindowPos(HWND_TOPMOST), PostMessage(WM_CLOSE).
//   Linux: posix_spawn of the full path (no shell), waitpid(WNOHANG);
//          the companion raises its window on SIGUSR1 and closes it on
//          SIGTERM, as it would on a close request from its window manager.
//   memory: a log of what was asked, and processes the test ends at will.
#pragma once
#include <cstdint>
#include <string_view>

namespace osa {

// A started process as the platform knows it. All zero = none.
struct ProcessRecord {
    std::uintptr_t process = 0; // Win32 process handle; Linux pid
    std::uintptr_t thread = 0;  // Win32 thread handle; unused elsewhere
    std::uint32_t processId = 0;
    std::uint32_t threadId = 0;
};

class ProcessLauncher {
  public:
    virtual ~ProcessLauncher() = default;
    // Starts `commandPath` with no arguments, no shell, the controller's
    // environment and current folder. Returns false when it cannot be
    // started. Waits until the program waits for input (Win32) and never
    // longer than that; the thread handle is closed at once.
    virtual bool Start(std::string_view commandPath, ProcessRecord& out) = 0;
    // True while the process runs; false when it ended or `record` is none.
    // `known` is false when its state cannot be asked (no process recorded).
    virtual bool IsRunning(const ProcessRecord& record, bool& known) = 0;
    // The process's first top-level window (0 when none); Linux returns the
    // pid, since the companion raises and closes its own window on request.
    virtual std::uintptr_t FindMainWindow(const ProcessRecord& record) = 0;
    // Keeps the window above others (Win32 topmost; Linux asks it to raise).
    virtual void BringToFront(std::uintptr_t window) = 0;
    // Asks the window to close, as the close button would; does not wait.
    virtual void AskToClose(std::uintptr_t window) = 0;
    // Releases what the record holds (Win32 closes the process handle).
    virtual void Release(ProcessRecord& record) = 0;
};

} // namespace osa
