// The named mutex "MTController" is the single-instance token. It is created
// with initial ownership and only ever used to learn whether it existed
// already (ERROR_ALREADY_EXISTS); nobody waits on it.
//
// Why the handle is never closed: the name lives exactly as long as a handle
// to the object is open. Closing it (from a destructor, say) before the
// process is gone would let a second controller start while this one is
// still ending: after RunController returns, static destructors and the
// runtime's exit still run, and an abnormal end never reaches a destructor at
// all. The system closes the handle when the process ends, which is the
// lifetime wanted, in every way a process can end. The second process keeps
// its handle too; it ends at once.
#include "platform/win32/win32_instance_guard.h"

#include <string>

#include "platform/win32/win32_text.h"

namespace osa::win32 {

bool Win32InstanceGuard::ClaimFirstInstance() {
    if (mutex_ != nullptr) return first_; // asked before: the same answer
    HANDLE mutex = CreateMutexA(nullptr, TRUE, "MTController");
    const DWORD error = GetLastError();
    // Fails open: without a token the controller still runs.
    if (mutex == nullptr) return true;
    mutex_ = mutex;
    first_ = error != ERROR_ALREADY_EXISTS;
    return first_;
}

void Win32InstanceGuard::RaiseFirstInstance(std::string_view caption) {
    // Any class: the main window is a dialog (#32770), found by its caption.
    const std::wstring title = Widen(caption);
    HWND window = FindWindowW(nullptr, title.c_str());
    if (window == nullptr) return;
    // An open message box or dialog of the first controller comes first.
    HWND popup = GetLastActivePopup(window);
    if (popup == nullptr) popup = window;
    SetForegroundWindow(popup);
    SetFocus(popup); // fails for another process's window; the foreground is what counts
    ShowWindow(popup, SW_SHOWNORMAL);
}

} // namespace osa::win32
