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
        std::printf("The cutter's device node exists but may not be opened: add the user to the "
                    "group that owns it (usually lp) and log in again.\n");
        break;
    case EBUSY:
        std::printf("Another program has the cutter's device open (a print job?).\n");
        break;
    default:
        break;
    }
    return result;
}
