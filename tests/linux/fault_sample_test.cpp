// Failures through the real Linux link: whole scenarios of the controller
// (in-memory windows, files and spooler) talking to the simulated cutter
// through libvornusbp.so, with one fault placed on one command, and the
// cutter unplugged while a mark search waits for its answer. No descriptor
// may outlive a run.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "controller/app_state.h"
#include "controller/link/cutter_commands.h"
#include "controller/link/device_link.h"
#include "controller/ui/main_dialog.h"
#include "platform/linux/linux_cutter_port.h"
#include "tests/linux/real_link.h"
#include "tests/linux/simulated_cutter.h"
#include "tests/scenario_run.h"

namespace osa {
namespace {

using test::OpenDescriptors;
using test::ScenarioRun;
using test::SimulatedCutter;

TEST(LinuxFaultSample, FailuresThroughTheRealLinkAreShownAndLeaveNothingOpen) {
    struct Row {
        const char* scenario;
        std::vector<std::string> cutter;
        std::vector<int> shown;
        int exit;
    };
    const Row rows[] = {
        {"start-up and close", {"--fault=garbage", "--fault-on=FG"}, {62}, ExitStartupFailed},
        {"start-up and close", {"--fault=short", "--fault-on=TB71"}, {103}, ExitStartupFailed},
        {"start-up and close", {"--fault=silent", "--fault-on=FA"}, {58}, ExitStartupFailed},
        {"start-up and close", {"--status=1"}, {60}, ExitStartupFailed},
        {"start-up and close", {"unplugged"}, {57}, ExitStartupFailed},
        // The search fails once; the user's second "Cut..." goes through.
        {"cut job with automatic search", {"--fault=garbage", "--fault-on=TB123"}, {210}, ExitCut},
        {"cut job with automatic search", {"--fault=silent", "--fault-on=FQ5"}, {58}, ExitCut},
        {"cut job with automatic search", {"--fault=short", "--fault-on=FQ5"}, {}, ExitCut},
        // Unplugged at the search (while the controller waits for its
        // answer, so that the order of the two is fixed): every later
        // "Cut..." finds no cutter, and the user cancels.
        {"cut job with automatic search",
         {"--fault=gone", "--fault-on=TB99"},
         {163, 57, 57},
         ExitCancelled},
        {"reading at the blade position", {"--fault=garbage", "--fault-on=TB23"}, {208}, ExitCut},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.scenario) + " with " + row.cutter.front());
        const bool unplugged = row.cutter.front() == "unplugged";
        SimulatedCutter cutter(unplugged ? std::vector<std::string>{} : row.cutter);
        ASSERT_TRUE(cutter.Ready());
        if (unplugged) cutter.Unplug();
        const std::size_t before = OpenDescriptors();
        {
            LinuxCutterPort port;
            const ScenarioRun run(
                test::ScenarioNamed(row.scenario), [](MemoryCutterPort&, MemoryPrintSpooler&) {},
                &port);
            EXPECT_EQ(test::Shown(run.shown), test::Shown(row.shown));
            EXPECT_EQ(run.exit, row.exit);
            EXPECT_EQ(run.LeftOpen(), "");
            if (row.exit == ExitStartupFailed) {
                EXPECT_FALSE(run.SettingsWritten());
            }
        }
        EXPECT_EQ(OpenDescriptors(), before);
    }
}

TEST(LinuxFaultSample, UnpluggedDuringAMarkSearchFailsAtOnce) {
    constexpr int AnswerMs = 60000; // when the cutter would have answered
    SimulatedCutter cutter({"--marks=0", "--marks-ms=" + std::to_string(AnswerMs)});
    ASSERT_TRUE(cutter.Ready());
    ResetAppState();
    std::size_t before = 0;
    ResultCode r = rc::Ok;
    long long waited = 0;
    {
        const test::RealLinuxLink link;
        ASSERT_TRUE(link.Loaded());
        before = OpenDescriptors();

        std::thread unplug([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            cutter.Unplug();
        });
        const auto start = std::chrono::steady_clock::now();
        r = ReadMarksAuto(1, 100000, 50000);
        waited = std::chrono::duration_cast<std::chrono::milliseconds>(
                     std::chrono::steady_clock::now() - start)
                     .count();
        unplug.join();
        EXPECT_EQ(OpenDescriptors(), before);
    }

    EXPECT_EQ(r, rc::MarksAutoFailed);
    // A read that waited for the answer (or for its 250 s time-out) did not
    // notice the unplug; bench/unplug_bench gives the time it takes.
    EXPECT_LT(waited, AnswerMs);
}

} // namespace
} // namespace osa
