#include "controller/shell/entry.h"

#include "controller/app_state.h"
#include "controller/res/resource_ids.h"
#include "controller/res/resources.h"
#include "controller/shell/command_line.h"
#include "controller/shell/error_message.h"
#include "controller/ui/main_dialog.h"
#include "platform/services.h"

namespace osa {

namespace {
Window OwnerWindow(const StartupOptions& options) {
    // The option carries a window handle as a 32-bit number.
    return Window{static_cast<std::uintptr_t>(static_cast<std::uint32_t>(options.ownerWindow))};
}
} // namespace

int RunController(std::uintptr_t instance, std::span<const std::string_view> args) {
    AppState& app = App();
    app.instance = instance;
    ParseCommandLine(args, app.demoMode, app.options);

    if (!Instance().ClaimFirstInstance()) {
        (void)ShowErrorMessage(OwnerWindow(app.options), rc::AlreadyActive);
        Instance().RaiseFirstInstance(res::LoadString(ids::StrCaption));
        return ExitAlreadyRunning;
    }
    return static_cast<int>(
        Windows().DialogBox(ids::DlgMain, OwnerWindow(app.options), MainDialogProc, 0));
}

} // namespace osa
