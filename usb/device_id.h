// The test that tells the cutter from other devices by its IEEE 1284 device
// identification string. Shared by the USB module of every platform and by
// the simulated cutter.
#pragma once
#include <cstddef>
#include <string_view>

namespace osa::usb {

inline constexpr std::string_view ManufacturerKey = "MANUFACTURER:";
inline constexpr std::string_view CutterManufacturer = "Ostrandel Inc.";

// `id` holds `length` bytes as the device returned them; the text ends at
// its first NUL or after `length` bytes. True when it has the key
// "MANUFACTURER:" (exact case; the short key MFG does not count) and the
// value up to the next ";" equals "Ostrandel Inc." without regard to ASCII
// case. A value without a closing ";" is refused.
bool IsCutterDeviceId(const char* id, std::size_t length);

} // namespace osa::usb
