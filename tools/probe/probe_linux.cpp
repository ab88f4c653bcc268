// osaprobe: the cutter probe of the Linux build.
#include <cerrno>
#include <cstdio>
#include <string_view>
#include <vector>

#include "controller/app_state.h"
#include "platform/linux/cups_print_spooler.h"
#include "platform/linux/linux_cutter_port.h"
#include "platform/linux/linux_debug_trace.h"
#include "platform/services.h"
#include "tools/probe/probe.h"

int main(int argc, char** argv) {
    osa::LinuxCutterPort cutter;
    osa::posix::CupsPrintSpooler spooler;
    osa::LinuxDebugTrace trace;
    osa::Services services;
    services.cutter = &cutter;
    services.spooler = &spooler;
    services.trace = &trace;
    osa::InstallServices(services);

    std::vector<std::string_view> args(argv + 1, argv + argc);
    int result = osa::RunProbe(args, stdout);
    switch (cutter.LastOpenError()) {
    case EACCES:
    case EPERM:
        std::printf("A USB printer device is connected that this user may not open; if it is the "
                    "cutter, install the program's udev rule (see docs/CUTTER.md) and plug the "
                    "cutter in again, or add the user to the group that owns /dev/usb/lp* "
                    "(usually lp) and log in again.\n");
        break;
    case EBUSY:
        std::printf("Another program has the cutter's device open (a print job?).\n");
        break;
    default:
        break;
    }
    return result;
}
