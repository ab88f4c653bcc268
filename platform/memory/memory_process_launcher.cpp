#include "platform/memory/memory_process_launcher.h"

namespace osa {

namespace {
constexpr std::uintptr_t FirstHandle = 0x100;
constexpr std::uint32_t FirstId = 1000;
constexpr std::uintptr_t WindowBase = 0x10000;
} // namespace

MemoryProcessLauncher::Process* MemoryProcessLauncher::Find(std::uintptr_t process) {
    for (Process& p : processes_)
        if (p.record.process == process) return &p;
    return nullptr;
}

void MemoryProcessLauncher::EndProcess(std::uintptr_t process) {
    if (Process* p = Find(process)) p->running = false;
}

int MemoryProcessLauncher::RunningCount() const {
    int count = 0;
    for (const Process& p : processes_)
        if (p.running) ++count;
    return count;
}

bool MemoryProcessLauncher::Start(std::string_view commandPath, ProcessRecord& out) {
    startRequests.emplace_back(commandPath);
    if (failStart || commandPath.empty()) return false;
    const auto n = static_cast<std::uint32_t>(processes_.size());
    Process p;
    p.command = std::string(commandPath);
    p.record.process = FirstHandle + 4 * n;
    p.record.thread = 0; // the thread handle is closed at once
    p.record.processId = FirstId + n;
    p.record.threadId = FirstId + 500 + n;
    p.window = startWithoutWindow ? 0 : WindowBase + p.record.processId;
    processes_.push_back(p);
    out = p.record;
    return true;
}

bool MemoryProcessLauncher::IsRunning(const ProcessRecord& record, bool& known) {
    known = false;
    if (stateUnknown || record.process == 0) return false;
    const Process* p = Find(record.process);
    // A released handle is no longer the process's: asking through it fails.
    if (p == nullptr || p->released) return false;
    known = true;
    return p->running;
}

std::uintptr_t MemoryProcessLauncher::FindMainWindow(const ProcessRecord& record) {
    for (const Process& p : processes_)
        if (p.record.processId == record.processId && p.running) return p.window;
    return 0;
}

void MemoryProcessLauncher::BringToFront(std::uintptr_t window) {
    raised.push_back(window);
}

void MemoryProcessLauncher::AskToClose(std::uintptr_t window) {
    closeRequests.push_back(window);
    for (Process& p : processes_)
        if (p.window != 0 && p.window == window) p.running = false;
}

void MemoryProcessLauncher::Release(ProcessRecord& record) {
    releases.push_back(record.process);
    Process* p = Find(record.process);
    if (p == nullptr || p->released)
        ++badReleases;
    else
        p->released = true;
    record = ProcessRecord{};
}

} // namespace osa
