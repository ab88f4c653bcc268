#include "controller/settings/media_name_text.h"

namespace osa {

namespace {
MediaNameConversions installed{};
} // namespace

MediaNameConversions InstallMediaNameConversions(MediaNameConversions conversions) {
    MediaNameConversions before = installed;
    installed = conversions;
    return before;
}

std::string MediaNameToScreen(std::string_view name) {
    return installed.toScreen != nullptr ? installed.toScreen(name) : std::string(name);
}

std::string MediaNameFromScreen(std::string_view text) {
    return installed.fromScreen != nullptr ? installed.fromScreen(text) : std::string(text);
}

} // namespace osa
