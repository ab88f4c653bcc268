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
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "controller/app_state.h"
#include "controller/link/cutter_commands.h"
#include "controller/res/resource_ids.h"
#include "controller/res/resources.h"
#include "controller/settings/media_catalogue.h"
#include "controller/shell/companion.h"
#include "controller/shell/error_message.h"
#include "controller/shell/text_scanner.h"
#include "controller/ui/confirm_box.h"
#include "controller/ui/control_ids.h"
#include "controller/ui/cut_start.h"
#include "controller/ui/guide.h"
#include "controller/ui/run_windows.h"
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

constexpr int SpeedMin = 1, SpeedMax = 10, SpeedPage = 5;
constexpr int ThicknessMin = 1, ThicknessMax = 3, ThicknessPage = 1;

// One inch counts as 25405.9 micrometres in the cutter's units.
constexpr double MicrometresPerInch = 25405.9;
constexpr double MicrometresPerMm = 1000.0;

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

// printf's "%.<precision>f" in the C locale.
std::string Fixed(double value, int precision) {
    char buffer[400]; // enough for any double in fixed notation
    auto [end, ec] =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, precision);
    return ec == std::errc() ? std::string(buffer, end) : std::string{};
}

// "%lf" of a text the number check has passed; 0 when nothing reads.
double ReadNumber(std::string_view text) {
    double value = 0.0;
    TextScanner scanner(text);
    return scanner.Double(value) ? value : 0.0;
}

std::int32_t TruncateToInt32(double value) {
    // Truncation toward zero; out of range (never after the range check) is pinned.
    if (std::isnan(value)) return 0;
    if (value >= 2147483647.0) return INT32_MAX;
    if (value <= -2147483648.0) return INT32_MIN;
    return static_cast<std::int32_t>(value);
}

std::int32_t TextToMicrometres(std::string_view text, std::int32_t unit) {
    // Only what can be shown again is kept: one decimal in millimetres,
    // three in inches; the digits beyond are dropped, not rounded.
    const std::size_t kept = unit == 1 ? 4 : 2;
    const std::size_t point = text.find('.');
    if (point != std::string_view::npos && point + kept < text.size())
        text = text.substr(0, point + kept);
    const double factor = unit == 1 ? MicrometresPerInch : MicrometresPerMm;
    return TruncateToInt32(ReadNumber(text) * factor);
}

std::string MicrometresToText(std::int32_t micrometres, std::int32_t unit) {
    if (unit == 1) return Fixed(micrometres * (1.0 / MicrometresPerInch), 3);
    return Fixed(micrometres * 0.001, 1);
}

std::string DistanceText(int id) {
    std::string text = Windows().GetItemText(PageWindow(), id);
    if (text.size() > DistanceTextBytes) text.resize(DistanceTextBytes);
    return text;
}

// The code of a bad value in the x or y edit: the range code of that field.
ResultCode FieldCode(bool yField, std::int32_t direction, std::int32_t unit) {
    const ResultCode first = yField ? rc::MarkDistanceYFirst : rc::MarkDistanceXFirst;
    return first + (direction == 1 ? 2 : 0) + (unit == 1 ? 1 : 0);
}

struct Distances {
    std::int32_t xUm = 0;
    std::int32_t yUm = 0;
};

// Reads, checks and converts the two edits in `unit`. A failure gives the
// offending edit the focus with its text selected.
ResultCode ReadDistanceEdits(std::int32_t unit, Distances& out) {
    const std::int32_t direction = App().Direction;
    const std::string xText = DistanceText(ctl::DistanceX);
    const std::string yText = DistanceText(ctl::DistanceY);
    if (!CheckNumberText(xText.c_str())) {
        FocusAndSelect(ctl::DistanceX);
        return FieldCode(false, direction, unit);
    }
    if (!CheckNumberText(yText.c_str())) {
        FocusAndSelect(ctl::DistanceY);
        return FieldCode(true, direction, unit);
    }
    const ResultCode r = CheckMarkDistances(direction, ReadNumber(xText), ReadNumber(yText), unit);
    if (r != rc::Ok) {
        FocusAndSelect(r < rc::MarkDistanceYFirst ? ctl::DistanceX : ctl::DistanceY);
        return r;
    }
    ParseMarkDistances(xText.c_str(), yText.c_str(), unit, out.xUm, out.yUm);
    return rc::Ok;
}

