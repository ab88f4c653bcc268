#include <gtest/gtest.h>

#include "controller/app_state.h"
#include "controller/res/resource_ids.h"
#include "controller/shell/entry.h"
#include "tests/test_support.h"

namespace osa {
namespace {

class EntryTest : public test::CoreTest {
  protected:
    void SetUp() override {
        CoreTest::SetUp();
        test::InstallProgramFolder(files, "/opt/osactl");
    }
};

TEST_F(EntryTest, SecondControllerShowsMessage51RaisesTheFirstAndGives100) {
    guard.anotherRunning = true;
    std::vector<std::string_view> args{"osactl", "-OWNER513", "-DEMO"};
    EXPECT_EQ(RunController(0, args), ExitAlreadyRunning);

    ASSERT_EQ(host.MessageBoxes().size(), 1u);
    const auto& box = host.MessageBoxes()[0];
    EXPECT_EQ(box.text, "Ostrandel Controller is already active.\nPlease shut the controller "
                        "down and perform the operation once again. [code = 51]");
    EXPECT_EQ(box.caption, "Ostrandel Controller");
    EXPECT_EQ(box.style, mb::Ok | mb::IconExclamation);
    EXPECT_EQ(box.owner, Window{513});
    EXPECT_EQ(guard.raiseRequests, std::vector<std::string>{"Ostrandel Controller"});
    EXPECT_TRUE(host.DialogsShown().empty()); // no main window
}

TEST_F(EntryTest, FirstControllerRunsTheMainWindowAndReturnsItsResult) {
    struct Row {
        const char* name;
        std::vector<std::string_view> args;
        int expected;
    };
    const Row rows[] = {
        {"stand-alone close", {"osactl", "-DEMO"}, 0},
        {"cut mode close", {"osactl", "-DEMO", "-CUTMODE"}, 1},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        ResetAppState();
        host.Then([](MemoryWindowHost& h) {
            const auto* main = h.Find(h.Active());
            ASSERT_NE(main, nullptr);
            EXPECT_EQ(main->tmpl->id, ids::DlgMain);
            EXPECT_EQ(main->caption, "Ostrandel Controller");
            EXPECT_EQ(main->icon, ids::IconProgram);
            EXPECT_EQ(main->owner, Window{});
            EXPECT_TRUE(h.RequestClose());
        });
        EXPECT_EQ(RunController(0x400000, r.args), r.expected);
        EXPECT_EQ(App().instance, 0x400000u);
        EXPECT_EQ(App().demoMode, 2u);
    }
    EXPECT_TRUE(guard.raiseRequests.empty());
    EXPECT_EQ(host.Starved(), 0);
}

TEST_F(EntryTest, TitleLineNamesTheDemoFirmware) {
    host.Then([](MemoryWindowHost& h) {
        EXPECT_EQ(h.FindControl(h.Active(), 5132)->text, "Ostrandel Ver.1.00 Demo Mode");
        (void)h.RequestClose();
    });
    std::vector<std::string_view> args{"osactl", "-demo_v1"};
    EXPECT_EQ(RunController(0, args), 0);
}

} // namespace
} // namespace osa
