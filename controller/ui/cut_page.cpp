// The cut settings page. Each handler sends its setting to the cutter at
// once; when the cutter refuses it, the control is put back as it was and
// the code goes back to the page procedure, which shows it on the main
// window. AppState changes only after the cutter has taken the setting.
//
// The page keeps no state of its own: it reads and writes AppState, the
// media catalogue and the start-up options. After a change it runs the
// guide's refresh operations, which decide every enabled, shown and checked
// state from AppState.
#include "controller/ui/cut_page.h"

#include <charconv>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "controller/app_state.h"
#include "controller/link/cutter_commands.h"
#include "controller/res/control_ids.h"
#include "controller/res/resource_ids.h"
#include "controller/res/resources.h"
#include "controller/settings/media_catalogue.h"
#include "controller/shell/companion.h"
#include "controller/shell/error_message.h"
#include "controller/ui/add_media_dialog.h"
#include "controller/ui/calibration_dialog.h"
#include "controller/ui/confirm_box.h"
#include "controller/ui/cut_start.h"
#include "controller/ui/edit_focus.h"
#include "controller/ui/guide.h"
#include "controller/ui/mark_distance.h"
#include "controller/ui/position_pad.h"
#include "controller/ui/run_windows.h"
#include "controller/ui/scroll_step.h"
#include "controller/ui/small_dialogs.h"
#include "platform/services.h"

