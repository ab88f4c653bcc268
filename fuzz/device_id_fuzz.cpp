// The IEEE 1284 identification rule, against a second reading of the rule
// written another way: the text up to its first NUL, the first
// "MANUFACTURER:" in it (exact case), its value up to the next ';' equal to
// the cutter's maker without regard to ASCII letter case.
#include <cstring>
#include <string_view>

#include "fuzz/fuzz_input.h"
#include "usb/device_id.h"

namespace {

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
}

bool Reference(const char* id, std::size_t length) {
    const std::size_t n = strnlen(id, length);
    const std::string_view key = "MANUFACTURER:";
    const std::string_view maker = "ostrandel inc.";
    for (std::size_t k = 0; k + key.size() <= n; ++k) {
        if (std::memcmp(id + k, key.data(), key.size()) != 0) continue;
        std::size_t v = k + key.size(), i = 0;
        for (; v + i < n && id[v + i] != ';'; ++i)
            if (i >= maker.size() || Lower(id[v + i]) != maker[i]) return false;
        return v + i < n && i == maker.size();
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const char* id = reinterpret_cast<const char*>(data);
    if (size == 0) {
        OSA_FUZZ_REQUIRE(!osa::usb::IsCutterDeviceId("", 0));
        return 0;
    }
    OSA_FUZZ_REQUIRE(osa::usb::IsCutterDeviceId(id, size) == Reference(id, size));
    // A shorter length only ever sees a prefix of the text.
    OSA_FUZZ_REQUIRE(osa::usb::IsCutterDeviceId(id, size - 1) == Reference(id, size - 1));
    return 0;
}
