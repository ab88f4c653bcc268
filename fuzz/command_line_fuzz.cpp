// The program's argument vector: the input's NUL-separated fields are the
// arguments. What the options give is then checked the way the page takes
// it: distances that pass the range test convert to micrometres inside the
// same range, a mark size that passes gives the cutter its number of units.
#include <cmath>
#include <string_view>
#include <vector>

#include "controller/app_state.h"
#include "controller/shell/command_line.h"
#include "controller/ui/mark_distance.h"
#include "fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace osa;
    const std::vector<std::string_view> args = fuzz::Fields(fuzz::AsText(data, size), '\0');
    std::uint32_t demoMode = 7;
    StartupOptions options;
    ParseCommandLine(args, demoMode, options);

    OSA_FUZZ_REQUIRE(demoMode == DemoOff || demoMode == DemoFirmware1 || demoMode == DemoFirmware2);
    OSA_FUZZ_REQUIRE(options.ownerGiven <= 1 && options.cutMode <= 1 && options.noTrim <= 1);
    OSA_FUZZ_REQUIRE(options.orientationGiven <= 1 && options.markDistanceGiven <= 1);
    OSA_FUZZ_REQUIRE(options.markSizeGiven <= 1 && options.pendingError == 0);

    // Parsing is a function of the arguments alone.
    std::uint32_t again = 0;
    StartupOptions second;
    ParseCommandLine(args, again, second);
    OSA_FUZZ_REQUIRE(again == demoMode && second.ownerWindow == options.ownerWindow);
    OSA_FUZZ_REQUIRE(second.orientation == options.orientation);
    OSA_FUZZ_REQUIRE(std::isnan(options.markDistanceX) ||
                     second.markDistanceX == options.markDistanceX);

    for (std::int32_t direction : {0, 1}) {
        if (CheckMarkDistances(direction, options.markDistanceX, options.markDistanceY,
                               UnitMillimetres) != 0)
            continue;
        std::int32_t x = -1, y = -1;
        MillimetreDistancesToMicrometres(options.markDistanceX, options.markDistanceY, x, y);
        OSA_FUZZ_REQUIRE(x >= 0 && x <= 970000 && y >= 0 && y <= 970000);
        for (std::int32_t unit : {UnitMillimetres, UnitInches})
            OSA_FUZZ_REQUIRE(!MicrometresToText(x, unit).empty());
    }
    return 0;
}
