// What one command costs through the whole path of the Linux build: the
// print-queue check (CUPS), the USB module's search (sysfs) and open, the
// write, the wait for the driver, the close; beside a bare write of the same
// bytes to the same device node, measured in the same run. The device is the
// simulated cutter (a pseudo-terminal), the scheduler a private cupsd with
// one queue of the cutter's family. Figures only, no limits.
//
//   build/<dir>/bin/command_path_bench [calls]   (calls per figure, 500)
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/bench_support.h"
#include "controller/app_state.h"
#include "controller/link/cutter_commands.h"
#include "controller/link/device_link.h"
#include "platform/linux/cups_print_spooler.h"
#include "platform/linux/linux_cutter_port.h"
#include "platform/linux/linux_debug_trace.h"
#include "platform/linux/unique_fd.h"
#include "platform/services.h"
#include "tests/linux/simulated_cutter.h"

int main(int argc, char** argv) {
    const int calls = osa::bench::CallsFromArguments(argc, argv, 500);

    osa::bench::PrivateCupsd cupsd;
    if (!cupsd.ServeThisProcess("command_path_bench")) return cupsd.FailureStatus();
    if (!cupsd.Admin({"lpadmin", "-p", "Office", "-E", "-v", "file:///dev/null", "-D", "Laser"}))
        return 1;

    // Sets the USB module's roots to itself while it lives.
    osa::test::SimulatedCutter simulator;
    if (!simulator.Ready()) {
        std::fprintf(stderr, "command_path_bench: the simulated cutter did not start\n");
        return 1;
    }
    const std::string& root = simulator.Root();

    osa::posix::UniqueFd devNull(::open("/dev/null", O_WRONLY | O_CLOEXEC));
    osa::LinuxCutterPort port;
    osa::posix::CupsPrintSpooler spooler;
    osa::LinuxDebugTrace trace(devNull.Get());
    osa::Services services;
    services.cutter = &port;
    services.spooler = &spooler;
    services.trace = &trace;
    osa::InstallServices(services);
    if (osa::LoadUsbModule() != 0) {
        std::fprintf(stderr, "command_path_bench: libvornusbp.so not found beside the program\n");
        return 1;
    }

    const std::string node = root + "/dev/lp0";
    const char command[] = "FH\x03";
    const double bareOpen = osa::bench::MedianMicroseconds(calls, [&] {
        osa::posix::UniqueFd fd(::open(node.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
        [[maybe_unused]] ssize_t n = ::write(fd.Get(), command, 3);
    });
    osa::posix::UniqueFd held(::open(node.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    const double bareWrite = osa::bench::MedianMicroseconds(
        calls, [&] { [[maybe_unused]] ssize_t n = ::write(held.Get(), command, 3); });
    held.Reset();

    osa::ResultCode result = 0;
    const double noQueue =
        osa::bench::MedianMicroseconds(calls, [&] { result |= osa::SendTestCut(); });
    if (!cupsd.Admin({"lpadmin", "-p", "Trax", "-E", "-v", "file:///dev/null", "-D",
                      "Hemmerik Marlo Trax"}) ||
        osa::FindCutterPrinters() != 0 || osa::App().cutterPrinterCount != 1)
        return 1;
    const double withQueue =
        osa::bench::MedianMicroseconds(calls, [&] { result |= osa::SendTestCut(); });
    std::int32_t x = 0, y = 0;
    const double query =
        osa::bench::MedianMicroseconds(calls, [&] { result |= osa::ReadSensorCorrection(x, y); });
    osa::FreeCutterPrinters();

    std::printf("One command to the simulated cutter; median of %d calls, microseconds%s\n\n",
                calls, result == 0 ? "" : " (some calls failed!)");
    std::printf("%-58s %10s\n", "path", "us");
    std::printf("%-58s %10.1f\n", "baseline: write() on a descriptor held open", bareWrite);
    std::printf("%-58s %10.1f\n", "baseline: open + write() + close of the node", bareOpen);
    std::printf("%-58s %10.1f\n", "SendTestCut, no cutter print queue kept", noQueue);
    std::printf("%-58s %10.1f\n", "SendTestCut, one kept CUPS queue checked", withQueue);
    std::printf("%-58s %10.1f\n", "ReadSensorCorrection (exchange), one kept queue", query);
    return result == 0 ? 0 : 1;
}
