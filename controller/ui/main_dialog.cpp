// The main window. For now it sets up its caption, icon and title line and
// ends on the close request, Enter and Esc with the exit code of the mode it
// runs in; the start-up sequence and the page join it as they are built.
#include "controller/ui/main_dialog.h"

#include <string>

#include "controller/app_state.h"
#include "controller/res/resource_ids.h"
#include "controller/res/resources.h"
#include "platform/services.h"

namespace osa {

namespace {

constexpr int TitleLine = 5132;

void InitMainDialog(Window dialog) {
    WindowHost& w = Windows();
    w.SetCaption(dialog, res::LoadString(ids::StrCaption));
    w.SetWindowIcon(dialog, ids::IconProgram);
    std::string title(res::LoadString(ids::StrVersionPrefix));
    if (App().demoMode == DemoFirmware1) title += res::LoadString(ids::StrDemoV1);
    if (App().demoMode == DemoFirmware2) title += res::LoadString(ids::StrDemoV2);
    w.SetItemText(dialog, TitleLine, title);
}

int EndCode() {
    return App().options.cutMode ? ExitCancelled : ExitClosed;
}

} // namespace

std::intptr_t MainDialogProc(Window dialog, const DialogMessage& message) {
    App().mainDialog = dialog.value;
    switch (message.msg) {
    case Msg::InitDialog:
        InitMainDialog(dialog);
        return 0;
    case Msg::Close:
        Windows().EndDialog(dialog, EndCode());
        return 0;
    case Msg::Command:
        if (message.id == ids::IdOk && !App().options.cutMode)
            Windows().EndDialog(dialog, ExitClosed);
        else if (message.id == ids::IdCancel && App().options.cutMode)
            Windows().EndDialog(dialog, ExitCancelled);
        return 0;
    case Msg::Destroy:
        App().mainDialog = 0;
        return 1;
    default:
        return 0;
    }
}

} // namespace osa
