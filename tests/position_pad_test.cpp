// The position pad's hot spots: which spot a point on the page falls in.
#include <gtest/gtest.h>

#include "controller/ui/position_pad.h"

namespace osa {
namespace {

// The spots of the page at 6 x 13 base units (as the page start computes them).
constexpr PadRects Page{Rect{375, 223, 407, 255}, Rect{375, 293, 407, 325},
                        Rect{340, 258, 372, 290}, Rect{410, 258, 442, 290},
                        Rect{404, 117, 436, 149}, Rect{63, 315, 95, 347}};

TEST(PadSpotAt, EdgesBelongToTheSpotAndTheFirstSpotWins) {
    struct Case {
        Point point;
        PadSpot spot;
    };
    const Case cases[] = {
        {{391, 239}, PadSpot::Up},      {{375, 223}, PadSpot::Up}, // top-left corner
        {{407, 255}, PadSpot::Up},                                 // bottom-right corner
        {{408, 255}, PadSpot::None},    {{407, 256}, PadSpot::None},
        {{374, 223}, PadSpot::None},    {{391, 309}, PadSpot::Down},
        {{340, 290}, PadSpot::Left},    {{442, 258}, PadSpot::Right},
        {{436, 149}, PadSpot::TestCut}, {{63, 347}, PadSpot::Origin},
        {{391, 274}, PadSpot::None}, // the middle of the direction pad
        {{-1, -1}, PadSpot::None},   // the release of a deactivated window
    };
    for (const Case& c : cases)
        EXPECT_EQ(PadSpotAt(Page, c.point), c.spot) << c.point.x << ',' << c.point.y;

    // Where spots overlap, the order up, down, left, right, test cut, origin decides.
    const Rect all{0, 0, 10, 10};
    EXPECT_EQ(PadSpotAt(PadRects{Rect{}, all, all, all, all, all}, Point{5, 5}), PadSpot::Down);
    EXPECT_EQ(PadSpotAt(PadRects{Rect{}, Rect{}, Rect{}, Rect{}, all, all}, Point{5, 5}),
              PadSpot::TestCut);
}

} // namespace
} // namespace osa
