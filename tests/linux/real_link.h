// The controller's cutter link on the real Linux port, for tests and
// benchmarks against the simulated cutter: libvornusbp.so loaded beside the
// program, an in-memory spooler and trace, installed (and the device link
// opened) while it lives. Header-only, so that a benchmark without
// GoogleTest can use it.
#pragma once
#include <cstddef>
#include <filesystem>

#include "controller/link/device_link.h"
#include "platform/linux/linux_cutter_port.h"
#include "platform/memory/memory_debug_trace.h"
#include "platform/memory/memory_print_spooler.h"
#include "platform/services.h"

namespace osa::test {

class RealLinuxLink {
  public:
    RealLinuxLink() {
        Services services;
        services.cutter = &port;
        services.spooler = &spooler;
        services.trace = &trace;
        previous_ = InstallServices(services);
        loaded_ = LoadUsbModule() == rc::Ok;
        if (loaded_) InitDeviceLink();
    }
    ~RealLinuxLink() {
        if (loaded_) CloseDeviceLink();
        InstallServices(previous_);
    }
    RealLinuxLink(const RealLinuxLink&) = delete;
    RealLinuxLink& operator=(const RealLinuxLink&) = delete;

    // The USB module loaded (and so the link opened).
    bool Loaded() const { return loaded_; }

    LinuxCutterPort port;
    MemoryPrintSpooler spooler;
    MemoryDebugTrace trace;

  private:
    Services previous_{};
    bool loaded_ = false;
};

// The descriptors this process has open.
inline std::size_t OpenDescriptors() {
    std::size_t n = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd"))
        ++n;
    return n;
}

} // namespace osa::test
