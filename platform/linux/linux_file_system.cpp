#include "platform/linux/linux_file_system.h"

#include "platform/linux/posix_path.h"
#include "platform/linux/scratch_files.h"
#include "platform/linux/unique_fd.h"

#include "platform/ascii.h"

#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

namespace osa::posix {

namespace {

using Fd = UniqueFd;

struct DirCloser {
    void operator()(DIR* dir) const { ::closedir(dir); }
};

void LogFailure(const char* call, const std::string& path, int error) {
    std::fprintf(stderr, "osactl: %s %s: %s\n", call, path.c_str(), std::strerror(error));
}

std::string WithoutTrailingSlashes(std::string_view path) {
    std::string p(path);
    while (p.size() > 1 && p.back() == '/')
        p.pop_back();
    return p;
}

std::string Child(const std::string& dir, std::string_view name) {
    return dir == "/" ? "/" + std::string(name) : dir + "/" + std::string(name);
}

bool IsDirectory(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// A new, hidden file beside `path`'s name in `dir`, opened for writing with
// `mode` (less the umask); `created` receives its name.
Fd CreateScratch(const std::string& dir, const std::string& stem, mode_t mode,
                 std::string& created) {
    static unsigned counter = 0;
    RemoveLeftScratch(dir);
    const std::string prefix = ScratchPrefix(dir, stem);
    for (int attempt = 0; attempt < 100; ++attempt) {
        created = prefix + std::to_string(counter++);
        Fd fd(::open(created.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, mode));
        if (fd || errno != EEXIST) return fd;
    }
    errno = EEXIST;
    return Fd{};
}

int WriteAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return 0;
}

// 0, or the errno of the failing call.
int CopyContents(int from, int to) {
    char chunk[65536];
    for (;;) {
        const ssize_t n = ::read(from, chunk, sizeof chunk);
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        if (n == 0) return 0;
        if (const int error = WriteAll(to, chunk, static_cast<std::size_t>(n)); error != 0)
            return error;
    }
}

void SyncFolder(const std::string& folder) {
    Fd dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir && ::fsync(dir.Get()) == 0) return;
    if (errno != EINVAL) LogFailure("fsync", folder, errno);
}

// Puts `temp` under the name `to` unless `to` exists. 0, or an errno
// (EEXIST when `to` appeared meanwhile).
int RenameNoReplace(const std::string& temp, const std::string& to) {
    if (::renameat2(AT_FDCWD, temp.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return 0;
    if (errno != EINVAL && errno != ENOSYS) return errno;
    // A file system without RENAME_NOREPLACE: link(2) fails on an existing
    // name just as well.
    if (::link(temp.c_str(), to.c_str()) == 0) {
        ::unlink(temp.c_str());
        return 0;
    }
    if (errno == EEXIST) return EEXIST;
    // Nor hard links (FAT): check, then rename.
    struct stat st {};
    if (::lstat(to.c_str(), &st) == 0) return EEXIST;
    return ::rename(temp.c_str(), to.c_str()) == 0 ? 0 : errno;
}

bool MakeDirectories(const std::string& dir, int depth) {
    if (dir.empty() || depth > 256) return false;
    if (::mkdir(dir.c_str(), 0777) == 0) return true;
    if (errno == EEXIST) return IsDirectory(dir);
    if (errno == ENOENT) {
        const std::string parent = FolderOf(dir);
        if (parent != dir && MakeDirectories(parent, depth + 1)) {
            if (::mkdir(dir.c_str(), 0777) == 0) return true;
            if (errno == EEXIST) return IsDirectory(dir);
        }
    }
    LogFailure("mkdir", dir, errno);
    return false;
}

} // namespace

std::string LinuxFileSystem::ExecutablePath() {
    std::string buffer(256, '\0');
    for (;;) {
        const ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (n < 0) {
            LogFailure("readlink", "/proc/self/exe", errno);
            return {};
        }
        if (static_cast<std::size_t>(n) < buffer.size()) {
            buffer.resize(static_cast<std::size_t>(n));
            return buffer;
        }
        if (buffer.size() >= 65536) return {}; // readlink cut it: no usable path
        buffer.resize(buffer.size() * 2);
    }
}

std::string LinuxFileSystem::UserDataDirectory() {
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config != nullptr && config[0] == '/')
        return Child(WithoutTrailingSlashes(config), "osactl");
    std::string home;
    if (const char* env = std::getenv("HOME"); env != nullptr && env[0] == '/') {
        home = env;
    } else {
        long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
        std::string buffer(size > 0 ? static_cast<std::size_t>(size) : 16384u, '\0');
        struct passwd entry {};
        struct passwd* found = nullptr;
        if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 &&
            found != nullptr && found->pw_dir != nullptr && found->pw_dir[0] == '/')
            home = found->pw_dir;
    }
    if (home.empty()) return {};
    return Child(Child(WithoutTrailingSlashes(home), ".config"), "osactl");
}

