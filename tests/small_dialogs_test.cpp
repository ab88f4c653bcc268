#include <gtest/gtest.h>

#include "controller/app_state.h"
#include "controller/res/resource_ids.h"
#include "controller/res/resources.h"
#include "controller/ui/small_dialogs.h"
#include "tests/test_support.h"

namespace osa {
namespace {

constexpr int Figures[] = {5129, 5138, 5139, 5140};

class SmallDialogsTest : public test::CoreTest {
  protected:
    // Opens the Media loading dialog; `look` runs while it is open, before
    // the user's `close` ends it.
    std::intptr_t RunMediaLoading(std::function<void(MemoryWindowHost&)> look,
                                  MemoryWindowHost::UserAction close) {
        host.Then(std::move(look));
        host.Then(std::move(close));
        return host.DialogBox(ids::DlgMediaLoading, Window{}, MediaLoadingDialogProc, 0);
    }

    std::vector<int> VisibleFigures(Window dialog) {
        std::vector<int> shown;
        for (int id : Figures)
            if (host.IsItemVisible(dialog, id)) shown.push_back(id);
        return shown;
    }
};

// Only the value 1 turns the marks on; any direction but 0 is portrait (a
// settings file may hold other values).
TEST_F(SmallDialogsTest, MediaLoadingShowsTheOneFigureOfTheMarksAndTheOrientation) {
    struct Row {
        std::int32_t marksOn;
        std::int32_t direction;
        int figure;
    };
    const Row rows[] = {
        {0, 0, 5129}, {0, 1, 5138}, {1, 0, 5139}, {1, 1, 5140},
        {0, 2, 5138}, {1, 2, 5140}, {2, 0, 5129}, {1, -1, 5140},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(::testing::Message()
                     << "marks " << row.marksOn << ", direction " << row.direction);
        App().MarksOn = row.marksOn;
        App().Direction = row.direction;
        std::vector<int> shown;
        std::string text;
        RunMediaLoading(
            [&](MemoryWindowHost& h) {
                shown = VisibleFigures(h.Active());
                text = h.GetItemText(h.Active(), 5166);
            },
            [](MemoryWindowHost& h) { h.Click(mb::IdOk); });
        EXPECT_EQ(shown, std::vector<int>{row.figure});
        EXPECT_EQ(text, res::LoadString(2500));
    }
    EXPECT_EQ(host.Starved(), 0);
}

TEST_F(SmallDialogsTest, ShowLoadingFigureHidesTheFigureShownBefore) {
    host.Then([&](MemoryWindowHost& h) {
        const Window dialog = h.Active();
        ShowLoadingFigure(dialog, 1, 1);
        ShowLoadingFigure(dialog, 0, 0);
        EXPECT_EQ(VisibleFigures(dialog), std::vector<int>{5129});
        h.Click(mb::IdOk);
    });
    host.DialogBox(ids::DlgMediaLoading, Window{}, MediaLoadingDialogProc, 0);
    EXPECT_EQ(host.Starved(), 0);
}

TEST_F(SmallDialogsTest, MediaLoadingEndsWithZeroWhicheverWayItIsClosed) {
    const std::pair<const char*, MemoryWindowHost::UserAction> ways[] = {
        {"OK", [](MemoryWindowHost& h) { EXPECT_TRUE(h.Click(mb::IdOk)); }},
        {"Enter", [](MemoryWindowHost& h) { EXPECT_TRUE(h.PressEnter()); }},
        {"Escape", [](MemoryWindowHost& h) { EXPECT_TRUE(h.PressEscape()); }},
        {"close box", [](MemoryWindowHost& h) { EXPECT_TRUE(h.CloseBox()); }},
    };
    for (const auto& [name, close] : ways) {
        SCOPED_TRACE(name);
        EXPECT_EQ(RunMediaLoading([](MemoryWindowHost&) {}, close), 0);
        EXPECT_EQ(host.Active(), Window{});
    }
    EXPECT_EQ(host.Starved(), 0);
}

TEST_F(SmallDialogsTest, AboutShowsTheVersionLine) {
    std::string version;
    host.Then([&](MemoryWindowHost& h) {
        version = h.GetItemText(h.Active(), 5147);
        h.Click(mb::IdOk);
    });
    EXPECT_EQ(host.DialogBox(ids::DlgAbout, Window{}, AboutDialogProc, 0), 1);
    EXPECT_EQ(version, "Ostrandel Advanced Controller Version 2.01");
}

TEST_F(SmallDialogsTest, AboutClosesWithOkEnterOrTheCloseBoxButNotEscape) {
    const std::pair<const char*, MemoryWindowHost::UserAction> ways[] = {
        {"OK", [](MemoryWindowHost& h) { EXPECT_TRUE(h.Click(mb::IdOk)); }},
        {"Enter", [](MemoryWindowHost& h) { EXPECT_TRUE(h.PressEnter()); }},
        {"close box", [](MemoryWindowHost& h) { EXPECT_TRUE(h.CloseBox()); }},
    };
    for (const auto& [name, close] : ways) {
        SCOPED_TRACE(name);
        bool openAfterEscape = false;
        host.Then([&](MemoryWindowHost& h) {
            const Window about = h.Active();
            h.PressEscape();
            openAfterEscape = h.Active() == about;
        });
        host.Then(close);
        EXPECT_EQ(host.DialogBox(ids::DlgAbout, Window{}, AboutDialogProc, 0), 1);
        EXPECT_TRUE(openAfterEscape);
        EXPECT_EQ(host.Active(), Window{});
    }
    EXPECT_EQ(host.Starved(), 0);
}

TEST_F(SmallDialogsTest, EachDialogKeepsItsHandleOnlyWhileOpen) {
    Window seenLoading{}, seenAbout{};
    host.Then([&](MemoryWindowHost& h) {
        seenLoading = Window{App().mediaLoadingDialog};
        EXPECT_EQ(seenLoading, h.Active());
        h.Click(mb::IdOk);
    });
    host.DialogBox(ids::DlgMediaLoading, Window{}, MediaLoadingDialogProc, 0);
    host.Then([&](MemoryWindowHost& h) {
        seenAbout = Window{App().aboutDialog};
        EXPECT_EQ(seenAbout, h.Active());
        h.Click(mb::IdOk);
    });
    host.DialogBox(ids::DlgAbout, Window{}, AboutDialogProc, 0);
    EXPECT_TRUE(seenLoading);
    EXPECT_TRUE(seenAbout);
    EXPECT_EQ(App().mediaLoadingDialog, 0u);
    EXPECT_EQ(App().aboutDialog, 0u);
}

} // namespace
} // namespace osa
