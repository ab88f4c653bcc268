#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "controller/app_state.h"
#include "controller/shell/companion.h"
#include "tests/test_support.h"

namespace osa {
namespace {

constexpr char kCommand[] = "C:\\Ostrandel\\MTC_DMAN.EXE";

class CompanionTest : public test::CoreTest {
  protected:
    void SetUp() override {
        CoreTest::SetUp();
        std::strcpy(App().companionCommand, kCommand);
    }

    using Windows = std::vector<std::uintptr_t>;
};

TEST_F(CompanionTest, PressingTwiceWhileRunningStartsOnceAndBringsItToTheFront) {
    ASSERT_EQ(ShowAnimatedInstructions(), rc::Ok);
    ASSERT_EQ(launcher.Started().size(), 1u);
    const MemoryProcessLauncher::Process& first = launcher.Started()[0];
    EXPECT_EQ(first.command, kCommand);
    EXPECT_EQ(App().companionProcess.process, first.record.process);
    EXPECT_EQ(App().companionProcess.processId, first.record.processId);
    EXPECT_EQ(App().companionWindow, first.window);
    EXPECT_EQ(launcher.raised, Windows{first.window});

    EXPECT_EQ(ShowAnimatedInstructions(), rc::Ok);
    EXPECT_EQ(launcher.startRequests.size(), 1u);
    EXPECT_EQ(launcher.raised, (Windows{first.window, first.window}));
    EXPECT_TRUE(launcher.releases.empty());
    EXPECT_TRUE(launcher.closeRequests.empty());
}

TEST_F(CompanionTest, AfterTheCompanionEndedANewCopyStartsAndTheOldOneIsReleased) {
    ASSERT_EQ(ShowAnimatedInstructions(), rc::Ok);
    const ProcessRecord old = App().companionProcess;
    const std::uintptr_t oldWindow = App().companionWindow;
    launcher.EndProcess(old.process); // the user closed it

    ASSERT_EQ(ShowAnimatedInstructions(), rc::Ok);
    ASSERT_EQ(launcher.Started().size(), 2u);
    const MemoryProcessLauncher::Process& second = launcher.Started()[1];
    EXPECT_EQ(launcher.releases, Windows{old.process});
    EXPECT_EQ(launcher.badReleases, 0);
    EXPECT_EQ(App().companionProcess.process, second.record.process);
    EXPECT_EQ(App().companionWindow, second.window);
    EXPECT_EQ(launcher.raised, (Windows{oldWindow, second.window}));
    EXPECT_EQ(launcher.RunningCount(), 1);
}

TEST_F(CompanionTest, ANewCopyWithoutAWindowRaisesNothingNotEvenTheOldWindow) {
    ASSERT_EQ(ShowAnimatedInstructions(), rc::Ok);
    const std::uintptr_t oldWindow = App().companionWindow;
    launcher.EndProcess(App().companionProcess.process);

    launcher.startWithoutWindow = true;
    ASSERT_EQ(ShowAnimatedInstructions(), rc::Ok);
    EXPECT_EQ(App().companionWindow, 0u);
    EXPECT_EQ(launcher.raised, Windows{oldWindow});

    // Pressed again while that copy runs: still nothing to raise, no new copy.
    ASSERT_EQ(ShowAnimatedInstructions(), rc::Ok);
    EXPECT_EQ(launcher.Started().size(), 2u);
    EXPECT_EQ(launcher.raised, Windows{oldWindow});
}

TEST_F(CompanionTest, StartFailureGives211AndLeavesNoProcessRecorded) {
    struct Case {
        const char* name;
        bool failStart;
        const char* command;
    };
    const Case cases[] = {
        {"program not startable", true, kCommand},
        {"no program path", false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ResetAppState();
        launcher = MemoryProcessLauncher{};
        launcher.failStart = c.failStart;
        std::strcpy(App().companionCommand, c.command);

        EXPECT_EQ(ShowAnimatedInstructions(), rc::AnimatedInstructionsError);
        EXPECT_EQ(launcher.startRequests, std::vector<std::string>{c.command});
        EXPECT_EQ(App().companionProcess.process, 0u);
        EXPECT_EQ(App().companionProcess.processId, 0u);
        EXPECT_EQ(App().companionWindow, 0u);
        EXPECT_TRUE(launcher.raised.empty());

        // Nothing to close afterwards, and the next press tries again.
        CloseAnimatedInstructions();
        EXPECT_TRUE(launcher.releases.empty());
        EXPECT_TRUE(launcher.closeRequests.empty());
        EXPECT_EQ(ShowAnimatedInstructions(), rc::AnimatedInstructionsError);
        EXPECT_EQ(launcher.startRequests.size(), 2u);
    }
}

TEST_F(CompanionTest, AnUnknownProcessStateCountsAsNoCompanion) {
    // A recorded process whose state cannot be asked is treated as never
    // started: a press starts a copy, a close does nothing.
    App().companionProcess.process = 0x777;
    App().companionProcess.processId = 77;
    launcher.stateUnknown = true;

    CloseAnimatedInstructions();
    EXPECT_TRUE(launcher.closeRequests.empty());
    EXPECT_TRUE(launcher.releases.empty());

    ASSERT_EQ(ShowAnimatedInstructions(), rc::Ok);
    ASSERT_EQ(launcher.Started().size(), 1u);
    EXPECT_TRUE(launcher.releases.empty());
    EXPECT_EQ(App().companionProcess.process, launcher.Started()[0].record.process);
}

TEST_F(CompanionTest, ClosingWhileRunningAsksToCloseAndReleasesOnce) {
    ASSERT_EQ(ShowAnimatedInstructions(), rc::Ok);
    const ProcessRecord started = App().companionProcess;
    const std::uintptr_t window = App().companionWindow;

    CloseAnimatedInstructions();
    EXPECT_EQ(launcher.closeRequests, Windows{window});
    EXPECT_EQ(launcher.releases, Windows{started.process});
    EXPECT_EQ(App().companionProcess.process, 0u);
    EXPECT_EQ(App().companionWindow, 0u);

    // A second close finds nothing left to close or release.
    CloseAnimatedInstructions();
    EXPECT_EQ(launcher.closeRequests.size(), 1u);
    EXPECT_EQ(launcher.releases.size(), 1u);
    EXPECT_EQ(launcher.badReleases, 0);
}

TEST_F(CompanionTest, ClosingAfterTheUserEndedItOnlyReleases) {
    ASSERT_EQ(ShowAnimatedInstructions(), rc::Ok);
    const ProcessRecord started = App().companionProcess;
    launcher.EndProcess(started.process);

    CloseAnimatedInstructions();
    EXPECT_TRUE(launcher.closeRequests.empty());
    EXPECT_EQ(launcher.releases, Windows{started.process});
    EXPECT_EQ(launcher.badReleases, 0);
}

TEST_F(CompanionTest, ClosingWhenNeverStartedDoesNothing) {
    ClearCompanionProcess();
    CloseAnimatedInstructions();
    EXPECT_TRUE(launcher.startRequests.empty());
    EXPECT_TRUE(launcher.closeRequests.empty());
    EXPECT_TRUE(launcher.releases.empty());
    EXPECT_TRUE(launcher.raised.empty());
}

TEST_F(CompanionTest, ClearForgetsTheProcessRecord) {
    App().companionProcess = ProcessRecord{0x10, 0x14, 5, 6};
    ClearCompanionProcess();
    EXPECT_EQ(App().companionProcess.process, 0u);
    EXPECT_EQ(App().companionProcess.thread, 0u);
    EXPECT_EQ(App().companionProcess.processId, 0u);
    EXPECT_EQ(App().companionProcess.threadId, 0u);
}

} // namespace
} // namespace osa
