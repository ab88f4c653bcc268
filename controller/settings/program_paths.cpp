// ResolveProgramPaths: the program's folder is the full path of the running
// program up to and including its last separator (the drive and folder of
// the Windows path); the four names are joined to it. Then the rule for a
// program folder that cannot be written (see program_paths.h).
#include "controller/settings/program_paths.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "controller/settings/platform_names.h"
#include "platform/services.h"

namespace osa {

namespace {

// Copies `path` with its NUL into `field` when it fits; otherwise, or for
// an empty path, the field is left empty. Never writes past the field.
template <std::size_t N> bool StorePath(char (&field)[N], std::string_view path) {
    std::fill(field, field + N, '\0');
    if (path.empty() || path.size() >= N) return false;
    std::memcpy(field, path.data(), path.size());
    return true;
}

std::string Join(std::string_view folder, char separator, std::string_view name) {
    std::string out(folder);
    if (!out.empty() && out.back() != separator) out.push_back(separator);
    out.append(name);
    return out;
}

bool Fits(const std::string& path) {
    return path.size() < static_cast<std::size_t>(MaxPath);
}

// Moves the settings file and the media folder into the user's own folder
// when it can be made; copies what the program ships there first, never
// replacing a file the user already has. The paths stay beside the program
// otherwise: reads still work there, and writes fail without a word, as on
// any read-only disk.
void UseUserFolder(AppState& app, std::string_view programFolder) {
    FileSystem& files = Files();
    const char sep = files.PathSeparator();
    const std::string user = files.UserDataDirectory();
    if (user.empty()) return;
    const std::string userIni = Join(user, sep, SettingsFileName);
    const std::string userMedia = Join(user, sep, MediaFolderName);
    if (!Fits(userIni) || !Fits(userMedia) || !files.MakeDirectory(user)) return;

    // A settings file shipped or left beside the program carries over.
    const std::string programIni = Join(programFolder, sep, SettingsFileName);
    if (files.Exists(programIni)) (void)files.CopyFileIfMissing(programIni, userIni);
    StorePath(app.iniPath, userIni);

    if (!files.MakeDirectory(userMedia)) return;
    // Every start, so that media added to the program's folder later (an
    // update) arrive too; a copy that fails is tried again at the next start.
    const std::string programMedia = Join(programFolder, sep, MediaFolderName);
    for (const FileSystem::Entry& entry : files.List(programMedia, MediaFileSuffix)) {
        if (entry.directory) continue;
        (void)files.CopyFileIfMissing(Join(programMedia, sep, entry.name),
                                      Join(userMedia, sep, entry.name));
    }
    StorePath(app.mediaDir, userMedia);
}

} // namespace

void ResolveProgramPaths(AppState& app) {
    StorePath(app.helpPath, {});
    StorePath(app.iniPath, {});
    StorePath(app.mediaDir, {});
    StorePath(app.companionCommand, {});

    FileSystem& files = Files();
    const char sep = files.PathSeparator();
    const std::string program = files.ExecutablePath();
    const std::size_t cut = program.rfind(sep);
    if (cut == std::string::npos) return; // unknown: no file is looked for anywhere

    const std::string folder = program.substr(0, cut + 1); // with its separator
    StorePath(app.helpPath, folder + std::string(HelpFileName));
    StorePath(app.iniPath, folder + std::string(SettingsFileName));
    StorePath(app.mediaDir, folder + std::string(MediaFolderName));
    StorePath(app.companionCommand, folder + std::string(CompanionFileName));

    if (!files.IsDirectoryWritable(folder)) UseUserFolder(app, folder);
}

} // namespace osa
