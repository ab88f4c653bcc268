// Shared by the benchmarks: running a helper program, a private CUPS
// scheduler for the run (scripts/private-cupsd, needs root), and the median
// time of a call.
#pragma once
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "tests/linux/run_program.h"

namespace osa::bench {

using test::RunProgram;

inline std::string ReadAll(const std::string& path) {
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The private scheduler, stopped and its folder removed however main ends.
class PrivateCupsd {
  public:
    PrivateCupsd() {
        char pattern[] = "/tmp/osa-cups-bench.XXXXXX";
        if (::mkdtemp(pattern) == nullptr) return;
        dir_ = pattern;
        status_ = RunProgram({OSA_PRIVATE_CUPSD, "start", dir_}, dir_ + "/start.log");
        if (status_ != 0) error_ = ReadAll(dir_ + "/start.log");
    }
    ~PrivateCupsd() {
        if (dir_.empty()) return;
        RunProgram({OSA_PRIVATE_CUPSD, "stop", dir_}, "/dev/null");
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
    }
    PrivateCupsd(const PrivateCupsd&) = delete;
    PrivateCupsd& operator=(const PrivateCupsd&) = delete;

    bool Running() const { return !dir_.empty() && status_ == 0; }
    int Status() const { return status_; }
    const std::string& Error() const { return error_; }

    // Makes this scheduler the one libcups talks to (before the first libcups
    // call: libcups reads CUPS_SERVER once per thread). False, after saying
    // why on standard error, when it does not run.
    bool ServeThisProcess(const char* program) const {
        if (!Running()) {
            std::fprintf(stderr, "%s: no private scheduler: %s", program, error_.c_str());
            return false;
        }
        ::setenv("CUPS_SERVER", Socket().c_str(), 1);
        return true;
    }
    // The exit status of a benchmark that could not start it: 77 (skipped)
    // where the script cannot run, else 1.
    int FailureStatus() const { return status_ == 77 ? 77 : 1; }
    const std::string& Dir() const { return dir_; }
    std::string Socket() const { return dir_ + "/cups.sock"; }

    bool Admin(std::vector<std::string> args) const {
        args.insert(args.begin() + 1, {"-h", Socket()});
        const std::string log = dir_ + "/admin.log";
        if (RunProgram(args, log) == 0) return true;
        std::fprintf(stderr, "%s failed: %s", args[0].c_str(), ReadAll(log).c_str());
        return false;
    }

  private:
    std::string dir_;
    int status_ = -1;
    std::string error_;
};

// Calls per figure: the first argument, or `fallback`.
inline int CallsFromArguments(int argc, char** argv, int fallback) {
    return argc > 1 ? std::max(1, std::atoi(argv[1])) : fallback;
}

// Median time of one call, in microseconds.
inline double MedianMicroseconds(int calls, const std::function<void()>& call) {
    std::vector<double> times;
    times.reserve(static_cast<std::size_t>(calls));
    for (int i = 0; i < calls; ++i) {
        const auto start = std::chrono::steady_clock::now();
        call();
        const auto end = std::chrono::steady_clock::now();
        times.push_back(std::chrono::duration<double, std::micro>(end - start).count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

} // namespace osa::bench
