// The Linux launcher against the real companion program (mtc_dman, built
// beside the controller) on the offscreen platform: start, raise while it is
// still starting and once its window is up, the close request, and the
// program ending with 0 by itself. Waiting is by polling with a long
// patience, so a companion that never reacts fails the test instead of
// hanging it; nothing checks how long anything took.
#include <signal.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <optional>
#include <thread>

#include <gtest/gtest.h>

#include "platform/linux/linux_process_launcher.h"

namespace osa::test {
namespace {

constexpr auto Patience = std::chrono::seconds(60);

bool WaitUntil(const std::function<bool()>& ready) {
    const auto giveUp = std::chrono::steady_clock::now() + Patience;
    while (!ready()) {
        if (std::chrono::steady_clock::now() > giveUp) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

// Whether process `pid` has a handler for `signal` (SigCgt, proc(5)).
bool Catches(std::uintptr_t pid, int signal) {
    char path[64];
    std::snprintf(path, sizeof path, "/proc/%lu/status", static_cast<unsigned long>(pid));
    std::FILE* file = std::fopen(path, "r");
    if (file == nullptr) return false;
    bool caught = false;
    char line[256];
    while (std::fgets(line, sizeof line, file) != nullptr)
        if (std::strncmp(line, "SigCgt:", 7) == 0)
            caught = ((std::strtoull(line + 7, nullptr, 16) >> (signal - 1)) & 1u) != 0;
    std::fclose(file);
    return caught;
}

// Blocks signals in this thread for one scope, as a controller might have
// them blocked when it starts the companion.
class BlockedSignals {
  public:
    explicit BlockedSignals(std::initializer_list<int> signals) {
        sigset_t set;
        sigemptyset(&set);
        for (int s : signals)
            sigaddset(&set, s);
        pthread_sigmask(SIG_BLOCK, &set, &previous_);
    }
    ~BlockedSignals() { pthread_sigmask(SIG_SETMASK, &previous_, nullptr); }
    BlockedSignals(const BlockedSignals&) = delete;
    BlockedSignals& operator=(const BlockedSignals&) = delete;

  private:
    sigset_t previous_{};
};

class CompanionProcessTest : public ::testing::Test {
  protected:
    void SetUp() override { ::setenv("QT_QPA_PLATFORM", "offscreen", 1); }
    // A companion the test leaves running is ended here, so none outlives it.
    void TearDown() override {
        bool known = false;
        if (record.process != 0 && launcher.IsRunning(record, known)) {
            ::kill(static_cast<pid_t>(record.process), SIGKILL);
            WaitUntil([&] { return !launcher.IsRunning(record, known); });
        }
        launcher.Release(record);
    }

    bool Running() {
        bool known = false;
        const bool running = launcher.IsRunning(record, known);
        EXPECT_TRUE(known);
        return running;
    }

    posix::LinuxProcessLauncher launcher;
    ProcessRecord record{};
};

TEST_F(CompanionProcessTest, StartsRaisesAndClosesOnRequestWithExitCode0) {
    {
        // The companion must not inherit a mask that would keep it deaf.
        BlockedSignals blocked{SIGUSR1, SIGTERM};
        ASSERT_TRUE(launcher.Start(OSA_MTC_DMAN_PATH, record));
    }
    EXPECT_NE(record.process, 0u);
    EXPECT_EQ(record.processId, record.process);
    EXPECT_TRUE(Running());
    const std::uintptr_t window = launcher.FindMainWindow(record);
    EXPECT_EQ(window, record.process);

    // Raised at once, as the controller does right after the start: the
    // companion may not have its handler yet, and must survive this.
    launcher.BringToFront(window);
    ASSERT_TRUE(WaitUntil([&] { return Catches(record.process, SIGUSR1); }))
        << "the companion never set up its SIGUSR1 handler";
    ASSERT_TRUE(Running());

    // Raised while it runs; a second raise, then it still runs.
    launcher.BringToFront(window);
    launcher.BringToFront(window);
    EXPECT_TRUE(Running());

    launcher.AskToClose(window);
    ASSERT_TRUE(WaitUntil([&] { return !Running(); })) << "the companion did not close";
    const std::optional<int> status = launcher.WaitStatus(record);
    ASSERT_TRUE(status.has_value());
    EXPECT_TRUE(WIFEXITED(*status)) << "wait status " << *status;
    EXPECT_EQ(WEXITSTATUS(*status), 0);

    // Asked again, it still answers "ended" (it was reaped the first time).
    EXPECT_FALSE(Running());
    EXPECT_FALSE(Running());
    launcher.Release(record);
    EXPECT_EQ(record.process, 0u);
}

TEST_F(CompanionProcessTest, AMissingProgramIsNotStartedAndUnknownRecordsAreNotAsked) {
    ProcessRecord missing{};
    EXPECT_FALSE(launcher.Start("/nonexistent/mtc_dman", missing));
    EXPECT_EQ(missing.process, 0u);
    EXPECT_FALSE(launcher.Start("", missing));

    // Neither nothing nor a process this launcher did not start (here the
    // test itself) can be asked about, raised or closed.
    struct Case {
        const char* name;
        std::uintptr_t process;
    };
    const Case cases[] = {{"none", 0}, {"not a child", static_cast<std::uintptr_t>(::getpid())}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ProcessRecord other{c.process, 0, static_cast<std::uint32_t>(c.process), 0};
        bool known = true;
        EXPECT_FALSE(launcher.IsRunning(other, known));
        EXPECT_FALSE(known);
        EXPECT_EQ(launcher.FindMainWindow(other), 0u);
        launcher.BringToFront(c.process); // would end this test if it were sent
        launcher.AskToClose(c.process);
    }
}

} // namespace
} // namespace osa::test
