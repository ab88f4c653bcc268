// A stand-in VORNUSBP.DLL for tests: VORN_OpenUsb opens the named pipes of
// the simulated cutter (SIMCUTTER.EXE) instead of a USB device. The pipes'
// base name comes from the environment variable OSA_SIMCUTTER_PIPE (default
// \\.\pipe\osa-simcutter); the pipe number is appended as the real module
// appends it to a device path.
//
// The simulator serves one connection per pipe at a time; an open that
// comes while it sets up its next instance is told the pipe is busy, and
// waits for the instance (the real driver has no such gap).
#include <cstdint>
#include <optional>
#include <string>

#include "platform/win32/win32_api.h"
#include "usb/device_pipe_path.h"

namespace {

constexpr char DefaultPipe[] = R"(\\.\pipe\osa-simcutter)";
constexpr int BusyRetries = 50;
constexpr DWORD BusyWaitMs = 100;

std::string PipeBase() {
    char base[osa::usb::PipePathCapacity] = {};
    const DWORD n = GetEnvironmentVariableA("OSA_SIMCUTTER_PIPE", base, sizeof base);
    if (n == 0 || n >= sizeof base) return DefaultPipe;
    return std::string(base, n);
}

} // namespace

// Exported by its plain name through usb/vornusbp.def.
extern "C" HANDLE WINAPI VORN_OpenUsb(DWORD /*reserved*/, DWORD pipe, DWORD flags) {
    const std::optional<std::string> path =
        osa::usb::DevicePipePath(PipeBase(), static_cast<std::int32_t>(pipe));
    if (!path) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    for (int attempt = 0;; ++attempt) {
        HANDLE h = CreateFileA(path->c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                               OPEN_EXISTING, flags | FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h != INVALID_HANDLE_VALUE || GetLastError() != ERROR_PIPE_BUSY ||
            attempt == BusyRetries)
            return h;
        WaitNamedPipeA(path->c_str(), BusyWaitMs);
    }
}
