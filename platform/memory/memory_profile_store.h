// An in-memory profile store for tests. Its files live in a
// MemoryFileSystem, and it parses and edits them with the same code as the
// Linux store (platform/profile_text.h), so what a test sees here is what
// the Linux program writes.
//
// Every write is recorded in order (file, section, key, value), whether it
// succeeded or not, and the n-th write can be made to fail.
#pragma once
#include <string>
#include <vector>

#include "platform/memory/memory_file_system.h"
#include "platform/profile_store.h"

namespace osa {

class MemoryProfileStore final : public ProfileStore {
  public:
    explicit MemoryProfileStore(MemoryFileSystem& files) : files_(files) {}

    struct Write {
        std::string file, section, key, value;
        bool ok = false;
    };
    const std::vector<Write>& Writes() const { return writes_; }
    void ClearWrites() { writes_.clear(); }

    // The `n`-th write from now (1 = the next) fails and leaves its file as
    // it was; with `persistent`, every later write too. n = 0: no failures.
    void FailWrite(int n, bool persistent = false);

    // ProfileStore. A file that is missing, over the size limit or holds a
    // NUL byte reads as empty; a write to such a file, or into a missing or
    // read-only folder, fails.
    std::string ReadText(std::string_view file, std::string_view section, std::string_view key,
                         std::string_view defaultText, std::size_t bufferBytes) override;
    std::int32_t ReadInt(std::string_view file, std::string_view section, std::string_view key,
                         std::int32_t defaultValue) override;
    bool WriteText(std::string_view file, std::string_view section, std::string_view key,
                   std::string_view value) override;

  private:
    std::string UsableText(std::string_view file) const;

    MemoryFileSystem& files_;
    std::vector<Write> writes_;
    int writeCount_ = 0;
    int failAt_ = 0;
    bool failPersistent_ = false;
};

} // namespace osa
