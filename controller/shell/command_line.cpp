// Option table, compared in this order; the first match decides:
//   /DEMO_V1 -DEMO_V1            demo of a firmware 1.00 cutter
//   /DEMO -DEMO                  demo of a firmware 2.01 cutter
//   /OWNER<n> -OWNER<n>          owner window
//   /CUTMODE -CUTMODE            print-and-cut job
//   /NOTRM -NOTRM                the job has no registration marks
//   /FN<n> -FN<n>                design orientation
//   /TB23,<x>,<y> -TB23,<x>,<y>  distances between the marks, mm
//   /TB51,<s> -TB51,<s>          mark size, mm
// Numbers are read the way scanf's %d and %lf read them: leading white space
// skipped, the longest number that fits taken, the rest ignored.
#include "controller/shell/command_line.h"

#include <cstring>

#include "controller/shell/text_scanner.h"

namespace osa {

namespace {

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

} // namespace

void ParseCommandLine(std::span<const std::string_view> args, std::uint32_t& demoMode,
                      StartupOptions& options) {
    demoMode = DemoOff;
    options = StartupOptions{};

    char scratch[MaxArgumentChars + 1];
    for (std::string_view arg : args) {
        std::size_t n = 0;
        for (; n < arg.size() && n < MaxArgumentChars; ++n) {
            char c = arg[n];
            scratch[n] = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
        }
        scratch[n] = '\0';
        // An embedded NUL ends the argument, as it would in a C string.
        std::string_view a(scratch, std::strlen(scratch));

        if (a == "/DEMO_V1" || a == "-DEMO_V1") {
            demoMode = DemoFirmware1;
        } else if (a == "/DEMO" || a == "-DEMO") {
            demoMode = DemoFirmware2;
        } else if (StartsWith(a, "/OWNER") || StartsWith(a, "-OWNER")) {
            options.ownerGiven = 1;
            TextScanner s(a);
            if (s.SkipOne() && s.Literal("OWNER")) (void)s.Int(options.ownerWindow);
        } else if (a == "/CUTMODE" || a == "-CUTMODE") {
            options.cutMode = 1;
        } else if (a == "/NOTRM" || a == "-NOTRM") {
            options.noTrim = 1;
        } else if (StartsWith(a, "/FN") || StartsWith(a, "-FN")) {
            options.orientationGiven = 1;
            TextScanner s(a);
            if (s.SkipOne() && s.Literal("FN")) (void)s.Int(options.orientation);
        } else if (StartsWith(a, "/TB23") || StartsWith(a, "-TB23")) {
            options.markDistanceGiven = 1;
            TextScanner s(a);
            if (s.SkipOne() && s.Literal("TB23,") && s.Double(options.markDistanceX) &&
                s.Literal(",")) {
                (void)s.Double(options.markDistanceY);
            }
        } else if (StartsWith(a, "/TB51") || StartsWith(a, "-TB51")) {
            options.markSizeGiven = 1;
            TextScanner s(a);
            if (s.SkipOne() && s.Literal("TB51,")) (void)s.Double(options.markSize);
        }
    }
}

} // namespace osa
