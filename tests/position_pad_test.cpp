// The position pad's hot spots: which spot a point on the page falls in.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controller/app_state.h"
#include "controller/res/control_ids.h"
#include "controller/res/resource_ids.h"
#include "controller/res/resources.h"
#include "controller/ui/cut_page.h"
#include "controller/ui/position_pad.h"
#include "tests/test_support.h"

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

// --- The pad's input on the page, against the in-memory host and cutter ---------

namespace osa {
namespace {

const std::string Stop = test::MoveFrame(0);
std::string Move(char bits) {
    return test::MoveFrame(bits);
}

class PadInputTest : public test::PageTest {
  protected:
    static Point Corner(const Rect& r) { return Point{r.left, r.top}; }
};

TEST_F(PadInputTest, MouseOnTheButtonsSendsWhatTheyDo) {
    enum class Answer { None, Ok, Cancel };
    struct Case {
        const char* what;
        std::int32_t held, testCut, origin; // the pad's state before the press
        Rect PadRects::*press;
        bool dragOut; // the pointer leaves the button before the release
        Answer answer;
        std::vector<std::string> sent;
        std::size_t asked; // question 2100
        bool captured;     // the page held the capture between press and release
    };
    const Case cases[] = {
        {"up, released outside the pad",
         0,
         0,
         0,
         &PadRects::up,
         true,
         Answer::None,
         {Move(0x02), Stop},
         0,
         true},
        {"right, released on it",
         0,
         0,
         0,
         &PadRects::right,
         false,
         Answer::None,
         {Move(0x04), Stop},
         0,
         true},
        {"directions disabled",
         pad::DirectionsDisabled,
         0,
         0,
         &PadRects::down,
         false,
         Answer::None,
         {},
         0,
         false},
        {"test cut, OK", 0, 0, 0, &PadRects::testCut, false, Answer::Ok, {"FH\x03"}, 1, false},
        {"test cut, Cancel", 0, 0, 0, &PadRects::testCut, false, Answer::Cancel, {}, 1, false},
        {"test cut, dragged out", 0, 0, 0, &PadRects::testCut, true, Answer::None, {}, 0, false},
        {"test cut disabled",
         0,
         pad::Disabled,
         0,
         &PadRects::testCut,
         false,
         Answer::None,
         {},
         0,
         false},
        {"set origin", 0, 0, 0, &PadRects::origin, false, Answer::None, {"FJ\x03"}, 0, false},
        {"set origin, dragged out", 0, 0, 0, &PadRects::origin, true, Answer::None, {}, 0, false},
        {"set origin disabled",
         0,
         0,
         pad::Disabled,
         &PadRects::origin,
         false,
         Answer::None,
         {},
         0,
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        AppState& app = App();
        app.Pad = PositionPad{app.Pad.InputMode, c.held, c.testCut, c.origin};
        cutter.writes.clear();
        const std::size_t askedBefore = BoxesShowing(2100);
        if (c.answer != Answer::None)
            host.ThenAnswer(c.answer == Answer::Ok ? mb::IdOk : mb::IdCancel);
        const Rect spot = app.PadAreas.*c.press;
        EXPECT_TRUE(host.MouseDown(page, Middle(spot)));
        EXPECT_EQ(host.Capture() == page, c.captured);
        const Point away{5, 5};
        if (c.dragOut) {
            EXPECT_TRUE(host.MouseMove(page, away, mk::LButton));
        }
        EXPECT_TRUE(host.MouseUp(page, c.dragOut ? away : Middle(spot)));
        EXPECT_EQ(cutter.writes, c.sent);
        EXPECT_EQ(BoxesShowing(2100) - askedBefore, c.asked);
        EXPECT_EQ(host.Capture(), Window{});
        EXPECT_EQ(app.Pad.HeldDirections, c.held);
        EXPECT_EQ(app.Pad.TestCutButton, c.testCut);
        EXPECT_EQ(app.Pad.OriginButton, c.origin);
        EXPECT_EQ(host.PendingActions(), 0u);
    }
}

TEST_F(PadInputTest, ARefusedMoveEmptiesTheHeldSetAndHoldsNoCapture) {
    cutter.nextWriteResult = rc::GeneralError;
    EXPECT_TRUE(host.MouseDown(page, Middle(App().PadAreas.up)));
    EXPECT_EQ(App().Pad.HeldDirections, 0);
    EXPECT_EQ(host.Capture(), Window{});
    ASSERT_EQ(host.MessageBoxes().size(), 1u);
    EXPECT_NE(host.MessageBoxes()[0].text.find("[code = 159]"), std::string::npos);
    EXPECT_TRUE(host.MouseUp(page, Middle(App().PadAreas.up)));
    EXPECT_TRUE(cutter.writes.empty()); // nothing held, nothing to stop
}

TEST_F(PadInputTest, ArrowKeyModeReleasesOnlyTheDirectionUnderThePoint) {
    // The keyboard presses and releases at the top-left corners of the spots.
    AppState& app = App();
    app.Pad.InputMode = pad::ArrowHeld;
    EXPECT_EQ(OnPadButtonDown(page, Corner(app.PadAreas.up)), rc::Ok);
    EXPECT_EQ(OnPadButtonDown(page, Corner(app.PadAreas.right)), rc::Ok);
    EXPECT_EQ(OnPadButtonUp(page, Corner(app.PadAreas.right)), rc::Ok);
    EXPECT_EQ(app.Pad.HeldDirections, pad::Up);
    EXPECT_EQ(host.Capture(), page); // up still moves
    EXPECT_EQ(OnPadButtonUp(page, Corner(app.PadAreas.up)), rc::Ok);
    EXPECT_EQ(cutter.writes, (std::vector<std::string>{Move(0x02), Move(0x06), Move(0x02), Stop}));
    EXPECT_EQ(host.Capture(), Window{});
    // Outside every direction, all of them go.
    EXPECT_EQ(OnPadButtonDown(page, Corner(app.PadAreas.left)), rc::Ok);
    EXPECT_EQ(OnPadButtonDown(page, Corner(app.PadAreas.down)), rc::Ok);
    EXPECT_EQ(OnPadButtonUp(page, Point{-1, -1}), rc::Ok);
    EXPECT_EQ(app.Pad.HeldDirections, 0);
    EXPECT_EQ(cutter.writes.back(), Stop);
}

TEST_F(PadInputTest, UseKeyboardTurnsKeyboardPositioningOnAndAClickThatCancelledItOff) {
    AppState& app = App();
    EXPECT_TRUE(host.ClickIn(page, ctl::UseKeyboard));
    EXPECT_EQ(app.Pad.InputMode, pad::Keyboard);
    // The mouse hook left 8: the box's own toggle is undone.
    app.Pad.InputMode = pad::KeyboardCancelled;
    EXPECT_TRUE(host.ClickIn(page, ctl::UseKeyboard));
    EXPECT_FALSE(host.IsItemChecked(page, ctl::UseKeyboard));
    EXPECT_EQ(app.Pad.InputMode, pad::KeyboardCancelled);
    EXPECT_TRUE(cutter.writes.empty());
}

} // namespace
} // namespace osa
