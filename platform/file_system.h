// The few file-system services the controller needs beyond profile files.
//   Win32: GetModuleFileNameA, FindFirstFileA/FindNextFileA, CopyFileA, ...
//   Linux: /proc/self/exe, opendir/readdir, POSIX file calls.
//   memory: a map of paths for tests.
// Paths use the platform's separator (PathSeparator()).
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace osa {

class FileSystem {
  public:
    virtual ~FileSystem() = default;

    virtual char PathSeparator() const = 0;
    // Full path of the running program, or empty when it cannot be known.
    virtual std::string ExecutablePath() = 0;
    // The user's own folder for this program's files (created on demand by
    // the caller): Linux $XDG_CONFIG_HOME/osactl or ~/.config/osactl;
    // Windows %APPDATA%\OSACTL. Empty when there is none.
    virtual std::string UserDataDirectory() = 0;
    // True when a file can be created in `dir` (checked by creating and
    // removing a scratch file, not by permission bits alone).
    virtual bool IsDirectoryWritable(std::string_view dir) = 0;
    // Makes `dir` and any missing parent folders; true when it exists afterwards.
    virtual bool MakeDirectory(std::string_view dir) = 0;
    virtual bool Exists(std::string_view path) = 0;

    struct Entry {
        std::string name; // file name only, no folder
        bool directory = false;
    };
    // Entries of `dir` whose name ends with `suffix` (".hcf", ASCII letters
    // compared without case, as the Windows search does), in a stable order
    // of the platform's choosing. Empty when `dir` is missing or unreadable.
    virtual std::vector<Entry> List(std::string_view dir, std::string_view suffix) = 0;
    // Copies `from` to `to` unless `to` exists already. True when `to` exists
    // afterwards.
    virtual bool CopyFileIfMissing(std::string_view from, std::string_view to) = 0;
};

} // namespace osa
