// The input hooks with the pad, through the in-memory host: the user's keys
// and clicks pass the hooks first, as real input does, and the cutter's
// bytes show what the blade was told.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controller/app_state.h"
#include "controller/res/control_ids.h"
#include "controller/res/resource_ids.h"
#include "controller/ui/cut_page.h"
#include "controller/ui/message_hooks.h"
#include "tests/test_support.h"

namespace osa {
namespace {

const std::string Stop = test::MoveFrame(0);
constexpr char UpBits = 0x02, RightBits = 0x04;

std::string Move(char bits) {
    return test::MoveFrame(bits);
}

class HooksTest : public test::PageTest {
  protected:
    void SetUp() override {
        PageTest::SetUp();
        InstallHooks();
        // Keyboard positioning on, the pad enabled.
        App().Pad.HeldDirections = 0;
        ASSERT_TRUE(host.ClickIn(page, ctl::UseKeyboard));
        ASSERT_EQ(App().Pad.InputMode, pad::Keyboard);
        cutter.writes.clear();
    }
    void TearDown() override {
        RemoveHooks();
        PageTest::TearDown();
    }
};

TEST_F(HooksTest, AnArrowHeldMovesOnceHoweverLongItRepeats) {
    EXPECT_FALSE(host.KeyDown(hook::VkUp)); // swallowed: never reaches a control
    for (int i = 0; i < 20; ++i)
        EXPECT_FALSE(host.KeyRepeat(hook::VkUp));
    EXPECT_EQ(App().Pad.InputMode, pad::ArrowHeld);
    EXPECT_EQ(host.Capture(), page);
    EXPECT_FALSE(host.KeyUp(hook::VkUp));
    EXPECT_EQ(cutter.writes, (std::vector<std::string>{Move(UpBits), Stop}));
    EXPECT_EQ(App().Pad.InputMode, pad::Keyboard);
    EXPECT_EQ(host.KeysToControls(), 0);
}

TEST_F(HooksTest, TwoArrowsHeldAndOneLetGoKeepsTheOtherMoving) {
    (void)host.KeyDown(hook::VkUp);
    (void)host.KeyDown(hook::VkRight);
    (void)host.KeyUp(hook::VkRight);
    EXPECT_EQ(App().Pad.InputMode, pad::ArrowHeld);
    EXPECT_EQ(App().Pad.HeldDirections, pad::Up);
    (void)host.KeyUp(hook::VkUp);
    EXPECT_EQ(cutter.writes, (std::vector<std::string>{Move(UpBits), Move(UpBits | RightBits),
                                                       Move(UpBits), Stop}));
    EXPECT_EQ(App().Pad.InputMode, pad::Keyboard);
}

TEST_F(HooksTest, ClicksAreSwallowedWhileAnArrowIsHeldAndKeysWhileTheButtonIsDown) {
    (void)host.KeyDown(hook::VkUp);
    EXPECT_TRUE(host.ClickIn(page, ctl::UseKeyboard)); // swallowed by the mouse hook
    EXPECT_TRUE(host.IsItemChecked(page, ctl::UseKeyboard));
    (void)host.KeyUp(hook::VkUp);
    cutter.writes.clear();
    // The button down over the pad's up button: keys are lost meanwhile.
    App().Pad.InputMode = pad::Idle;
    host.CheckItem(page, ctl::UseKeyboard, false);
    const Rect up = App().PadAreas.up;
    EXPECT_TRUE(host.MouseDown(page, Middle(up)));
    EXPECT_FALSE(host.KeyDown(0x41)); // 'A'
    EXPECT_FALSE(host.KeyUp(0x41));
    EXPECT_TRUE(host.MouseUp(page, Middle(up)));
    EXPECT_EQ(App().Pad.InputMode, pad::Idle);
    EXPECT_EQ(host.KeysToControls(), 0);
    EXPECT_EQ(cutter.writes, (std::vector<std::string>{Move(UpBits), Stop}));
}

TEST_F(HooksTest, AClickAnywhereSwitchesKeyboardPositioningOff) {
    // A click on "Use Keyboard" itself: the hook unchecks it, the box's own
    // toggle checks it, and the handler unchecks it once more.
    EXPECT_TRUE(host.ClickIn(page, ctl::UseKeyboard));
    EXPECT_FALSE(host.IsItemChecked(page, ctl::UseKeyboard));
    EXPECT_EQ(App().Pad.InputMode, pad::KeyboardCancelled);
    // Arrow keys now reach the focused control.
    EXPECT_TRUE(host.KeyDown(hook::VkLeft));
    EXPECT_TRUE(host.KeyUp(hook::VkLeft));
    EXPECT_EQ(host.KeysToControls(), 1);
    // The next click is a plain one.
    EXPECT_TRUE(host.MouseDown(page, Point{2, 2}));
    EXPECT_EQ(App().Pad.InputMode, pad::MouseDown);
    EXPECT_TRUE(host.MouseUp(page, Point{2, 2}));
    EXPECT_EQ(App().Pad.InputMode, pad::Idle);
    EXPECT_TRUE(cutter.writes.empty());
}

TEST_F(HooksTest, APadDisabledWhileAnArrowIsHeldLeavesTheMouseFreeOnceTheKeyIsUp) {
    (void)host.KeyDown(hook::VkDown);
    App().Pad.HeldDirections = pad::DirectionsDisabled; // the guide moved on
    (void)host.KeyUp(hook::VkDown);
    EXPECT_EQ(App().Pad.InputMode, pad::Keyboard); // no arrow is down: the mouse works
    EXPECT_TRUE(host.MouseDown(page, Point{2, 2}));
    EXPECT_TRUE(host.MouseUp(page, Point{2, 2}));
    EXPECT_EQ(App().Pad.InputMode, pad::KeyboardCancelled);
}

TEST_F(HooksTest, ArrowsWithKeyboardPositioningOffReachTheFocusedControl) {
    App().Pad.InputMode = pad::Idle;
    EXPECT_TRUE(host.KeyDown(hook::VkRight));
    EXPECT_TRUE(host.KeyUp(hook::VkRight));
    EXPECT_EQ(host.KeysToControls(), 1);
    EXPECT_TRUE(cutter.writes.empty());
}

TEST_F(HooksTest, InstalledOnceAndRemovedOnce) {
    RemoveHooks();
    RemoveHooks(); // harmless
    EXPECT_EQ(hooks.Calls(), (std::vector<std::string>{"install", "remove"}));
    EXPECT_FALSE(hooks.Installed());
}

} // namespace
} // namespace osa
