#include "platform/linux/linux_debug_trace.h"

#include <unistd.h>

#include <cerrno>
#include <string>

#include "platform/escaped_bytes.h"

namespace osa {

void LinuxDebugTrace::Command(std::string_view label, std::string_view command) {
    // One write per line, so lines of several processes never interleave.
    std::string line(label);
    line += EscapedBytes(command);
    line += '\n';
    std::size_t done = 0;
    while (done < line.size()) {
        ssize_t n = ::write(fd_, line.data() + done, line.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return; // the trace never stops the controller
        done += static_cast<std::size_t>(n);
    }
}

} // namespace osa
