// Starting and steering the companion program on Linux.
//
//   Start          posix_spawn(3) of the full path, with the path itself as the
//                  only argument, no shell, the controller's environment and
//                  current folder. The child starts with an empty signal mask
//                  and SIGTERM, SIGINT and SIGUSR1 at their default actions,
//                  whatever the controller inherited. Nothing waits for it.
//   IsRunning      waitpid(pid, WNOHANG); a child found ended is reaped then and
//                  remembered as ended until its record is released, so a
//                  second question still answers "ended".
//   FindMainWindow the pid: the companion raises and closes its own window.
//   BringToFront   SIGUSR1, once the companion has its handler for it (see the
//                  .cpp); until then its window is just opening, on top anyway.
//   AskToClose     SIGTERM, which the companion treats as a close request.
//   Release        forgets the record; a child still running is reaped later
//                  (at the next call that finds it ended), never waited for.
//
// Only children this launcher started and has not reaped are ever signalled:
// their pids cannot have been reused by another process. The controller must
// therefore not set SIGCHLD to SIG_IGN, which would reap them behind its back.
#pragma once
#include <sys/types.h>

#include <map>
#include <optional>
#include <set>

#include "platform/process_launcher.h"

namespace osa::posix {

class LinuxProcessLauncher final : public ProcessLauncher {
  public:
    LinuxProcessLauncher() = default;
    LinuxProcessLauncher(const LinuxProcessLauncher&) = delete;
    LinuxProcessLauncher& operator=(const LinuxProcessLauncher&) = delete;

    bool Start(std::string_view commandPath, ProcessRecord& out) override;
    bool IsRunning(const ProcessRecord& record, bool& known) override;
    std::uintptr_t FindMainWindow(const ProcessRecord& record) override;
    void BringToFront(std::uintptr_t window) override;
    void AskToClose(std::uintptr_t window) override;
    void Release(ProcessRecord& record) override;

    // The wait status (waitpid(2)) of a child found ended, until its record is
    // released; none while it runs; -1 when it was reaped elsewhere. For
    // diagnostics and tests.
    std::optional<int> WaitStatus(const ProcessRecord& record) const;

  private:
    // Reaps `pid` if it ended; true when it did, with its wait status in
    // `status` (-1 when it is no longer a child: reaped elsewhere).
    static bool Reap(pid_t pid, int& status);
    // Reaps released children that have ended since.
    void SweepReleased();
    // The child `value` stands for, or 0 when it is none of ours that runs.
    pid_t LiveChild(std::uintptr_t value) const;

    std::set<pid_t> live_;       // started, not reaped
    std::map<pid_t, int> ended_; // reaped, record not yet released: wait status
    std::set<pid_t> released_;   // released while still running
};

} // namespace osa::posix
