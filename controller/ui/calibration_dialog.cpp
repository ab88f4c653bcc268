// The Calibration dialog. It does not read the cutter: it shows the
// corrections the main window read at start-up and keeps them in step with
// what it writes. The values live only in AppState and in the cutter.
#include "controller/ui/calibration_dialog.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <optional>
#include <string>

#include "controller/app_state.h"
#include "controller/link/cutter_commands.h"
#include "controller/res/control_ids.h"
#include "controller/res/resources.h"
#include "controller/shell/error_message.h"
#include "controller/ui/confirm_box.h"
#include "controller/ui/edit_focus.h"
#include "controller/ui/guide.h"
#include "controller/ui/mark_distance.h"
#include "controller/ui/position_pad.h"
#include "controller/ui/run_windows.h"
#include "controller/ui/scroll_step.h"
#include "platform/services.h"

namespace osa {

namespace {

namespace id {
constexpr int Close = mb::IdOk;
constexpr int MarkReadingTest = 5110;
constexpr int XLabel = 5112;
constexpr int YLabel = 5114;
constexpr int XBar = 5130; // vertical
constexpr int YBar = 5131; // horizontal
constexpr int FeedText = 5105;
constexpr int Help = 5137;
} // namespace id

namespace str {
constexpr int Caption = 2001;
constexpr int XPrefix = 2404;
constexpr int YPrefix = 2405;
} // namespace str

constexpr std::uint32_t HelpContext = 0x18001;
// Both corrections run 0..80 (shown -40..+40); a page is 10 steps.
constexpr StepRange CorrectionSteps{0, 80, 10};
// The edit is read into a 513-byte buffer.
constexpr std::size_t FeedTextBytes = 512;

void ShowCorrection(Window dialog, int label, int bar, int prefix, std::int32_t value) {
    WindowHost& w = Windows();
    w.SetItemText(dialog, label, std::string(res::LoadString(prefix)) + std::to_string(value - 40));
    w.SetScrollPos(dialog, bar, value, true);
}

void OpenHelp(Window dialog) {
    Windows().ShowHelp(dialog, App().helpPath, HelpContext);
}

// A completed step of either bar is written at once with the other axis's
// stored value; the thumb's track only moves the display.
void OnScroll(Window dialog, bool xBar, int code, int position) {
    AppState& app = App();
    std::int32_t& stored = xBar ? app.SensorCorrectionX : app.SensorCorrectionY;
    const std::int32_t old = stored;
    const std::optional<int> stepped = ScrollStep(CorrectionSteps, code, old, position);
    if (!stepped) return;
    const std::int32_t value = *stepped;
    auto show = [&](std::int32_t v) {
        if (xBar)
            ShowSensorCorrectionX(dialog, v);
        else
            ShowSensorCorrectionY(dialog, v);
    };
    show(value);
    if (value == old || code == sb::ThumbTrack) return;
    const ResultCode r = xBar ? WriteSensorCorrection(value, app.SensorCorrectionY)
                              : WriteSensorCorrection(app.SensorCorrectionX, value);
    if (r == rc::Ok) {
        stored = value;
        return;
    }
    show(old);
    (void)ShowErrorMessage(dialog, r);
}

void OnClose(Window dialog) {
    AppState& app = App();
    const ResultCode r = ApplyFeedAdjustment(dialog, app.FeedAdjustment);
    if (r == rc::FeedAdjustmentRange) {
        (void)ShowErrorMessage(dialog, r);
        return;
    }
    app.CalibrationOpen = 0;
    RefreshPositionPad();
    Windows().EndDialog(dialog, r);
}

// Losing the activation (one of its own message boxes opening counts) lets
// go of whatever the pad holds and ends keyboard positioning.
void OnDeactivate(Window dialog) {
    const ResultCode r = LetGoOfThePad(dialog, ctl::CalibrationUseKeyboard);
    if (r != rc::Ok) (void)ShowErrorMessage(dialog, r);
}

// The text as a number times 1000, truncated toward zero; nothing when that
// is beyond any 32-bit value (and so far outside the range).
std::optional<std::int32_t> Thousandths(std::string_view text) {
    const double value = std::trunc(ReadNumberText(text) * 1000.0);
    if (!(value >= -2147483648.0 && value <= 2147483647.0)) return std::nullopt;
    return static_cast<std::int32_t>(value);
}

} // namespace

void ShowSensorCorrectionX(Window dialog, std::int32_t value) {
    ShowCorrection(dialog, id::XLabel, id::XBar, str::XPrefix, value);
}

void ShowSensorCorrectionY(Window dialog, std::int32_t value) {
    ShowCorrection(dialog, id::YLabel, id::YBar, str::YPrefix, value);
}

void InitCalibrationDialog(Window dialog) {
    AppState& app = App();
    WindowHost& w = Windows();
    app.CalibrationOpen = 1;
    RefreshPositionPad();
    w.SetCaption(dialog, res::LoadString(str::Caption));
    w.SetScrollRange(dialog, id::XBar, CorrectionSteps.low, CorrectionSteps.high, true);
    w.SetScrollRange(dialog, id::YBar, CorrectionSteps.low, CorrectionSteps.high, true);
    ShowSensorCorrectionX(dialog, app.SensorCorrectionX);
    ShowSensorCorrectionY(dialog, app.SensorCorrectionY);
    w.SetItemText(dialog, id::FeedText, FixedText(app.FeedAdjustment * 0.001, 2));
}

ResultCode RunMarkReadingTest(Window dialog) {
    if (!ConfirmBox(dialog, confirm::MarkReadingTest)) return rc::Ok;
    return StartSensorCorrectionScan();
}

ResultCode CheckFeedAdjustment(std::int32_t value) {
    return value >= -2000 && value <= 2000 ? rc::Ok : rc::FeedAdjustmentRange;
}

std::optional<std::int32_t> FeedAdjustmentToSend(std::string_view text) {
    // The check is made on the text as typed; the cutter gets it cut to two
    // decimals ("1.999" passes as 1999 and is sent as 1990).
    const std::string typed(text);
    if (!CheckNumberText(typed.c_str())) return std::nullopt;
    const std::optional<std::int32_t> value = Thousandths(typed);
    if (!value || CheckFeedAdjustment(*value) != rc::Ok) return std::nullopt;
    std::string_view cut = text;
    if (const std::size_t point = cut.find('.'); point != std::string_view::npos)
        cut = cut.substr(0, std::min(cut.size(), point + 3));
    return Thousandths(cut).value_or(0); // within the range, as checked
}

ResultCode ApplyFeedAdjustment(Window dialog, std::int32_t& stored) {
    std::string text = Windows().GetItemText(dialog, id::FeedText);
    if (text.size() > FeedTextBytes) text.resize(FeedTextBytes);
    const std::optional<std::int32_t> value = FeedAdjustmentToSend(text);
    if (!value) {
        FocusAndSelect(dialog, id::FeedText);
        return rc::FeedAdjustmentRange;
    }
    const ResultCode r = SendFeedAdjustment(*value);
    if (r == rc::Ok) stored = *value;
    return r;
}

std::intptr_t CalibrationDialogProc(Window dialog, const DialogMessage& message) {
    RememberHandle(App().calibrationDialog, dialog, message.msg);
    switch (message.msg) {
    case Msg::InitDialog:
        InitCalibrationDialog(dialog);
        return 0;
    case Msg::Help:
        OpenHelp(dialog);
        return 1;
    case Msg::Activate:
        if (message.code == 0 && !message.minimized) OnDeactivate(dialog);
        return 0;
    case Msg::Command:
        switch (message.id) {
        case id::Close:
            OnClose(dialog);
            break;
        case id::MarkReadingTest:
            if (const ResultCode r = RunMarkReadingTest(dialog); r != rc::Ok)
                (void)ShowErrorMessage(dialog, r);
            break;
        case id::Help:
            OpenHelp(dialog);
            break;
        case ctl::CalibrationUseKeyboard:
            OnUseKeyboard();
            break;
        default: // Escape (IDCANCEL) among them
            break;
        }
        return 0;
    case Msg::VScroll:
        if (message.id == id::XBar) OnScroll(dialog, true, message.code, message.position);
        return 0;
    case Msg::HScroll:
        if (message.id == id::YBar) OnScroll(dialog, false, message.code, message.position);
        return 0;
    default:
        return 0;
    }
}

} // namespace osa
