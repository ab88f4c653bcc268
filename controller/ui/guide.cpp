#include "controller/ui/guide.h"

#include <initializer_list>

#include "controller/app_state.h"
#include "controller/res/resources.h"
#include "controller/ui/small_dialogs.h"
#include "platform/services.h"

namespace osa {

namespace {

// Main window.
constexpr int StepLabelFirst = 5000;
constexpr int StepTitle = 5101;
constexpr int StepMessage = 5167;
constexpr int PreviousButton = 5182;
constexpr int NextButton = 5184;
constexpr int GuideToggle = 5190;

// Page.
constexpr int CutButton = 1;
constexpr int MediaList = 5103;
constexpr int MediaLabel = 5185;
constexpr int AdjustBox = 5104;
constexpr int AddMedia = 5175;
constexpr int TrackEnhancing = 5173;
constexpr int SearchMarks = 5157;
constexpr int CapLine = 5176;
constexpr int CapActiveIcon = 5178;
constexpr int CapInactiveIcon = 5179;
constexpr int MarksBox = 5108;
constexpr int MarkReading = 5109;
constexpr int SetOrigin = 5188;
constexpr int BladePosition = 5189;
constexpr int UseKeyboard = 5141;
constexpr int Orientation = 5187;
constexpr int Landscape = 5127;
constexpr int Portrait = 5128;
constexpr int Millimetres = 5115;
constexpr int Inches = 5116;

constexpr int ConditionControls[] = {AddMedia, 5134, 5133, 5143, 5144, 5120, 5121, 5107,
                                     5135,     5136, 5145, 5146, 5122, 5123, 5106, 5186};
constexpr int DistanceGroup[] = {5124, 5125, 5126, 5111, 5113, 5117, 5118, Millimetres, Inches};

struct CapRow {
    int lineString;
    int colouredControl;
    int greyControl;
};
constexpr CapRow CapRows[] = {
    {2412, 5180, 5181}, // pen
    {2411, 5149, 5154}, // blue
    {2410, 5150, 5155}, // yellow
    {2409, 5148, 5152}, // red
};
constexpr int AllCapFigures[] = {5148, 5152, 5149, 5154, 5150, 5155, 5180, 5181};

constexpr int StepTitles[StepCount] = {2300, 2301, 2302, 2303, 2304, 2305};

Window Main() {
    return Window{App().mainDialog};
}

Window Page() {
    return Window{App().pageDialog};
}

bool CutMode() {
    return App().options.cutMode != 0;
}

bool GuideActive() {
    return App().GuideShown == 1;
}

void Enable(Window w, int id, bool on) {
    Windows().EnableItem(w, id, on);
}

int StepMessageString() {
    const AppState& app = App();
    switch (app.CurrentStep) {
    case 4:
        return app.MarksOn != 0 ? 2314 : 2315;
    case 5:
        return (app.MarksOn != 0 && app.AutoSearchMarks != 0) ? 2316 : 2317;
    default:
        return 2310 + app.CurrentStep;
    }
}

// The window's width and the given height, its top-left corner kept.
void ResizeMain(int width, int height) {
    WindowHost& w = Windows();
    Rect now = w.GetWindowRect(Main());
    w.MoveWindow(Main(), Rect{now.left, now.top, now.left + width, now.top + height}, true);
}

int ConfigurationModeOfCurrentMedium() {
    const AppState& app = App();
    if (app.MediaIndex < 0 || app.MediaIndex >= app.Media.Count) return 0;
    return app.Media.Records[static_cast<std::size_t>(app.MediaIndex)].ConfigurationMode;
}

void RedrawPadArea(const Rect& area) {
    if (App().pageDialog != 0) Windows().InvalidateRect(Page(), area, true);
}

} // namespace

void GuidePrevious() {
    AppState& app = App();
    if (app.CurrentStep <= 0) return;
    --app.CurrentStep;
    RefreshGuide();
}

void GuideNext() {
    AppState& app = App();
    if (app.CurrentStep >= StepCount - 1) return;
    ++app.CurrentStep;
    RefreshGuide();
}

void RefreshGuide() {
    ShowStepText();
    RefreshMediaStep();
    RefreshOrientationStep();
    RefreshMarkControls();
    RefreshOriginButton();
    RefreshPositionPad();
    RefreshCutButton();
}

void ShowStepText() {
    const AppState& app = App();
    WindowHost& w = Windows();
    const int step = app.CurrentStep;
    if (step >= 0 && step < StepCount) {
        w.SetItemText(Main(), StepTitle, res::LoadString(StepTitles[step]));
        w.SetItemText(Main(), StepMessage, res::LoadString(StepMessageString()));
    }
    Enable(Main(), PreviousButton, step != 0);
    Enable(Main(), NextButton, step != StepCount - 1);

    const Rect& full = app.MainWindowRect;
    if (app.GuideShown == 1) {
        ResizeMain(full.Width(), full.Height());
        w.ShowItem(Main(), PreviousButton, true);
        w.ShowItem(Main(), NextButton, true);
        w.SetItemText(Main(), GuideToggle, res::LoadString(2502));
    } else {
        ResizeMain(full.Width(), full.Height() - app.GuidePanelRect.Height());
        w.ShowItem(Main(), PreviousButton, false);
        w.ShowItem(Main(), NextButton, false);
        if (app.FirmwareV2 == 0) {
            w.ShowItem(Main(), GuideToggle, false);
            w.ShowItem(Page(), AddMedia, false);
            w.ShowItem(Page(), TrackEnhancing, false);
            w.ShowItem(Page(), SearchMarks, false);
            return;
        }
        if (!CutMode()) w.ShowItem(Main(), GuideToggle, false);
        w.SetItemText(Main(), GuideToggle, res::LoadString(2503));
    }
    for (int id = StepLabelFirst; id < StepLabelFirst + StepCount; ++id) {
        Rect label = w.GetItemRect(Main(), id);
        Point topLeft = w.ScreenToClient(Main(), Point{label.left, label.top});
        Point bottomRight = w.ScreenToClient(Main(), Point{label.right, label.bottom});
        w.InvalidateRect(Main(), Rect{topLeft.x, topLeft.y, bottomRight.x, bottomRight.y}, false);
    }
}

void RefreshMediaStep() {
    AppState& app = App();
    WindowHost& w = Windows();
    const bool userMedium = ConfigurationModeOfCurrentMedium() == 2;
    const bool guiding = GuideActive() && app.CurrentStep != 0;

    bool colouredShown, greyShown, capLineActive, selection, adjustEnabled, conditions, track;
    if (guiding) {
        colouredShown = app.CurrentStep == 1;
        greyShown = app.CurrentStep != 1;
        capLineActive = app.CurrentStep == 1;
        selection = adjustEnabled = conditions = track = false;
        app.Pad.TestCutButton = 2;
    } else {
        if (userMedium) {
            w.CheckItem(Page(), AdjustBox, true);
            app.AdjustSettings = 1;
        }
        colouredShown = true;
        greyShown = false;
        capLineActive = !GuideActive();
        selection = true;
        adjustEnabled = !userMedium;
        conditions = app.AdjustSettings == 1;
        track = app.AdjustSettings == 1 && app.CurrentPressure >= 3;
        app.Pad.TestCutButton = app.AdjustSettings == 1 ? 0 : 2;
    }

    for (int id : AllCapFigures)
        w.ShowItem(Page(), id, false);
    if (app.CapColour >= 0 && app.CapColour <= 3) {
        const CapRow& row = CapRows[app.CapColour];
        if (colouredShown) w.ShowItem(Page(), row.colouredControl, true);
        if (greyShown) w.ShowItem(Page(), row.greyControl, true);
        w.SetItemText(Page(), CapLine, res::LoadString(row.lineString));
    }
    if (userMedium) app.AdjustSettings = 1;
    w.CheckItem(Page(), AdjustBox, app.AdjustSettings != 0);
    w.CheckItem(Page(), TrackEnhancing, app.CurrentPressure >= 3 && app.RollAction == 0);

    Enable(Page(), MediaLabel, selection);
    Enable(Page(), MediaList, selection);
    Enable(Page(), AdjustBox, adjustEnabled);
    for (int id : ConditionControls)
        Enable(Page(), id, conditions);
    Enable(Page(), TrackEnhancing, track);
    Enable(Page(), CapLine, capLineActive);
    w.ShowItem(Page(), CapActiveIcon, capLineActive);
    w.ShowItem(Page(), CapInactiveIcon, !capLineActive);
    RedrawPadArea(app.PadAreas.testCut);
}

void RefreshOrientationStep() {
    const AppState& app = App();
    const bool enabled = !GuideActive() || app.CurrentStep == 2;
    Enable(Page(), Orientation, enabled);
    Enable(Page(), Landscape, enabled);
    Enable(Page(), Portrait, enabled);
    Windows().CheckItem(Page(), Landscape, app.Direction == 0);
    Windows().CheckItem(Page(), Portrait, app.Direction != 0);
}

void RefreshMarkControls() {
    AppState& app = App();
    const StartupOptions& o = app.options;
    const bool active = !GuideActive() || app.CurrentStep == 4;
    bool marksBox, search, distances, reading;
    if (!active || (CutMode() && o.noTrim)) {
        marksBox = search = distances = reading = false;
        if (CutMode() && o.noTrim) app.MarksOn = 0;
    } else if (o.markDistanceGiven) {
        marksBox = false;
        search = true;
        distances = false;
        reading = !(CutMode() && app.AutoSearchMarks == 1);
        app.MarksOn = 1;
    } else if (app.MarksOn == 0) {
        marksBox = true;
        search = distances = reading = false;
    } else if (app.AutoSearchMarks == 1 && CutMode()) {
        marksBox = search = true;
        distances = reading = false;
    } else {
        marksBox = search = distances = reading = true;
    }
    Enable(Page(), MarksBox, marksBox);
    Enable(Page(), SearchMarks, search);
    for (int id : DistanceGroup)
        Enable(Page(), id, distances);
    Enable(Page(), MarkReading, reading);

    WindowHost& w = Windows();
    w.CheckItem(Page(), MarksBox, app.MarksOn != 0);
    w.CheckItem(Page(), SearchMarks, app.MarksOn != 0 && app.AutoSearchMarks != 0);
    w.CheckItem(Page(), Millimetres, app.Unit == 0);
    w.CheckItem(Page(), Inches, app.Unit != 0);
}

void RefreshOriginButton() {
    AppState& app = App();
    const bool active = (!GuideActive() || app.CurrentStep == 4) && app.MarksOn == 0;
    Enable(Page(), SetOrigin, active);
    app.Pad.OriginButton = active ? 0 : 2;
    RedrawPadArea(app.PadAreas.origin);
}

void RefreshPositionPad() {
    AppState& app = App();
    bool enabled;
    if (!GuideActive())
        enabled = true;
    else if (app.CalibrationOpen == 1)
        enabled = true;
    else if (app.CurrentStep != 4)
        enabled = false;
    else if (app.MarksOn == 0)
        enabled = true;
    else if (app.AutoSearchMarks == 0)
        enabled = true;
    else
        enabled = false;

    app.Pad.HeldDirections = enabled ? 0 : pad::DirectionsDisabled;
    Enable(Page(), BladePosition, enabled);
    Enable(Page(), UseKeyboard, enabled);
    for (const Rect* area :
         {&app.PadAreas.left, &app.PadAreas.right, &app.PadAreas.up, &app.PadAreas.down})
        RedrawPadArea(*area);
}

void RefreshCutButton() {
    const AppState& app = App();
    WindowHost& w = Windows();
    if (!CutMode()) {
        w.SetItemText(Page(), CutButton, res::LoadString(2504));
        Enable(Page(), CutButton, true);
    } else {
        Enable(Page(), CutButton, !GuideActive() || app.CurrentStep == StepCount - 1);
    }
    // The page carries the Media loading dialog's four figures under the
    // same identifiers.
    ShowLoadingFigure(Page(), app.MarksOn, app.Direction);
}

} // namespace osa
