// What the print-queue watch costs before every write to the cutter: the
// time of one CheckJobs against a private CUPS scheduler (scripts/
// private-cupsd, started and stopped here; needs root), with 0, 1 and 10
// kept queues beside a few other queues that hold jobs, next to the same
// run's bare Get-Jobs and Get-Printers requests. Kept queues hold no job, so
// every check walks all of them. Figures only, no limits.
//
//   build/<dir>/bin/print_queue_bench [calls]   (calls per figure, 200)
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cups/cups.h>

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

#include "platform/linux/cups_print_spooler.h"

extern char** environ;

namespace {

// Runs a program with its output in `log`; its exit status, or -1.
int RunProgram(const std::vector<std::string>& args, const std::string& log) {
    std::vector<char*> argv;
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) return -1;
    int status = 0;
    if (::waitpid(pid, &status, 0) != pid) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string ReadAll(const std::string& path) {
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

// Median time of one call, in microseconds.
double MedianMicroseconds(int calls, const std::function<void()>& call) {
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

// The kept names, picked as the controller picks them at start.
std::vector<osa::PrinterNameSlot> KeptQueues(osa::PrintSpooler& spooler) {
    std::vector<osa::PrinterEntry> list;
    std::vector<osa::PrinterNameSlot> kept;
    if (spooler.ListPrinters(list) != 0) return kept;
    for (const osa::PrinterEntry& p : list) {
        std::string upper = p.description.substr(0, 512);
        for (char& c : upper)
            if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        if (upper.find("HEMMERIK MARLO TRAX") == std::string::npos) continue;
        osa::PrinterNameSlot slot{};
        p.name.copy(slot.name, sizeof slot.name - 1);
        kept.push_back(slot);
    }
    return kept;
}

void BareGetJobs() {
    cups_job_t* jobs = nullptr;
    const int n = cupsGetJobs2(nullptr, &jobs, nullptr, 0, CUPS_WHICHJOBS_ACTIVE);
    if (jobs != nullptr) cupsFreeJobs(n < 0 ? 0 : n, jobs);
}

void BareGetPrinters() {
    ipp_t* request = ippNewRequest(IPP_OP_CUPS_GET_PRINTERS);
    static const char* const wanted[] = {"printer-name"};
    ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", 1, nullptr,
                  wanted);
    ippDelete(cupsDoRequest(nullptr, request, "/"));
}

} // namespace

int main(int argc, char** argv) {
    const int calls = argc > 1 ? std::max(1, std::atoi(argv[1])) : 200;
    PrivateCupsd cupsd;
    if (!cupsd.Running()) {
        std::fprintf(stderr, "print_queue_bench: no private scheduler: %s", cupsd.Error().c_str());
        return cupsd.Status() == 77 ? 77 : 1;
    }
    // Before the first libcups call: libcups reads it once per thread.
    ::setenv("CUPS_SERVER", cupsd.Socket().c_str(), 1);

    // Other queues, three held jobs each, so the job list is not empty.
    const int otherQueues = 3;
    const int jobsPerOtherQueue = 3;
    for (int q = 0; q < otherQueues; ++q) {
        const std::string name = "Office" + std::to_string(q + 1);
        if (!cupsd.Admin({"lpadmin", "-p", name, "-E", "-v", "file:///dev/null", "-D", "Laser"}) ||
            !cupsd.Admin({"cupsdisable", name}))
            return 1;
        for (int j = 0; j < jobsPerOtherQueue; ++j)
            if (!cupsd.Admin({"lp", "-d", name, "-o", "raw", "/etc/hostname"})) return 1;
    }

    std::printf("CheckJobs against a private cupsd: %d other queues with %d held jobs each;\n"
                "median of %d calls, microseconds; kept queues hold no job\n\n",
                otherQueues, jobsPerOtherQueue, calls);
    std::printf("%6s %6s %12s %14s %16s %14s\n", "kept", "result", "CheckJobs", "bare Get-Jobs",
                "bare Get-Printers", "ListPrinters");

    osa::posix::CupsPrintSpooler spooler;
    int made = 0;
    for (int wanted : {0, 1, 10}) {
        for (; made < wanted; ++made) {
            const std::string name = "Cutter" + std::to_string(made + 1);
            if (!cupsd.Admin({"lpadmin", "-p", name, "-E", "-v", "file:///dev/null", "-D",
                              "Hemmerik Marlo Trax " + std::to_string(made + 1)}))
                return 1;
        }
        const std::vector<osa::PrinterNameSlot> kept = KeptQueues(spooler);
        osa::ResultCode result = 0;
        const double check = MedianMicroseconds(calls, [&] { result = spooler.CheckJobs(kept); });
        const double getJobs = MedianMicroseconds(calls, BareGetJobs);
        const double getPrinters = MedianMicroseconds(calls, BareGetPrinters);
        std::vector<osa::PrinterEntry> list;
        const double listing = MedianMicroseconds(calls, [&] { (void)spooler.ListPrinters(list); });
        std::printf("%6zu %6u %12.1f %14.1f %16.1f %14.1f\n", kept.size(), result, check, getJobs,
                    getPrinters, listing);
    }
    return 0;
}