bool LinuxFileSystem::IsDirectoryWritable(std::string_view dir) {
    const std::string d = WithoutTrailingSlashes(dir);
    if (d.empty() || !IsDirectory(d)) return false;
    std::string scratch;
    Fd fd = CreateScratch(d, "osactl-write-test", 0600, scratch);
    if (!fd) return false;
    ::unlink(scratch.c_str());
    return true;
}

bool LinuxFileSystem::MakeDirectory(std::string_view dir) {
    return MakeDirectories(WithoutTrailingSlashes(dir), 0);
}

bool LinuxFileSystem::Exists(std::string_view path) {
    struct stat st {};
    return !path.empty() && ::stat(std::string(path).c_str(), &st) == 0;
}

std::vector<FileSystem::Entry> LinuxFileSystem::List(std::string_view dir,
                                                     std::string_view suffix) {
    std::vector<Entry> out;
    const std::string d = WithoutTrailingSlashes(dir);
    const std::unique_ptr<DIR, DirCloser> stream(d.empty() ? nullptr : ::opendir(d.c_str()));
    if (!stream) {
        if (!d.empty() && errno != ENOENT) LogFailure("opendir", d, errno);
        return out;
    }
    for (;;) {
        errno = 0;
        const dirent* entry = ::readdir(stream.get());
        if (entry == nullptr) {
            if (errno != 0) LogFailure("readdir", d, errno);
            break;
        }
        const std::string_view name(entry->d_name);
        if (name == "." || name == ".." || !ascii::EndsWithNoCase(name, suffix)) continue;
        bool directory = entry->d_type == DT_DIR;
        if (entry->d_type == DT_UNKNOWN || entry->d_type == DT_LNK) {
            struct stat st {};
            directory =
                ::fstatat(::dirfd(stream.get()), entry->d_name, &st, 0) == 0 && S_ISDIR(st.st_mode);
        }
        out.push_back(Entry{std::string(name), directory});
    }
    std::sort(out.begin(), out.end(),
              [](const Entry& a, const Entry& b) { return a.name < b.name; });
    return out;
}

bool LinuxFileSystem::CopyFileIfMissing(std::string_view from, std::string_view to) {
    const std::string source(from);
    const std::string target = WithoutTrailingSlashes(to);
    if (target.empty()) return false;
    if (struct stat st{}; ::stat(target.c_str(), &st) == 0) return !S_ISDIR(st.st_mode);

    Fd in(::open(source.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    struct stat st {};
    if (!in || ::fstat(in.Get(), &st) != 0) {
        LogFailure("open", source, errno);
        return false;
    }
    if (!S_ISREG(st.st_mode)) return false;

    const std::string folder = FolderOf(target);
    std::string temp;
    Fd out = CreateScratch(folder, NameOf(target), 0666, temp);
    if (!out) {
        LogFailure("open", temp, errno);
        return false;
    }
    int error = CopyContents(in.Get(), out.Get());
    if (error == 0 && ::fsync(out.Get()) != 0) error = errno;
    if (error == 0 && ::close(out.Release()) != 0) error = errno;
    if (error == 0) error = RenameNoReplace(temp, target);
    if (error != 0) {
        ::unlink(temp.c_str());
        if (error == EEXIST) return true; // made meanwhile: never replaced
        LogFailure("copy to", target, error);
        return false;
    }
    SyncFolder(folder);
    return true;
}

} // namespace osa::posix
