#include "platform/services.h"

#include <cstdio>
#include <cstdlib>

namespace osa {

namespace {
Services g_services{};

[[noreturn]] void Missing(const char* what) {
    std::fprintf(stderr, "osactl: no %s service installed\n", what);
    std::abort();
}
} // namespace

Services InstallServices(const Services& services) {
    Services previous = g_services;
    g_services = services;
    return previous;
}

WindowHost& Windows() {
    if (g_services.windows == nullptr) Missing("window host");
    return *g_services.windows;
}

InstanceGuard& Instance() {
    if (g_services.instance == nullptr) Missing("single-instance");
    return *g_services.instance;
}

} // namespace osa

namespace osa {

ProfileStore& Profiles() {
    if (g_services.profiles == nullptr) Missing("profile");
    return *g_services.profiles;
}

FileSystem& Files() {
    if (g_services.files == nullptr) Missing("file-system");
    return *g_services.files;
}

ProcessLauncher& Processes() {
    if (g_services.processes == nullptr) Missing("process");
    return *g_services.processes;
}

CutterPort& Cutter() {
    if (g_services.cutter == nullptr) Missing("cutter port");
    return *g_services.cutter;
}

PrintSpooler& Spooler() {
    if (g_services.spooler == nullptr) Missing("print spooler");
    return *g_services.spooler;
}

DebugTrace& Trace() {
    if (g_services.trace == nullptr) Missing("trace");
    return *g_services.trace;
}

InputHooks& Hooks() {
    static NoInputHooks none;
    return g_services.hooks != nullptr ? *g_services.hooks : none;
}

const MediaNameCodec& MediaNames() {
    static const Utf8MediaNames identity;
    if (g_services.mediaNames == nullptr) return identity;
    return *g_services.mediaNames;
}

} // namespace osa
