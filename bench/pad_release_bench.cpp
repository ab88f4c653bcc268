// How long the blade keeps moving after the user lets go of an arrow of the
// position pad: from the mouse release entering the window host (the
// in-memory host, its dialog manager and the page's procedure) to the
// simulated cutter's read of the last byte of the stop frame, through the
// real Linux link (print-queue check against a private cupsd, the USB module,
// the pseudo-terminal). Beside it, in the same run, a bare write() of the
// same three bytes to the same node. With 0, 1 and 10 kept cutter queues.
// The cutter's log carries CLOCK_MONOTONIC time stamps, which steady_clock
// reads here too. Figures only, no limits.
//
//   build/<dir>/bin/pad_release_bench [pairs]   (press/release pairs, 1000)
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "bench/bench_support.h"
#include "controller/app_state.h"
#include "controller/link/device_link.h"
#include "controller/res/resource_ids.h"
#include "controller/res/resources.h"
#include "controller/ui/cut_page.h"
#include "platform/linux/cups_print_spooler.h"
#include "platform/linux/linux_cutter_port.h"
#include "platform/linux/linux_debug_trace.h"
#include "platform/linux/unique_fd.h"
#include "platform/media_name_codec.h"
#include "platform/memory/memory_file_system.h"
#include "platform/memory/memory_input_hooks.h"
#include "platform/memory/memory_instance_guard.h"
#include "platform/memory/memory_process_launcher.h"
#include "platform/memory/memory_profile_store.h"
#include "platform/memory/memory_window_host.h"
#include "platform/services.h"
#include "tests/linux/simulated_cutter.h"

namespace {

using Clock = std::chrono::steady_clock;

// Long enough for the simulator to have read one frame before the next
// goes out, so that each frame is a read of its own; not measured.
constexpr auto Settle = std::chrono::milliseconds(2);

double MicrosecondsSinceBoot(Clock::time_point t) {
    return std::chrono::duration<double, std::micro>(t.time_since_epoch()).count();
}

// The bytes of one logged chunk ("\x1B\x00\x02").
std::string Unescaped(std::string_view text) {
    std::string bytes;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 3 < text.size() && text[i + 1] == 'x') {
            bytes += static_cast<char>(std::stoi(std::string(text.substr(i + 2, 2)), nullptr, 16));
            i += 3;
        } else if (text[i] == '\\' && i + 1 < text.size()) {
            bytes += text[++i];
        } else {
            bytes += text[i];
        }
    }
    return bytes;
}

// The times (microseconds on the monotonic clock) at which the simulator read
// the last byte of each stop frame (ESC 0x00 0x00), in order, from the log
// line `from` on. A read may hold parts of several frames.
std::vector<double> StopArrivals(const std::vector<std::string>& log, std::size_t from) {
    std::vector<double> arrivals;
    int framePosition = 0;
    for (std::size_t i = from; i < log.size(); ++i) {
        double ms = 0;
        int textAt = 0;
        if (std::sscanf(log[i].c_str(), "%lf in %n", &ms, &textAt) != 1 || textAt == 0) continue;
        for (char b :
             Unescaped(std::string_view(log[i]).substr(static_cast<std::size_t>(textAt)))) {
            if (framePosition == 0) {
                framePosition = b == 0x1b ? 1 : 0;
            } else if (framePosition == 1) {
                framePosition = b == 0x00 ? 2 : 0;
            } else {
                if (b == 0x00) arrivals.push_back(ms * 1000.0);
                framePosition = 0;
            }
        }
    }
    return arrivals;
}

struct Figures {
    double p50 = 0, p99 = 0, max = 0;
    std::size_t count = 0;
};

Figures Summarise(const std::vector<double>& sent, const std::vector<double>& arrived) {
    Figures f;
    f.count = arrived.size();
    if (sent.size() != arrived.size() || sent.empty()) return f;
    std::vector<double> latency;
    for (std::size_t i = 0; i < sent.size(); ++i)
        latency.push_back(arrived[i] - sent[i]);
    std::sort(latency.begin(), latency.end());
    auto at = [&](double q) {
        return latency[std::min(latency.size() - 1, static_cast<std::size_t>(q * latency.size()))];
    };
    f.p50 = at(0.50);
    f.p99 = at(0.99);
    f.max = latency.back();
    return f;
}

std::intptr_t MainStandIn(osa::Window dialog, const osa::DialogMessage& message) {
    if (message.msg == osa::Msg::InitDialog) osa::App().mainDialog = dialog.value;
    return 0;
}

