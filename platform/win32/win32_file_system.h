// The file-system services on Windows, all through the ANSI ("A") functions
// so that paths are the same bytes as the profile functions see:
//   ExecutablePath       GetModuleFileNameA of the program itself
//   UserDataDirectory    SHGetFolderPathA(CSIDL_APPDATA) + "\OSACTL"
//   IsDirectoryWritable  GetTempFileNameA makes a scratch file, DeleteFileA
//                        removes it
//   MakeDirectory        CreateDirectoryA, making missing parents too
//   List                 FindFirstFileA/FindNextFileA over "<dir>\*", names
//                        filtered here: a "*.hcf" pattern would also match
//                        "x.hcfx" through its 8.3 short name
//   CopyFileIfMissing    CopyFileA with bFailIfExists; the copy loses the
//                        read-only attribute, so the user's copy of an
//                        installed file stays writable
// Failing calls are written to the debugger output with their error code.
#pragma once
#include "platform/file_system.h"

namespace osa::win32 {

class Win32FileSystem final : public FileSystem {
  public:
    char PathSeparator() const override { return '\\'; }
    std::string ExecutablePath() override;
    std::string UserDataDirectory() override;
    bool IsDirectoryWritable(std::string_view dir) override;
    bool MakeDirectory(std::string_view dir) override;
    bool Exists(std::string_view path) override;
    // In the order the directory search returns them (name order on NTFS);
    // the suffix compares without ASCII case.
    std::vector<Entry> List(std::string_view dir, std::string_view suffix) override;
    bool CopyFileIfMissing(std::string_view from, std::string_view to) override;
};

} // namespace osa::win32
