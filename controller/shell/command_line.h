// The calling application's options, read from the program's argument vector.
#pragma once
#include <cstdint>
#include <span>
#include <string_view>

#include "controller/app_state.h"

namespace osa {

// Longest argument that is looked at; the rest of a longer one is ignored.
inline constexpr std::size_t MaxArgumentChars = 512;

// Writes demo mode 0 and the option defaults, then reads every element of
// `args` (the program's own path included) in order. Options are compared
// case-insensitively; a later option overrides an earlier one; unknown
// arguments and malformed values are ignored here and checked when the main
// window opens. A number that fails to scan leaves its field unchanged while
// the option's flag is still set.
void ParseCommandLine(std::span<const std::string_view> args, std::uint32_t& demoMode,
                      StartupOptions& options);

} // namespace osa
