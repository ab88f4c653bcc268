// The path of one pipe of a USB device: the device interface path, a
// backslash, a dot and the pipe number as at least two decimal digits
// ("\.00" for pipe 0, "\.12" for pipe 12), as the cutter's driver names its
// pipes.
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace osa::usb {

inline constexpr std::size_t PipePathCapacity = 260;

// The pipe path with its NUL in `out`; false (and `out` empty) when it would
// not fit in PipePathCapacity bytes. Uses no allocation and no formatting
// library, so that the USB module links no more of the runtime than it needs.
bool DevicePipePath(std::string_view devicePath, std::int32_t pipe, char (&out)[PipePathCapacity]);

// The same as a string; nothing when it would not fit.
inline std::optional<std::string> DevicePipePath(std::string_view devicePath, std::int32_t pipe) {
    char out[PipePathCapacity];
    if (!DevicePipePath(devicePath, pipe, out)) return std::nullopt;
    return std::string(out);
}

} // namespace osa::usb
