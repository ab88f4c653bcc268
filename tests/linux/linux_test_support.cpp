#include "tests/linux/linux_test_support.h"

#include <dirent.h>
#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

namespace osa::test {

void TempFolderTest::SetUp() {
    char templ[] = "/tmp/osa-linux-test-XXXXXX";
    ASSERT_NE(::mkdtemp(templ), nullptr);
    dir_ = templ;
    // Reachable by the unprivileged user of AsUnprivilegedUser.
    ASSERT_EQ(::chmod(dir_.c_str(), 0755), 0);
}

void TempFolderTest::TearDown() {
    if (dir_.empty()) return;
    // Give every folder its write bit back, so everything can be removed.
    std::error_code ec;
    for (auto it = std::filesystem::recursive_directory_iterator(dir_, ec);
         it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
        if (it->is_directory(ec) && !it->is_symlink(ec)) ::chmod(it->path().c_str(), 0755);
    }
    std::filesystem::remove_all(dir_, ec);
}

int ModeOf(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return -1;
    return static_cast<int>(st.st_mode & 07777);
}

std::vector<std::string> NamesIn(const std::string& dir) {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(dir, ec))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

bool AsUnprivilegedUser(const std::function<bool()>& check) {
    if (::geteuid() != 0) return check();
    const pid_t pid = ::fork();
    if (pid < 0) return false;
    if (pid == 0) {
        if (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0)
            ::_exit(3);
        ::_exit(check() ? 0 : 1);
    }
    int status = 0;
    if (::waitpid(pid, &status, 0) != pid) return false;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace osa::test
