// The path of one pipe of a USB device: the device interface path, a
// backslash, a dot and the pipe number as at least two decimal digits
// ("\.00" for pipe 0, "\.12" for pipe 12), as the cutter's driver names its
// pipes.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace osa::usb {

// Room for a path and its NUL (MAX_PATH).
inline constexpr std::size_t PipePathCapacity = 260;

// The pipe's path, or nothing when the path and its NUL would not fit in
// PipePathCapacity bytes. The pipe number is formatted as a signed 32-bit
// number, as the module's callers pass it.
std::optional<std::string> DevicePipePath(std::string_view devicePath, std::int32_t pipe);

} // namespace osa::usb
