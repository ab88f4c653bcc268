// OSAPROBE.EXE: the cutter probe of the Windows build. It installs the Win32
// cutter port, print spooler and trace, and runs the shared probe; the
// trace goes to the debugger output (under Wine, WINEDEBUG=+debugstr shows
// it on standard error).
#include <cstdio>
#include <string_view>
#include <vector>

#include "platform/services.h"
#include "platform/win32/win32_cutter_port.h"
#include "platform/win32/win32_debug_trace.h"
#include "platform/win32/win32_print_spooler.h"
#include "tools/probe/probe.h"

int main(int argc, char** argv) {
    osa::win32::Win32CutterPort cutter;
    osa::win32::Win32PrintSpooler spooler;
    osa::win32::Win32DebugTrace trace;
    osa::Services services;
    services.cutter = &cutter;
    services.spooler = &spooler;
    services.trace = &trace;
    osa::InstallServices(services);

    const std::vector<std::string_view> args(argv + 1, argv + argc);
    const int result = osa::RunProbe(args, stdout);
    osa::InstallServices(osa::Services{});
    return result;
}
