// The platform services the core uses, installed once by the program's entry
// (or by a test) before the core runs. The core reaches every platform
// service through these accessors only.
#pragma once
#include "platform/cutter_port.h"
#include "platform/debug_trace.h"
#include "platform/file_system.h"
#include "platform/input_hooks.h"
#include "platform/instance_guard.h"
#include "platform/media_name_codec.h"
#include "platform/print_spooler.h"
#include "platform/process_launcher.h"
#include "platform/profile_store.h"
#include "platform/window_host.h"

namespace osa {

struct Services {
    WindowHost* windows = nullptr;
    InstanceGuard* instance = nullptr;
    ProfileStore* profiles = nullptr;
    FileSystem* files = nullptr;
    ProcessLauncher* processes = nullptr;
    CutterPort* cutter = nullptr;
    PrintSpooler* spooler = nullptr;
    DebugTrace* trace = nullptr;
    const MediaNameCodec* mediaNames = nullptr; // none: the identity (Utf8MediaNames)
    InputHooks* hooks = nullptr;                // none: hooks that install nothing
};

// Installs the services; returns the ones installed before.
Services InstallServices(const Services& services);

WindowHost& Windows();
InstanceGuard& Instance();
ProfileStore& Profiles();
FileSystem& Files();
ProcessLauncher& Processes();
CutterPort& Cutter();
PrintSpooler& Spooler();
DebugTrace& Trace();
// The installed codec, or the identity when none is installed.
const MediaNameCodec& MediaNames();
InputHooks& Hooks();

} // namespace osa