osa::Point Middle(const osa::Rect& r) {
    return osa::Point{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

void Print(const char* what, const Figures& f, std::size_t expected) {
    if (f.count != expected) {
        std::printf("%-44s %8s (%zu of %zu stops seen)\n", what, "failed", f.count, expected);
        return;
    }
    std::printf("%-44s %8.1f %8.1f %8.1f\n", what, f.p50, f.p99, f.max);
}

} // namespace

int main(int argc, char** argv) {
    const int pairs = osa::bench::CallsFromArguments(argc, argv, 1000);

    osa::bench::PrivateCupsd cupsd;
    if (!cupsd.ServeThisProcess("pad_release_bench")) return cupsd.FailureStatus();
    if (!cupsd.Admin({"lpadmin", "-p", "Office", "-E", "-v", "file:///dev/null", "-D", "Laser"}))
        return 1;

    osa::test::SimulatedCutter simulator({"--log-clock=monotonic"});
    if (!simulator.Ready()) {
        std::fprintf(stderr, "pad_release_bench: the simulated cutter did not start\n");
        return 1;
    }

    osa::posix::UniqueFd devNull(::open("/dev/null", O_WRONLY | O_CLOEXEC));
    osa::LinuxCutterPort port;
    osa::posix::CupsPrintSpooler spooler;
    osa::LinuxDebugTrace trace(devNull.Get());
    osa::MemoryInstanceGuard guard;
    osa::MemoryProcessLauncher launcher;
    osa::MemoryFileSystem files;
    osa::MemoryProfileStore profiles{files};
    osa::Utf8MediaNames mediaNames;
    osa::MemoryInputHooks hooks;
    osa::MemoryWindowHost host{osa::dlg::DialogTemplates(osa::res::AllDialogTemplates())};
    host.AttachHooks(&hooks);
    osa::InstallServices({.windows = &host,
                          .instance = &guard,
                          .profiles = &profiles,
                          .files = &files,
                          .processes = &launcher,
                          .cutter = &port,
                          .spooler = &spooler,
                          .trace = &trace,
                          .mediaNames = &mediaNames,
                          .hooks = &hooks});
    if (osa::LoadUsbModule() != 0) {
        std::fprintf(stderr, "pad_release_bench: libvornusbp.so not found beside the program\n");
        return 1;
    }
    osa::InitDeviceLink();

    // The baseline: the press and stop frames written by hand to the node.
    const std::string node = simulator.Root() + "/dev/lp0";
    const char press[] = {0x1b, 0x00, 0x02};
    const char stop[] = {0x1b, 0x00, 0x00};
    std::size_t logFrom = simulator.StampedLog().size();
    std::vector<double> bareSent;
    {
        osa::posix::UniqueFd fd(::open(node.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
        for (int i = 0; i < pairs; ++i) {
            [[maybe_unused]] ssize_t n = ::write(fd.Get(), press, sizeof press);
            std::this_thread::sleep_for(Settle);
            bareSent.push_back(MicrosecondsSinceBoot(Clock::now()));
            n = ::write(fd.Get(), stop, sizeof stop);
            std::this_thread::sleep_for(Settle);
        }
    }
    std::vector<std::string> log = simulator.StampedLog();
    const Figures bare = Summarise(bareSent, StopArrivals(log, logFrom));

    std::printf("Mouse release on the pad's up arrow to the stop frame read by the simulated\n"
                "cutter; %d press/release pairs each; microseconds\n\n",
                pairs);
    std::printf("%-44s %8s %8s %8s\n", "path", "p50", "p99", "max");
    Print("baseline: write() of the 3 bytes, held open", bare, bareSent.size());

    int made = 0;
    for (int kept : {0, 1, 10}) {
        for (; made < kept; ++made) {
            const std::string name = "Cutter" + std::to_string(made + 1);
            if (!cupsd.Admin({"lpadmin", "-p", name, "-E", "-v", "file:///dev/null", "-D",
                              "Hemmerik Marlo Trax " + std::to_string(made + 1)}))
                return 1;
        }
        osa::ResetAppState();
        if (osa::FindCutterPrinters() != 0 || osa::App().cutterPrinterCount != kept) {
            std::fprintf(stderr, "pad_release_bench: %d queues kept, not %d\n",
                         osa::App().cutterPrinterCount, kept);
            return 1;
        }
        const osa::Window main =
            host.CreateDialog(osa::ids::DlgMain, osa::Window{}, MainStandIn, 0);
        const osa::Window page =
            host.CreateDialog(osa::ids::DlgCutSettings, main, osa::CutSettingsPageProc, 0);
        const osa::Point up = Middle(osa::App().PadAreas.up);

        logFrom = simulator.StampedLog().size();
        // Each pair is followed by one print-queue check alone, paced the
        // same way, to show how much of the release that check is.
        std::vector<double> sent, checkStart, checkEnd;
        osa::ResultCode checked = 0;
        for (int i = 0; i < pairs; ++i) {
            host.MouseDown(page, up);
            std::this_thread::sleep_for(Settle);
            sent.push_back(MicrosecondsSinceBoot(Clock::now()));
            host.MouseUp(page, up);
            std::this_thread::sleep_for(Settle);
            checkStart.push_back(MicrosecondsSinceBoot(Clock::now()));
            checked |= osa::CheckPrintJobs();
            checkEnd.push_back(MicrosecondsSinceBoot(Clock::now()));
            std::this_thread::sleep_for(Settle);
        }
        log = simulator.StampedLog();
        char what[64];
        std::snprintf(what, sizeof what, "release through the link, %d kept queue%s", kept,
                      kept == 1 ? "" : "s");
        Print(what, Summarise(sent, StopArrivals(log, logFrom)), sent.size());
        std::snprintf(what, sizeof what, "  the print-queue check alone%s",
                      checked == 0 ? "" : " (failed!)");
        Print(what, Summarise(checkStart, checkEnd), checkStart.size());
        host.EndDialog(page, 0);
        host.EndDialog(main, 0);
        osa::FreeCutterPrinters();
    }
    osa::CloseDeviceLink();
    return 0;
}
