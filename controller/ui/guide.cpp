#include "controller/ui/guide.h"

#include <initializer_list>

#include "controller/app_state.h"
#include "controller/res/control_ids.h"
#include "controller/res/resources.h"
#include "controller/ui/run_windows.h"
#include "controller/ui/small_dialogs.h"
#include "platform/services.h"

namespace osa {

namespace {

constexpr int ConditionControls[] = {
    ctl::AddMedia,         ctl::SpeedCaption,    ctl::SpeedNumber,     ctl::SpeedBottom,
    ctl::SpeedTop,         ctl::SlowLabel,       ctl::FastLabel,       ctl::SpeedBar,
    ctl::ThicknessCaption, ctl::ThicknessNumber, ctl::ThicknessBottom, ctl::ThicknessTop,
    ctl::ThinLabel,        ctl::ThickLabel,      ctl::ThicknessBar,    ctl::TestCutLabel};
constexpr int DistanceGroup[] = {ctl::DistanceCaption, ctl::WidthLabel, ctl::LengthLabel,
                                 ctl::DistanceX,       ctl::DistanceY,  ctl::UnitLabelX,
                                 ctl::UnitLabelY,      ctl::UnitMm,     ctl::UnitInch};

struct CapRow {
    int lineString;
    int colouredControl;
    int greyControl;
};
constexpr CapRow CapRows[] = {
    {2412, ctl::CapFigurePen, ctl::CapFigurePenGrey},
    {2411, ctl::CapFigureBlue, ctl::CapFigureBlueGrey},
    {2410, ctl::CapFigureYellow, ctl::CapFigureYellowGrey},
    {2409, ctl::CapFigureRed, ctl::CapFigureRedGrey},
};
constexpr int AllCapFigures[] = {
    ctl::CapFigureRed,    ctl::CapFigureRedGrey,    ctl::CapFigureBlue, ctl::CapFigureBlueGrey,
    ctl::CapFigureYellow, ctl::CapFigureYellowGrey, ctl::CapFigurePen,  ctl::CapFigurePenGrey};

constexpr int StepTitles[StepCount] = {2300, 2301, 2302, 2303, 2304, 2305};

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
    Rect now = w.GetWindowRect(MainWindow());
    w.MoveWindow(MainWindow(), Rect{now.left, now.top, now.left + width, now.top + height}, true);
}

int ConfigurationModeOfCurrentMedium() {
    const AppState& app = App();
    if (app.MediaIndex < 0 || app.MediaIndex >= app.Media.Count) return 0;
    return app.Media.Records[static_cast<std::size_t>(app.MediaIndex)].ConfigurationMode;
}

void RedrawPadArea(const Rect& area) {
    if (App().pageDialog != 0) Windows().InvalidateRect(PageWindow(), area, true);
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
        w.SetItemText(MainWindow(), ctl::StepTitle, res::LoadString(StepTitles[step]));
        w.SetItemText(MainWindow(), ctl::StepMessage, res::LoadString(StepMessageString()));
    }
    Enable(MainWindow(), ctl::PreviousButton, step != 0);
    Enable(MainWindow(), ctl::NextButton, step != StepCount - 1);

    const Rect& full = app.MainWindowRect;
    if (app.GuideShown == 1) {
        ResizeMain(full.Width(), full.Height());
        w.ShowItem(MainWindow(), ctl::PreviousButton, true);
        w.ShowItem(MainWindow(), ctl::NextButton, true);
        w.SetItemText(MainWindow(), ctl::GuideToggle, res::LoadString(2502));
    } else {
        ResizeMain(full.Width(), full.Height() - app.GuidePanelRect.Height());
        w.ShowItem(MainWindow(), ctl::PreviousButton, false);
        w.ShowItem(MainWindow(), ctl::NextButton, false);
        if (app.FirmwareV2 == 0) {
            w.ShowItem(MainWindow(), ctl::GuideToggle, false);
            w.ShowItem(PageWindow(), ctl::AddMedia, false);
            w.ShowItem(PageWindow(), ctl::TrackEnhancing, false);
            w.ShowItem(PageWindow(), ctl::SearchMarks, false);
            return;
        }
        if (!InCutMode()) w.ShowItem(MainWindow(), ctl::GuideToggle, false);
        w.SetItemText(MainWindow(), ctl::GuideToggle, res::LoadString(2503));
    }
    for (int id = ctl::StepLabelFirst; id < ctl::StepLabelFirst + StepCount; ++id) {
        Rect label = w.GetItemRect(MainWindow(), id);
        Point topLeft = w.ScreenToClient(MainWindow(), Point{label.left, label.top});
        Point bottomRight = w.ScreenToClient(MainWindow(), Point{label.right, label.bottom});
        w.InvalidateRect(MainWindow(), Rect{topLeft.x, topLeft.y, bottomRight.x, bottomRight.y},
                         false);
    }
}

