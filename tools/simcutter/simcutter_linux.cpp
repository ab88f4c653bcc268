// The simulated cutter of the Linux build. It presents itself to the USB
// module exactly as a real cutter does: a sysfs-like entry
// <root>/sys/lpN/device/ieee1284_id carrying its IEEE 1284 identification
// string, and a device node <root>/dev/lpN, here a pseudo-terminal in raw
// mode. Point the controller at it with the two variables it prints:
//
//   simcutter --root=DIR [--log=FILE] [--log-clock=start|monotonic]
//             [--id=TEXT] [--other-device=TEXT]
//             [--version=2.01] [--model=KXR] [--lead=V] [--status=0]
//             [--sensor=X,Y] [--feed=A[,B]] [--marks=V] [--marks-ms=N]
//             [--ready=N] [--fault=none|silent|short|garbage|slow:N|gone] [--fault-on=TEXT]
//
// prints "OSA_USB_SYSFS_ROOT=DIR/sys", "OSA_USB_DEV_ROOT=DIR/dev" and
// "ready", then serves until SIGTERM or SIGINT and removes its entries.
// --other-device adds a device with another identification before the
// cutter (lp0; the cutter is then lp1). fault=gone unplugs the cutter as
// soon as the first bytes arrive. The log has one line per chunk received
// ("in") and per reply sent ("out"), with milliseconds since the start, or
// with --log-clock=monotonic since the system's monotonic clock began, so
// that another process can set its own CLOCK_MONOTONIC readings beside them.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/signalfd.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "platform/linux/unique_fd.h"
#include "tools/simcutter/cutter_model.h"

namespace {

using Clock = std::chrono::steady_clock;
using osa::posix::UniqueFd;

constexpr std::string_view DefaultId =
    "MANUFACTURER:Ostrandel Inc.;COMMAND SET:OSA;MODEL:Marlo TRAX;CLASS:PRINTER;";

struct Options {
    std::string root;
    std::string log;
    std::string id{DefaultId};
    std::string otherDevice;
    std::string logClock = "start";
    osa::sim::CutterSetup setup;
};

bool ParseOptions(int argc, char** argv, Options& o) {
    if (!osa::sim::ParseArguments(argc, argv,
                                  {{"--root=", &o.root},
                                   {"--log=", &o.log},
                                   {"--id=", &o.id},
                                   {"--other-device=", &o.otherDevice},
                                   {"--log-clock=", &o.logClock}},
                                  o.setup))
        return false;
    if (o.root.empty()) {
        std::fprintf(stderr, "simcutter: --root=DIR is required\n");
        return false;
    }
    if (o.logClock != "start" && o.logClock != "monotonic") {
        std::fprintf(stderr, "simcutter: --log-clock is start or monotonic\n");
        return false;
    }
    return true;
}

bool MakeDirs(const std::string& path) {
    for (std::size_t i = 1; i <= path.size(); ++i) {
        if (i != path.size() && path[i] != '/') continue;
        std::string part = path.substr(0, i);
        if (::mkdir(part.c_str(), 0755) != 0 && errno != EEXIST) return false;
    }
    return true;
}

bool WriteFile(const std::string& path, std::string_view text) {
    UniqueFd fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
    if (!fd) return false;
    return ::write(fd.Get(), text.data(), text.size()) == static_cast<ssize_t>(text.size());
}

// One device entry: the identification file and the node (a link to `node`).
struct DeviceEntry {
    std::string idFile, idDir, deviceDir, link;

    bool Make(const std::string& root, int number, std::string_view id, const std::string& node) {
        std::string name = "lp" + std::to_string(number);
        deviceDir = root + "/sys/" + name;
        idDir = deviceDir + "/device";
        idFile = idDir + "/ieee1284_id";
        link = root + "/dev/" + name;
        if (!MakeDirs(idDir) || !MakeDirs(root + "/dev") || !WriteFile(idFile, id)) return false;
        ::unlink(link.c_str());
        return ::symlink(node.c_str(), link.c_str()) == 0;
    }
    void Remove() const {
        ::unlink(link.c_str());
        ::unlink(idFile.c_str());
        ::rmdir(idDir.c_str());
        ::rmdir(deviceDir.c_str());
    }
};

class Log {
  public:
    explicit Log(const std::string& path) {
        if (!path.empty())
            fd_.Reset(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
    }
    void Line(Clock::time_point start, bool in, std::string_view bytes) {
        if (!fd_) return;
        auto us = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start);
        std::string line = osa::sim::LogLine(us.count(), in, bytes) + "\n";
        [[maybe_unused]] ssize_t n = ::write(fd_.Get(), line.data(), line.size());
    }
    // Where the blade holder is after a command that moved it.
    void Blade(Clock::time_point start, const osa::sim::Blade& blade) {
        if (!fd_) return;
        auto us = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start);
        std::string line = osa::sim::BladeLogLine(us.count(), blade) + "\n";
        [[maybe_unused]] ssize_t n = ::write(fd_.Get(), line.data(), line.size());
    }

