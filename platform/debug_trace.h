// The trace of the commands sent to the cutter: one entry per command, its
// label and its bytes up to the first zero byte.
//   Win32: three OutputDebugStringA strings: the label in code page 932, the
//          command bytes, "\n".
//   Linux: one line on standard error: the label in UTF-8 and the command
//          with control bytes, backslash and bytes above 0x7E escaped.
//   memory: a list of entries for tests.
#pragma once
#include <string_view>

namespace osa {

class DebugTrace {
  public:
    virtual ~DebugTrace() = default;
    // `label` is UTF-8; `command` holds no zero byte.
    virtual void Command(std::string_view label, std::string_view command) = 0;
};

} // namespace osa
