// The number texts of the page's two distance edits and of the Calibration
// dialog's feed correction. A text the check passes reads as the C
// library's strtod reads it; distances convert and show again without
// leaving their range; a feed text either is refused or sends a value in
// range with at most two decimals.
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <string>
#include <string_view>

#include "controller/ui/calibration_dialog.h"
#include "controller/ui/mark_distance.h"
#include "fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace osa;
    const std::vector<std::string_view> fields = fuzz::Fields(fuzz::AsText(data, size), '\n');
    const std::string x(fields[0]);
    const std::string y(fields.size() > 1 ? fields[1] : fields[0]);

    for (const std::string& text : {x, y}) {
        if (!CheckNumberText(text.c_str())) continue;
        const double value = ReadNumberText(text);
        const double reference = std::strtod(text.c_str(), nullptr); // "C" locale
        OSA_FUZZ_REQUIRE(value == reference || (std::isnan(value) && std::isnan(reference)));
    }

    for (std::int32_t unit : {UnitMillimetres, UnitInches}) {
        std::int32_t xUm = -1, yUm = -1;
        ParseMarkDistances(x.c_str(), y.c_str(), unit, xUm, yUm);
        for (std::int32_t direction : {0, 1}) {
            if (!CheckNumberText(x.c_str()) || !CheckNumberText(y.c_str())) continue;
            const ResultCode r =
                CheckMarkDistances(direction, ReadNumberText(x), ReadNumberText(y), unit);
            if (r != 0) {
                OSA_FUZZ_REQUIRE(r >= 200 && r <= 207);
                continue;
            }
            OSA_FUZZ_REQUIRE(xUm >= 0 && xUm <= 970000 && yUm >= 0 && yUm <= 970000);
            // What the edit shows again reads back as the same micrometres.
            const std::string shown = MicrometresToText(xUm, unit);
            std::int32_t again = -1, unused = 0;
            ParseMarkDistances(shown.c_str(), "0", unit, again, unused);
            OSA_FUZZ_REQUIRE(std::abs(again - xUm) <= (unit == UnitInches ? 26 : 100));
        }
    }

    if (const auto sent = FeedAdjustmentToSend(x)) {
        OSA_FUZZ_REQUIRE(*sent >= -2000 && *sent <= 2000);
        OSA_FUZZ_REQUIRE(*sent % 10 == 0);
        OSA_FUZZ_REQUIRE(CheckNumberText(x.c_str()));
    }
    const std::string fixed = FixedText(ReadNumberText(x) * 1e300, 2);
    OSA_FUZZ_REQUIRE(!fixed.empty() || std::isnan(ReadNumberText(x)));
    return 0;
}
