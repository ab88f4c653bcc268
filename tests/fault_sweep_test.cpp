// The fault sweep: every whole scenario a user goes through, run once
// cleanly and then once per cutter transfer and per kind of failure with
// that one failure injected there, and once per print-spooler check with a
// queued job or a vanished printer. Each run is checked for the code the
// user is shown, the exit code, nothing saved after a failed start, a
// program that goes on after a failure, and nothing left open.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "controller/app_state.h"
#include "controller/link/trace_labels.h"
#include "controller/res/control_ids.h"
#include "controller/res/resource_ids.h"
#include "controller/res/resources.h"
#include "controller/shell/entry.h"
#include "controller/ui/main_dialog.h"
#include "tests/test_support.h"

namespace osa {
namespace {

constexpr const char* Program = "/opt/osactl";
constexpr const char* Ini = "/opt/osactl/OSACTL.INI";

constexpr int CutButton = 1, CancelButton = 2, Next = 5184, MediaList = 5103;
constexpr int MarkReading = 5109;
constexpr int CalXBar = 5130, CalMarkTest = 5110, CalFeedText = 5105;
constexpr int NewName = 5169, NewSpeedBar = 5170;

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

Step OnMain(Act act) {
    return {ids::DlgMain, std::move(act)};
}
Step Click(int dialog, int id) {
    return {dialog, [id](MemoryWindowHost& h) { return h.Click(id); }};
}
Step Press(Rect PadRects::*spot) {
    return OnMain([spot](MemoryWindowHost& h) {
        const Rect r = App().PadAreas.*spot;
        return h.MouseDown(Window{App().pageDialog}, Point{r.left + 4, r.top + 4});
    });
}
Step Release(Rect PadRects::*spot) {
    return OnMain([spot](MemoryWindowHost& h) {
        const Rect r = App().PadAreas.*spot;
        return h.MouseUp(Window{App().pageDialog}, Point{r.left + 4, r.top + 4});
    });
}
std::vector<Step> NextSteps(int n) {
    return std::vector<Step>(static_cast<std::size_t>(n), Click(ids::DlgMain, Next));
}
std::vector<Step> Then(std::vector<Step> a, const std::vector<Step>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

const std::vector<Scenario>& Scenarios() {
    const Act cut = [](MemoryWindowHost& h) { return h.Click(CutButton); };
    const Act cancel = [](MemoryWindowHost& h) { return h.Click(CancelButton); };
    static const std::vector<Scenario> all = {
        {"start-up and close", "Unit=0\r\n", {"-CUTMODE"}, {}, cancel, ExitCancelled},
        {"cut job with automatic search",
         "Unit=0\r\n",
         {"-CUTMODE", "-FN0", "-TB23,150,100", "-TB51,10"},
         NextSteps(5),
         cut,
         ExitCut},
        {"reading at the blade position",
         "Unit=0\r\nTomboAutoRead=0\r\nPosSet=1\r\nTomboDisX=120000\r\nTomboDisY=80000\r\n",
         {"-CUTMODE"},
         Then(NextSteps(4), {Click(ids::DlgMain, MarkReading), Click(ids::DlgMain, Next)}),
         cut,
         ExitCut},
        {"media change",
         "Unit=0\r\n",
         {"-CUTMODE"},
         {OnMain([](MemoryWindowHost& h) { return h.ChooseFromList(MediaList, 1); }),
          OnMain([](MemoryWindowHost& h) { return h.ChooseFromList(MediaList, 2); })},
         cancel,
         ExitCancelled},
        {"pad press and release, test cut and origin",
         "Unit=0\r\nCutCondAdjust=1\r\nPosSet=0\r\n",
         {},
         {Press(&PadRects::up), Release(&PadRects::up), Press(&PadRects::left),
          Release(&PadRects::left), Press(&PadRects::testCut), Release(&PadRects::testCut),
          Press(&PadRects::origin), Release(&PadRects::origin)},
         cut, // "Close" outside cut mode
         ExitClosed},
        {"calibration",
         "Unit=0\r\n",
         {},
         {Click(ids::DlgMain, ctl::Calibration),
          {ids::DlgCalibration,
           [](MemoryWindowHost& h) { return h.ScrollClick(CalXBar, sb::LineRight); }},
          Click(ids::DlgCalibration, CalMarkTest),
          {ids::DlgCalibration, [](MemoryWindowHost& h) { return h.Type(CalFeedText, "0.5"); }},
          Click(ids::DlgCalibration, mb::IdOk)},
         cut, // "Close" outside cut mode
         ExitClosed},
        {"add media",
         "Unit=0\r\nCutCondAdjust=1\r\n",
         {},
         {Click(ids::DlgMain, ctl::AddMedia),
          {ids::DlgAddMedia,
           [](MemoryWindowHost& h) {
               return h.Type(NewName, "Sweep Foil") && h.ScrollClick(NewSpeedBar, sb::LineRight);
           }},
          Click(ids::DlgAddMedia, mb::IdOk)},
         cut, // "Close" outside cut mode
         ExitClosed},
    };
    return all;
}

// The failures injected, at a cutter transfer or at a print-spooler check.
enum class Fault { Failed, Unplugged, TimedOut, ShortReply, GarbageReply, JobQueued, QueueGone };

struct FaultKind {
    Fault fault;
    const char* name;
};
constexpr FaultKind TransferFaults[] = {{Fault::Failed, "transfer failed"},
                                        {Fault::Unplugged, "unplugged"},
                                        {Fault::TimedOut, "time-out"},
                                        {Fault::ShortReply, "short reply"},
                                        {Fault::GarbageReply, "garbage reply"}};
constexpr FaultKind CheckFaults[] = {{Fault::JobQueued, "print job queued"},
                                     {Fault::QueueGone, "kept printer gone"}};

// The code of each cutter operation (known by its trace label) that stands
// for a transfer of it that could not be started.
int OwnCode(const TraceEntry& op) {
    static const std::map<std::string_view, int> codes = {
        {label::FullCheck, 59},
        {label::FreeCheck, 59},
        {label::StartNotice, 166},
        {label::FirmwareVersion, 100},
        {label::MarkSensorReady, 101},
        {label::MarksAuto, 163},
        {label::MarksManual, 102},
        {label::SensorCorrection, 103},
        {label::FeedAdjustment, 104},
        {label::CutCondition, 150},
        {label::RollAction, 165},
        {label::CutConditionNumber, 151},
        {label::CutSpeed, 152},
        {label::CutPressure, 153},
        {label::CutterOffset, 154},
        {label::ThickMediaMode, 155},
        {label::DesignOrientation, 156},
        {label::MovePen, 159},
        {label::TestCut, 157},
        {label::OriginSet, 158},
        {label::MarkSize, 164},
        {label::SensorCorrectionScan, 161},
        {label::SensorCorrectionWrite, 160},
    };
    if (op.label == label::FeedAdjustmentWrite && op.command.starts_with("FB")) return 162;
    const auto found = codes.find(op.label);
    return found == codes.end() ? -1 : found->second;
}

// What the user must be shown when transfer `kind` ('w' or 'r') of
// operation `op` ends with `fault`; nothing when the operation succeeds.
// Reply faults are those of the cutter's usual answers ("0,0" cut short is
// "0,", a version reply cut short has no model word).
std::optional<int> ExpectedCode(const TraceEntry& op, char kind, Fault fault) {
    const bool markRead = op.label == label::MarksAuto || op.label == label::MarksManual;
    switch (fault) {
    case Fault::Failed:
        return OwnCode(op);
    case Fault::Unplugged:
    case Fault::TimedOut:
        if (kind == 'r' && markRead) return OwnCode(op);
        return fault == Fault::Unplugged ? 57 : 58;
    case Fault::JobQueued:
        return 56;
    case Fault::QueueGone:
        return 55;
    case Fault::ShortReply:
    case Fault::GarbageReply:
        break;
    }
    if (kind != 'r') return std::nullopt;
    const bool garbage = fault == Fault::GarbageReply;
    if (op.label == label::FreeCheck) return garbage ? std::optional<int>(60) : std::nullopt;
    if (op.label == label::FirmwareVersion) return 62;
    if (op.label == label::MarkSensorReady) return garbage ? std::optional<int>(101) : std::nullopt;
    if (op.label == label::MarksAuto) return garbage ? std::optional<int>(210) : std::nullopt;
    if (op.label == label::MarksManual) return garbage ? std::optional<int>(208) : std::nullopt;
    return OwnCode(op); // the number pairs: the second number missing or none at all
}

// The code in "... [code = N]", or -1.
int CodeIn(const std::string& text) {
    const auto at = text.rfind("[code = ");
    int code = -1;
    if (at != std::string::npos) std::sscanf(text.c_str() + at, "[code = %d]", &code);
    return code;
}

// One run of a scenario with fresh services, driven by a user who answers
// every message box and error dialog with OK and otherwise takes the
// scenario's next step.
class SweepRun : private test::MemoryServices {
  public:
    SweepRun(const Scenario& s,
             const std::function<void(MemoryCutterPort&, MemoryPrintSpooler&)>& arm)
        : scenario_(s) {
        ResetAppState();
        previous_ = InstallServices(With(host_));
        host_.AttachHooks(&hooks);
        test::InstallProgramFolder(files, Program);
        files.AddFile(Ini, std::string("[Main_Section]\r\n") + s.settings);
        // A printer of the cutter family, so that every write asks the spooler.
        spooler.printers.push_back({"Cutter", "Hemmerik Marlo Trax USB", 0, true});
        cutter.traceEntries = &trace.entries;
        arm(cutter, spooler);
        host_.Then([this](MemoryWindowHost& h) { Act(h); });
        std::vector<std::string_view> args = s.args;
        args.insert(args.begin(), "osactl");
        exit = RunController(0, args);
    }
    ~SweepRun() { InstallServices(previous_); }
    SweepRun(const SweepRun&) = delete;
    SweepRun& operator=(const SweepRun&) = delete;

    int exit = -1;
    std::vector<int> shown;        // the codes of the errors shown, in order
    std::vector<int> stepsNotDone; // the scenario's steps (from 1) the user could not take
    int transfers() const { return cutter.transfers; }
    int checks() const { return spooler.checks; }
    const MemoryCutterPort& port() const { return cutter; }
    const std::vector<TraceEntry>& traced() const { return trace.entries; }

    bool SettingsWritten() const {
        for (const std::string& change : files.Log())
            if (change == std::string("write ") + Ini) return true;
        return false;
    }
    // What is still open or held after the run; empty when nothing is.
    std::string LeftOpen() const {
        std::string left;
        if (host_.Starved() != 0) left += " starved dialogs";
        if (!host_.ModalStack().empty()) left += " windows";
        if (host_.FindByTemplate(ids::DlgMain) != nullptr) left += " main window";
        if (host_.LiveBrushes() != 0) left += " brushes";
        if (host_.LiveFonts() != 0) left += " fonts";
        if (hooks.Installed()) left += " input hooks";
        if (cutter.transfersReady) left += " transfer events";
        if (host_.Capture() != Window{}) left += " mouse capture";
        return left;
    }

  private:
    void Act(MemoryWindowHost& h) {
        if (++actions_ > 300) return; // a run that never ends starves instead
        h.Then([this](MemoryWindowHost& again) { Act(again); });
        const Window active = h.Active();
        const MemoryWindowHost::Dialog* d = h.Find(active);
        if (active != Window{} && d == nullptr) { // a message box
            const auto& boxes = h.MessageBoxes();
            for (auto box = boxes.rbegin(); box != boxes.rend(); ++box)
                if (box->answer == 0) {
                    if (const int code = CodeIn(box->text); code >= 0) shown.push_back(code);
                    break;
                }
            (void)h.Answer(mb::IdOk);
            return;
        }
        if (d == nullptr) return;
        const int dialog = d->tmpl->id;
        if (dialog == ids::DlgCommError) {
            shown.push_back(CodeIn(h.GetItemText(active, ids::CommErrorText)));
            (void)h.Click(mb::IdOk);
            return;
        }
        if (dialog == ids::DlgMediaLoading) {
            (void)h.Click(mb::IdOk);
            return;
        }
        while (next_ < scenario_.steps.size()) {
            const Step& step = scenario_.steps[next_++];
            if (step.dialog == dialog) {
                if (!step.act(h)) stepsNotDone.push_back(static_cast<int>(next_));
                return;
            }
            stepsNotDone.push_back(static_cast<int>(next_));
        }
        if (dialog == ids::DlgMain && finishes_++ < 3) {
            (void)scenario_.finish(h);
        } else if (dialog == ids::DlgMain) {
            (void)h.Click(CancelButton);
        } else if (dialog == ids::DlgAddMedia) {
            (void)h.Click(mb::IdCancel);
        } else {
            (void)h.Click(mb::IdOk);
        }
    }

    const Scenario& scenario_;
    MemoryWindowHost host_{dlg::DialogTemplates(res::AllDialogTemplates())};
    Services previous_{};
    std::size_t next_ = 0;
    int finishes_ = 0;
    int actions_ = 0;
};

std::string Shown(const std::vector<int>& codes) {
    std::string text;
    for (int c : codes)
        text += " " + std::to_string(c);
    return text.empty() ? " none" : text;
}

TEST(FaultSweep, EveryFailureIsShownWithItsCodeAndTheProgramGoesOn) {
    for (const Scenario& s : Scenarios()) {
        SCOPED_TRACE(s.name);
        const auto clean =
            std::make_unique<SweepRun>(s, [](MemoryCutterPort&, MemoryPrintSpooler&) {});
        ASSERT_EQ(clean->exit, s.exit) << "shown:" << Shown(clean->shown);
        ASSERT_TRUE(clean->shown.empty()) << Shown(clean->shown);
        ASSERT_EQ(Shown(clean->stepsNotDone), Shown({}));
        ASSERT_EQ(clean->LeftOpen(), "");
        const int transfers = clean->transfers();
        const int checks = clean->checks();
        ASSERT_GT(transfers, 0);
        ASSERT_GT(checks, 0);
        // The operation of each transfer, from the clean run (an injected run
        // is the same up to the failure).
        std::vector<TraceEntry> ops;
        for (std::size_t mark : clean->port().traceMarks)
            ops.push_back(mark > 0 ? clean->traced()[mark - 1] : TraceEntry{});
        const std::string kinds = clean->port().transferKinds;
        // A run that goes on after a failure sends the scenario's last command.
        const std::string lastWrite = clean->port().writes.back();
        const int lastWriteAt = static_cast<int>(kinds.rfind('w')) + 1;
        // The start-up exchange ends with the feed adjustment's reply.
        int startupEnd = 0;
        for (std::size_t i = 0; i < ops.size() && startupEnd == 0; ++i)
            if (ops[i].label == label::FeedAdjustment && kinds[i] == 'r')
                startupEnd = static_cast<int>(i) + 1;
        ASSERT_GT(startupEnd, 0);

        const auto check = [&](const SweepRun& run, int n, const FaultKind& f, const TraceEntry& op,
                               char kind, bool startup) {
            SCOPED_TRACE(std::string(f.name) + " at " + (kind == 'w' ? "write" : "read") +
                         " of transfer " + std::to_string(n) + " (" + op.command + ")");
            const std::optional<int> expected = ExpectedCode(op, kind, f.fault);
            std::vector<int> want;
            if (expected) want.push_back(*expected);
            EXPECT_EQ(Shown(run.shown), Shown(want));
            EXPECT_EQ(run.LeftOpen(), "");
            if (startup && expected) {
                EXPECT_EQ(run.exit, ExitStartupFailed);
                EXPECT_FALSE(run.SettingsWritten());
            } else {
                EXPECT_EQ(run.exit, s.exit); // it went on to its usual end
                if (n < lastWriteAt) {
                    ASSERT_FALSE(run.port().writes.empty());
                    EXPECT_EQ(run.port().writes.back(), lastWrite);
                }
            }
        };
        const auto inStartup = [&](int n) { return n <= startupEnd; };
        for (int n = 1; n <= transfers; ++n) {
            const TraceEntry& op = ops[static_cast<std::size_t>(n - 1)];
            const char kind = kinds[static_cast<std::size_t>(n - 1)];
            for (const FaultKind& f : TransferFaults) {
                const SweepRun run(s, [&](MemoryCutterPort& port, MemoryPrintSpooler&) {
                    port.injectAt = n;
                    port.inject = static_cast<MemoryCutterPort::Injected>(f.fault);
                });
                check(run, n, f, op, kind, inStartup(n));
            }
        }
        // Spooler checks come before writes only: check c is the one of the
        // c-th write.
        std::vector<int> writeAt; // transfer number of each write
        for (std::size_t i = 0; i < kinds.size(); ++i)
            if (kinds[i] == 'w') writeAt.push_back(static_cast<int>(i) + 1);
        ASSERT_EQ(static_cast<std::size_t>(checks), writeAt.size());
        for (int c = 1; c <= checks; ++c) {
            const int n = writeAt[static_cast<std::size_t>(c - 1)];
            const TraceEntry& op = ops[static_cast<std::size_t>(n - 1)];
            for (const FaultKind& f : CheckFaults) {
                const SweepRun run(s, [&](MemoryCutterPort&, MemoryPrintSpooler& spooler) {
                    spooler.failCheckAt = c;
                    spooler.failCheckResult = f.fault == Fault::JobQueued ? 56 : 55;
                });
                check(run, n, f, op, 'w', inStartup(n));
            }
        }
        std::printf("%s: %d transfers, %d spooler checks, %d runs\n", s.name, transfers, checks,
                    1 + transfers * 5 + checks * 2);
    }
}

} // namespace
} // namespace osa
