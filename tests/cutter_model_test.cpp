// The simulated cutter's blade holder: it moves while a movement sequence
// holds directions, at the documented speed, from the origin "FJ" sets; "FH"
// records where it cut. And a fault placed on one command.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/simcutter/cutter_model.h"

namespace osa::sim {
namespace {

std::string Move(char bits) {
    return std::string("\x1b\x00", 2) + bits;
}

TEST(SimulatedBlade, UpThenRightHeldThenRightLetGoMovesUpDiagonallyThenUpAgain) {
    CutterModel cutter;
    long long now = 0;
    cutter.SetClock([&now] { return now; });
    const double mmPerTenth = BladeSpeedMmPerSecond / 10;
    auto after = [&](long long us, const std::string& bytes) {
        now += us;
        (void)cutter.Receive(bytes);
        return cutter.BladeNow();
    };
    (void)after(0, "FJ\x03");                   // the origin where it stands
    (void)after(0, Move(0x02));                 // up
    Blade b = after(100000, Move(0x02 | 0x04)); // up and right
    EXPECT_DOUBLE_EQ(b.x, 0);
    EXPECT_DOUBLE_EQ(b.y, mmPerTenth);
    b = after(100000, Move(0x02)); // right let go
    EXPECT_DOUBLE_EQ(b.x, mmPerTenth);
    EXPECT_DOUBLE_EQ(b.y, 2 * mmPerTenth);
    b = after(100000, Move(0)); // stop
    EXPECT_DOUBLE_EQ(b.x, mmPerTenth);
    EXPECT_DOUBLE_EQ(b.y, 3 * mmPerTenth);
    b = after(500000, "FH\x03"); // stands still; cut here
    EXPECT_DOUBLE_EQ(b.y, 3 * mmPerTenth);
    ASSERT_EQ(cutter.TestCuts().size(), 1u);
    EXPECT_DOUBLE_EQ(cutter.TestCuts()[0].x, mmPerTenth);
    EXPECT_EQ(BladeText(b), "x=5.00 y=15.00 moving=none");
    // A new origin where it stands.
    b = after(0, "FJ\x03");
    EXPECT_DOUBLE_EQ(b.x, 0);
    EXPECT_DOUBLE_EQ(b.y, 0);
    EXPECT_TRUE(cutter.TakeBladeChange());
    EXPECT_FALSE(cutter.TakeBladeChange());
    (void)after(0, "FG\x03"); // a query moves nothing
    EXPECT_FALSE(cutter.TakeBladeChange());
    EXPECT_EQ(BladeText(Blade{1.5, -2, 0x02 | 0x04}), "x=1.50 y=-2.00 moving=up,right");
}

// The answers to the same three queries with a fault placed on the second.
TEST(SimulatedFaults, AFaultOnOneCommandSparesTheOthers) {
    struct Row {
        const char* fault;
        std::vector<std::string> answers; // "-" for none
        bool goneAtEnd;
    } rows[] = {
        {"garbage", {"0,0\r", "####", "0,0\r"}, false},
        {"short", {"0,0\r", "0,", "0,0\r"}, false},
        {"silent", {"0,0\r", "-", "0,0\r"}, false},
        {"gone", {"0,0\r", "0,0\r", "0,0\r"}, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.fault);
        CutterSetup setup;
        ASSERT_TRUE(ApplySetting("fault", row.fault, setup));
        ASSERT_TRUE(ApplySetting("fault-on", "FA", setup));
        CutterModel model(setup);
        std::vector<std::string> answers;
        for (const char* query : {"TB71\x03", "FA\x03", "TB71\x03"}) {
            EXPECT_EQ(model.Gone(), row.goneAtEnd && answers.size() > 1);
            const auto replies = model.Receive(query);
            answers.push_back(replies.empty() ? "-" : replies[0].bytes);
        }
        EXPECT_EQ(answers, row.answers);
        EXPECT_EQ(model.Gone(), row.goneAtEnd);
    }
}

} // namespace
} // namespace osa::sim
