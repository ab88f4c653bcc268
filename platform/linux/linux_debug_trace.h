// The command trace of the Linux build: one line per command on standard
// error, the label in UTF-8, the command's control bytes escaped.
#pragma once
#include "platform/debug_trace.h"

namespace osa {

class LinuxDebugTrace : public DebugTrace {
  public:
    // Writes to `fd` (standard error unless a test says otherwise).
    explicit LinuxDebugTrace(int fd = 2) : fd_(fd) {}
    void Command(std::string_view label, std::string_view command) override;

  private:
    int fd_;
};

} // namespace osa
