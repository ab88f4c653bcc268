#include "controller/ui/cut_start.h"

#include "controller/app_state.h"
#include "controller/link/cutter_commands.h"
#include "controller/settings/media_catalogue.h"
#include "controller/settings/settings_file.h"
#include "controller/ui/confirm_box.h"
#include "controller/ui/cut_page.h"
#include "controller/ui/main_dialog.h"

namespace osa {

namespace {

// Settings file, then the modifiable and user media files, then the end.
void SaveAndClose(int exitCode) {
    AppState& app = App();
    const MediaRecord none{};
    const bool valid = app.MediaIndex >= 0 && app.MediaIndex < app.Media.Count;
    SaveSettings(app, valid ? app.Media.Records[static_cast<std::size_t>(app.MediaIndex)] : none);
    SaveAllMediaFiles(app.Media, app.mediaDir);
    CloseController(exitCode);
}

} // namespace

ResultCode StartCut() {
    AppState& app = App();
    if (!app.options.noTrim) {
        if (app.AutoSearchMarks == 1 && app.MarksOn == 1) {
            if (ResultCode r = ReadRegistrationMarks(); r != rc::Ok) return r;
        }
        ResultCode ready = QueryMarkSensorReady();
        if (ready == rc::GeneralError) {
            if (!ConfirmBox(Window{app.mainDialog}, confirm::CutWithoutMarks)) return rc::Ok;
        } else if (ready != rc::Ok) {
            return ready;
        }
    }
    SaveAndClose(ExitCut);
    return rc::Ok;
}

void FinishController(int exitCode) {
    SaveAndClose(exitCode);
}

ResultCode CutOrClose() {
    if (App().options.cutMode == 0) {
        FinishController(ExitClosed);
        return rc::Ok;
    }
    return StartCut();
}

void CancelJob() {
    if (App().options.cutMode != 0) FinishController(ExitCancelled);
}

} // namespace osa
