// The command trace on the debugger output (OutputDebugStringA): for each
// command its label in code page 932 (Shift-JIS), the command bytes, and a
// line break, as three strings. Under Wine, WINEDEBUG=+debugstr shows them
// on standard error.
#pragma once
#include <string>
#include <string_view>

#include "platform/debug_trace.h"

namespace osa::win32 {

// UTF-8 to code page 932 through UTF-16. Characters that code page 932 does
// not have become the system's default character.
std::string ToCodePage932(std::string_view utf8);

class Win32DebugTrace final : public DebugTrace {
  public:
    void Command(std::string_view label, std::string_view command) override;
};

} // namespace osa::win32