namespace osa {

namespace {

namespace str {
constexpr int ThicknessCaption = 2400;
constexpr int ThinMediaThicknessCaption = 2401;
constexpr int UnitNames = 2402; // + unit: "mm", "inch"
constexpr int ThicknessTop = 2501;
// The built-in media whose thickness caption is 2401.
constexpr int ThinMedia[] = {2202, 2204, 2205, 2210};
} // namespace str

// The edits are read into 513-byte buffers.
constexpr std::size_t DistanceTextBytes = 512;

// The window given with -OWNER, a 32-bit handle.
Window OwnerWindow() {
    return Window{
        static_cast<std::uintptr_t>(static_cast<std::uint32_t>(App().options.ownerWindow))};
}

MediaRecord* RecordAt(std::int32_t index) {
    AppState& app = App();
    if (index < 0 || index >= app.Media.Count || index >= MaxMedia) return nullptr;
    return &app.Media.Records[static_cast<std::size_t>(index)];
}

MediaRecord* CurrentRecord() {
    return RecordAt(App().MediaIndex);
}

std::string Decimal(int value) {
    char buffer[16];
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    return ec == std::errc() ? std::string(buffer, end) : std::string{};
}

std::string DistanceText(Window page, int id) {
    std::string text = Windows().GetItemText(page, id);
    if (text.size() > DistanceTextBytes) text.resize(DistanceTextBytes);
    return text;
}

// Micrometres shown in the two edits in `unit`, with the unit's name beside each.
void ShowMarkDistances(Window page, std::int32_t xUm, std::int32_t yUm, std::int32_t unit) {
    WindowHost& w = Windows();
    const std::string_view unitName =
        res::LoadString(str::UnitNames + (unit == UnitInches ? 1 : 0));
    w.SetItemText(page, ctl::DistanceX, MicrometresToText(xUm, unit));
    w.SetItemText(page, ctl::DistanceY, MicrometresToText(yUm, unit));
    w.SetItemText(page, ctl::UnitLabelX, unitName);
    w.SetItemText(page, ctl::UnitLabelY, unitName);
}

struct Distances {
    std::int32_t xUm = 0;
    std::int32_t yUm = 0;
};

// Reads, checks and converts the two edits in `unit`. A failure gives the
// offending edit the focus with its text selected.
[[nodiscard]] ResultCode ReadDistanceEdits(Window page, std::int32_t unit, Distances& out) {
    const std::int32_t direction = App().Direction;
    const std::string xText = DistanceText(page, ctl::DistanceX);
    const std::string yText = DistanceText(page, ctl::DistanceY);
    if (!CheckNumberText(xText.c_str())) {
        FocusAndSelect(page, ctl::DistanceX);
        return MarkDistanceFieldCode(false, direction, unit);
    }
    if (!CheckNumberText(yText.c_str())) {
        FocusAndSelect(page, ctl::DistanceY);
        return MarkDistanceFieldCode(true, direction, unit);
    }
    const ResultCode r =
        CheckMarkDistances(direction, ReadNumberText(xText), ReadNumberText(yText), unit);
    if (r != rc::Ok) {
        FocusAndSelect(page, r < rc::MarkDistanceYFirst ? ctl::DistanceX : ctl::DistanceY);
        return r;
    }
    ParseMarkDistances(xText.c_str(), yText.c_str(), unit, out.xUm, out.yUm);
    return rc::Ok;
}

[[nodiscard]] ResultCode CheckMarkSize(double millimetres) {
    // Written so that NaN fails.
    return millimetres >= 5.0 && millimetres <= 20.0 ? rc::Ok : rc::BadMarkSizeOption;
}

void ShowSpeedAndThickness(Window page, std::int32_t speed, std::int32_t thickness) {
    WindowHost& w = Windows();
    w.SetItemText(page, ctl::SpeedNumber, Decimal(speed));
    w.SetItemText(page, ctl::ThicknessNumber, Decimal(thickness));
    w.SetScrollPos(page, ctl::SpeedBar, speed, true);
    w.SetScrollPos(page, ctl::ThicknessBar, thickness, true);
}

void ShowThicknessLabel(Window page, std::int32_t mediaIndex) {
    int caption = str::ThicknessCaption;
    if (const MediaRecord* r = RecordAt(mediaIndex); r != nullptr && r->ConfigurationMode == 0) {
        for (int id : str::ThinMedia)
            if (MediaName(*r) == res::LoadString(id)) caption = str::ThinMediaThicknessCaption;
    }
    Windows().SetItemText(page, ctl::ThicknessCaption, res::LoadString(caption));
}

// --- Page start -------------------------------------------------------------

void FillMediaList(Window page) {
    WindowHost& w = Windows();
    const AppState& app = App();
    w.ComboReset(page, ctl::MediaList);
    for (std::int32_t i = 0; i < app.Media.Count && i < MaxMedia; ++i)
        (void)w.ComboAdd(
            page, ctl::MediaList,
            MediaNames().ToScreen(MediaName(app.Media.Records[static_cast<std::size_t>(i)])));
    w.ComboSetSelection(page, ctl::MediaList, app.MediaIndex);
}

// The mark distances of -TB23, checked in millimetres and shown in the
// page's unit. MarkDistX/MarkDistY keep the remembered distances.
void TakeMarkDistanceOption(Window page) {
    AppState& app = App();
    StartupOptions& o = app.options;
    if (CheckMarkDistances(app.Direction, o.markDistanceX, o.markDistanceY, 0) != rc::Ok) {
        o.pendingError = rc::BadMarkDistanceOption;
        return;
    }
    MillimetreDistancesToMicrometres(o.markDistanceX, o.markDistanceY, o.markDistanceXUm,
                                     o.markDistanceYUm);
    ShowMarkDistances(page, o.markDistanceXUm, o.markDistanceYUm, app.Unit);
}

void InitCutSettingsPage(Window page) {
    AppState& app = App();
    StartupOptions& o = app.options;
    WindowHost& w = Windows();

    app.Pad = PositionPad{};
    app.PadAreas = ComputePadRects(page);
    FillMediaList(page);
    w.SetScrollRange(page, ctl::SpeedBar, SpeedSteps.low, SpeedSteps.high, true);
    w.SetScrollRange(page, ctl::ThicknessBar, ThicknessSteps.low, ThicknessSteps.high, true);
    w.SetItemText(page, ctl::ThicknessTop, res::LoadString(str::ThicknessTop));
    ShowThicknessLabel(page, app.MediaIndex);
    ShowSpeedAndThickness(page, app.CurrentSpeed, app.CurrentPressure);
    ShowMarkDistances(page, app.MarkDistX, app.MarkDistY, app.Unit);

    if (o.markDistanceGiven != 0 && !(o.cutMode != 0 && o.noTrim != 0))
        TakeMarkDistanceOption(page);

    // The page start has no caller to show a refused command to: the first
    // failure waits in pendingError, which the main window shows once it is
    // up, unless an option error is already waiting there. The remaining
    // steps run all the same, so that the page is complete and the cutter
    // still learns the orientation.
    ResultCode failure = rc::Ok;
    if (o.markSizeGiven != 0) {
        if (CheckMarkSize(o.markSize) != rc::Ok)
            o.pendingError = rc::BadMarkSizeOption;
        else
            failure = SendMarkSize(o.markSize);
    }
    if (o.cutMode == 0) w.ShowItem(page, ctl::CancelButton, false);
    const ResultCode orientation = SendDesignOrientation(app.Direction);
    if (failure == rc::Ok) failure = orientation;
    if (failure != rc::Ok && o.pendingError == rc::Ok) o.pendingError = failure;
}

// --- Handlers -----------------------------------------------------------------

[[nodiscard]] ResultCode OnScroll(Window page, int id, int code, int position) {
    MediaRecord* record = CurrentRecord();
    if (record == nullptr) return rc::Ok;
    const bool speed = id == ctl::SpeedBar;
    if (!speed && id != ctl::ThicknessBar) return rc::Ok;
    const std::int32_t old = speed ? record->AdjustedSpeed : record->AdjustedForce;
    const std::optional<int> stepped =
        ScrollStep(speed ? SpeedSteps : ThicknessSteps, code, old, position);
    if (!stepped) return rc::Ok;
    const std::int32_t value = *stepped;
    if (speed)
        ShowSpeedAndThickness(page, value, record->AdjustedForce);
    else
        ShowSpeedAndThickness(page, record->AdjustedSpeed, value);
    if (value == old || code == sb::ThumbTrack) return rc::Ok;

    const ResultCode r = speed ? SendCutSpeed(value) : SendCutPressure(value);
    if (r != rc::Ok) {
        ShowSpeedAndThickness(page, record->AdjustedSpeed, record->AdjustedForce);
        return r;
    }
    if (speed) {
        App().CurrentSpeed = value;
        record->AdjustedSpeed = value;
    } else {
        App().CurrentPressure = value;
        record->AdjustedForce = value;
        RefreshMediaStep();
    }
    return rc::Ok;
}

[[nodiscard]] ResultCode OnMediaSelected(Window page) {
    AppState& app = App();
    const int index = Windows().ComboGetSelection(page, ctl::MediaList);
    MediaRecord* record = RecordAt(index);
    if (record == nullptr) return rc::Ok;
    std::int32_t speed = record->DefaultSpeed;
    std::int32_t force = record->DefaultForce;
    if (record->ConfigurationMode == MediaUser ||
        (record->ConfigurationMode == MediaModifiable && app.AdjustSettings == 1)) {
        speed = record->AdjustedSpeed;
        force = record->AdjustedForce;
    }
    const ResultCode r =
        SendCutCondition(record->ConditionNumber, speed, force, record->CutterOffset);
    if (r != rc::Ok) {
        Windows().ComboSetSelection(page, ctl::MediaList, app.MediaIndex);
        return r;
    }
    app.CurrentCondition = record->ConditionNumber;
    app.MediaIndex = index;
    app.CurrentSpeed = speed;
    app.CurrentPressure = force;
    app.CurrentOffset = record->CutterOffset;
    app.CapColour = record->Cap;
    if (record->ConfigurationMode == MediaFixed) {
        record->AdjustedSpeed = record->DefaultSpeed;
        record->AdjustedForce = record->DefaultForce;
    }
    ShowThicknessLabel(page, index);
    ShowSpeedAndThickness(page, app.CurrentSpeed, app.CurrentPressure);
    RefreshMediaStep();
    return rc::Ok;
}

[[nodiscard]] ResultCode OnAdjustSettings(Window page) {
    AppState& app = App();
    const MediaRecord* record = CurrentRecord();
    if (record == nullptr) return rc::Ok;
    const bool on = Windows().IsItemChecked(page, ctl::AdjustSettings);
    const std::int32_t speed = on ? record->AdjustedSpeed : record->DefaultSpeed;
    const std::int32_t force = on ? record->AdjustedForce : record->DefaultForce;
    ResultCode r = SendCutCondition(app.CurrentCondition, speed, force, app.CurrentOffset);
    // The cutter's roll action is 1 only while adjusting without Track Enhancing.
    if (r == rc::Ok && app.RollAction == 1) r = SendRollAction(on ? 1 : 0);
    if (r != rc::Ok) {
        Windows().CheckItem(page, ctl::AdjustSettings, app.AdjustSettings != 0);
        return r;
    }
    app.CurrentSpeed = speed;
    app.CurrentPressure = force;
    app.AdjustSettings = on ? 1 : 0;
    ShowSpeedAndThickness(page, speed, force);
    RefreshMediaStep();
    return rc::Ok;
}

[[nodiscard]] ResultCode OnTrackEnhancing(Window page) {
    AppState& app = App();
    const std::int32_t value = Windows().IsItemChecked(page, ctl::TrackEnhancing) ? 0 : 1;
    const ResultCode r = SendRollAction(value);
    if (r != rc::Ok) {
        Windows().CheckItem(page, ctl::TrackEnhancing, app.RollAction == 0);
        return r;
    }
    app.RollAction = value;
    return rc::Ok;
}

[[nodiscard]] ResultCode OnOrientation(Window page, std::int32_t direction) {
    AppState& app = App();
    const int chosen = direction == 0 ? ctl::Landscape : ctl::Portrait;
    const int other = direction == 0 ? ctl::Portrait : ctl::Landscape;
    if (app.Direction == direction || !Windows().IsItemChecked(page, chosen)) return rc::Ok;
    const ResultCode r = SendDesignOrientation(direction);
    if (r != rc::Ok) {
        Windows().CheckItem(page, chosen, false);
        Windows().CheckItem(page, other, true);
        return r;
    }
    app.Direction = direction;
    RefreshCutButton();
    return rc::Ok;
}

void OnRegistrationMarks(Window page) {
    AppState& app = App();
    if (Windows().IsItemChecked(page, ctl::RegistrationMarks)) {
        app.MarksOn = 1;
        ShowMarkDistances(page, app.MarkDistX, app.MarkDistY, app.Unit);
    } else {
        app.MarksOn = 0;
    }
    RefreshGuide();
}

void OnSearchRegistrationMark() {
    AppState& app = App();
    app.AutoSearchMarks = app.AutoSearchMarks != 0 ? 0 : 1;
    RefreshMarkControls();
    RefreshPositionPad();
}

[[nodiscard]] ResultCode OnUnit(Window page, std::int32_t unit) {
    AppState& app = App();
    const int chosen = unit == 0 ? ctl::UnitMm : ctl::UnitInch;
    const int other = unit == 0 ? ctl::UnitInch : ctl::UnitMm;
    if (app.Unit == unit || !Windows().IsItemChecked(page, chosen)) return rc::Ok;
    if (app.MarksOn == 0) {
        app.Unit = unit;
        return rc::Ok;
    }
    Distances d;
    if (const ResultCode r = ReadDistanceEdits(page, app.Unit, d); r != rc::Ok) {
        Windows().CheckItem(page, chosen, false);
        Windows().CheckItem(page, other, true);
        return r;
    }
    app.Unit = unit;
    ShowMarkDistances(page, d.xUm, d.yUm, unit);
    return rc::Ok;
}

// The registration-mark reading with the edits of `page`.
[[nodiscard]] ResultCode ReadRegistrationMarks(Window page) {
    AppState& app = App();
    WindowHost& w = Windows();
    const bool automatic = app.AutoSearchMarks == 1;
    if (!automatic && !ConfirmBox(MainWindow(), confirm::ManualMarkRead)) return rc::Ok;

    Distances d;
    if (const ResultCode r = ReadDistanceEdits(page, app.Unit, d); r != rc::Ok) return r;
    ShowMarkDistances(page, d.xUm, d.yUm, app.Unit);
    // The read blocks for up to 250 s: the distances it uses are shown first.
    w.UpdateWindow(page);

    w.SetWaitCursor(true); // lasts until the pointer next moves
    const ResultCode r =
        automatic ? ReadMarksAuto(1, d.xUm, d.yUm) : ReadMarksManual(1, d.xUm, d.yUm);
    if (r == rc::Ok) {
        app.MarkDistX = d.xUm;
        app.MarkDistY = d.yUm;
        if (app.options.ownerGiven == 1) w.SetForeground(OwnerWindow());
    }
    // Clicks made while the read blocked must not act now.
    w.DiscardPendingInput();
    w.SetForeground(MainWindow());
    return r;
}

// The program's help at the page's topic, owned by the main window.
constexpr std::uint32_t PageHelpContext = 98304;

void OpenHelp() {
    Windows().ShowHelp(MainWindow(), App().helpPath, PageHelpContext);
}

// The dialog ends with 0 or the code of the feed correction's send, which
// the page shows.
[[nodiscard]] ResultCode OnCalibration() {
    if (!ConfirmBox(MainWindow(), confirm::Calibration)) return rc::Ok;
    const std::intptr_t r =
        Windows().DialogBox(ids::DlgCalibration, MainWindow(), CalibrationDialogProc, 0);
    return r > 0 ? static_cast<ResultCode>(r) : rc::Ok;
}

// Its end value is not shown: the dialog shows its own failures.
void OnAddMedia() {
    (void)Windows().DialogBox(ids::DlgAddMedia, MainWindow(), AddMediaDialogProc, 0);
}

void OnAbout() {
    (void)Windows().DialogBox(ids::DlgAbout, MainWindow(), AboutDialogProc, 0);
}

[[nodiscard]] ResultCode OnCommand(Window page, const DialogMessage& m) {
    switch (m.id) {
    case ctl::MediaList:
        if (m.code == notify::ComboCloseUp)
            Windows().ComboSetSelection(page, ctl::MediaList, App().MediaIndex);
        else if (m.code == notify::ComboSelEndOk)
            return OnMediaSelected(page);
        return rc::Ok;
    case ctl::AdjustSettings:
        return OnAdjustSettings(page);
    case ctl::TrackEnhancing:
        return OnTrackEnhancing(page);
    case ctl::Landscape:
        return OnOrientation(page, 0);
    case ctl::Portrait:
        return OnOrientation(page, 1);
    case ctl::RegistrationMarks:
        OnRegistrationMarks(page);
        return rc::Ok;
    case ctl::SearchMarks:
        OnSearchRegistrationMark();
        return rc::Ok;
    case ctl::UnitMm:
        return OnUnit(page, 0);
    case ctl::UnitInch:
        return OnUnit(page, 1);
    case ctl::ReadMarks:
        return ReadRegistrationMarks(page);
    case ctl::CutButton:
        return CutOrClose();
    case ctl::CancelButton:
        CancelJob();
        return rc::Ok;
    case ctl::Help:
        OpenHelp();
        return rc::Ok;
    case ctl::Calibration:
        return OnCalibration();
    case ctl::AddMedia:
        OnAddMedia();
        return rc::Ok;
    case ctl::About:
        OnAbout();
        return rc::Ok;
    case ctl::AnimatedInstructions:
        return ShowAnimatedInstructions();
    case ctl::UseKeyboard:
        OnUseKeyboard();
        return rc::Ok;
    default:
        return rc::Ok;
    }
}

void Show(ResultCode r) {
    if (r != rc::Ok) (void)ShowErrorMessage(MainWindow(), r);
}

} // namespace

std::intptr_t CutSettingsPageProc(Window page, const DialogMessage& message) {
    switch (message.msg) {
    case Msg::InitDialog:
        App().pageDialog = page.value;
        InitCutSettingsPage(page);
        return 0;
    case Msg::Paint:
        PaintPad(page);
        return 0;
    case Msg::Help:
        OpenHelp();
        return 1;
    case Msg::LButtonDown:
        Show(OnPadButtonDown(page, message.point));
        return 0;
    case Msg::MouseMove:
        OnPadMouseMove(page, message.point);
        return 0;
    case Msg::LButtonUp:
        Show(OnPadButtonUp(page, message.point));
        return 0;
    case Msg::HScroll:
        Show(OnScroll(page, message.id, message.code, message.position));
        return 0;
    case Msg::Command:
        Show(OnCommand(page, message));
        return 0;
    case Msg::Destroy:
        if (App().pageDialog == page.value) App().pageDialog = 0;
        return 0;
    case Msg::CtlColorStatic:
        // The cap line's marker lies over the start of the cap line: it
        // paints only its mark, above the text (docs/DECISIONS.md).
        if ((message.id == ctl::CapActiveIcon || message.id == ctl::CapInactiveIcon) &&
            message.colours != nullptr)
            message.colours->hollow = true;
        return 0;
    default:
        return 0;
    }
}

ResultCode ReadRegistrationMarks() {
    return ReadRegistrationMarks(PageWindow());
}

} // namespace osa
