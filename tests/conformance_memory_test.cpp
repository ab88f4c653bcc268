// The conformance table (tests/conformance/) on the in-memory host.
#include <gtest/gtest.h>

#include "platform/memory/memory_window_host.h"
#include "platform/services.h"
#include "tests/conformance/dialog_conformance.h"

namespace osa {
namespace {

namespace cf = conformance;

class MemoryConformance : public ::testing::TestWithParam<cf::Case> {
  protected:
    void SetUp() override { previous_ = InstallServices(Services{&host, nullptr}); }
    void TearDown() override { InstallServices(previous_); }

    Point PagePoint(Point dlu) {
        Rect r = host.MapDialogRect(cf::PageWindow(), Rect{dlu.x, dlu.y, 0, 0});
        return Point{r.left, r.top};
    }
    void Act(const cf::Case& c);
    // A key pressed and let go (a virtual-key code).
    void Press(std::uintptr_t key) {
        EXPECT_TRUE(host.KeyDown(key));
        EXPECT_TRUE(host.KeyUp(key));
    }

    MemoryWindowHost host{dlg::DialogTemplates(cf::Templates())};

  private:
    Services previous_{};
};

void MemoryConformance::Act(const cf::Case& c) {
    MemoryWindowHost& h = host;
    const Window main = cf::MainWindow();
    const Window page = cf::PageWindow();
    switch (c.action) {
    case cf::Action::ClickRadio2:
        EXPECT_TRUE(h.ClickIn(main, cf::Radio2));
        break;
    case cf::Action::RadioKeyRight:
        Press(0x27);
        break;
    case cf::Action::RadioKeyUp:
        Press(0x26);
        break;
    case cf::Action::ClickCheck:
        EXPECT_TRUE(h.ClickIn(main, cf::Check));
        break;
    case cf::Action::Enter:
        EXPECT_TRUE(h.PressEnter());
        break;
    case cf::Action::Escape:
        EXPECT_TRUE(h.PressEscape());
        break;
    case cf::Action::CloseBox:
        EXPECT_TRUE(h.CloseBox());
        break;
    case cf::Action::Tab:
        EXPECT_TRUE(h.PressTab());
        break;
    case cf::Action::ListChooseThree:
        EXPECT_TRUE(h.ChooseFromList(cf::List, 2));
        break;
    case cf::Action::ListCancel:
        EXPECT_TRUE(h.ChooseFromList(cf::List, -1));
        break;
    case cf::Action::ListKeyDown:
        EXPECT_TRUE(h.SelectItem(cf::List, 2));
        break;
    case cf::Action::ListTypeLetter:
        Press('O');
        break;
    case cf::Action::SpaceOnButton:
    case cf::Action::SpaceOnCheck:
        Press(0x20);
        break;
    case cf::Action::BarKeyRight:
        Press(0x27);
        break;
    case cf::Action::BarKeyPageDown:
        Press(0x22);
        break;
    case cf::Action::BarKeyHome:
        Press(0x24);
        break;
    case cf::Action::ScrollArrowRight:
        EXPECT_TRUE(h.ScrollClick(cf::Bar, sb::LineRight));
        break;
    case cf::Action::ScrollPageLeft:
        EXPECT_TRUE(h.ScrollClick(cf::Bar, sb::PageLeft));
        break;
    case cf::Action::ThumbDrag:
        EXPECT_TRUE(h.DragThumb(cf::Bar, {7}));
        break;
    case cf::Action::DragOnPage: {
        const Rect drag = h.MapDialogRect(main, Rect{cf::MainDragDlu.x, cf::MainDragDlu.y, 0, 0});
        EXPECT_TRUE(h.MouseDown(page, PagePoint(cf::PagePressDlu)));
        // Over the main dialog: the capture takes it to the page.
        EXPECT_TRUE(h.MouseMove(main, Point{drag.left, drag.top}, mk::LButton));
        EXPECT_TRUE(h.MouseUp(main, Point{drag.left, drag.top}));
        break;
    }
    case cf::Action::PressOnPageThenEnd: {
        const Point at = PagePoint(cf::PagePressDlu);
        EXPECT_TRUE(h.MouseDown(page, at));
        EXPECT_TRUE(h.MouseMove(page, Point{at.x + 4, at.y + 2}, mk::LButton));
        EXPECT_TRUE(h.PressEscape());
        break;
    }
    }
}

TEST_P(MemoryConformance, MessagesAsTheWin32DialogManagerSendsThem) {
    const cf::Case& c = GetParam();
    cf::Outcome outcome;
    host.Then([&](MemoryWindowHost& h) {
        const Window focusIn = c.focusWho == cf::Who::Main ? cf::MainWindow() : cf::PageWindow();
        h.SetFocusItem(focusIn, c.focusId);
        if (c.defaultDisabled) h.EnableItem(cf::MainWindow(), cf::Ok, false);
        cf::StartRecording();
        Act(c);
        const auto* main = h.Find(cf::MainWindow());
        cf::Finish(outcome, main != nullptr && !main->ended);
    });
    (void)host.DialogBox(cf::MainTemplate, Window{}, cf::MainProc, 0);
    cf::ExpectAsTheTableSays(c, outcome);
}

INSTANTIATE_TEST_SUITE_P(Table, MemoryConformance, ::testing::ValuesIn(cf::Cases()),
                         [](const auto& row) { return cf::CaseName(row.param); });

} // namespace
} // namespace osa
