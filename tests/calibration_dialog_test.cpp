// The Calibration dialog, opened from the page as the user opens it, with
// the bytes the in-memory cutter received.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "controller/app_state.h"
#include "controller/res/control_ids.h"
#include "controller/res/resource_ids.h"
#include "controller/res/resources.h"
#include "controller/ui/calibration_dialog.h"
#include "controller/ui/message_hooks.h"
#include "tests/test_support.h"

namespace osa {
namespace {

constexpr int XLabel = 5112, YLabel = 5114, XBar = 5130, YBar = 5131;
constexpr int FeedText = 5105, MarkTest = 5110, Help = 5137;

using Action = MemoryWindowHost::UserAction;

class CalibrationTest : public test::PageTest {
  protected:
    void SetUp() override {
        PageTest::SetUp();
        App().SensorCorrectionX = 40;
        App().SensorCorrectionY = 40;
        App().FeedAdjustment = 0;
    }

    // OK on 2104, then the user's `steps` in the dialog; what the cutter got
    // from the dialog, and the dialog's end value in `ended`.
    std::vector<std::string> Open(const std::vector<Action>& steps) {
        host.ThenAnswer(mb::IdOk);
        for (const Action& step : steps)
            host.Then(step);
        cutter.writes.clear();
        EXPECT_TRUE(host.ClickIn(page, ctl::Calibration));
        return cutter.writes;
    }
    static Action Close() {
        return [](MemoryWindowHost& h) { EXPECT_TRUE(h.Click(mb::IdOk)); };
    }
};

TEST_F(CalibrationTest, OpensWithTheValuesReadAtStartUpAndClosesWithThem) {
    App().SensorCorrectionX = 33;
    App().SensorCorrectionY = 52;
    App().FeedAdjustment = 1500;
    bool open = false;
    std::string caption, x, y, feed;
    int xPos = -1, yPos = -1, xMin = -1, xMax = -1;
    const auto sent =
        Open({test::OnActive([&](MemoryWindowHost& h, Window d) {
                  open = App().CalibrationOpen == 1 && App().calibrationDialog == d.value;
                  caption = h.GetCaption(d);
                  x = h.GetItemText(d, XLabel);
                  y = h.GetItemText(d, YLabel);
                  feed = h.GetItemText(d, FeedText);
                  xPos = h.GetScrollPos(d, XBar);
                  yPos = h.GetScrollPos(d, YBar);
                  const auto* bar = h.FindControl(d, XBar);
                  xMin = bar->scrollMin;
                  xMax = bar->scrollMax;
              }),
              Close()});
    EXPECT_TRUE(open);
    EXPECT_EQ(caption, res::LoadString(2001));
    EXPECT_EQ(x, "X:-7");
    EXPECT_EQ(y, "Y:12");
    EXPECT_EQ(feed, "1.50");
    EXPECT_EQ(xPos, 33);
    EXPECT_EQ(yPos, 52);
    EXPECT_EQ(xMin, 0);
    EXPECT_EQ(xMax, 80);
    // Closing without touching the edit sends the value it showed.
    EXPECT_EQ(sent, std::vector<std::string>{"FB150,0\x03"});
    EXPECT_EQ(App().CalibrationOpen, 0);
    EXPECT_EQ(App().calibrationDialog, 0u);
    EXPECT_EQ(host.Starved(), 0);
}

TEST_F(CalibrationTest, CancelOnTheNoticeOpensNothing) {
    host.ThenAnswer(mb::IdCancel);
    const std::size_t dialogs = host.DialogsShown().size();
    EXPECT_TRUE(host.ClickIn(page, ctl::Calibration));
    EXPECT_EQ(BoxesShowing(2104), 1u);
    EXPECT_TRUE(cutter.writes.empty());
    EXPECT_EQ(host.DialogsShown().size(), dialogs);
}

TEST_F(CalibrationTest, EachCompletedStepOfABarIsWrittenAtOnce) {
    struct Case {
        const char* what;
        std::int32_t x, y; // stored before
        int bar;
        std::function<bool(MemoryWindowHost&)> step;
        std::vector<std::string> sent; // before the close's feed command
        std::int32_t xAfter, yAfter;
        const char* label; // of the bar stepped, afterwards
    };
    const Case cases[] = {
        {"line down on X at 80",
         80,
         40,
         XBar,
         [](MemoryWindowHost& h) { return h.ScrollClick(XBar, sb::LineRight); },
         {},
         80,
         40,
         "X:40"},
        {"line up on X",
         40,
         40,
         XBar,
         [](MemoryWindowHost& h) { return h.ScrollClick(XBar, sb::LineLeft); },
         {"TB72,-1,0\x03"},
         39,
         40,
         "X:-1"},
        {"page up on X from 5",
         5,
         47,
         XBar,
         [](MemoryWindowHost& h) { return h.ScrollClick(XBar, sb::PageLeft); },
         {"TB72,-40,7\x03"},
         0,
         47,
         "X:-40"},
        {"page down on Y from 75",
         40,
         75,
         YBar,
         [](MemoryWindowHost& h) { return h.ScrollClick(YBar, sb::PageRight); },
         {"TB72,0,40\x03"},
         40,
         80,
         "Y:40"},
        {"Y thumb dragged from 40 to 60",
         30,
         40,
         YBar,
         [](MemoryWindowHost& h) {
             return h.DragThumb(YBar, {45, 52, 60});
         },
         {"TB72,-10,20\x03"},
         30,
         60,
         "Y:20"},
        {"Y thumb only tracking",
         40,
         40,
         YBar,
         [](MemoryWindowHost& h) { return h.Scroll(YBar, sb::ThumbTrack, 70); },
         {},
         40,
         40,
         "Y:30"},
        {"to the top (ignored)",
         40,
         40,
         XBar,
         [](MemoryWindowHost& h) { return h.Scroll(XBar, sb::Left, 0); },
         {},
         40,
         40,
         "X:0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        App().SensorCorrectionX = c.x;
        App().SensorCorrectionY = c.y;
        std::string label;
        const auto sent = Open({[&](MemoryWindowHost& h) { EXPECT_TRUE(c.step(h)); },
                                test::OnActive([&](MemoryWindowHost& h, Window d) {
                                    label = h.GetItemText(d, c.bar == XBar ? XLabel : YLabel);
                                }),
                                Close()});
        std::vector<std::string> expected = c.sent;
        expected.push_back("FB0,0\x03");
        EXPECT_EQ(sent, expected);
        EXPECT_EQ(App().SensorCorrectionX, c.xAfter);
        EXPECT_EQ(App().SensorCorrectionY, c.yAfter);
        EXPECT_EQ(label, c.label);
    }
    EXPECT_EQ(host.Starved(), 0);
}

TEST_F(CalibrationTest, ARefusedWritePutsTheBarAndLabelBackAndShowsTheCode) {
    App().SensorCorrectionX = 20;
    std::string label;
    int position = -1;
    Window boxOwner{};
    Window dialog{};
    const auto sent = Open({[&](MemoryWindowHost& h) {
                                dialog = h.Active();
                                cutter.nextWriteResult = rc::GeneralError;
                                EXPECT_TRUE(h.ScrollClick(XBar, sb::LineRight));
                            },
                            [&](MemoryWindowHost& h) {
                                boxOwner = h.MessageBoxes().back().owner;
                                EXPECT_TRUE(h.Answer(mb::IdOk));
                            },
                            test::OnActive([&](MemoryWindowHost& h, Window d) {
                                label = h.GetItemText(d, XLabel);
                                position = h.GetScrollPos(d, XBar);
                            }),
                            Close()});
    EXPECT_EQ(label, "X:-20");
    EXPECT_EQ(position, 20);
    EXPECT_EQ(App().SensorCorrectionX, 20);
    EXPECT_EQ(boxOwner, dialog);
    EXPECT_NE(host.MessageBoxes().back().text.find("[code = 160]"), std::string::npos);
    EXPECT_EQ(sent.back(), "FB0,0\x03");
}

TEST_F(CalibrationTest, TheFeedTextIsCheckedAsTypedAndSentCutToTwoDecimals) {
    struct Case {
        const char* text;
        std::vector<std::string> sent;
        bool closes;
        std::int32_t stored;
    };
    const Case cases[] = {
        {"1.5", {"FB150,0\x03"}, true, 1500},
        {"-0.015", {"FB-1,0\x03"}, true, -10},
        {"1.999", {"FB199,0\x03"}, true, 1990},
        {"-2", {"FB-200,0\x03"}, true, -2000},
        {"2.001", {}, false, 700},
        {"+1", {}, false, 700},
        {"", {}, false, 700},
        {"-", {}, false, 700},
        {"1.2.3", {}, false, 700},
        {"99999999999", {}, false, 700},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("text \"") + c.text + "\"");
        App().FeedAdjustment = 700;
        const std::size_t refusedBefore = BoxesShowing(209);
        bool stillOpen = false, selected = false;
        std::vector<Action> steps = {[&](MemoryWindowHost& h) {
            EXPECT_TRUE(h.Type(FeedText, c.text));
            EXPECT_TRUE(h.Click(mb::IdOk));
        }};
        if (!c.closes) {
            steps.push_back([](MemoryWindowHost& h) { EXPECT_TRUE(h.Answer(mb::IdOk)); });
            steps.push_back(test::OnActive([&](MemoryWindowHost& h, Window d) {
                stillOpen = d.value == App().calibrationDialog;
                const auto* edit = h.FindControl(d, FeedText);
                selected = h.GetFocusItem(d) == FeedText && edit->selStart == 0 &&
                           edit->selEnd == static_cast<int>(edit->text.size());
            }));
            // Then a good text closes it.
            steps.push_back([](MemoryWindowHost& h) {
                EXPECT_TRUE(h.Type(FeedText, "0.5"));
                EXPECT_TRUE(h.Click(mb::IdOk));
            });
        }
        std::vector<std::string> sent = Open(steps);
        std::vector<std::string> expected = c.sent;
        if (!c.closes) expected.push_back("FB50,0\x03");
        EXPECT_EQ(sent, expected);
        EXPECT_EQ(BoxesShowing(209) - refusedBefore, c.closes ? 0u : 1u);
        EXPECT_EQ(App().FeedAdjustment, c.closes ? c.stored : 500);
        if (!c.closes) {
            EXPECT_TRUE(stillOpen);
            EXPECT_TRUE(selected);
        }
    }
    EXPECT_EQ(host.Starved(), 0);
}

TEST_F(CalibrationTest, ARefusedFeedSendClosesTheDialogAndThePageShowsTheCode) {
    App().FeedAdjustment = 300;
    const auto sent = Open({[&](MemoryWindowHost& h) {
        cutter.nextWriteResult = rc::GeneralError;
        EXPECT_TRUE(h.Click(mb::IdOk));
    }});
    EXPECT_TRUE(sent.empty()); // the cutter took nothing
    EXPECT_EQ(App().FeedAdjustment, 300);
    EXPECT_EQ(App().CalibrationOpen, 0);
    ASSERT_FALSE(host.MessageBoxes().empty());
    EXPECT_EQ(host.MessageBoxes().back().owner, main);
    EXPECT_NE(host.MessageBoxes().back().text.find("[code = 162]"), std::string::npos);
}

TEST_F(CalibrationTest, EscapeDoesNothingAndEnterInTheEditCloses) {
    bool openAfterEscape = false;
    const auto sent = Open({[&](MemoryWindowHost& h) {
                                const Window d = h.Active();
                                EXPECT_TRUE(h.PressEscape());
                                openAfterEscape = h.Active() == d;
                                EXPECT_FALSE(h.CloseBox()); // no close box
                            },
                            [](MemoryWindowHost& h) {
                                EXPECT_TRUE(h.Type(FeedText, "-1.25"));
                                EXPECT_TRUE(h.PressEnter());
                            }});
    EXPECT_TRUE(openAfterEscape);
    EXPECT_EQ(sent, std::vector<std::string>{"FB-125,0\x03"});
    EXPECT_EQ(host.Starved(), 0);
}

TEST_F(CalibrationTest, TheMarkReadingTestScansOnlyAfterOk) {
    for (const int answer : {mb::IdOk, mb::IdCancel}) {
        SCOPED_TRACE(answer == mb::IdOk ? "OK" : "Cancel");
        const std::size_t asked = BoxesShowing(2102);
        Window owner{}, dialog{};
        const auto sent = Open({[&](MemoryWindowHost& h) {
                                    dialog = h.Active();
                                    EXPECT_TRUE(h.Click(MarkTest));
                                },
                                [&](MemoryWindowHost& h) {
                                    owner = h.MessageBoxes().back().owner;
                                    EXPECT_TRUE(h.Answer(answer));
                                },
                                Close()});
        std::vector<std::string> expected;
        if (answer == mb::IdOk) expected.push_back("TB70\x03");
        expected.push_back("FB0,0\x03");
        EXPECT_EQ(sent, expected);
        EXPECT_EQ(BoxesShowing(2102) - asked, 1u);
        EXPECT_EQ(owner, dialog);
    }
}

TEST_F(CalibrationTest, HelpOpensItsTopicFromF1AndTheButton) {
    Window dialog{};
    Open({[&](MemoryWindowHost& h) {
              dialog = h.Active();
              EXPECT_TRUE(h.PressF1());
              EXPECT_TRUE(h.Click(Help));
          },
          Close()});
    ASSERT_EQ(host.HelpRequests().size(), 2u);
    for (const auto& help : host.HelpRequests()) {
        EXPECT_EQ(help.context, 98305u);
        EXPECT_EQ(help.owner, dialog);
    }
}

// Keyboard positioning from the dialog's own "Use Keyboard", and its end
// when the dialog loses the activation.
TEST_F(CalibrationTest, UseKeyboardMovesTheBladeUntilTheDialogIsDeactivated) {
    InstallHooks();
    std::vector<std::string> moves;
    std::int32_t modeAfter = -1;
    bool checkedAfter = true;
    Open({[&](MemoryWindowHost& h) {
              const Window d = h.Active();
              EXPECT_TRUE(h.Click(ctl::CalibrationUseKeyboard));
              EXPECT_EQ(App().Pad.InputMode, pad::Keyboard);
              EXPECT_FALSE(h.KeyDown(0x26)); // VK_UP: swallowed, moves the blade
              moves = cutter.writes;
              h.Activate(d, false); // e.g. another program's window comes up
              modeAfter = App().Pad.InputMode;
              checkedAfter = h.IsItemChecked(d, ctl::CalibrationUseKeyboard);
              h.Activate(d, true);
              (void)h.KeyUp(0x26);
          },
          Close()});
    EXPECT_EQ(moves, std::vector<std::string>{test::MoveFrame(0x02)});
    EXPECT_EQ(modeAfter, pad::Idle);
    EXPECT_FALSE(checkedAfter);
    // The deactivation stopped the blade.
    ASSERT_GE(cutter.writes.size(), 2u);
    EXPECT_EQ(cutter.writes[1], test::MoveFrame(0));
    RemoveHooks();
}

} // namespace
} // namespace osa