bool Within(double value, double low, double high) {
    // Written so that NaN fails.
    return value >= low && value <= high;
}

ResultCode CheckMarkSize(double millimetres) {
    return Within(millimetres, 5.0, 20.0) ? rc::Ok : rc::BadMarkSizeOption;
}

void ShowSpeedAndThickness(std::int32_t speed, std::int32_t thickness) {
    WindowHost& w = Windows();
    w.SetItemText(PageWindow(), ctl::SpeedNumber, Decimal(speed));
    w.SetItemText(PageWindow(), ctl::ThicknessNumber, Decimal(thickness));
    w.SetScrollPos(PageWindow(), ctl::SpeedBar, speed, true);
    w.SetScrollPos(PageWindow(), ctl::ThicknessBar, thickness, true);
}

void ShowThicknessLabel(std::int32_t mediaIndex) {
    int caption = str::ThicknessCaption;
    if (const MediaRecord* r = RecordAt(mediaIndex); r != nullptr && r->ConfigurationMode == 0) {
        for (int id : str::ThinMedia)
            if (MediaName(*r) == res::LoadString(id)) caption = str::ThinMediaThicknessCaption;
    }
    Windows().SetItemText(PageWindow(), ctl::ThicknessCaption, res::LoadString(caption));
}

// --- Page start -------------------------------------------------------------

void ComputePadRects(PadRects& areas) {
    WindowHost& w = Windows();
    const Rect g2 = w.MapDialogRect(PageWindow(), Rect{0, 0, 2, 0});
    const int g = g2.right;
    auto centre = [&](int x, int y) {
        const Rect r = w.MapDialogRect(PageWindow(), Rect{x, y, x, y});
        return Point{r.left, r.top};
    };
    auto square = [](Point c) { return Rect{c.x - 16, c.y - 16, c.x + 16, c.y + 16}; };
    const Point pad = centre(261, 169);
    areas.up = Rect{pad.x - 16, pad.y - g - 48, pad.x + 16, pad.y - g - 16};
    areas.down = Rect{pad.x - 16, pad.y + g + 16, pad.x + 16, pad.y + g + 48};
    areas.left = Rect{pad.x - g - 48, pad.y - 16, pad.x - g - 16, pad.y + 16};
    areas.right = Rect{pad.x + g + 16, pad.y - 16, pad.x + g + 48, pad.y + 16};
    areas.testCut = square(centre(280, 82));
    areas.origin = square(centre(53, 204));
}

void FillMediaList() {
    WindowHost& w = Windows();
    const AppState& app = App();
    w.ComboReset(PageWindow(), ctl::MediaList);
    for (std::int32_t i = 0; i < app.Media.Count && i < MaxMedia; ++i)
        (void)w.ComboAdd(
            PageWindow(), ctl::MediaList,
            MediaNames().ToScreen(MediaName(app.Media.Records[static_cast<std::size_t>(i)])));
    w.ComboSetSelection(PageWindow(), ctl::MediaList, app.MediaIndex);
}

// The mark distances of -TB23, checked in millimetres and shown in the
// page's unit. MarkDistX/MarkDistY keep the remembered distances.
void TakeMarkDistanceOption() {
    AppState& app = App();
    StartupOptions& o = app.options;
    if (CheckMarkDistances(app.Direction, o.markDistanceX, o.markDistanceY, 0) != rc::Ok) {
        o.pendingError = rc::BadMarkDistanceOption;
        return;
    }
    const std::string x = Fixed(o.markDistanceX, 6); // "%lf"
    const std::string y = Fixed(o.markDistanceY, 6);
    ParseMarkDistances(x.c_str(), y.c_str(), 0, o.markDistanceXUm, o.markDistanceYUm);
    ShowMarkDistances(o.markDistanceXUm, o.markDistanceYUm, app.Unit);
}

