// The registration-mark distances: which texts the page accepts, the range
// of each field by orientation and unit, and the conversion to micrometres.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdint>
#include <string>

#include "controller/ui/mark_distance.h"

namespace osa {
namespace {

TEST(MarkDistanceText, AcceptsPlainDecimalsOnly) {
    struct Case {
        const char* text;
        bool ok;
    };
    const Case cases[] = {{"12", true},   {"12.5", true}, {".5", true},  {"5.", true},
                          {"-3", true},   {"-0.5", true}, {"", false},   {"-", false},
                          {".", false},   {"-.", false},  {"1-", false}, {"1.2.3", false},
                          {"1..", false}, {"1,5", false}, {" 1", false}, {"1e3", false},
                          {"+1", false},  {"--1", false}};
    for (const Case& c : cases)
        EXPECT_EQ(CheckNumberText(c.text), c.ok) << '"' << c.text << '"';
}

TEST(MarkDistanceRange, LimitsAndCodesByOrientationAndUnit) {
    struct Case {
        std::int32_t direction, unit;
        double x, y;
        ResultCode code;
    };
    const Case cases[] = {{0, 0, 970.0, 192.0, 0},
                          {0, 0, 970.1, 10, 200},
                          {0, 0, 10, 192.1, 204},
                          {0, 0, -0.1, 10, 200},
                          {0, 0, 0, 0, 0},
                          {0, 1, 38.18, 7.557, 0},
                          {0, 1, 38.181, 1, 201},
                          {0, 1, 1, 7.558, 205},
                          {1, 0, 192.0, 970.0, 0},
                          {1, 0, 192.1, 10, 202},
                          {1, 0, 10, 970.1, 206},
                          {1, 1, 7.557, 38.18, 0},
                          {1, 1, 7.558, 1, 203},
                          {1, 1, 1, 38.19, 207},
                          // x first when both are out
                          {0, 0, 1000, 1000, 200},
                          {0, 0, std::nan(""), 10, 200},
                          {0, 0, 10, HUGE_VAL, 204}};
    for (const Case& c : cases)
        EXPECT_EQ(CheckMarkDistances(c.direction, c.x, c.y, c.unit), c.code)
            << c.direction << '/' << c.unit << ' ' << c.x << ' ' << c.y;
}

TEST(MarkDistanceParse, CutsBeyondTheShownDecimalsAndTruncates) {
    struct Case {
        const char* text;
        std::int32_t unit;
        std::int32_t um;
    };
    const Case cases[] = {{"12.38", 0, 12300},
                          {"12.3", 0, 12300},
                          {"970", 0, 970000},
                          {".5", 0, 500},
                          {"0.5", 1, 12702},
                          {"1", 1, 25405},
                          {"1.23456", 1, 31350},
                          {"38.18", 1, 969997},
                          {"120.500000", 0, 120500},
                          // what was typed, not a double's nearest value below it
                          {"32.3", 0, 32300},
                          {"64.1", 0, 64100},
                          {"130.79", 0, 130700},
                          {"-1.5", 0, -1500},
                          {"0.001", 1, 25},
                          {"99999999999999", 0, INT32_MAX}};
    for (const Case& c : cases) {
        std::int32_t x = -1, y = -1;
        ParseMarkDistances(c.text, "0", c.unit, x, y);
        EXPECT_EQ(x, c.um) << c.text;
        EXPECT_EQ(y, 0);
    }
}

TEST(MarkDistanceParse, NumbersBeyondDoubleReadAsScanfReadsThem) {
    const std::string tiny = "0." + std::string(400, '0') + "1";
    const std::string huge(400, '9');
    EXPECT_EQ(ReadNumberText(tiny), 0.0);
    EXPECT_EQ(ReadNumberText(huge), HUGE_VAL);
    EXPECT_EQ(ReadNumberText("1e-400"), 0.0);
    EXPECT_EQ(ReadNumberText("0.001e400"), HUGE_VAL);
    EXPECT_EQ(ReadNumberText("1000e-330"), 0.0);
}

} // namespace
} // namespace osa
