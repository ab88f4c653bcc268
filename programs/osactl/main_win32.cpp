// OSACTL.EXE: the graphical entry of the Windows program. It installs the
// Win32 services and hands the runtime's argument vector to the shared entry
// (controller/shell/entry.h); everything else happens there.
//
// The arguments are the C runtime's own split of the command line (__wargv,
// filled because the program is linked with -municode), converted to UTF-8;
// CommandLineToArgvW stands in should the runtime not have filled it.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "controller/res/resources.h"
#include "controller/shell/entry.h"
#include "platform/services.h"
#include "platform/win32/win32_api.h"
#include "platform/win32/win32_cutter_port.h"
#include "platform/win32/win32_debug_trace.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_input_hooks.h"
#include "platform/win32/win32_instance_guard.h"
#include "platform/win32/win32_print_spooler.h"
#include "platform/win32/win32_process_launcher.h"
#include "platform/win32/win32_profile_store.h"
#include "platform/win32/win32_text.h"
#include "platform/win32/win32_window_host.h"

#include <shellapi.h>

namespace {

std::vector<std::string> ArgumentsUtf8() {
    std::vector<std::string> out;
    if (__wargv != nullptr) {
        for (int i = 0; i < __argc; ++i)
            out.push_back(osa::win32::Narrow(__wargv[i]));
        return out;
    }
    int count = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &count);
    if (argv == nullptr) return out;
    for (int i = 0; i < count; ++i)
        out.push_back(osa::win32::Narrow(argv[i]));
    LocalFree(argv);
    return out;
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    // Version 6 of the common controls (see osactl.manifest) draws the
    // standard controls; this makes sure its window classes are registered.
    INITCOMMONCONTROLSEX icc{sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);

    osa::win32::Win32WindowHost windows(osa::dlg::DialogTemplates(osa::res::AllDialogTemplates()),
                                        instance);
    osa::win32::Win32InstanceGuard instanceGuard;
    osa::win32::Win32ProcessLauncher processes;
    osa::win32::Win32ProfileStore profiles;
    osa::win32::Win32FileSystem files;
    osa::win32::Win32CutterPort cutter;
    osa::win32::Win32PrintSpooler spooler;
    osa::win32::Win32DebugTrace trace;
    const osa::win32::AnsiMediaNames mediaNames;
    osa::win32::Win32InputHooks hooks;
    osa::InstallServices({.windows = &windows,
                          .instance = &instanceGuard,
                          .profiles = &profiles,
                          .files = &files,
                          .processes = &processes,
                          .cutter = &cutter,
                          .spooler = &spooler,
                          .trace = &trace,
                          .mediaNames = &mediaNames,
                          .hooks = &hooks});

    const std::vector<std::string> arguments = ArgumentsUtf8();
    const std::vector<std::string_view> views(arguments.begin(), arguments.end());
    const int exitCode = osa::RunController(reinterpret_cast<std::uintptr_t>(instance), views);

    osa::InstallServices(osa::Services{});
    return exitCode;
}
