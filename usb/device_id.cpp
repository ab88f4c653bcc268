#include "usb/device_id.h"

#include "platform/ascii.h"

namespace osa::usb {

bool IsCutterDeviceId(const char* id, std::size_t length) {
    if (id == nullptr) return false;
    std::size_t n = 0;
    while (n < length && id[n] != '\0')
        ++n;
    std::string_view text(id, n);
    std::size_t key = text.find(ManufacturerKey);
    if (key == std::string_view::npos) return false;
    // Spans built by hand rather than with substr, which may throw: the USB
    // module links no exception support.
    const std::size_t value = key + ManufacturerKey.size();
    const std::string_view rest(text.data() + value, text.size() - value);
    std::size_t end = rest.find(';');
    if (end == std::string_view::npos) return false;
    return ascii::EqualsNoCase(std::string_view(rest.data(), end), CutterManufacturer);
}

} // namespace osa::usb
