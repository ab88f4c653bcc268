#include "platform/linux/instance_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace osa::posix {

namespace {

bool IsAbsoluteDirectory(const char* path) {
    if (path == nullptr || path[0] != '/') return false;
    struct stat st {};
    return ::stat(path, &st) == 0 && S_ISDIR(st.st_mode);
}

} // namespace

InstancePaths DefaultInstancePaths() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    std::string base;
    if (IsAbsoluteDirectory(runtime)) {
        base = std::string(runtime);
        if (base.back() != '/') base += '/';
        base += "osactl";
    } else {
        base = "/tmp/osactl-" + std::to_string(::getuid());
    }
    return InstancePaths{base + ".lock", base + ".sock"};
}

LockResult TryLockFile(const std::string& path) {
    LockResult result;
    // O_CLOEXEC: a program the controller starts must not inherit the lock
    // and keep later controllers out after this one has ended.
    UniqueFd fd(::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600));
    if (!fd.Valid()) {
        result.error = errno;
        result.failedCall = "open";
        return result;
    }
    struct stat st {};
    if (::fstat(fd.Get(), &st) != 0) {
        result.error = errno;
        result.failedCall = "fstat";
        return result;
    }
    if (!S_ISREG(st.st_mode) || st.st_uid != ::geteuid()) {
        result.error = EPERM;
        result.failedCall = "owner";
        return result;
    }
    int rc = 0;
    do {
        rc = ::flock(fd.Get(), LOCK_EX | LOCK_NB);
    } while (rc != 0 && errno == EINTR);
    if (rc != 0) {
        if (errno == EWOULDBLOCK) {
            result.outcome = LockOutcome::HeldElsewhere;
        } else {
            result.error = errno;
            result.failedCall = "flock";
        }
        return result;
    }
    result.outcome = LockOutcome::Acquired;
    result.fd = std::move(fd);
    return result;
}

int SendRaiseRequest(const std::string& socketPath) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (socketPath.size() >= sizeof address.sun_path) return ENAMETOOLONG;
    std::memcpy(address.sun_path, socketPath.data(), socketPath.size());

    UniqueFd fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
    if (!fd.Valid()) return errno;
    // A local stream connect completes at once or fails at once (EAGAIN when
    // the listener's backlog is full); it never leaves us waiting.
    if (::connect(fd.Get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0)
        return errno;
    static constexpr char Request[] = "raise\n";
    ssize_t sent = ::send(fd.Get(), Request, sizeof Request - 1, MSG_NOSIGNAL | MSG_DONTWAIT);
    if (sent < 0) return errno;
    if (static_cast<std::size_t>(sent) != sizeof Request - 1) return EAGAIN;
    return 0;
}

} // namespace osa::posix
