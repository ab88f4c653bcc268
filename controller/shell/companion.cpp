#include "controller/shell/companion.h"

#include <cstring>
#include <string_view>

#include "controller/app_state.h"
#include "platform/services.h"

namespace osa {

namespace {

// companionCommand is a fixed buffer; its text ends at the first NUL or at
// the end of the buffer, whichever comes first.
std::string_view CompanionCommand(const AppState& app) {
    const char* text = app.companionCommand;
    const void* end = std::memchr(text, '\0', sizeof app.companionCommand);
    const std::size_t length = end != nullptr
                                   ? static_cast<std::size_t>(static_cast<const char*>(end) - text)
                                   : sizeof app.companionCommand;
    return std::string_view(text, length);
}

// Lets go of the recorded process and forgets it together with its window,
// so that no later query reaches a handle that has been closed (and may since
// belong to something else).
void ForgetCompanion(AppState& app) {
    Processes().Release(app.companionProcess);
    app.companionProcess = ProcessRecord{};
    app.companionWindow = 0;
}

} // namespace

void ClearCompanionProcess() {
    App().companionProcess = ProcessRecord{};
}

ResultCode ShowAnimatedInstructions() {
    AppState& app = App();
    ProcessLauncher& launcher = Processes();

    bool known = false;
    const bool running = launcher.IsRunning(app.companionProcess, known);
    if (known && running) {
        // A window that was not there yet when the companion was started
        // may have appeared since.
        if (app.companionWindow == 0)
            app.companionWindow = launcher.FindMainWindow(app.companionProcess);
        if (app.companionWindow != 0) launcher.BringToFront(app.companionWindow);
        return rc::Ok;
    }
    if (known) ForgetCompanion(app); // ended: release the old copy before a new one

    // The window of an earlier copy is cleared too: it is gone with its
    // process and must not be raised in place of the new one's.
    app.companionProcess = ProcessRecord{};
    app.companionWindow = 0;
    if (!launcher.Start(CompanionCommand(app), app.companionProcess)) {
        app.companionProcess = ProcessRecord{};
        return rc::AnimatedInstructionsError;
    }
    app.companionWindow = launcher.FindMainWindow(app.companionProcess);
    if (app.companionWindow != 0) launcher.BringToFront(app.companionWindow);
    return rc::Ok;
}

void CloseAnimatedInstructions() {
    AppState& app = App();
    ProcessLauncher& launcher = Processes();

    bool known = false;
    const bool running = launcher.IsRunning(app.companionProcess, known);
    if (!known) return;
    if (running && app.companionWindow != 0) launcher.AskToClose(app.companionWindow);
    ForgetCompanion(app);
}

} // namespace osa
