// Where the controller's files live: the help file, the settings file, the
// media folder and the companion program, all found from the folder of the
// running program, never from the current folder.
//
// When the program's folder cannot be written (an installation under
// "Program Files" or /usr), the settings file and the media folder move to
// the user's own folder (FileSystem::UserDataDirectory), so that what the
// user adjusts is kept instead of being silently lost at every close. The
// first time, the media files shipped beside the program (and a settings
// file there, if any) are copied over; files already in the user's folder
// are never replaced. The help file and the companion program stay beside
// the program.
#pragma once
#include <string_view>

#include "controller/app_state.h"

namespace osa {

inline constexpr std::string_view HelpFileName = "OSHLP_A.HLP";
inline constexpr std::string_view SettingsFileName = "OSACTL.INI";
inline constexpr std::string_view MediaFolderName = "Media";
inline constexpr std::string_view MediaFileSuffix = ".hcf";

// Fills `helpPath`, `iniPath`, `mediaDir` and `companionCommand` of `app`
// through Files(). Always succeeds. A path that would not fit its 260-byte
// field (with its NUL) is left empty, as are all four when the program's own
// path is unknown; an empty path reads as a missing file and is never
// written.
void ResolveProgramPaths(AppState& app);

} // namespace osa
