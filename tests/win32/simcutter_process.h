// The simulated cutter (SIMCUTTER.EXE) as a child process of a test: started
// with its own pipe name and options, waited for until it prints "ready",
// and ended with the test. The pipe name is also put into the test's
// environment, where the stand-in VORNUSBP.DLL looks for it.
#pragma once
#include <string>
#include <vector>

#include "platform/win32/win32_api.h"
#include "platform/win32/win32_handle.h"

namespace osa::wintest {

// The folder of the running test program, with a trailing backslash.
std::string ProgramFolder();
// A pipe base name no other test of this run uses.
std::string FreshPipeName();
// Points the stand-in module at `pipeName`.
void UseSimulatorPipe(const std::string& pipeName);

// A child process of a test whose standard output (and, with `errorToo`,
// standard error) goes into a pipe the test reads from; the test's end
// reaches end of file once the child has ended.
struct ChildWithOutput {
    win32::UniqueHandle process;
    win32::UniqueHandle output;
};
// Starts `program` with `commandLine` (its quoted path first) and
// `creationFlags`; false when it could not be started.
bool StartWithOutput(const std::string& program, std::string commandLine, DWORD creationFlags,
                     bool errorToo, ChildWithOutput& child);

class SimulatedCutter {
  public:
    // `program` is the full path of SIMCUTTER.EXE; `options` its
    // "--name=value" options. The log goes to a fresh file under %TEMP%.
    SimulatedCutter(const std::string& program, const std::string& pipeName,
                    const std::vector<std::string>& options);
    ~SimulatedCutter();
    SimulatedCutter(const SimulatedCutter&) = delete;
    SimulatedCutter& operator=(const SimulatedCutter&) = delete;

    // Started, and said "ready".
    bool Ready() const { return ready_; }
    // The log's lines without their time stamps: "in \x1B\x04", "out 0\x0D".
    std::vector<std::string> Log() const;
    // The log once it holds at least `lines` lines: the simulator writes a
    // line just after the transfer it tells of, so a reply can arrive
    // before its line does. As it is when that has not happened in a minute.
    std::vector<std::string> LogOf(std::size_t lines) const;

  private:
    win32::UniqueHandle process_;
    std::string logPath_;
    bool ready_ = false;
};

} // namespace osa::wintest
