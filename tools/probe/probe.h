// The cutter probe: finds the cutter through the USB module and runs the
// exchanges the controller starts with, printing what it found. The trace
// of every command goes wherever the platform's trace goes.
#pragma once
#include <cstdio>
#include <span>
#include <string_view>

#include "common/result_code.h"

namespace osa {

// Options: -DEMO / -DEMO_V1 (as the controller's), -h / --help. Installs
// nothing: the caller has installed the platform's services. Returns 0 when
// every exchange succeeded, else the first failing result code (2 for a
// bad option).
int RunProbe(std::span<const std::string_view> args, std::FILE* out);

} // namespace osa
