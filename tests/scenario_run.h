// Whole scenarios of the controller as a user goes through them, run on
// fresh in-memory services (or with a real cutter port) by a user who
// answers every message box and error dialog with OK and otherwise takes the
// scenario's next step: for the fault sweep and for the same runs through
// the real Linux link.
#pragma once
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "controller/ui/position_pad.h"
#include "tests/test_support.h"

namespace osa::test {

inline constexpr const char* ScenarioProgram = "/opt/osactl";
inline constexpr const char* ScenarioIni = "/opt/osactl/OSACTL.INI";

// A user's action; false when the user could not do it.
using Act = std::function<bool(MemoryWindowHost&)>;

// A user's step, taken only while dialog template `dialog` is the active
// window (after a failure a dialog may not have opened).
struct Step {
    int dialog;
    Act act;
};

struct Scenario {
    const char* name;
    const char* settings;
    std::vector<std::string_view> args;
    std::vector<Step> steps;
    Act finish; // the scenario's last action, tried again while the window stays
    int exit;   // the exit code of a run without failures
};

// Start-up and close, a cut job with automatic search, a reading at the
// blade position, a media change, the pad, Calibration and Add Media.
const std::vector<Scenario>& Scenarios();
const Scenario& ScenarioNamed(std::string_view name);

// One run of `scenario`. `arm` prepares the in-memory cutter and spooler
// before the start; `port`, when given, is the cutter port used instead of
// the in-memory one.
class ScenarioRun : private MemoryServices {
  public:
    using Arm = std::function<void(MemoryCutterPort&, MemoryPrintSpooler&)>;
    ScenarioRun(const Scenario& scenario, const Arm& arm, CutterPort* port = nullptr);
    ~ScenarioRun();
    ScenarioRun(const ScenarioRun&) = delete;
    ScenarioRun& operator=(const ScenarioRun&) = delete;

    int exit = -1;
    std::vector<int> shown;        // the codes of the errors shown, in order
    std::vector<int> stepsNotDone; // the scenario's steps (from 1) the user could not take
    int transfers() const { return cutter.transfers; }
    int checks() const { return spooler.checks; }
    const MemoryCutterPort& port() const { return cutter; }
    const std::vector<TraceEntry>& traced() const { return trace.entries; }

    bool SettingsWritten() const;
    // What is still open or held after the run; empty when nothing is.
    std::string LeftOpen() const;

  private:
    void Act(MemoryWindowHost& h);

    const Scenario& scenario_;
    MemoryWindowHost host_{dlg::DialogTemplates(res::AllDialogTemplates())};
    Services previous_{};
    std::size_t next_ = 0;
    int finishes_ = 0;
    int actions_ = 0;
};

// " 57 210", or " none".
std::string Shown(const std::vector<int>& codes);

} // namespace osa::test
