// The USB module of the Linux build: the cutter among the kernel's USB
// printer devices. The driver reads each device's IEEE 1284 identification
// once when the device is plugged in and shows it in sysfs, so telling the
// cutter from other printers costs no device traffic.
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/linux/unique_fd.h"
#include "usb/device_id.h"
#include "usb/vornusbp.h"

namespace {

std::string Root(const char* variable, const char* fallback) {
    const char* value = std::getenv(variable);
    return (value != nullptr && value[0] != '\0') ? value : fallback;
}

// "lp<N>" → N; -1 for any other name.
long DeviceNumber(const char* name) {
    if (name[0] != 'l' || name[1] != 'p' || name[2] < '0' || name[2] > '9') return -1;
    char* end = nullptr;
    long n = std::strtol(name + 2, &end, 10);
    return (*end == '\0' && n >= 0) ? n : -1;
}

// The identification string of one device; empty when it cannot be read.
// The attribute is a sysfs file of at most one page; more is never read.
std::string ReadDeviceId(const std::string& path) {
    osa::posix::UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (!fd) return {};
    std::string id(4096, '\0');
    std::size_t used = 0;
    while (used < id.size()) {
        ssize_t n = ::read(fd.Get(), id.data() + used, id.size() - used);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        used += static_cast<std::size_t>(n);
    }
    id.resize(used);
    return id;
}

} // namespace

extern "C" __attribute__((visibility("default"))) int
VORN_OpenUsb(std::uint32_t /*reserved*/, std::uint32_t /*pipe*/, std::uint32_t flags) {
    const std::string sysfs = Root("OSA_USB_SYSFS_ROOT", "/sys/class/usbmisc");
    const std::string dev = Root("OSA_USB_DEV_ROOT", "/dev/usb");

    std::vector<std::pair<long, std::string>> devices;
    if (std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(sysfs.c_str()), ::closedir); dir) {
        while (const dirent* entry = ::readdir(dir.get())) {
            long n = DeviceNumber(entry->d_name);
            if (n >= 0) devices.emplace_back(n, entry->d_name);
        }
    }
    std::sort(devices.begin(), devices.end());

    for (const auto& [number, name] : devices) {
        std::string id = ReadDeviceId(sysfs + "/" + name + "/device/ieee1284_id");
        if (!osa::usb::IsCutterDeviceId(id.data(), id.size())) continue;
        int extra = static_cast<int>(flags) & (O_NONBLOCK | O_SYNC | O_DSYNC);
        return ::open((dev + "/" + name).c_str(), O_RDWR | O_CLOEXEC | O_NOCTTY | extra);
    }
    errno = ENOENT;
    return -1;
}
