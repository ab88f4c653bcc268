#include "controller/ui/main_dialog.h"

#include <string>
#include <vector>

#include "controller/app_state.h"
#include "controller/link/cutter_commands.h"
#include "controller/link/device_link.h"
#include "controller/res/control_ids.h"
#include "controller/res/resource_ids.h"
#include "controller/res/resources.h"
#include "controller/settings/media_catalogue.h"
#include "controller/settings/program_paths.h"
#include "controller/settings/settings_file.h"
#include "controller/shell/companion.h"
#include "controller/shell/error_message.h"
#include "controller/shell/text_scanner.h"
#include "controller/ui/cut_page.h"
#include "controller/ui/cut_start.h"
#include "controller/ui/guide.h"
#include "controller/ui/message_hooks.h"
#include "controller/ui/run_windows.h"
#include "controller/ui/small_dialogs.h"
#include "controller/ui/text_fit.h"
#include "platform/services.h"

namespace osa {

namespace {

constexpr int MediaLoadingStep = 3;

// The leading decimal number of the version text, without the locale.
double VersionNumber(const char* text) {
    double version = 0.0;
    TextScanner(std::string_view(text)).Double(version);
    return version;
}

MediaRecord& CurrentMedium() {
    AppState& app = App();
    return app.Media.Records[static_cast<std::size_t>(app.MediaIndex)];
}

void ChooseCurrentConditions() {
    AppState& app = App();
    MediaRecord& medium = CurrentMedium();
    app.CurrentCondition = medium.ConditionNumber;
    app.CurrentOffset = medium.CutterOffset;
    app.CapColour = medium.Cap;
    switch (medium.ConfigurationMode) {
    case MediaFixed:
        medium.AdjustedSpeed = ReadCutSpeed(app.iniPath);
        medium.AdjustedForce = ReadCutPress(app.iniPath);
        [[fallthrough]];
    case MediaModifiable:
        app.CurrentSpeed = app.AdjustSettings != 0 ? medium.AdjustedSpeed : medium.DefaultSpeed;
        app.CurrentPressure = app.AdjustSettings != 0 ? medium.AdjustedForce : medium.DefaultForce;
        break;
    case MediaUser:
        app.CurrentSpeed = medium.AdjustedSpeed;
        app.CurrentPressure = medium.AdjustedForce;
        break;
    default:
        break;
    }
}

[[nodiscard]] ResultCode SendStartConditions() {
    AppState& app = App();
    if (ResultCode r = SendCutConditionNumber(app.CurrentCondition); r != rc::Ok) return r;
    if (ResultCode r = SendCutSpeed(app.CurrentSpeed); r != rc::Ok) return r;
    if (ResultCode r = SendCutPressure(app.CurrentPressure); r != rc::Ok) return r;
    if (ResultCode r = SendCutterOffset(app.CurrentOffset); r != rc::Ok) return r;

    app.RollAction = ReadRollAction(app.iniPath);
    if (ResultCode r = SendRollAction(app.AdjustSettings != 0 ? app.RollAction : 0); r != rc::Ok)
        return r;
    app.ThickMediaMode = 0;
    return SendThickMediaMode(0);
}

void ReadJobSettings() {
    AppState& app = App();
    app.Direction = ReadDirection(app.iniPath);
    if (app.options.orientationGiven) {
        if (app.options.orientation == 0 || app.options.orientation == 1)
            app.Direction = app.options.orientation;
        else
            app.options.pendingError = rc::BadOrientationOption;
    }
    app.MarksOn = ReadPosSet(app.iniPath);
    MarkDistances distances = ReadMarkDistances(app.iniPath, app.Direction);
    app.MarkDistX = distances.x;
    app.MarkDistY = distances.y;
    app.AutoSearchMarks = ReadTomboAutoRead(app.iniPath);
    app.Unit = ReadUnit(app.iniPath);
    app.CalibrationOpen = 0;
}

// The colours of a static of the main window, by its id.
// The title line: the version prefix and the cutter's firmware version.
std::string TitleText() {
    std::string title(res::LoadString(ids::StrVersionPrefix));
    title += App().FirmwareVersion;
    return title;
}

std::intptr_t StaticColoursFor(const DialogMessage& message) {
    const AppState& app = App();
    const int id = message.id;
    if (id >= ctl::StepLabelFirst && id <= ctl::SeparatorLast) {
        if (message.colours != nullptr) {
            message.colours->transparent = true;
            const bool current =
                id <= ctl::StepLabelLast && id - ctl::StepLabelFirst == app.CurrentStep;
            message.colours->text = current ? StepHighlightColour : LabelColour;
        }
        return static_cast<std::intptr_t>(app.MainBackgroundBrush.Get().value);
    }
    if (id == ctl::TitleLine) {
        if (message.colours != nullptr) {
            message.colours->transparent = true;
            message.colours->text = LabelColour;
        }
        return static_cast<std::intptr_t>(app.MainBackgroundBrush.Get().value);
    }
    if (id == ctl::MessageArea || id == ctl::StepTitle || id == ctl::StepMessage)
        return static_cast<std::intptr_t>(app.MessageAreaBrush.Get().value);
    return 0;
}

void OnInitDialog() {
    AppState& app = App();
    WindowHost& w = Windows();
    app.MainBackgroundBrush.Reset(w.CreateSolidBrush(MainBackgroundColour));
    app.MessageAreaBrush.Reset(w.CreateSolidBrush(Rgb(255, 255, 255)));
    if (ResultCode r = InitMainDialog(); r != rc::Ok) {
        ShowErrorMessage(MainWindow(), r);
        CloseController(ExitStartupFailed);
    } else if (app.options.pendingError != rc::Ok) {
        ShowErrorMessage(MainWindow(), app.options.pendingError);
    }
    w.RemoveCloseCommand(MainWindow());
}

void OnDestroy() {
    AppState& app = App();
    app.MainBackgroundBrush.Reset();
    app.MessageAreaBrush.Reset();
    app.TitleFont.Reset();
    app.StepFont.Reset();
    app.MessageFont.Reset();
    app.mainDialog = 0;
    app.pageDialog = 0;
}

void OnDeactivate() {
    // Keyboard positioning ends when the window loses the focus.
    const ResultCode r = LetGoOfThePad(PageWindow(), ctl::UseKeyboard);
    if (r != rc::Ok) (void)ShowErrorMessage(MainWindow(), r);
}

void OnStepButton(bool forward) {
    if (forward)
        GuideNext();
    else
        GuidePrevious();
    if (App().CurrentStep == MediaLoadingStep)
        Windows().DialogBox(ids::DlgMediaLoading, MainWindow(), MediaLoadingDialogProc, 0);
}

// Enter acts exactly as "Cut..." does, and only while "Cut..." can be
// pressed: the guide keeps it disabled until the last step.
void OnEnter() {
    Window page{App().pageDialog};
    if (InCutMode() && App().pageDialog != 0 && !Windows().IsItemEnabled(page, ctl::CutButton))
        return;
    if (ResultCode r = CutOrClose(); r != rc::Ok) ShowErrorMessage(MainWindow(), r);
}

} // namespace

ResultCode InitMainDialog() {
    AppState& app = App();
    WindowHost& w = Windows();

    ResolveProgramPaths(app);
    w.SetCaption(MainWindow(), res::LoadString(ids::StrCaption));
    w.SetWindowIcon(MainWindow(), ids::IconProgram);
    InitDeviceLink();
    if (ResultCode r = LoadUsbModule(); r != rc::Ok) return r;
    if (ResultCode r = FindCutterPrinters(); r != rc::Ok) return r;
    ClearCompanionProcess();
    if (ResultCode r = CheckCutterReady(); r != rc::Ok) return r;
    if (ResultCode r = SendStartNotice(); r != rc::Ok) return r;
    if (ResultCode r = ReadFirmwareVersion(app.FirmwareVersion); r != rc::Ok) return r;

    app.StoredGuideMenu = ReadGuideMenu(app.iniPath);
    if (VersionNumber(app.FirmwareVersion) < 2.0) {
        app.FirmwareV2 = 0;
        app.GuideShown = 0;
    } else {
        app.FirmwareV2 = 1;
        app.GuideShown = InCutMode() ? app.StoredGuideMenu : 0;
    }
    app.AdjustSettings = ReadCutCondAdjust(app.iniPath);

    if (app.FirmwareV2 == 1) {
        std::string name = ReadMediaName(app.iniPath);
        int index = 0;
        LoadMediaCatalogue(app.Media, index, name, app.mediaDir);
        app.MediaIndex = index;
        if (app.Media.Count == 0) return rc::MediaListMissing;
    } else {
        LoadBuiltInMedia(app.Media);
        app.MediaIndex = ReadCutCondition(app.iniPath);
    }
    ChooseCurrentConditions();
    if (ResultCode r = SendStartConditions(); r != rc::Ok) return r;
    ReadJobSettings();
    if (ResultCode r = ReadSensorCorrection(app.SensorCorrectionX, app.SensorCorrectionY);
        r != rc::Ok)
        return r;
    if (ResultCode r = ReadFeedAdjustment(app.FeedAdjustment); r != rc::Ok) return r;

    CreateDialogFonts();
    w.SetItemText(MainWindow(), ctl::TitleLine, TitleText());
    app.MainWindowRect = w.GetWindowRect(MainWindow());
    app.GuidePanelRect = w.GetItemRect(MainWindow(), ctl::GuidePanelFrame);

    app.CurrentStep = 0;
    Window page = w.CreateDialog(ids::DlgCutSettings, MainWindow(), CutSettingsPageProc, 0);
    app.pageDialog = page.value;
    RefreshGuide();
    InstallHooks(); // the last step
    return rc::Ok;
}

void CreateDialogFonts() {
    AppState& app = App();
    WindowHost& w = Windows();
    const Window main = MainWindow();
    // Each font fits every text the program puts into its controls
    // (controller/ui/text_fit.h).
    std::vector<ControlText> titles{{ctl::TitleLine, TitleText()}};
    for (int id = ids::StrStepTitleFirst; id <= ids::StrStepTitleLast; ++id)
        titles.push_back({ctl::StepTitle, std::string(res::LoadString(id))});
    app.TitleFont.Reset(
        FontFittingOneLine(main, titles, w.GetItemRect(main, ctl::TitleLine).Height(), 700));
    for (int id : {ctl::TitleLine, ctl::StepTitle})
        w.SetItemFont(main, id, app.TitleFont.Get());

    std::vector<ControlText> labels;
    for (int id = ctl::StepLabelFirst; id <= ctl::SeparatorLast; ++id)
        labels.push_back({id, w.GetItemText(main, id)});
    app.StepFont.Reset(
        FontFittingOneLine(main, labels, w.GetItemRect(main, ctl::StepLabelFirst).Height(), 700));
    for (int id = ctl::StepLabelFirst; id <= ctl::SeparatorLast; ++id)
        w.SetItemFont(main, id, app.StepFont.Get());

    // The step message at the dialog font's own size, so that the guide's
    // text reads as well as the rest of the window.
    std::vector<ControlText> messages;
    for (int id = ids::StrStepMessageFirst; id <= ids::StrStepMessageLast; ++id)
        messages.push_back({ctl::StepMessage, std::string(res::LoadString(id))});
    app.MessageFont.Reset(FontFittingWrapped(main, messages, 0, 0));
    w.SetItemFont(main, ctl::StepMessage, app.MessageFont.Get());
}

void CloseController(int exitCode) {
    FreeCutterPrinters();
    RemoveHooks();
    CloseDeviceLink();
    CloseAnimatedInstructions();
    Windows().EndDialog(MainWindow(), exitCode);
}

std::intptr_t MainDialogProc(Window dialog, const DialogMessage& message) {
    App().mainDialog = dialog.value;
    switch (message.msg) {
    case Msg::InitDialog:
        OnInitDialog();
        return 0;
    case Msg::Destroy:
        OnDestroy();
        return 1;
    case Msg::Activate:
        if (message.code == 0 && !message.minimized) OnDeactivate();
        return 0;
    case Msg::Close:
        FinishController(InCutMode() ? ExitCancelled : ExitClosed);
        return 0;
    case Msg::Command:
        switch (message.id) {
        case mb::IdOk:
            OnEnter();
            break;
        case mb::IdCancel:
            CancelJob();
            break;
        case ctl::PreviousButton:
            OnStepButton(false);
            break;
        case ctl::NextButton:
            OnStepButton(true);
            break;
        case ctl::GuideToggle:
            App().GuideShown = App().GuideShown == 0 ? 1 : 0;
            RefreshGuide();
            break;
        default:
            break;
        }
        return 0;
    case Msg::CtlColorDlg:
        return static_cast<std::intptr_t>(App().MainBackgroundBrush.Get().value);
    case Msg::CtlColorStatic:
        return StaticColoursFor(message);
    default:
        return 0;
    }
}

} // namespace osa
