// An in-memory file system for tests: folders and files under '/' kept in
// the order they were made, a writable flag per folder, and the executable's
// path and the user's folder as the test sets them. The in-memory profile
// store keeps its files here too, so a media file written through Profiles()
// is listed by Files() and the other way round.
//
// Paths are absolute, with '/' as separator and no trailing '/'; names
// compare with case, as on Linux. The root "/" always exists and is
// writable. Creating anything (a folder, a copy, a file written by the
// profile store) needs an existing, writable parent folder.
//
// Any change can be made to fail: FailChange(n) makes the n-th change from
// now on fail (once, or from then on), like a full or read-only disk.
#pragma once
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_system.h"

namespace osa {

class MemoryFileSystem final : public FileSystem {
  public:
    MemoryFileSystem();

    // What ExecutablePath() and UserDataDirectory() give; empty = unknown.
    std::string executablePath;
    std::string userDataDirectory;

    // Setup. Both make missing parent folders (writable) on the way and
    // never fail; AddFile replaces a file's text.
    void AddDirectory(std::string_view path, bool writable = true);
    void AddFile(std::string_view path, std::string_view contents);
    void SetWritable(std::string_view dir, bool writable);
    bool RemoveFile(std::string_view path);

    // The file's bytes, or nothing when there is no such file (a folder is
    // not a file).
    std::optional<std::string> FileContents(std::string_view path) const;
    bool IsDirectory(std::string_view path) const;

    // Replaces or creates a file, as a real write would: fails (false, file
    // unchanged) when the parent folder is missing or read-only, when `path`
    // is a folder, or when an injected failure fires. Counts as a change.
    bool WriteFile(std::string_view path, std::string_view contents);

    // Failure injection for the changes (MakeDirectory of a missing folder,
    // CopyFileIfMissing of a missing file, WriteFile): the `n`-th change
    // from now (1 = the next) fails; with `persistent`, every later one too.
    // n = 0 switches failures off.
    void FailChange(int n, bool persistent = false);
    int Changes() const { return changes_; } // changes attempted so far

    // Every change attempted, in order: "mkdir <path>", "copy <from> -> <to>",
    // "write <path>"; a failed one ends with " (failed)".
    const std::vector<std::string>& Log() const { return log_; }

    // FileSystem
    char PathSeparator() const override { return '/'; }
    std::string ExecutablePath() override { return executablePath; }
    std::string UserDataDirectory() override { return userDataDirectory; }
    bool IsDirectoryWritable(std::string_view dir) override;
    bool MakeDirectory(std::string_view dir) override;
    bool Exists(std::string_view path) override;
    // In the order the entries were made; the suffix compares without ASCII
    // case, as the Windows directory search does.
    std::vector<Entry> List(std::string_view dir, std::string_view suffix) override;
    bool CopyFileIfMissing(std::string_view from, std::string_view to) override;

  private:
    struct Node {
        std::string path;
        bool directory = false;
        bool writable = true; // folders only
        std::string contents; // files only
    };

    Node* Find(std::string_view path);
    const Node* Find(std::string_view path) const;
    bool ParentWritable(std::string_view path) const;
    bool ChangeAllowed(const std::string& what); // counts, logs, injects

    std::vector<Node> nodes_;
    int changes_ = 0;
    int failAt_ = 0;
    bool failPersistent_ = false;
    std::vector<std::string> log_;
};

// The folder part of `path` ("/a/b" for "/a/b/c", "/" for "/c").
std::string MemoryParentOf(std::string_view path);

} // namespace osa
