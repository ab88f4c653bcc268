// The simulated cutter's command reader and its settings. The input's
// first line holds settings ("name=value" separated by spaces, as the
// simulator's options without their dashes), the rest is what the
// controller writes, cut into transfers at each 0xFF byte. The commands
// read and the answers given must not depend on how the bytes were cut.
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/fuzz_input.h"
#include "tools/simcutter/cutter_model.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace osa::sim;
    std::string_view input = osa::fuzz::AsText(data, size);
    const std::size_t lineEnd = input.find('\n');
    const std::string_view settings = input.substr(0, lineEnd);
    const std::string_view written =
        lineEnd == std::string_view::npos ? std::string_view{} : input.substr(lineEnd + 1);

    CutterSetup setup;
    for (std::string_view item : osa::fuzz::Fields(settings, ' ')) {
        const std::size_t eq = item.find('=');
        if (eq == std::string_view::npos) continue;
        (void)ApplySetting(item.substr(0, eq), item.substr(eq + 1), setup);
        (void)ApplyOption(std::string("--") + std::string(item), setup);
    }
    setup.markMs = 0;
    setup.slowMs = 0;

    auto run = [&](const std::vector<std::string_view>& transfers) {
        CutterModel cutter(setup);
        long long now = 0;
        cutter.SetClock([&now] { return now; });
        std::string answers;
        for (std::string_view t : transfers) {
            for (const Reply& r : cutter.Receive(t))
                answers += r.bytes + '\x01';
            (void)cutter.BladeNow();
            now += 1000;
        }
        std::string commands;
        for (const std::string& c : cutter.Commands())
            commands += c + '\x02';
        return commands + '\x03' + answers;
    };

    std::string whole;
    std::vector<std::string_view> transfers = osa::fuzz::Fields(written, '\xff');
    for (std::string_view t : transfers)
        whole += t;
    OSA_FUZZ_REQUIRE(run(transfers) == run({std::string_view(whole)}));
    return 0;
}
