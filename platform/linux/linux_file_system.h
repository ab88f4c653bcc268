// The file-system services on Linux (POSIX calls):
//   ExecutablePath       readlink("/proc/self/exe") (proc(5))
//   UserDataDirectory    $XDG_CONFIG_HOME/osactl when that is an absolute
//                        path, else $HOME/.config/osactl, else the passwd
//                        entry's home + /.config/osactl (the XDG base-directory
//                        rules: relative values are to be ignored)
//   IsDirectoryWritable  creates and removes a hidden scratch file
//   MakeDirectory        mkdir, making missing parent folders too
//   List                 opendir/readdir; names sorted byte by byte, since
//                        readdir's order differs between file systems and
//                        any stable order will do
//   CopyFileIfMissing    copy into a temporary file in the target folder,
//                        fsync, then rename without replacing
//                        (renameat2 RENAME_NOREPLACE), so a copy cut short
//                        never leaves a partial file under the final name
//
// Failing calls are logged on stderr with their errno text.
#pragma once
#include "platform/file_system.h"

namespace osa::posix {

class LinuxFileSystem final : public FileSystem {
  public:
    char PathSeparator() const override { return '/'; }
    std::string ExecutablePath() override;
    std::string UserDataDirectory() override;
    bool IsDirectoryWritable(std::string_view dir) override;
    bool MakeDirectory(std::string_view dir) override;
    bool Exists(std::string_view path) override;
    // The suffix compares without ASCII case, as the Windows directory
    // search does.
    std::vector<Entry> List(std::string_view dir, std::string_view suffix) override;
    // The copy gets 0666 less the umask, not the source's bits: the user's
    // copy of a read-only installed file must stay writable for the
    // adjustments kept in it.
    bool CopyFileIfMissing(std::string_view from, std::string_view to) override;
};

} // namespace osa::posix