  private:
    UniqueFd fd_;
};

struct Scheduled {
    Clock::time_point due;
    std::string bytes;
};

int Serve(const Options& options) {
    UniqueFd master(::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC));
    if (!master || ::grantpt(master.Get()) != 0 || ::unlockpt(master.Get()) != 0) {
        std::perror("simcutter: pseudo-terminal");
        return 1;
    }
    const char* slaveName = ::ptsname(master.Get());
    if (slaveName == nullptr) return 1;
    std::string node = slaveName;
    // Our own slave descriptor stays open so clients may open and close the
    // node freely without the master seeing a hang-up.
    UniqueFd slave(::open(node.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC));
    termios raw{};
    if (!slave || ::tcgetattr(slave.Get(), &raw) != 0) return 1;
    ::cfmakeraw(&raw);
    if (::tcsetattr(slave.Get(), TCSANOW, &raw) != 0) return 1;

    std::vector<DeviceEntry> entries;
    int number = 0;
    if (!options.otherDevice.empty()) {
        // Another device of the same class: a node that nobody serves.
        DeviceEntry other;
        if (!other.Make(options.root, number++, options.otherDevice, "/dev/null")) return 1;
        entries.push_back(other);
    }
    DeviceEntry cutter;
    if (!cutter.Make(options.root, number, options.id, node)) {
        std::perror("simcutter: device entry");
        return 1;
    }
    entries.push_back(cutter);
    auto removeAll = [&] {
        for (const DeviceEntry& e : entries)
            e.Remove();
    };

    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGINT);
    sigprocmask(SIG_BLOCK, &stopSignals, nullptr);
    UniqueFd stop(::signalfd(-1, &stopSignals, SFD_CLOEXEC));

    std::printf("OSA_USB_SYSFS_ROOT=%s/sys\nOSA_USB_DEV_ROOT=%s/dev\nready\n", options.root.c_str(),
                options.root.c_str());
    std::fflush(stdout);

    osa::sim::CutterModel model(options.setup);
    Log log(options.log);
    // steady_clock is CLOCK_MONOTONIC here: its epoch is the system's.
    const Clock::time_point start =
        options.logClock == "monotonic" ? Clock::time_point{} : Clock::now();
    std::vector<Scheduled> pending;
    bool gone = false;

    for (;;) {
        int timeout = -1;
        if (!pending.empty()) {
            auto next = std::min_element(pending.begin(), pending.end(),
                                         [](auto& a, auto& b) { return a.due < b.due; });
            auto left = std::chrono::ceil<std::chrono::milliseconds>(next->due - Clock::now());
            timeout = static_cast<int>(std::max<long long>(0, left.count()));
        }
        pollfd fds[2] = {{stop.Get(), POLLIN, 0}, {master.Get(), POLLIN, 0}};
        int n = ::poll(fds, gone ? 1 : 2, timeout);
        if (n < 0 && errno != EINTR) break;
        if (fds[0].revents & POLLIN) break;

        if (!gone && (fds[1].revents & POLLIN)) {
            char buffer[4096];
            ssize_t got = ::read(master.Get(), buffer, sizeof(buffer));
            if (got > 0) {
                std::string_view bytes(buffer, static_cast<std::size_t>(got));
                log.Line(start, true, bytes);
                for (osa::sim::Reply& r : model.Receive(bytes))
                    pending.push_back(
                        {Clock::now() + std::chrono::milliseconds(r.delayMs), std::move(r.bytes)});
                if (model.TakeBladeChange()) log.Blade(start, model.BladeNow());
                if (model.Gone()) {
                    // Unplugged: the node and its entry vanish, open
                    // descriptors fail from now on.
                    removeAll();
                    entries.clear();
                    slave.Reset();
                    master.Reset();
                    pending.clear();
                    gone = true;
                }
            }
        }
        auto now = Clock::now();
        for (auto it = pending.begin(); it != pending.end();) {
            if (it->due > now) {
                ++it;
                continue;
            }
            [[maybe_unused]] ssize_t w = ::write(master.Get(), it->bytes.data(), it->bytes.size());
            log.Line(start, false, it->bytes);
            it = pending.erase(it);
        }
    }
    removeAll();
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ParseOptions(argc, argv, options)) return 2;
    return Serve(options);
}
