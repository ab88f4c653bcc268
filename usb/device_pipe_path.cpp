#include "usb/device_pipe_path.h"

#include <cstring>

namespace osa::usb {

bool DevicePipePath(std::string_view devicePath, std::int32_t pipe, char (&out)[PipePathCapacity]) {
    out[0] = '\0';
    // "%02d": the digits of the value, at least two, a minus sign first.
    char digits[16];
    std::size_t n = 0;
    std::int64_t value = pipe;
    const bool negative = value < 0;
    if (negative) value = -value;
    do {
        digits[n++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value != 0);
    if (n + (negative ? 1 : 0) < 2) digits[n++] = '0';
    char suffix[20] = {'\\', '.'};
    std::size_t s = 2;
    if (negative) suffix[s++] = '-';
    while (n > 0)
        suffix[s++] = digits[--n];
    if (devicePath.size() + s + 1 > PipePathCapacity) return false;
    std::memcpy(out, devicePath.data(), devicePath.size());
    std::memcpy(out + devicePath.size(), suffix, s);
    out[devicePath.size() + s] = '\0';
    return true;
}

} // namespace osa::usb
