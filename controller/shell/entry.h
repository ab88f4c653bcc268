// The program's entry, shared by every platform's main: reads the options,
// keeps a second controller from running, and runs the main window.
#pragma once
#include <cstdint>
#include <span>
#include <string_view>

namespace osa {

inline constexpr int ExitAlreadyRunning = 100;

// `instance` is the program's module instance (0 where there is none);
// `args` is the runtime's argument vector, the program's own path first.
// Returns the process exit code: the main window's result, or 100 when
// another controller already runs. The services must be installed.
int RunController(std::uintptr_t instance, std::span<const std::string_view> args);

} // namespace osa
