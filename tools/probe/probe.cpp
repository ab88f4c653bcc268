#include "tools/probe/probe.h"

#include <cstring>

#include "controller/app_state.h"
#include "controller/link/cutter_commands.h"
#include "controller/link/device_link.h"
#include "controller/res/resources.h"
#include "platform/ascii.h"

namespace osa {

namespace {

constexpr const char* Usage =
    "usage: osaprobe [-DEMO | -DEMO_V1]\n"
    "Finds the cutter, asks its status, sends the start notice, reads its\n"
    "firmware version and its calibration values, and prints the results.\n"
    "The trace of every command is written too.\n";

// Prints one step; true when it succeeded.
bool Step(std::FILE* out, const char* what, ResultCode code, const char* found) {
    if (code == rc::Ok) {
        std::fprintf(out, "%-22s %s\n", what, found);
        return true;
    }
    std::string text(res::LoadString(static_cast<int>(code)));
    for (char& c : text)
        if (c == '\n') c = ' ';
    std::fprintf(out, "%-22s failed, code %u: %s\n", what, static_cast<unsigned>(code),
                 text.c_str());
    return false;
}

} // namespace

int RunProbe(std::span<const std::string_view> args, std::FILE* out) {
    AppState& app = App();
    for (std::string_view arg : args) {
        if (ascii::EqualsNoCase(arg, "-DEMO") || ascii::EqualsNoCase(arg, "/DEMO")) {
            app.demoMode = DemoFirmware2;
        } else if (ascii::EqualsNoCase(arg, "-DEMO_V1") || ascii::EqualsNoCase(arg, "/DEMO_V1")) {
            app.demoMode = DemoFirmware1;
        } else if (arg == "-h" || arg == "--help") {
            std::fputs(Usage, out);
            return 0;
        } else {
            std::fprintf(out, "osaprobe: unknown option %.*s\n%s", static_cast<int>(arg.size()),
                         arg.data(), Usage);
            return 2;
        }
    }

    ResultCode first = rc::Ok;
    auto note = [&](ResultCode code) {
        if (first == rc::Ok) first = code;
        return code == rc::Ok;
    };

    InitDeviceLink();
    const char* mode = app.demoMode == DemoOff ? "loaded" : "not needed (demo mode)";
    if (note(LoadUsbModule()); Step(out, "USB module:", first, mode)) {
        ResultCode printers = FindCutterPrinters();
        char kept[64];
        std::snprintf(kept, sizeof(kept), "%d watched", static_cast<int>(app.cutterPrinterCount));
        note(printers);
        Step(out, "Cutter print queues:", printers, kept);
        if (first == rc::Ok && app.cutterPrinterCount > 0) {
            for (std::int32_t i = 0; i < app.cutterPrinterCount; ++i)
                std::fprintf(out, "%-22s %s\n", "",
                             app.cutterPrinters[static_cast<std::size_t>(i)].name);
        }
    }
    if (first == rc::Ok) {
        ResultCode r = CheckCutterReady();
        note(r);
        Step(out, "Status exchange:", r, "ready");
    }
    if (first == rc::Ok) {
        ResultCode r = SendStartNotice();
        note(r);
        Step(out, "Start notice:", r, "sent");
    }
    if (first == rc::Ok) {
        ResultCode r = ReadFirmwareVersion(app.FirmwareVersion);
        note(r);
        Step(out, "Firmware version:", r, app.FirmwareVersion);
    }
    if (first == rc::Ok) {
        ResultCode r = ReadSensorCorrection(app.SensorCorrectionX, app.SensorCorrectionY);
        note(r);
        char found[96];
        std::snprintf(found, sizeof(found), "X %d, Y %d (cutter values %+d, %+d)",
                      static_cast<int>(app.SensorCorrectionX),
                      static_cast<int>(app.SensorCorrectionY),
                      static_cast<int>(app.SensorCorrectionX - 40),
                      static_cast<int>(app.SensorCorrectionY - 40));
        Step(out, "Sensor correction:", r, found);
    }
    if (first == rc::Ok) {
        ResultCode r = ReadFeedAdjustment(app.FeedAdjustment);
        note(r);
        char found[64];
        std::snprintf(found, sizeof(found), "%d (%+.3f %%)", static_cast<int>(app.FeedAdjustment),
                      app.FeedAdjustment / 1000.0);
        Step(out, "Feed adjustment:", r, found);
    }
    FreeCutterPrinters();
    CloseDeviceLink();
    return static_cast<int>(first);
}

} // namespace osa
