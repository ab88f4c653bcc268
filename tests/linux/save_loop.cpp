// For the kill test: saves the settings and two media files with the
// program's own code and the Linux services, in folder DIR. "once a" or
// "once b" saves one state and ends; "loop" saves a, b, a, ... until it is
// killed, and says "saving" on standard output once the first save is done.
//
//   osa_save_loop DIR once a|b
//   osa_save_loop DIR loop
#include <cstdio>
#include <cstring>
#include <string>

#include "controller/app_state.h"
#include "controller/settings/media_catalogue.h"
#include "controller/settings/settings_file.h"
#include "platform/linux/linux_file_system.h"
#include "platform/linux/profile_file.h"
#include "platform/services.h"

namespace {

using namespace osa;

MediaRecord Medium(const char* name, std::int32_t mode, std::int32_t speed, std::int32_t force) {
    MediaRecord r;
    std::snprintf(r.Name, sizeof r.Name, "%s", name);
    r.ListID = mode == MediaUser ? 200 : 7;
    r.ConfigurationMode = mode;
    r.ConditionNumber = 5;
    r.DefaultSpeed = 5;
    r.DefaultForce = 2;
    r.AdjustedSpeed = speed;
    r.AdjustedForce = force;
    r.CutterOffset = 18;
    r.Cap = CapYellow;
    return r;
}

// State a (`second` false) or b: every saved value differs between them.
void Save(bool second) {
    AppState& app = App();
    app.StoredGuideMenu = second ? 0 : 1;
    app.AdjustSettings = second ? 1 : 0;
    app.RollAction = second ? 0 : 1;
    app.Direction = second ? 1 : 0;
    app.MarksOn = second ? 0 : 1;
    app.MarkDistX = second ? 180000 : 120000;
    app.MarkDistY = second ? 90000 : 60000;
    app.AutoSearchMarks = second ? 0 : 1;
    app.Unit = second ? 1 : 0;
    app.MediaIndex = second ? 3 : 2;
    const MediaRecord modifiable =
        Medium("Kill Vinyl", MediaModifiable, second ? 9 : 4, second ? 3 : 1);
    const MediaRecord user = Medium("Kill Foil", MediaUser, second ? 8 : 3, second ? 2 : 1);
    SaveSettings(app, second ? user : modifiable);
    SaveMediaFile(modifiable, app.mediaDir);
    SaveMediaFile(user, app.mediaDir);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) return 2;
    posix::LinuxProfileStore profiles;
    posix::LinuxFileSystem files;
    Services services;
    services.profiles = &profiles;
    services.files = &files;
    InstallServices(services);
    ResetAppState();
    AppState& app = App();
    std::snprintf(app.iniPath, sizeof app.iniPath, "%s/OSACTL.INI", argv[1]);
    std::snprintf(app.mediaDir, sizeof app.mediaDir, "%s/Media", argv[1]);
    if (std::strcmp(argv[2], "once") == 0 && argc > 3) {
        Save(argv[3][0] == 'b');
        return 0;
    }
    if (std::strcmp(argv[2], "loop") != 0) return 2;
    for (unsigned long n = 0;; ++n) {
        Save(n % 2 == 1);
        if (n == 0) {
            std::puts("saving");
            std::fflush(stdout);
        }
    }
}