void InitCutSettingsPage() {
    AppState& app = App();
    StartupOptions& o = app.options;
    WindowHost& w = Windows();

    app.Pad = PositionPad{};
    ComputePadRects(app.PadAreas);
    FillMediaList();
    w.SetScrollRange(PageWindow(), ctl::SpeedBar, SpeedMin, SpeedMax, true);
    w.SetScrollRange(PageWindow(), ctl::ThicknessBar, ThicknessMin, ThicknessMax, true);
    w.SetItemText(PageWindow(), ctl::ThicknessTop, res::LoadString(str::ThicknessTop));
    ShowThicknessLabel(app.MediaIndex);
    ShowSpeedAndThickness(app.CurrentSpeed, app.CurrentPressure);
    ShowMarkDistances(app.MarkDistX, app.MarkDistY, app.Unit);

    if (o.markDistanceGiven != 0 && !(o.cutMode != 0 && o.noTrim != 0)) TakeMarkDistanceOption();

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
    if (o.cutMode == 0) w.ShowItem(PageWindow(), ids::IdCancel, false);
    const ResultCode orientation = SendDesignOrientation(app.Direction);
    if (failure == rc::Ok) failure = orientation;
    if (failure != rc::Ok && o.pendingError == rc::Ok) o.pendingError = failure;
}

// --- Handlers -----------------------------------------------------------------

