// In-memory process launcher for tests: every start, raise, close request and
// release is recorded, and the test decides what the "processes" do. A test
// can make the next starts fail, end a process as if the user had closed it,
// start processes that show no window, and make the state query fail the way
// it fails on a handle the system does not know.
//
// Processes get handles 0x100, 0x104, ... and ids 1000, 1001, ...; the window
// of a process is 0x10000 plus its id. A close request ends the process that
// owns the window, as the real companion closes when its window is asked to.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/process_launcher.h"

namespace osa {

class MemoryProcessLauncher final : public ProcessLauncher {
  public:
    struct Process {
        std::string command;
        ProcessRecord record{};
        std::uintptr_t window = 0; // 0: the process has no window
        bool running = true;
        bool released = false;
    };

    // Test controls.
    bool failStart = false;          // Start fails (nothing is started)
    bool startWithoutWindow = false; // started processes show no window
    bool stateUnknown = false;       // IsRunning cannot tell (known = false)

    // What was asked, in order.
    std::vector<std::string> startRequests;    // every Start, failed ones too
    std::vector<std::uintptr_t> raised;        // BringToFront windows
    std::vector<std::uintptr_t> closeRequests; // AskToClose windows
    std::vector<std::uintptr_t> releases;      // process handles released
    int badReleases = 0; // Release of a handle that is unknown or released already

    // The processes started so far, oldest first.
    const std::vector<Process>& Started() const { return processes_; }
    // Ends the process with handle `process` as if the user had closed it.
    void EndProcess(std::uintptr_t process);
    // Processes still running (whether released or not).
    int RunningCount() const;

    bool Start(std::string_view commandPath, ProcessRecord& out) override;
    bool IsRunning(const ProcessRecord& record, bool& known) override;
    std::uintptr_t FindMainWindow(const ProcessRecord& record) override;
    void BringToFront(std::uintptr_t window) override;
    void AskToClose(std::uintptr_t window) override;
    void Release(ProcessRecord& record) override;

  private:
    Process* Find(std::uintptr_t process);

    std::vector<Process> processes_;
};

} // namespace osa
