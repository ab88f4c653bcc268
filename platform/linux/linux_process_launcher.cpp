#include "platform/linux/linux_process_launcher.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

extern char** environ;

namespace osa::posix {

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

// Owns a posix_spawnattr_t once it is initialised.
class SpawnAttributes {
  public:
    SpawnAttributes() { ok_ = ::posix_spawnattr_init(&attr_) == 0; }
    ~SpawnAttributes() {
        if (ok_) ::posix_spawnattr_destroy(&attr_);
    }
    SpawnAttributes(const SpawnAttributes&) = delete;
    SpawnAttributes& operator=(const SpawnAttributes&) = delete;

    // An empty signal mask, and the signals the companion is steered with at
    // their default action: an ignored signal would stay ignored across exec.
    bool CleanSignals() {
        if (!ok_) return false;
        sigset_t none;
        sigset_t defaults;
        sigemptyset(&none);
        sigemptyset(&defaults);
        sigaddset(&defaults, SIGTERM);
        sigaddset(&defaults, SIGINT);
        sigaddset(&defaults, SIGUSR1);
        return ::posix_spawnattr_setsigmask(&attr_, &none) == 0 &&
               ::posix_spawnattr_setsigdefault(&attr_, &defaults) == 0 &&
               ::posix_spawnattr_setflags(&attr_, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF) ==
                   0;
    }
    const posix_spawnattr_t* Get() const { return &attr_; }

  private:
    posix_spawnattr_t attr_{};
    bool ok_ = false;
};

// Whether `pid` has a handler of its own for `signal`: the SigCgt mask of
// /proc/<pid>/status (proc(5)). A process that cannot be read counts as
// having one.
bool CatchesSignal(pid_t pid, int signal) {
    char path[64];
    std::snprintf(path, sizeof path, "/proc/%d/status", static_cast<int>(pid));
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path, "re"));
    if (!file) return true;
    char line[256];
    while (std::fgets(line, sizeof line, file.get()) != nullptr) {
        if (std::strncmp(line, "SigCgt:", 7) != 0) continue;
        const unsigned long long mask = std::strtoull(line + 7, nullptr, 16);
        return ((mask >> (signal - 1)) & 1u) != 0;
    }
    return true;
}

} // namespace

bool LinuxProcessLauncher::Reap(pid_t pid, int& status) {
    pid_t result;
    do {
        result = ::waitpid(pid, &status, WNOHANG);
    } while (result < 0 && errno == EINTR);
    if (result == 0) return false;
    // ECHILD: reaped already, by someone who should not have (SIGCHLD set to
    // SIG_IGN, or a wait for any child); either way it has ended.
    if (result < 0 && errno != ECHILD) {
        std::fprintf(stderr, "osactl: waitpid(%d): %s\n", static_cast<int>(pid),
                     std::strerror(errno));
        return false;
    }
    if (result < 0) status = -1; // its status went to whoever reaped it
    return true;
}

void LinuxProcessLauncher::SweepReleased() {
    int status = 0;
    for (auto it = released_.begin(); it != released_.end();)
        it = Reap(*it, status) ? released_.erase(it) : std::next(it);
}

pid_t LinuxProcessLauncher::LiveChild(std::uintptr_t value) const {
    if (value == 0 || value > static_cast<std::uintptr_t>(INT_MAX)) return 0;
    const auto pid = static_cast<pid_t>(value);
    return live_.count(pid) != 0 ? pid : 0;
}

bool LinuxProcessLauncher::Start(std::string_view commandPath, ProcessRecord& out) {
    SweepReleased();
    out = ProcessRecord{};
    if (commandPath.empty()) return false;
    std::string path(commandPath);
    SpawnAttributes attributes;
    if (!attributes.CleanSignals()) {
        std::fprintf(stderr, "osactl: posix_spawnattr for the companion failed\n");
        return false;
    }
    char* argv[] = {path.data(), nullptr};
    pid_t pid = 0;
    // glibc reports a failed exec (missing file, no permission) as the
    // result of posix_spawn itself.
    const int error = ::posix_spawn(&pid, path.c_str(), nullptr, attributes.Get(), argv, environ);
    if (error != 0) {
        std::fprintf(stderr, "osactl: cannot start %s: %s\n", path.c_str(), std::strerror(error));
        return false;
    }
    live_.insert(pid);
    ended_.erase(pid);
    out.process = static_cast<std::uintptr_t>(pid);
    out.processId = static_cast<std::uint32_t>(pid);
    return true;
}

bool LinuxProcessLauncher::IsRunning(const ProcessRecord& record, bool& known) {
    SweepReleased();
    known = false;
    if (record.process == 0 || record.process > static_cast<std::uintptr_t>(INT_MAX)) return false;
    const auto pid = static_cast<pid_t>(record.process);
    if (ended_.count(pid) != 0) {
        known = true;
        return false;
    }
    if (live_.count(pid) == 0) return false; // not a child of ours
    known = true;
    int status = 0;
    if (!Reap(pid, status)) return true;
    live_.erase(pid);
    ended_[pid] = status;
    return false;
}

std::uintptr_t LinuxProcessLauncher::FindMainWindow(const ProcessRecord& record) {
    return static_cast<std::uintptr_t>(LiveChild(record.process));
}

void LinuxProcessLauncher::BringToFront(std::uintptr_t window) {
    const pid_t pid = LiveChild(window);
    if (pid == 0) return;
    // Right after the start the companion has not yet set up its handler,
    // and SIGUSR1's default action would end it. Its window is about to open
    // on top of the others anyway.
    if (!CatchesSignal(pid, SIGUSR1)) return;
    if (::kill(pid, SIGUSR1) != 0)
        std::fprintf(stderr, "osactl: kill(%d, SIGUSR1): %s\n", static_cast<int>(pid),
                     std::strerror(errno));
}

void LinuxProcessLauncher::AskToClose(std::uintptr_t window) {
    const pid_t pid = LiveChild(window);
    if (pid == 0) return;
    // Before its handler is set up, SIGTERM's default action ends the
    // companion, which is what was asked for.
    if (::kill(pid, SIGTERM) != 0)
        std::fprintf(stderr, "osactl: kill(%d, SIGTERM): %s\n", static_cast<int>(pid),
                     std::strerror(errno));
}

void LinuxProcessLauncher::Release(ProcessRecord& record) {
    if (record.process != 0 && record.process <= static_cast<std::uintptr_t>(INT_MAX)) {
        const auto pid = static_cast<pid_t>(record.process);
        ended_.erase(pid);
        int status = 0;
        if (live_.erase(pid) != 0 && !Reap(pid, status)) released_.insert(pid);
    }
    record = ProcessRecord{};
    SweepReleased();
}

std::optional<int> LinuxProcessLauncher::WaitStatus(const ProcessRecord& record) const {
    if (record.process == 0 || record.process > static_cast<std::uintptr_t>(INT_MAX)) return {};
    const auto found = ended_.find(static_cast<pid_t>(record.process));
    if (found == ended_.end()) return {};
    return found->second;
}

} // namespace osa::posix
