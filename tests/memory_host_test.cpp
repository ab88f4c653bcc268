// The in-memory host stands in for the Win32 dialog manager in every scenario
// test, so the behaviours the controller relies on are pinned down here.
#include <gtest/gtest.h>

#include <vector>

#include "controller/res/resource_ids.h"
#include "tests/test_support.h"

namespace osa {
namespace {

struct Seen {
    Msg msg;
    int id;
    int code;
};
std::vector<Seen> g_seen;
int g_closeAnswer = 0; // what the procedure returns for Close

std::intptr_t Recorder(Window dialog, const DialogMessage& m) {
    g_seen.push_back({m.msg, m.id, m.code});
    if (m.msg == Msg::Close) return g_closeAnswer;
    if (m.msg == Msg::Command && m.id == mb::IdCancel) Windows().EndDialog(dialog, 7);
    return 0;
}

class MemoryHostTest : public test::CoreTest {
  protected:
    void SetUp() override {
        CoreTest::SetUp();
        g_seen.clear();
        g_closeAnswer = 0;
    }
};

TEST_F(MemoryHostTest, CloseButtonFallsThroughToCancelAsTheDialogManagerDoes) {
    host.ThenCloseBox();
    EXPECT_EQ(host.DialogBox(ids::DlgAbout, Window{}, Recorder, 0), 7);
    std::vector<Msg> order;
    for (const Seen& s : g_seen)
        order.push_back(s.msg);
    EXPECT_EQ(order, (std::vector<Msg>{Msg::InitDialog, Msg::SysCommand, Msg::Close, Msg::Command,
                                       Msg::Destroy}));
}

TEST_F(MemoryHostTest, HandledCloseStopsTheChain) {
    g_closeAnswer = 1;
    host.ThenCloseBox();
    EXPECT_EQ(host.DialogBox(ids::DlgAbout, Window{}, Recorder, 0), -1); // never ended
    EXPECT_EQ(host.Starved(), 1);
    for (const Seen& s : g_seen)
        EXPECT_NE(s.msg, Msg::Command);
}

TEST_F(MemoryHostTest, RadioButtonsSelectWithinTheirGroupOnly) {
    Window page = host.CreateDialog(ids::DlgCutSettings, Window{}, Recorder, 0);
    ASSERT_TRUE(page);
    host.CheckItem(page, 5115, true); // mm, the other group
    EXPECT_TRUE(host.ClickIn(page, 5127));
    EXPECT_TRUE(host.ClickIn(page, 5128));
    EXPECT_FALSE(host.IsItemChecked(page, 5127));
    EXPECT_TRUE(host.IsItemChecked(page, 5128));
    EXPECT_TRUE(host.IsItemChecked(page, 5115));
    ASSERT_FALSE(g_seen.empty());
    EXPECT_EQ(g_seen.back().msg, Msg::Command);
    EXPECT_EQ(g_seen.back().id, 5128);
}

TEST_F(MemoryHostTest, UsersCannotReachHiddenOrDisabledControls) {
    Window page = host.CreateDialog(ids::DlgCutSettings, Window{}, Recorder, 0);
    host.EnableItem(page, 5104, false);
    host.ShowItem(page, 5108, false);
    EXPECT_FALSE(host.ClickIn(page, 5104));
    EXPECT_FALSE(host.ClickIn(page, 5108));
    EXPECT_FALSE(host.IsItemChecked(page, 5104));
    EXPECT_TRUE(host.ClickIn(page, 5157));
    EXPECT_TRUE(host.IsItemChecked(page, 5157));
}

TEST_F(MemoryHostTest, MessageBoxTakesTheScriptedAnswerOrItsDefault) {
    host.ThenAnswer(mb::IdCancel);
    EXPECT_EQ(host.MessageBox(Window{}, "Q", "C", mb::OkCancel | mb::IconQuestion), mb::IdCancel);
    EXPECT_EQ(host.MessageBox(Window{}, "Q", "C", mb::OkCancel | mb::IconQuestion), mb::IdOk);
    // While a box is open, the dialog under it cannot be used.
    host.Then([](MemoryWindowHost& h) { EXPECT_FALSE(h.Click(mb::IdOk)); });
    host.ThenAnswer(mb::IdOk);
    EXPECT_EQ(host.MessageBox(Window{}, "Q", "C", mb::Ok), mb::IdOk);
}

TEST_F(MemoryHostTest, BrushesAndFontsAreTrackedUntilDeleted) {
    Brush b = host.CreateSolidBrush(Rgb(0, 29, 160));
    Font f = host.CreateGuiFont(14, 700);
    EXPECT_EQ(host.BrushColour(b), Rgb(0, 29, 160));
    EXPECT_EQ(host.FontOf(f)->weight, 700);
    host.DeleteBrush(b);
    host.DeleteFont(f);
    EXPECT_EQ(host.LiveBrushes(), 0u);
    EXPECT_EQ(host.LiveFonts(), 0u);
}

} // namespace
} // namespace osa