void RefreshMediaStep() {
    AppState& app = App();
    WindowHost& w = Windows();
    const bool userMedium = ConfigurationModeOfCurrentMedium() == MediaUser;
    const bool guiding = GuideActive() && app.CurrentStep != 0;

    bool colouredShown, greyShown, capLineActive, selection, adjustEnabled, conditions, track;
    if (guiding) {
        colouredShown = app.CurrentStep == 1;
        greyShown = app.CurrentStep != 1;
        capLineActive = app.CurrentStep == 1;
        selection = adjustEnabled = conditions = track = false;
        app.Pad.TestCutButton = pad::Disabled;
    } else {
        if (userMedium) {
            w.CheckItem(PageWindow(), ctl::AdjustSettings, true);
            app.AdjustSettings = 1;
        }
        colouredShown = true;
        greyShown = false;
        capLineActive = !GuideActive();
        selection = true;
        adjustEnabled = !userMedium;
        conditions = app.AdjustSettings == 1;
        track = app.AdjustSettings == 1 && app.CurrentPressure >= 3;
        app.Pad.TestCutButton = app.AdjustSettings == 1 ? pad::Normal : pad::Disabled;
    }

    for (int id : AllCapFigures)
        w.ShowItem(PageWindow(), id, false);
    if (app.CapColour >= 0 && app.CapColour <= 3) {
        const CapRow& row = CapRows[app.CapColour];
        if (colouredShown) w.ShowItem(PageWindow(), row.colouredControl, true);
        if (greyShown) w.ShowItem(PageWindow(), row.greyControl, true);
        w.SetItemText(PageWindow(), ctl::CapLine, res::LoadString(row.lineString));
    }
    if (userMedium) app.AdjustSettings = 1;
    w.CheckItem(PageWindow(), ctl::AdjustSettings, app.AdjustSettings != 0);
    w.CheckItem(PageWindow(), ctl::TrackEnhancing, app.CurrentPressure >= 3 && app.RollAction == 0);

    Enable(PageWindow(), ctl::MediaLabel, selection);
    Enable(PageWindow(), ctl::MediaList, selection);
    Enable(PageWindow(), ctl::AdjustSettings, adjustEnabled);
    for (int id : ConditionControls)
        Enable(PageWindow(), id, conditions);
    Enable(PageWindow(), ctl::TrackEnhancing, track);
    Enable(PageWindow(), ctl::CapLine, capLineActive);
    w.ShowItem(PageWindow(), ctl::CapActiveIcon, capLineActive);
    w.ShowItem(PageWindow(), ctl::CapInactiveIcon, !capLineActive);
    RedrawPadArea(app.PadAreas.testCut);
}

void RefreshOrientationStep() {
    const AppState& app = App();
    const bool enabled = !GuideActive() || app.CurrentStep == 2;
    Enable(PageWindow(), ctl::Orientation, enabled);
    Enable(PageWindow(), ctl::Landscape, enabled);
    Enable(PageWindow(), ctl::Portrait, enabled);
    Windows().CheckItem(PageWindow(), ctl::Landscape, app.Direction == 0);
    Windows().CheckItem(PageWindow(), ctl::Portrait, app.Direction != 0);
}

void RefreshMarkControls() {
    AppState& app = App();
    const StartupOptions& o = app.options;
    const bool active = !GuideActive() || app.CurrentStep == 4;
    bool marksBox, search, distances, reading;
    if (!active || (InCutMode() && o.noTrim)) {
        marksBox = search = distances = reading = false;
        if (InCutMode() && o.noTrim) app.MarksOn = 0;
    } else if (o.markDistanceGiven) {
        marksBox = false;
        search = true;
        distances = false;
        reading = !(InCutMode() && app.AutoSearchMarks == 1);
        app.MarksOn = 1;
    } else if (app.MarksOn == 0) {
        marksBox = true;
        search = distances = reading = false;
    } else if (app.AutoSearchMarks == 1 && InCutMode()) {
        marksBox = search = true;
        distances = reading = false;
    } else {
        marksBox = search = distances = reading = true;
    }
    Enable(PageWindow(), ctl::RegistrationMarks, marksBox);
    Enable(PageWindow(), ctl::SearchMarks, search);
    for (int id : DistanceGroup)
        Enable(PageWindow(), id, distances);
    Enable(PageWindow(), ctl::ReadMarks, reading);

    WindowHost& w = Windows();
    w.CheckItem(PageWindow(), ctl::RegistrationMarks, app.MarksOn != 0);
    w.CheckItem(PageWindow(), ctl::SearchMarks, app.MarksOn != 0 && app.AutoSearchMarks != 0);
    w.CheckItem(PageWindow(), ctl::UnitMm, app.Unit == 0);
    w.CheckItem(PageWindow(), ctl::UnitInch, app.Unit != 0);
}

void RefreshOriginButton() {
    AppState& app = App();
    const bool active = (!GuideActive() || app.CurrentStep == 4) && app.MarksOn == 0;
    Enable(PageWindow(), ctl::SetOrigin, active);
    app.Pad.OriginButton = active ? pad::Normal : pad::Disabled;
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
    Enable(PageWindow(), ctl::BladePosition, enabled);
    Enable(PageWindow(), ctl::UseKeyboard, enabled);
    for (const Rect* area :
         {&app.PadAreas.left, &app.PadAreas.right, &app.PadAreas.up, &app.PadAreas.down})
        RedrawPadArea(*area);
}

void RefreshCutButton() {
    const AppState& app = App();
    WindowHost& w = Windows();
    if (!InCutMode()) {
        w.SetItemText(PageWindow(), ctl::CutButton, res::LoadString(2504));
        Enable(PageWindow(), ctl::CutButton, true);
    } else {
        Enable(PageWindow(), ctl::CutButton, !GuideActive() || app.CurrentStep == StepCount - 1);
    }
    // The page carries the Media loading dialog's four figures under the
    // same identifiers.
    ShowLoadingFigure(PageWindow(), app.MarksOn, app.Direction);
}

} // namespace osa
