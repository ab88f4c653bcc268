#include "platform/linux/scratch_files.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <memory>
#include <mutex>
#include <set>
#include <string_view>

namespace osa::posix {

namespace {

constexpr std::string_view Marker = ".tmp-";

// The process id of a temporary name ".<name>.tmp-<pid>-<n>", or 0.
pid_t OwnerOf(std::string_view name) {
    if (name.empty() || name.front() != '.') return 0;
    const std::size_t at = name.rfind(Marker);
    if (at == std::string_view::npos || at == 0) return 0;
    std::string_view rest = name.substr(at + Marker.size());
    const std::size_t dash = rest.find('-');
    if (dash == std::string_view::npos || dash == 0 || dash + 1 == rest.size()) return 0;
    long long pid = 0;
    for (char c : rest.substr(0, dash)) {
        if (c < '0' || c > '9' || pid > 1'000'000'000) return 0;
        pid = pid * 10 + (c - '0');
    }
    for (char c : rest.substr(dash + 1))
        if (c < '0' || c > '9') return 0;
    return static_cast<pid_t>(pid);
}

struct DirCloser {
    void operator()(DIR* d) const { ::closedir(d); }
};

} // namespace

std::string ScratchPrefix(const std::string& folder, const std::string& name) {
    return (folder == "/" ? "" : folder) + "/." + name + std::string(Marker) +
           std::to_string(::getpid()) + "-";
}

void RemoveLeftScratch(const std::string& folder) {
    static std::mutex lock;
    static std::set<std::string> looked;
    {
        const std::lock_guard<std::mutex> hold(lock);
        if (!looked.insert(folder).second) return;
    }
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    const std::unique_ptr<DIR, DirCloser> dir(::fdopendir(fd));
    if (!dir) {
        ::close(fd);
        return;
    }
    while (const dirent* entry = ::readdir(dir.get())) {
        const pid_t owner = OwnerOf(entry->d_name);
        if (owner <= 0 || owner == ::getpid()) continue;
        // Only a process that is gone: a running one may be mid-write.
        if (::kill(owner, 0) == 0 || errno != ESRCH) continue;
        (void)::unlinkat(::dirfd(dir.get()), entry->d_name, 0);
    }
}

} // namespace osa::posix
