#include "tests/scenario_run.h"

#include <cstdio>
#include <utility>

#include "controller/app_state.h"
#include "controller/res/control_ids.h"
#include "controller/res/resource_ids.h"
#include "controller/res/resources.h"
#include "controller/shell/entry.h"
#include "controller/ui/main_dialog.h"

namespace osa::test {
namespace {

constexpr int CutButton = 1, CancelButton = 2, Next = 5184, MediaList = 5103;
constexpr int MarkReading = 5109;
constexpr int CalXBar = 5130, CalMarkTest = 5110, CalFeedText = 5105;
constexpr int NewName = 5169, NewSpeedBar = 5170;

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

} // namespace

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

const Scenario& ScenarioNamed(std::string_view name) {
    for (const Scenario& s : Scenarios())
        if (name == s.name) return s;
    return Scenarios().front();
}

namespace {

// The code in "... [code = N]", or -1.
int CodeIn(const std::string& text) {
    const auto at = text.rfind("[code = ");
    int code = -1;
    if (at != std::string::npos) std::sscanf(text.c_str() + at, "[code = %d]", &code);
    return code;
}

} // namespace

ScenarioRun::ScenarioRun(const Scenario& s, const Arm& arm, CutterPort* port) : scenario_(s) {
    ResetAppState();
    Services services = With(host_);
    if (port != nullptr) services.cutter = port;
    previous_ = InstallServices(services);
    host_.AttachHooks(&hooks);
    InstallProgramFolder(files, ScenarioProgram);
    files.AddFile(ScenarioIni, std::string("[Main_Section]\r\n") + s.settings);
    // A printer of the cutter family, so that every write asks the spooler.
    spooler.printers.push_back({"Cutter", "Hemmerik Marlo Trax USB", 0, true});
    cutter.traceEntries = &trace.entries;
    arm(cutter, spooler);
    host_.Then([this](MemoryWindowHost& h) { Act(h); });
    std::vector<std::string_view> args = s.args;
    args.insert(args.begin(), "osactl");
    exit = RunController(0, args);
}

ScenarioRun::~ScenarioRun() {
    InstallServices(previous_);
}

bool ScenarioRun::SettingsWritten() const {
    for (const std::string& change : files.Log())
        if (change == std::string("write ") + ScenarioIni) return true;
    return false;
}

std::string ScenarioRun::LeftOpen() const {
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

void ScenarioRun::Act(MemoryWindowHost& h) {
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

std::string Shown(const std::vector<int>& codes) {
    std::string text;
    for (int c : codes) {
        text += ' ';
        text += std::to_string(c);
    }
    return text.empty() ? " none" : text;
}

} // namespace osa::test
