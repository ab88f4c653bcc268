// Helpers for tests on real files: a temporary folder removed afterwards,
// whole-file reads and writes, and running a check as a user without
// privileges (as root, folder permissions would not stop anything).
#pragma once
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/whole_file.h"

namespace osa::test {

class TempFolderTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Absolute path of `name` inside the folder.
    std::string Path(const std::string& name) const { return dir_ + "/" + name; }
    const std::string& Dir() const { return dir_; }

  private:
    std::string dir_;
};

// Permission bits (07777), or -1.
int ModeOf(const std::string& path);
// Names in `dir` (all, hidden ones included), sorted.
std::vector<std::string> NamesIn(const std::string& dir);

// Runs `check` as a user without privileges and returns its result: in this
// process when it is not root's, else in a child process that has dropped to
// uid/gid 65534. `check` must not use gtest assertions (a child's failures
// would not be seen): it returns true when all is as expected.
bool AsUnprivilegedUser(const std::function<bool()>& check);

} // namespace osa::test
