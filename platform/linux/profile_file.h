// Profile (INI) files on Linux: our own reader and writer of the format the
// Windows private-profile functions use (the text rules are in
// platform/profile_text.h, shared with the in-memory store).
//
// Reading is bounded. A file is opened without blocking (a FIFO or device
// put in its place cannot hang the program), must be a regular file, and is
// read up to profile::MaxTextBytes + 1 bytes. A file that is larger, holds a
// NUL byte (a binary or UTF-16 file), is not a regular file or cannot be
// read gives the defaults, and a write refuses to replace it (returns false
// and leaves it as it is): what we cannot read we must not overwrite.
//
// A write never leaves a half-written file. The new text goes to a hidden
// temporary file in the same folder (".<name>.tmp-<pid>-<n>", which never
// ends in ".hcf"), is flushed to the disk (fsync), gets the old file's
// permission bits, and is renamed over the old file, which replaces it
// atomically (rename(2)); then the folder is flushed so the rename itself
// survives a power cut. Interrupted at any point, the file is the old one or
// the new one; a failed step removes the temporary file. A write that would
// not change the text does not touch the file.
//
// Line ends: a file keeps its own (that of its first line); a new file gets
// "\n", the Linux convention (CR LF files from Windows are read and edited
// in CR LF). A path that is a symbolic link is written through: the link
// stays and its target is replaced.
//
// Every failing system call is logged on stderr with its errno text.
#pragma once
#include <string>
#include <string_view>

#include "platform/profile_store.h"

namespace osa::posix {

// How a profile file was found.
enum class ProfileFileState {
    Text,     // read; `text` holds it
    Missing,  // no such file (ENOENT)
    Unusable, // too large, binary, not a regular file, or unreadable
};

struct ProfileFileRead {
    ProfileFileState state = ProfileFileState::Missing;
    std::string text;
    unsigned mode = 0; // permission bits of the file (07777), when read
};

// Reads `path` with the limits above.
ProfileFileRead ReadProfileFile(const std::string& path);

class LinuxProfileStore : public ProfileStore {
  public:
    std::string ReadText(std::string_view file, std::string_view section, std::string_view key,
                         std::string_view defaultText, std::size_t bufferBytes) override;
    std::int32_t ReadInt(std::string_view file, std::string_view section, std::string_view key,
                         std::int32_t defaultValue) override;
    bool WriteText(std::string_view file, std::string_view section, std::string_view key,
                   std::string_view value) override;

    // The steps of a write, in order.
    enum class WriteStep {
        OpenTemporary,  // create the temporary file
        WriteTemporary, // write the new text
        SetMode,        // give it the old file's permission bits
        SyncTemporary,  // fsync
        CloseTemporary, // close (a late write error shows here)
        Rename,         // rename over the old file
        SyncFolder,     // fsync the folder
    };

  protected:
    // Called before each step. A test's subclass returns an errno value to
    // make that step fail as if its system call had; 0 lets it run.
    virtual int BeforeStep(WriteStep step) {
        (void)step;
        return 0;
    }

  private:
    bool Replace(const std::string& path, const std::string& text, const ProfileFileRead& old);
};

} // namespace osa::posix
