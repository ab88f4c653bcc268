// The POSIX half of the Linux single instance: where the per-user lock file
// and the socket live, the lock that marks the first controller, and the
// one "raise" request a later controller sends. The Qt side that listens on
// the socket is platform/qt/qt_instance_guard.cpp.
//
//   lock    $XDG_RUNTIME_DIR/osactl.lock, or /tmp/osactl-<uid>.lock when the
//           variable is unset, relative or not a directory. Held with
//           flock(LOCK_EX | LOCK_NB) on a descriptor kept open (close-on-exec)
//           for the life of the process; the kernel drops the lock when the
//           process ends, however it ends (flock(2)). The lock belongs to the
//           open file description, so a second open of the same file in the
//           same process conflicts too.
//   socket  the same name with ".sock": an AF_UNIX stream socket on which the
//           first controller accepts "raise\n".
#pragma once
#include <string>

#include "platform/linux/unique_fd.h"

namespace osa::posix {

struct InstancePaths {
    std::string lock;
    std::string socket;
};

// The paths for the current user, from the environment at the time of the call.
InstancePaths DefaultInstancePaths();

enum class LockOutcome {
    Acquired,      // this process is the first controller
    HeldElsewhere, // another open file description holds the lock
    Failed,        // the lock file cannot be used; `error` says why
};

struct LockResult {
    LockOutcome outcome = LockOutcome::Failed;
    UniqueFd fd;            // open while Acquired
    int error = 0;          // errno of the failing call when Failed
    std::string failedCall; // "open", "fstat", "flock"; or "owner" when the
                            // file is not a regular file of this user
};

// Opens (creating it 0600 if needed) and locks `path` without blocking.
// Refuses symbolic links and files that are not this user's regular files,
// so a file planted in a shared folder cannot be used against the user.
LockResult TryLockFile(const std::string& path);

// Connects to `socketPath` without blocking and sends "raise\n". Returns 0,
// or the errno of the call that failed (ENOENT or ECONNREFUSED when nobody
// listens, EAGAIN when the listener's queue is full).
int SendRaiseRequest(const std::string& socketPath);

} // namespace osa::posix
