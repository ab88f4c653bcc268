#include "tests/linux/simulated_cutter.h"

#include "platform/linux/unique_fd.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

extern char** environ;

namespace osa::test {

SimulatedCutter::SimulatedCutter(const std::vector<std::string>& options) {
    char folder[] = "/tmp/osa-simcutter-XXXXXX";
    if (::mkdtemp(folder) == nullptr) return;
    root_ = folder;

    std::vector<std::string> args = {OSA_SIMCUTTER_PATH, "--root=" + root_,
                                     "--log=" + root_ + "/log"};
    args.insert(args.end(), options.begin(), options.end());
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    int out[2];
    if (::pipe2(out, O_CLOEXEC) != 0) return;
    posix::UniqueFd readEnd(out[0]);
    posix::UniqueFd writeEnd(out[1]);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, writeEnd.Get(), 1);
    int spawned = posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    writeEnd.Reset(); // only the simulator writes now: its end ends the reads
    if (spawned != 0) {
        pid_ = -1;
        return;
    }
    // Its first lines end with "ready" once the entries exist.
    std::string text;
    char buffer[256];
    ssize_t n;
    while (text.find("ready\n") == std::string::npos &&
           (n = ::read(readEnd.Get(), buffer, sizeof(buffer))) > 0)
        text.append(buffer, static_cast<std::size_t>(n));
    ready_ = text.find("ready\n") != std::string::npos;
    sysfs_ = std::make_unique<ScopedEnv>("OSA_USB_SYSFS_ROOT", (root_ + "/sys").c_str());
    dev_ = std::make_unique<ScopedEnv>("OSA_USB_DEV_ROOT", (root_ + "/dev").c_str());
}

SimulatedCutter::~SimulatedCutter() {
    dev_.reset();
    sysfs_.reset();
    if (pid_ > 0) {
        ::kill(pid_, SIGTERM);
        int status = 0;
        ::waitpid(pid_, &status, 0);
    }
    if (!root_.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }
}

void SimulatedCutter::Unplug() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGKILL);
    int status = 0;
    ::waitpid(pid_, &status, 0);
    pid_ = -1;
}

namespace {

std::vector<std::string> ReadLog(const std::string& path) {
    std::vector<std::string> lines;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line))
        lines.push_back(line);
    return lines;
}

} // namespace

std::vector<std::string> SimulatedCutter::StampedLog() const {
    // Bytes written reach the simulator a moment later: wait until its log
    // has been still for a while.
    std::vector<std::string> lines = ReadLog(root_ + "/log");
    for (int i = 0; i < 100; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        std::vector<std::string> again = ReadLog(root_ + "/log");
        if (again == lines) break;
        lines = std::move(again);
    }
    return lines;
}

std::vector<std::string> SimulatedCutter::Log() const {
    std::vector<std::string> lines;
    for (const std::string& line : StampedLog()) {
        auto blank = line.find(' '); // after the time stamp
        if (blank != std::string::npos) lines.push_back(line.substr(blank + 1));
    }
    return lines;
}

std::string SimulatedCutter::Received() const {
    std::string in;
    for (const std::string& line : Log())
        if (line.rfind("in ", 0) == 0) in += line.substr(3);
    return in;
}

} // namespace osa::test
