// Helpers shared by the fuzz targets: the entry point's declaration and a
// way to cut one input into several fields.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace osa::fuzz {

inline std::string_view AsText(const std::uint8_t* data, std::size_t size) {
    return size == 0 ? std::string_view{}
                     : std::string_view(reinterpret_cast<const char*>(data), size);
}

// The fields of `text` between the separators (an empty text gives one
// empty field).
inline std::vector<std::string_view> Fields(std::string_view text, char separator) {
    std::vector<std::string_view> fields;
    for (;;) {
        const std::size_t end = text.find(separator);
        fields.push_back(text.substr(0, end));
        if (end == std::string_view::npos) return fields;
        text.remove_prefix(end + 1);
    }
}

// A property of the code under test that does not hold: printed, then the
// process ends abnormally so that the fuzzer keeps the input.
[[noreturn]] inline void Broken(const char* what) {
    std::fprintf(stderr, "property broken: %s\n", what);
    std::fflush(stderr);
    std::abort();
}

#define OSA_FUZZ_REQUIRE(condition)                                                                \
    do {                                                                                           \
        if (!(condition)) ::osa::fuzz::Broken(#condition);                                         \
    } while (false)

} // namespace osa::fuzz
