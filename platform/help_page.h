// Where the program's HTML help page lives and how a topic is addressed in
// it, for the window hosts that open it when no WinHelp file can be shown.
#pragma once
#include <cstdint>
#include <string>

namespace osa::help {

// Relative to the program's folder, with '/' between the parts.
inline constexpr const char* PageRelativePath = "help/osactl-help.html";

// The anchor of a help context number: "context-98304".
inline std::string Anchor(std::uint32_t context) {
    return "context-" + std::to_string(context);
}

} // namespace osa::help
