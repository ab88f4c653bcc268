// Settings and media files survive a kill -9 in the middle of a save: the
// program's saving code (osa_save_loop) saves two alternating states on the
// real file system and is killed at random moments. Each key is replaced
// with its own atomic file replacement, so afterwards every file must be
// whole, and each of its keys must hold the old or the new value.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <map>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "platform/linux/unique_fd.h"
#include "tests/linux/linux_test_support.h"
#include "tests/linux/run_program.h"

extern char** environ;

namespace osa {
namespace {

// section -> key -> value; a line that is neither "[section]", "key=value"
// nor empty, or a text that does not end with a line end, gives an entry
// under section "!torn".
using Profile = std::map<std::string, std::map<std::string, std::string>>;

Profile Parse(const std::string& text) {
    Profile p;
    if (text.empty() || !text.ends_with("\n")) p["!torn"]["end"] = text;
    std::string section;
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = text.find('\n', at);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(at, end - at);
        at = end + 1;
        if (line.ends_with('\r')) line.pop_back();
        if (line.empty()) continue;
        if (line.size() > 2 && line.front() == '[' && line.back() == ']') {
            section = line.substr(1, line.size() - 2);
            p[section];
        } else if (const auto eq = line.find('='); eq != std::string::npos && eq > 0) {
            p[section][line.substr(0, eq)] = line.substr(eq + 1);
        } else {
            p["!torn"][line] = line;
        }
    }
    return p;
}

const std::vector<std::string> Files = {"OSACTL.INI", "Media/Kill Vinyl.hcf",
                                        "Media/Kill Foil.hcf"};

class KillDuringSave : public test::TempFolderTest {
  protected:
    int Once(const std::string& dir, const char* state) {
        return test::RunProgram({OSA_SAVE_LOOP_PATH, dir, "once", state}, dir + "/once.log");
    }
};

TEST_F(KillDuringSave, EveryFileIsWholeWithEachKeyOldOrNew) {
    // The two states, each saved once in a folder of its own.
    std::map<std::string, Profile> a, b;
    for (const char* state : {"a", "b"}) {
        const std::string dir = Path(state);
        ASSERT_EQ(::mkdir(dir.c_str(), 0755), 0);
        ASSERT_EQ(::mkdir((dir + "/Media").c_str(), 0755), 0);
        ASSERT_EQ(Once(dir, state), 0);
        for (const std::string& f : Files)
            (state[0] == 'a' ? a : b)[f] = Parse(test::ReadWholeFile(dir + "/" + f));
    }
    for (const std::string& f : Files) {
        ASSERT_EQ(a[f].count("!torn"), 0u) << f;
        ASSERT_FALSE(a[f].empty()) << f;
    }

    const std::string dir = Path("run");
    ASSERT_EQ(::mkdir(dir.c_str(), 0755), 0);
    ASSERT_EQ(::mkdir((dir + "/Media").c_str(), 0755), 0);
    ASSERT_EQ(Once(dir, "a"), 0);
    std::mt19937 random(20261211);
    std::uniform_int_distribution<int> pause(0, 20000); // microseconds
    constexpr int Runs = 200;
    for (int run = 0; run < Runs; ++run) {
        SCOPED_TRACE("run " + std::to_string(run));
        int out[2];
        ASSERT_EQ(::pipe2(out, O_CLOEXEC), 0);
        posix::UniqueFd reader(out[0]), writer(out[1]);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, writer.Get(), 1);
        std::vector<std::string> args = {OSA_SAVE_LOOP_PATH, dir, "loop"};
        std::vector<char*> argv;
        for (std::string& arg : args)
            argv.push_back(arg.data());
        argv.push_back(nullptr);
        pid_t pid = -1;
        const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        ASSERT_EQ(spawned, 0);
        writer.Reset();
        // Once its first whole save is done, it is killed somewhere in a later one.
        char line[16] = {};
        pollfd p{reader.Get(), POLLIN, 0};
        const bool said = ::poll(&p, 1, 60000) == 1 && ::read(reader.Get(), line, 7) > 0;
        std::this_thread::sleep_for(std::chrono::microseconds(pause(random)));
        ::kill(pid, SIGKILL);
        int status = 0;
        ::waitpid(pid, &status, 0);
        ASSERT_TRUE(said);
        ASSERT_TRUE(WIFSIGNALED(status));

        for (const std::string& f : Files) {
            SCOPED_TRACE(f);
            const Profile now = Parse(test::ReadWholeFile(dir + "/" + f));
            ASSERT_EQ(now.count("!torn"), 0u) << "torn";
            ASSERT_EQ(now.size(), a[f].size());
            for (const auto& [section, keys] : a[f]) {
                ASSERT_EQ(now.count(section), 1u) << section;
                ASSERT_EQ(now.at(section).size(), keys.size()) << section;
                for (const auto& [key, old] : keys) {
                    const std::string& value = now.at(section).at(key);
                    EXPECT_TRUE(value == old || value == b[f][section][key])
                        << section << "/" << key << " = " << value;
                }
            }
        }
    }
    // A kill between a temporary file's creation and its rename leaves that
    // hidden file behind; the next process to write there removes it, so at
    // most the last kill's is left in each folder, and nothing else appears.
    for (const std::string& folder : {dir, dir + "/Media"}) {
        int left = 0;
        for (const std::string& name : test::NamesIn(folder)) {
            if (name.starts_with(".") && name.find(".tmp-") != std::string::npos) {
                ++left;
                continue;
            }
            EXPECT_TRUE(name == "Media" || name == "once.log" ||
                        std::find(Files.begin(), Files.end(),
                                  (folder == dir ? "" : "Media/") + name) != Files.end())
                << name;
        }
        EXPECT_LE(left, 1) << folder;
    }
}

} // namespace
} // namespace osa
