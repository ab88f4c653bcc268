// Single-instance service: only one controller runs per user session.
//   Win32: the named mutex "MTController"; raising finds the first
//          controller's top-level window by its caption.
//   Linux: a per-user lock file held with flock (the kernel frees it when the
//          process ends) and a local socket on which the first controller
//          listens for "raise" requests from later ones.
//   memory: a flag the test sets, and a log of raise requests.
#pragma once
#include <string_view>

namespace osa {

class InstanceGuard {
  public:
    virtual ~InstanceGuard() = default;
    // Claims the single-instance token for this process and keeps it until
    // the process ends. Returns false when another controller already holds
    // it. Fails open: if the token cannot be made at all, returns true so the
    // controller still runs. Never blocks.
    virtual bool ClaimFirstInstance() = 0;
    // Second process only: brings the running controller's window (or its
    // last active pop-up, such as an open message box) to the front, shown
    // normally. `caption` is the main window's caption. Does nothing when no
    // such window is found. Returns without waiting for the other process.
    virtual void RaiseFirstInstance(std::string_view caption) = 0;
};

} // namespace osa
