#include "controller/ui/small_dialogs.h"

#include "controller/app_state.h"
#include "controller/res/control_ids.h"
#include "controller/res/resource_ids.h"
#include "controller/res/resources.h"
#include "controller/ui/run_windows.h"
#include "platform/services.h"

namespace osa {

namespace {

constexpr int StrLoadingText = 2500;

} // namespace

void ShowLoadingFigure(Window dialog, std::int32_t marksOn, std::int32_t direction) {
    WindowHost& host = Windows();
    for (int id : {ctl::FigureLandscape, ctl::FigurePortrait, ctl::FigureMarksLandscape,
                   ctl::FigureMarksPortrait})
        host.ShowItem(dialog, id, false);
    // Any direction but 0 reads as portrait; only 1 means the marks are on.
    const bool portrait = direction != 0;
    int shown = portrait ? ctl::FigurePortrait : ctl::FigureLandscape;
    if (marksOn == 1) shown = portrait ? ctl::FigureMarksPortrait : ctl::FigureMarksLandscape;
    host.ShowItem(dialog, shown, true);
}

std::intptr_t MediaLoadingDialogProc(Window dialog, const DialogMessage& message) {
    RememberHandle(App().mediaLoadingDialog, dialog, message.msg);
    switch (message.msg) {
    case Msg::InitDialog:
        Windows().SetItemText(dialog, ctl::LoadingText, res::LoadString(StrLoadingText));
        ShowLoadingFigure(dialog, App().MarksOn, App().Direction);
        return 0;
    case Msg::Command:
        // OK and Enter (IDOK), Escape and the close box (IDCANCEL) all just close it.
        if (message.id == mb::IdOk || message.id == mb::IdCancel) Windows().EndDialog(dialog, 0);
        return 0;
    default:
        return 0;
    }
}

std::intptr_t AboutDialogProc(Window dialog, const DialogMessage& message) {
    RememberHandle(App().aboutDialog, dialog, message.msg);
    switch (message.msg) {
    case Msg::InitDialog:
        Windows().SetItemText(dialog, ctl::VersionLine, res::LoadString(ids::StrVersionLine));
        return 0;
    case Msg::Command:
        // Escape (IDCANCEL) leaves the box open; OK and Enter close it.
        if (message.id == mb::IdOk) Windows().EndDialog(dialog, mb::IdOk);
        return 0;
    case Msg::SysCommand:
        if ((message.code & 0xFFF0) == sc::Close) Windows().EndDialog(dialog, mb::IdOk);
        return 0;
    default:
        return 0;
    }
}

} // namespace osa
