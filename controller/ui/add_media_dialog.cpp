// The Add Media dialog. Nothing is stored or sent until OK: the form in
// AppState holds what the user set, and the catalogue's adding rule decides
// what becomes of it.
#include "controller/ui/add_media_dialog.h"

#include <cstddef>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include "controller/app_state.h"
#include "controller/res/control_ids.h"
#include "controller/res/resources.h"
#include "controller/settings/media_catalogue.h"
#include "controller/shell/error_message.h"
#include "controller/ui/cut_page.h"
#include "controller/ui/run_windows.h"
#include "controller/ui/scroll_step.h"
#include "platform/services.h"

namespace osa {

namespace {

namespace id {
constexpr int Ok = mb::IdOk;
constexpr int Cancel = mb::IdCancel;
constexpr int YellowCap = 5161;
constexpr int BlueCap = 5160;
constexpr int RedCap = 5162;
constexpr int Pen = 5151; // always hidden here
constexpr int Name = 5169;
constexpr int CapList = 5168;
constexpr int SpeedNumber = 5172;
constexpr int SpeedBar = 5170;
constexpr int ThicknessNumber = 5174;
constexpr int ThicknessBar = 5171;
constexpr int ThicknessTop = 1187;
} // namespace id

namespace str {
constexpr int Caption = 2002;
constexpr int NewMedia = 2406;
constexpr int ThicknessTop = 2501;
constexpr int CapNames = 2321; // 2321 Blue, 2322 Yellow, 2323 Red
} // namespace str

constexpr std::int32_t UserCutterOffset = 18;
constexpr int CapCount = 3;

void SetFormName(NewMediaForm& form, std::string_view name) {
    const std::size_t n = std::min(name.size(), std::size_t{MaxMediaNameBytes});
    std::memcpy(form.name, name.data(), n);
    form.name[n] = '\0';
}

// The edit's text as name bytes, at most 64 of them: where the text is
// longer, whole characters are left off its end, so that no character is cut
// in two (UTF-8 on Linux, a double-byte code page on Windows).
std::string NameFromEdit(Window dialog) {
    std::string text = Windows().GetItemText(dialog, id::Name);
    std::string name = MediaNames().FromScreen(text);
    while (name.size() > static_cast<std::size_t>(MaxMediaNameBytes) && !text.empty()) {
        std::size_t end = text.size() - 1;
        while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
            --end; // back to the first byte of the last character
        text.resize(end);
        name = MediaNames().FromScreen(text);
    }
    return name;
}

void OnScroll(Window dialog, int bar, int code, int position) {
    NewMediaForm& form = App().NewMedia;
    const bool speed = bar == id::SpeedBar;
    if (!speed && bar != id::ThicknessBar) return;
    std::int32_t& value = speed ? form.speed : form.force;
    const std::optional<int> stepped =
        ScrollStep(speed ? SpeedSteps : ThicknessSteps, code, value, position);
    if (!stepped) return;
    value = *stepped;
    ShowNewMediaValues(dialog, form.speed, form.force);
}

void OnCapList(Window dialog, int code) {
    NewMediaForm& form = App().NewMedia;
    WindowHost& w = Windows();
    if (code == notify::ComboSelEndOk) {
        form.cap = w.ComboGetSelection(dialog, id::CapList) + 1;
        ShowNewMediaCap(dialog, form.cap);
    } else if (code == notify::ComboCloseUp) {
        // A drop-down dismissed without a choice shows the cap in force again.
        w.ComboSetSelection(dialog, id::CapList, form.cap - 1);
    }
}

} // namespace

void ShowNewMediaValues(Window dialog, std::int32_t speed, std::int32_t force) {
    WindowHost& w = Windows();
    w.SetItemText(dialog, id::SpeedNumber, std::to_string(speed));
    w.SetScrollPos(dialog, id::SpeedBar, speed, true);
    w.SetItemText(dialog, id::ThicknessNumber, std::to_string(force));
    w.SetScrollPos(dialog, id::ThicknessBar, force, true);
}

void ShowNewMediaCap(Window dialog, std::int32_t cap) {
    WindowHost& w = Windows();
    for (int picture : {id::RedCap, id::BlueCap, id::YellowCap, id::Pen})
        w.ShowItem(dialog, picture, false);
    switch (cap) {
    case CapBlue:
        w.ShowItem(dialog, id::BlueCap, true);
        break;
    case CapYellow:
        w.ShowItem(dialog, id::YellowCap, true);
        break;
    case CapRed:
        w.ShowItem(dialog, id::RedCap, true);
        break;
    default:
        break;
    }
}

void InitAddMediaDialog(Window dialog) {
    AppState& app = App();
    WindowHost& w = Windows();
    NewMediaForm& form = app.NewMedia;
    form = NewMediaForm{};
    SetFormName(form, res::LoadString(str::NewMedia));
    form.cutterOffset = UserCutterOffset;
    form.cap = CapBlue;
    // The current medium's adjusted values; a pen medium (cap 0) starts with Blue.
    form.speed = SpeedSteps.low;
    form.force = ThicknessSteps.low;
    if (app.MediaIndex >= 0 && app.MediaIndex < app.Media.Count) {
        const MediaRecord& current = app.Media.Records[static_cast<std::size_t>(app.MediaIndex)];
        form.speed = current.AdjustedSpeed;
        form.force = current.AdjustedForce;
        if (current.Cap != CapPen) form.cap = current.Cap;
    }

    w.SetCaption(dialog, res::LoadString(str::Caption));
    w.EditLimitText(dialog, id::Name, MaxMediaNameBytes);
    w.SetItemText(dialog, id::Name, MediaNames().ToScreen(form.name));
    w.SetScrollRange(dialog, id::SpeedBar, SpeedSteps.low, SpeedSteps.high, true);
    w.SetScrollRange(dialog, id::ThicknessBar, ThicknessSteps.low, ThicknessSteps.high, true);
    w.SetItemText(dialog, id::ThicknessTop, res::LoadString(str::ThicknessTop));
    ShowNewMediaValues(dialog, form.speed, form.force);
    w.ComboReset(dialog, id::CapList);
    for (int i = 0; i < CapCount; ++i)
        w.ComboAdd(dialog, id::CapList, res::LoadString(str::CapNames + i));
    w.ComboSetSelection(dialog, id::CapList, form.cap - 1);
    ShowNewMediaCap(dialog, form.cap);
}

ResultCode AddMediaOk(Window dialog) {
    AppState& app = App();
    WindowHost& w = Windows();
    NewMediaForm& form = app.NewMedia;
    SetFormName(form, NameFromEdit(dialog));

    // The adding rule refuses (254) a name with any of the bytes
    // \ / : * ? " < > |, checked byte by byte, as well as the name of a
    // fixed or modifiable medium.
    const NewMedium medium{form.name, form.speed, form.force, form.cutterOffset, form.cap};
    MediumChange change = MediumChange::None;
    int position = 0;
    const ResultCode r = AddUserMedium(app.Media, medium, app.mediaDir, dialog, change, position);
    if (r != rc::Ok || change == MediumChange::None) return r;

    // The page lists every medium in catalogue order, so the new one goes at
    // its end; then the page makes it current and sends its condition.
    const Window page = PageWindow();
    if (change == MediumChange::Appended)
        w.ComboAdd(page, ctl::MediaList, MediaNames().ToScreen(form.name));
    w.ComboSetSelection(page, ctl::MediaList, position);
    DialogMessage selected;
    selected.msg = Msg::Command;
    selected.id = ctl::MediaList;
    selected.code = notify::ComboSelEndOk;
    (void)CutSettingsPageProc(page, selected);
    w.EndDialog(dialog, 1);
    return rc::Ok;
}

std::intptr_t AddMediaDialogProc(Window dialog, const DialogMessage& message) {
    RememberHandle(App().addMediaDialog, dialog, message.msg);
    switch (message.msg) {
    case Msg::InitDialog:
        InitAddMediaDialog(dialog);
        return 0;
    case Msg::Command:
        switch (message.id) {
        case id::Ok:
            if (const ResultCode r = AddMediaOk(dialog); r != rc::Ok)
                (void)ShowErrorMessage(dialog, r);
            break;
        case id::Cancel: // Cancel, Escape or the close box
            Windows().EndDialog(dialog, 0);
            break;
        case id::CapList:
            OnCapList(dialog, message.code);
            break;
        default:
            break;
        }
        return 0;
    case Msg::HScroll:
        OnScroll(dialog, message.id, message.code, message.position);
        return 0;
    default:
        return 0;
    }
}

} // namespace osa
