// The Linux profile store: reading with limits, and the replace-by-rename
// write described in profile_file.h. Sources for the guarantees relied on:
// rename(2) ("If newpath already exists, it will be atomically replaced"),
// fsync(2) (a file's data, and separately the directory entry, must be
// flushed for a new file to survive a crash), open(2) (O_NONBLOCK on a FIFO
// returns at once; O_EXCL with O_CREAT fails on an existing name).
#include "platform/linux/profile_file.h"

#include "platform/linux/posix_path.h"
#include "platform/linux/scratch_files.h"
#include "platform/linux/unique_fd.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "platform/profile_text.h"

namespace osa::posix {

namespace {

using Fd = UniqueFd;

void LogFailure(const char* call, const std::string& path, int error) {
    std::fprintf(stderr, "osactl: %s %s: %s\n", call, path.c_str(), std::strerror(error));
}

// 0, or the errno of the failing write.
int WriteAll(int fd, std::string_view data) {
    while (!data.empty()) {
        const ssize_t n = ::write(fd, data.data(), data.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        data.remove_prefix(static_cast<std::size_t>(n));
    }
    return 0;
}

// 0 when `result` is 0, else errno.
int ErrnoOf(int result) {
    return result == 0 ? 0 : errno;
}

std::string UsableText(std::string_view file) {
    ProfileFileRead read = ReadProfileFile(std::string(file));
    return read.state == ProfileFileState::Text ? std::move(read.text) : std::string{};
}

} // namespace

ProfileFileRead ReadProfileFile(const std::string& path) {
    ProfileFileRead out;
    if (path.empty()) return out;
    Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (!fd) {
        if (errno == ENOENT || errno == ENOTDIR) return out;
        LogFailure("open", path, errno);
        out.state = ProfileFileState::Unusable;
        return out;
    }
    out.state = ProfileFileState::Unusable;
    struct stat st {};
    if (::fstat(fd.Get(), &st) != 0) {
        LogFailure("fstat", path, errno);
        return out;
    }
    if (!S_ISREG(st.st_mode) || st.st_size > static_cast<off_t>(profile::MaxTextBytes)) {
        std::fprintf(stderr, "osactl: %s: not a profile file (not a regular file, or too large)\n",
                     path.c_str());
        return out;
    }
    out.mode = static_cast<unsigned>(st.st_mode) & 07777u;

    // The size from fstat is only a hint: the file may grow while it is
    // read. Never more than the limit and one byte.
    std::string text;
    char chunk[16384];
    while (text.size() <= profile::MaxTextBytes) {
        const std::size_t room = profile::MaxTextBytes + 1 - text.size();
        const ssize_t n = ::read(fd.Get(), chunk, room < sizeof chunk ? room : sizeof chunk);
        if (n < 0) {
            if (errno == EINTR) continue;
            LogFailure("read", path, errno);
            return out;
        }
        if (n == 0) break;
        text.append(chunk, static_cast<std::size_t>(n));
    }
    if (!profile::IsUsableText(text)) {
        std::fprintf(stderr, "osactl: %s: not a profile file (too large, or binary)\n",
                     path.c_str());
        return out;
    }
    out.state = ProfileFileState::Text;
    out.text = std::move(text);
    return out;
}

std::string LinuxProfileStore::ReadText(std::string_view file, std::string_view section,
                                        std::string_view key, std::string_view defaultText,
                                        std::size_t bufferBytes) {
    return profile::ReadText(UsableText(file), section, key, defaultText, bufferBytes);
}

std::int32_t LinuxProfileStore::ReadInt(std::string_view file, std::string_view section,
                                        std::string_view key, std::int32_t defaultValue) {
    return profile::ReadInt(UsableText(file), section, key, defaultValue);
}

bool LinuxProfileStore::WriteText(std::string_view file, std::string_view section,
                                  std::string_view key, std::string_view value) {
    if (file.empty() || !profile::IsWritableEntry(section, key, value)) return false;
    std::string path(file);

    // A symbolic link stays a link: its target is what gets replaced.
    struct stat info {};
    if (::lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode)) {
        const std::unique_ptr<char, decltype(&std::free)> target(::realpath(path.c_str(), nullptr),
                                                                 &std::free);
        if (!target) {
            LogFailure("realpath", path, errno);
            return false;
        }
        path = target.get();
    }

    const ProfileFileRead old = ReadProfileFile(path);
    if (old.state == ProfileFileState::Unusable) return false; // left as it is
    const std::string text = profile::SetValue(old.text, section, key, value, "\n");
    if (old.state == ProfileFileState::Text && text == old.text) return true;
    return Replace(path, text, old);
}

bool LinuxProfileStore::Replace(const std::string& path, const std::string& text,
                                const ProfileFileRead& old) {
    static unsigned counter = 0;
    const std::string folder = FolderOf(path);
    RemoveLeftScratch(folder);
    const std::string prefix = ScratchPrefix(folder, NameOf(path));

    std::string temp = prefix;
    Fd fd;
    int error = BeforeStep(WriteStep::OpenTemporary);
    for (int attempt = 0; error == 0 && !fd && attempt < 100; ++attempt) {
        temp = prefix + std::to_string(counter++);
        // 0666 less the umask, as any new file; an existing file's own bits
        // are set below.
        fd.Reset(::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666));
        if (!fd && errno != EEXIST) error = errno;
    }
    if (!fd) {
        LogFailure("open", temp, error != 0 ? error : EEXIST);
        return false;
    }

    // From here on, a failure removes the temporary file and keeps the old one.
    const auto fail = [&](const char* call, int err) {
        LogFailure(call, temp, err);
        fd.Reset();
        ::unlink(temp.c_str());
        return false;
    };
    if ((error = BeforeStep(WriteStep::WriteTemporary)) != 0 ||
        (error = WriteAll(fd.Get(), text)) != 0)
        return fail("write", error);
    if (old.state == ProfileFileState::Text &&
        ((error = BeforeStep(WriteStep::SetMode)) != 0 ||
         (error = ErrnoOf(::fchmod(fd.Get(), static_cast<mode_t>(old.mode)))) != 0))
        return fail("fchmod", error);
    if ((error = BeforeStep(WriteStep::SyncTemporary)) != 0 ||
        (error = ErrnoOf(::fsync(fd.Get()))) != 0)
        return fail("fsync", error);
    if ((error = BeforeStep(WriteStep::CloseTemporary)) != 0) return fail("close", error);
    // close(2): the descriptor is gone whatever close returns, so no retry.
    if ((error = ErrnoOf(::close(fd.Release()))) != 0) return fail("close", error);
    if ((error = BeforeStep(WriteStep::Rename)) != 0 ||
        (error = ErrnoOf(::rename(temp.c_str(), path.c_str()))) != 0)
        return fail("rename", error);

    // The new file is in place. Flushing the folder makes the rename
    // durable; if that fails the file still holds the new text, so the
    // write has happened and is reported as done. EINVAL: a file system
    // that cannot sync folders.
    error = BeforeStep(WriteStep::SyncFolder);
    if (error == 0) {
        Fd dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        error = !dir ? errno : ErrnoOf(::fsync(dir.Get()));
    }
    if (error != 0 && error != EINVAL) LogFailure("fsync", folder, error);
    return true;
}

} // namespace osa::posix
