// The Linux program osactl: the Qt window host and the Linux single instance
// installed as the platform services, then the portable entry. A SIGTERM or
// SIGINT closes the windows the way a close request does, so the main
// window ends through its own close handling.
#include <QApplication>

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "controller/res/resources.h"
#include "controller/shell/entry.h"
#include "platform/linux/cups_print_spooler.h"
#include "platform/linux/linux_cutter_port.h"
#include "platform/linux/linux_debug_trace.h"
#include "platform/linux/linux_file_system.h"
#include "platform/linux/linux_process_launcher.h"
#include "platform/linux/profile_file.h"
#include "platform/qt/qt_input_hooks.h"
#include "platform/qt/qt_instance_guard.h"
#include "platform/qt/qt_termination.h"
#include "platform/qt/qt_window_host.h"
#include "platform/services.h"

int main(int argc, char* argv[]) {
    // The arguments as given: QApplication takes its own options (-platform,
    // -style, ...) out of argv, and the controller ignores unknown ones anyway.
    const std::vector<std::string> given(argv, argv + argc);

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("osactl"));
    // The program ends when the main dialog does, not with its last window.
    QApplication::setQuitOnLastWindowClosed(false);

    osa::QtWindowHost host{osa::dlg::DialogTemplates(osa::res::AllDialogTemplates())};
    osa::QtInstanceGuard guard([&host] {
        std::fprintf(stderr, "osactl: another controller asked this one to come forward\n");
        host.RaiseWindow(osa::Window{});
    });
    osa::TerminationRequests termination([&host] { host.RequestClose(); });

    osa::posix::LinuxProcessLauncher processes;
    osa::posix::LinuxProfileStore profiles;
    osa::posix::LinuxFileSystem files;
    osa::LinuxCutterPort cutter;
    osa::posix::CupsPrintSpooler spooler;
    osa::LinuxDebugTrace trace;
    const osa::Utf8MediaNames mediaNames; // file names are UTF-8
    osa::QtInputHooks hooks;
    const osa::Services previous = osa::InstallServices({.windows = &host,
                                                         .instance = &guard,
                                                         .profiles = &profiles,
                                                         .files = &files,
                                                         .processes = &processes,
                                                         .cutter = &cutter,
                                                         .spooler = &spooler,
                                                         .trace = &trace,
                                                         .mediaNames = &mediaNames,
                                                         .hooks = &hooks});
    const std::vector<std::string_view> args(given.begin(), given.end());
    const int result = osa::RunController(0, args);
    osa::InstallServices(previous);
    return result;
}
