// A simulated cutter in its own process for one test: started with the
// given options in a temporary folder, found by the USB module through the
// two root variables (set for the test's duration), stopped afterwards.
#pragma once
#include <sys/types.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/scoped_env.h"

namespace osa::test {

class SimulatedCutter {
  public:
    explicit SimulatedCutter(const std::vector<std::string>& options = {});
    ~SimulatedCutter();
    SimulatedCutter(const SimulatedCutter&) = delete;
    SimulatedCutter& operator=(const SimulatedCutter&) = delete;

    bool Ready() const { return ready_; }
    // Pulls the plug: the simulator ends at once (SIGKILL), and the cutter's
    // descriptors hang up as a removed device's do.
    void Unplug();
    // Everything the controller wrote, escaped ("TT\x03FG\x03"); the
    // simulator's reads may cut or join the transfers, so only the stream
    // counts.
    std::string Received() const;
    // Every log line (without time stamps): "in ..." and "out ...".
    std::vector<std::string> Log() const;
    // The same lines with their time stamps in front ("12.345 in ...").
    std::vector<std::string> StampedLog() const;
    const std::string& Root() const { return root_; }

  private:
    std::string root_;
    pid_t pid_ = -1;
    bool ready_ = false;
    std::unique_ptr<ScopedEnv> sysfs_, dev_;
};

} // namespace osa::test
