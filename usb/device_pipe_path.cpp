#include "usb/device_pipe_path.h"

#include <cstdio>

namespace osa::usb {

std::optional<std::string> DevicePipePath(std::string_view devicePath, std::int32_t pipe) {
    char suffix[16];
    const int n = std::snprintf(suffix, sizeof suffix, "\\.%02d", static_cast<int>(pipe));
    if (n <= 0) return std::nullopt;
    if (devicePath.size() + static_cast<std::size_t>(n) + 1 > PipePathCapacity) return std::nullopt;
    std::string path(devicePath);
    path.append(suffix, static_cast<std::size_t>(n));
    return path;
}

} // namespace osa::usb