ResultCode OnScroll(int id, int code, int position) {
    MediaRecord* record = CurrentRecord();
    if (record == nullptr) return rc::Ok;
    const bool speed = id == ctl::SpeedBar;
    if (!speed && id != ctl::ThicknessBar) return rc::Ok;
    const int low = speed ? SpeedMin : ThicknessMin;
    const int high = speed ? SpeedMax : ThicknessMax;
    const int page = speed ? SpeedPage : ThicknessPage;
    const std::int32_t old = speed ? record->AdjustedSpeed : record->AdjustedForce;
    std::int32_t value = old;
    switch (code) {
    case sb::LineLeft:
        if (value > low) --value;
        break;
    case sb::LineRight:
        if (value < high) ++value;
        break;
    case sb::PageLeft:
        value = value - page < low ? low : value - page;
        break;
    case sb::PageRight:
        value = value + page > high ? high : value + page;
        break;
    case sb::ThumbPosition:
    case sb::ThumbTrack:
        value = position < low ? low : (position > high ? high : position);
        break;
    default:
        return rc::Ok;
    }
    if (speed)
        ShowSpeedAndThickness(value, record->AdjustedForce);
    else
        ShowSpeedAndThickness(record->AdjustedSpeed, value);
    if (value == old || code == sb::ThumbTrack) return rc::Ok;

    const ResultCode r = speed ? SendCutSpeed(value) : SendCutPressure(value);
    if (r != rc::Ok) {
        ShowSpeedAndThickness(record->AdjustedSpeed, record->AdjustedForce);
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

ResultCode OnMediaSelected() {
    AppState& app = App();
    const int index = Windows().ComboGetSelection(PageWindow(), ctl::MediaList);
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
        Windows().ComboSetSelection(PageWindow(), ctl::MediaList, app.MediaIndex);
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
    ShowThicknessLabel(index);
    ShowSpeedAndThickness(app.CurrentSpeed, app.CurrentPressure);
    RefreshMediaStep();
    return rc::Ok;
}

ResultCode OnAdjustSettings() {
    AppState& app = App();
    const MediaRecord* record = CurrentRecord();
    if (record == nullptr) return rc::Ok;
    const bool on = Windows().IsItemChecked(PageWindow(), ctl::AdjustSettings);
    const std::int32_t speed = on ? record->AdjustedSpeed : record->DefaultSpeed;
    const std::int32_t force = on ? record->AdjustedForce : record->DefaultForce;
    ResultCode r = SendCutCondition(app.CurrentCondition, speed, force, app.CurrentOffset);
    // The cutter's roll action is 1 only while adjusting without Track Enhancing.
    if (r == rc::Ok && app.RollAction == 1) r = SendRollAction(on ? 1 : 0);
    if (r != rc::Ok) {
        Windows().CheckItem(PageWindow(), ctl::AdjustSettings, app.AdjustSettings != 0);
        return r;
    }
    app.CurrentSpeed = speed;
    app.CurrentPressure = force;
    app.AdjustSettings = on ? 1 : 0;
    ShowSpeedAndThickness(speed, force);
    RefreshMediaStep();
    return rc::Ok;
}

ResultCode OnTrackEnhancing() {
    AppState& app = App();
    const std::int32_t value = Windows().IsItemChecked(PageWindow(), ctl::TrackEnhancing) ? 0 : 1;
    const ResultCode r = SendRollAction(value);
    if (r != rc::Ok) {
        Windows().CheckItem(PageWindow(), ctl::TrackEnhancing, app.RollAction == 0);
        return r;
    }
    app.RollAction = value;
    return rc::Ok;
}

ResultCode OnOrientation(std::int32_t direction) {
    AppState& app = App();
    const int chosen = direction == 0 ? ctl::Landscape : ctl::Portrait;
    const int other = direction == 0 ? ctl::Portrait : ctl::Landscape;
    if (app.Direction == direction || !Windows().IsItemChecked(PageWindow(), chosen)) return rc::Ok;
    const ResultCode r = SendDesignOrientation(direction);
    if (r != rc::Ok) {
        Windows().CheckItem(PageWindow(), chosen, false);
        Windows().CheckItem(PageWindow(), other, true);
        return r;
    }
    app.Direction = direction;
    RefreshCutButton();
    return rc::Ok;
}

void OnRegistrationMarks() {
    AppState& app = App();
    if (Windows().IsItemChecked(PageWindow(), ctl::RegistrationMarks)) {
        app.MarksOn = 1;
        ShowMarkDistances(app.MarkDistX, app.MarkDistY, app.Unit);
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

ResultCode OnUnit(std::int32_t unit) {
    AppState& app = App();
    const int chosen = unit == 0 ? ctl::UnitMm : ctl::UnitInch;
    const int other = unit == 0 ? ctl::UnitInch : ctl::UnitMm;
    if (app.Unit == unit || !Windows().IsItemChecked(PageWindow(), chosen)) return rc::Ok;
    if (app.MarksOn == 0) {
        app.Unit = unit;
        return rc::Ok;
    }
    Distances d;
    if (const ResultCode r = ReadDistanceEdits(app.Unit, d); r != rc::Ok) {
        Windows().CheckItem(PageWindow(), chosen, false);
        Windows().CheckItem(PageWindow(), other, true);
        return r;
    }
    app.Unit = unit;
    ShowMarkDistances(d.xUm, d.yUm, unit);
    return rc::Ok;
}

// The program's help at the page's topic, owned by the main window.
constexpr std::uint32_t PageHelpContext = 98304;

void OpenHelp() {
    Windows().ShowHelp(MainWindow(), App().helpPath, PageHelpContext);
}

ResultCode OnCalibration() {
    if (!ConfirmBox(MainWindow(), confirm::Calibration)) return rc::Ok;
    // The Calibration dialog joins here.
    return rc::Ok;
}

void OnAbout() {
    (void)Windows().DialogBox(ids::DlgAbout, MainWindow(), AboutDialogProc, 0);
}

ResultCode OnCommand(const DialogMessage& m) {
    switch (m.id) {
    case ctl::MediaList:
        if (m.code == notify::ComboCloseUp)
            Windows().ComboSetSelection(PageWindow(), ctl::MediaList, App().MediaIndex);
        else if (m.code == notify::ComboSelEndOk)
            return OnMediaSelected();
        return rc::Ok;
    case ctl::AdjustSettings:
        return OnAdjustSettings();
    case ctl::TrackEnhancing:
        return OnTrackEnhancing();
    case ctl::Landscape:
        return OnOrientation(0);
    case ctl::Portrait:
        return OnOrientation(1);
    case ctl::RegistrationMarks:
        OnRegistrationMarks();
        return rc::Ok;
    case ctl::SearchMarks:
        OnSearchRegistrationMark();
        return rc::Ok;
    case ctl::UnitMm:
        return OnUnit(0);
    case ctl::UnitInch:
        return OnUnit(1);
    case ctl::ReadMarks:
        return ReadRegistrationMarks();
    case ids::IdOk:
        return CutOrClose();
    case ids::IdCancel:
        CancelJob();
        return rc::Ok;
    case ctl::Help:
        OpenHelp();
        return rc::Ok;
    case ctl::Calibration:
        return OnCalibration();
    case ctl::AddMedia:
        return rc::Ok; // the Add Media dialog joins here; its result is not shown
    case ctl::About:
        OnAbout();
        return rc::Ok;
    case ctl::AnimatedInstructions:
        return ShowAnimatedInstructions();
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
        InitCutSettingsPage();
        return 0;
    case Msg::Paint:
        PaintPad(page);
        return 0;
    case Msg::Help:
        OpenHelp();
        return 1;
    case Msg::HScroll:
        Show(OnScroll(message.id, message.code, message.position));
        return 0;
    case Msg::Command:
        Show(OnCommand(message));
        return 0;
    case Msg::Destroy:
        if (App().pageDialog == page.value) App().pageDialog = 0;
        return 0;
    default:
        return 0;
    }
}

bool CheckNumberText(const char* text) {
    if (text == nullptr || *text == '\0') return false;
    bool digit = false;
    bool point = false;
    for (const char* p = text; *p != '\0'; ++p) {
        const char c = *p;
        if (c >= '0' && c <= '9') {
            digit = true;
        } else if (c == '.' && !point) {
            point = true;
        } else if (c == '-' && p == text) {
            // a sign, first only
        } else {
            return false;
        }
    }
    return digit;
}

ResultCode CheckMarkDistances(std::int32_t direction, double x, double y, std::int32_t unit) {
    // The long side of the media is 970 mm, the short one 192 mm; in inches
    // the limits are those lengths in the cutter's inch.
    const bool inch = unit == 1;
    const double longSide = inch ? 38.18 : 970.0;
    const double shortSide = inch ? 7.557 : 192.0;
    const bool portrait = direction == 1;
    const double xLimit = portrait ? shortSide : longSide;
    const double yLimit = portrait ? longSide : shortSide;
    if (!Within(x, 0.0, xLimit)) return FieldCode(false, direction, unit);
    if (!Within(y, 0.0, yLimit)) return FieldCode(true, direction, unit);
    return rc::Ok;
}

void ParseMarkDistances(const char* xText, const char* yText, std::int32_t unit, std::int32_t& xUm,
                        std::int32_t& yUm) {
    xUm = TextToMicrometres(xText != nullptr ? xText : "", unit);
    yUm = TextToMicrometres(yText != nullptr ? yText : "", unit);
}

void ShowMarkDistances(std::int32_t xUm, std::int32_t yUm, std::int32_t unit) {
    WindowHost& w = Windows();
    const std::string_view unitName = res::LoadString(str::UnitNames + (unit == 1 ? 1 : 0));
    w.SetItemText(PageWindow(), ctl::DistanceX, MicrometresToText(xUm, unit));
    w.SetItemText(PageWindow(), ctl::DistanceY, MicrometresToText(yUm, unit));
    w.SetItemText(PageWindow(), ctl::UnitLabelX, unitName);
    w.SetItemText(PageWindow(), ctl::UnitLabelY, unitName);
}

void FocusAndSelect(int id) {
    Windows().SetFocusItem(PageWindow(), id);
    Windows().EditSetSelection(PageWindow(), id, 0, -1);
}

ResultCode ReadRegistrationMarks() {
    AppState& app = App();
    WindowHost& w = Windows();
    const bool automatic = app.AutoSearchMarks == 1;
    if (!automatic && !ConfirmBox(MainWindow(), confirm::ManualMarkRead)) return rc::Ok;

    Distances d;
    if (const ResultCode r = ReadDistanceEdits(app.Unit, d); r != rc::Ok) return r;
    ShowMarkDistances(d.xUm, d.yUm, app.Unit);

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

void PaintPad(Window page) {
    const AppState& app = App();
    const PositionPad& pad = app.Pad;
    const PadRects& at = app.PadAreas;
    WindowHost& w = Windows();
    struct Icons {
        int normal, pressed, disabled;
    };
    auto corner = [](const Rect& r) { return Point{r.left, r.top}; };
    auto direction = [&](const Rect& r, std::int32_t bit, Icons icons) {
        int icon = icons.normal;
        if (pad.HeldDirections == pad::DirectionsDisabled)
            icon = icons.disabled;
        else if ((pad.HeldDirections & bit) != 0)
            icon = icons.pressed;
        w.DrawIcon(page, icon, corner(r));
    };
    auto button = [&](const Rect& r, std::int32_t state, Icons icons) {
        const int icon = state == 1 ? icons.pressed : (state == 2 ? icons.disabled : icons.normal);
        w.DrawIcon(page, icon, corner(r));
    };
    direction(at.up, pad::Up, {1505, 1506, 1520});
    direction(at.down, pad::Down, {1509, 1510, 1517});
    direction(at.left, pad::Left, {1503, 1504, 1518});
    direction(at.right, pad::Right, {1507, 1508, 1519});
    button(at.testCut, pad.TestCutButton, {1501, 1502, 1516});
    button(at.origin, pad.OriginButton, {1511, 1512, 1513});
}

} // namespace osa
