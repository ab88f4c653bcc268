#include "controller/link/cutter_commands.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <thread>

#include "controller/app_state.h"
#include "controller/link/device_link.h"
#include "controller/link/trace_labels.h"
#include "controller/res/resource_ids.h"
#include "controller/res/resources.h"
#include "controller/shell/text_scanner.h"

namespace osa {

namespace {

constexpr std::size_t CommandChars = 512;
constexpr auto DemoMarkReadPause = std::chrono::milliseconds(2000);

bool Demo() {
    return App().demoMode != DemoOff;
}

// A command formatted into its 512-byte buffer.
class Command {
  public:
    template <typename... Args> explicit Command(const char* format, Args... args) {
        int n = 0;
        if constexpr (sizeof...(Args) == 0)
            n = std::snprintf(text_, sizeof(text_), "%s", format); // a command without numbers
        else
            n = std::snprintf(text_, sizeof(text_), format, args...);
        length_ = n < 0 ? 0 : static_cast<std::size_t>(n);
        if (length_ > CommandChars) length_ = CommandChars;
    }
    const char* Text() const { return text_; }
    std::uint32_t Length() const { return static_cast<std::uint32_t>(length_); }

  private:
    char text_[CommandChars + 1] = {};
    std::size_t length_ = 0;
};

// The cutter's numbers are read as the firmware sends them; arithmetic on a
// value far out of range wraps round (as 32-bit hardware does) instead of
// being undefined, and the range tests look at the exact values.
std::int32_t WrappingAdd(std::int32_t a, std::int32_t b) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
}

std::int32_t WrappingMultiply(std::int32_t a, std::int32_t b) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) * static_cast<std::uint32_t>(b));
}

[[nodiscard]] ResultCode OwnCode(ResultCode r, ResultCode own) {
    return r == rc::GeneralError ? own : r;
}

// Trace, demo short cut, write. No reply.
[[nodiscard]] ResultCode Send(std::string_view label, const Command& command, ResultCode own,
                              std::uint32_t timeoutMs = OrdinaryTimeoutMs) {
    TraceCommand(label, command.Text(), command.Length());
    if (Demo()) return rc::Ok;
    return OwnCode(WriteToCutter(command.Text(), command.Length(), timeoutMs), own);
}

// A reply as the parser sees it: the bytes read, the last one replaced by NUL.
template <std::size_t N> struct Reply {
    char bytes[N] = {};
    std::string_view Text() const { return std::string_view(bytes, std::strlen(bytes)); }
};

// Write the command, read the reply (cleared first), terminate it. A 50 of
// either transfer becomes `own`; other failures pass through.
template <std::size_t N>
[[nodiscard]] ResultCode Ask(const Command& command, Reply<N>& reply, std::uint32_t readTimeoutMs,
                             ResultCode own) {
    std::memset(reply.bytes, 0, N);
    ExchangeResult r = ExchangeWithCutter(command.Text(), command.Length(), OrdinaryTimeoutMs,
                                          reply.bytes, N, readTimeoutMs);
    if (r.write != rc::Ok) return OwnCode(r.write, own);
    if (r.read != rc::Ok) return OwnCode(r.read, own);
    reply.bytes[N - 1] = '\0';
    return rc::Ok;
}

// "%d,%d" of a reply; false unless both numbers were there (a number that
// fails to scan stays as it was).
[[nodiscard]] bool ScanPair(std::string_view text, std::int32_t& first, std::int32_t& second) {
    TextScanner s(text);
    return s.Int(first) && s.Literal(",") && s.Int(second);
}

// The two calibration queries: trace, then a 12-byte reply scanned "%d,%d".
// In demo mode nothing is read and both numbers stay 0, which gives their
// demo answers (sensor correction 40 and 40, feed adjustment 0).
[[nodiscard]] ResultCode AskNumberPair(std::string_view label, const char* text, ResultCode own,
                                       std::int32_t& first, std::int32_t& second) {
    Command command(text);
    TraceCommand(label, command.Text(), command.Length());
    if (Demo()) return rc::Ok;
    Reply<12> reply;
    if (ResultCode r = Ask(command, reply, OrdinaryTimeoutMs, own); r != rc::Ok) return r;
    // A reply without its two numbers (garbage, cut short, empty) is no answer.
    return ScanPair(reply.Text(), first, second) ? rc::Ok : own;
}

[[nodiscard]] ResultCode ReadMarks(std::string_view label, const char* readCommand,
                                   std::int32_t search, std::int32_t distanceXUm,
                                   std::int32_t distanceYUm, ResultCode own, ResultCode notRead) {
    char format[64];
    std::snprintf(format, sizeof(format), "TB99\x03TB55,%%d\x03%s,%%d,%%d\x03", readCommand);
    Command command(format, search, MarkDistanceOnWire(distanceXUm),
                    MarkDistanceOnWire(distanceYUm));
    TraceCommand(label, command.Text(), command.Length());
    if (Demo()) {
        std::this_thread::sleep_for(DemoMarkReadPause);
        return rc::Ok;
    }
    Reply<6> reply;
    ExchangeResult r = ExchangeWithCutter(command.Text(), command.Length(), OrdinaryTimeoutMs,
                                          reply.bytes, sizeof(reply.bytes), LongTimeoutMs);
    if (r.write != rc::Ok) return OwnCode(r.write, own);
    if (r.read != rc::Ok) return own; // time-out included
    reply.bytes[5] = '\0';
    // Only a verdict of 0 is a read; a reply without a number is none.
    std::int32_t verdict = 0;
    if (!TextScanner(reply.Text()).Int(verdict)) return notRead;
    return verdict == 0 ? rc::Ok : notRead;
}

} // namespace

// ---- Queries ---------------------------------------------------------------

ResultCode SendStartNotice() {
    return Send(label::StartNotice, Command("TT\x03"), rc::StartNoticeFailed);
}

ResultCode ReadFirmwareVersion(char* versionText) {
    Command command("FG\x03");
    TraceCommand(label::FirmwareVersion, command.Text(), command.Length());
    if (Demo()) {
        std::string_view demo =
            res::LoadString(App().demoMode == DemoFirmware1 ? ids::StrDemoV1 : ids::StrDemoV2);
        std::size_t n = demo.size() < CommandChars ? demo.size() : CommandChars;
        std::memcpy(versionText, demo.data(), n);
        versionText[n] = '\0';
        return rc::Ok;
    }
    Reply<10> reply;
    if (ResultCode r = Ask(command, reply, FirmwareTimeoutMs, rc::FirmwareReplyFailed); r != rc::Ok)
        return r;

    // "%*c %*lf %s": a lead character, the version number, the model word.
    char model[16] = {};
    TextScanner s(reply.Text());
    double version = 0.0;
    if (s.SkipOne() && s.Double(version)) s.Word(model, sizeof(model));
    if (std::strcmp(model, "KXR") != 0) return rc::WrongModel;

    std::memset(reply.bytes + 5, 0, 4);
    std::memcpy(versionText, reply.bytes + 1, 5); // four characters and a NUL
    return rc::Ok;
}

ResultCode QueryMarkSensorReady() {
    Command command("FQ5\x03");
    TraceCommand(label::MarkSensorReady, command.Text(), command.Length());
    if (Demo()) return rc::Ok;
    Reply<6> reply;
    if (ResultCode r = Ask(command, reply, OrdinaryTimeoutMs, rc::SensorReadyReplyFailed);
        r != rc::Ok)
        return r;
    // READY or WAIT; a reply without a number is neither.
    std::int32_t state = 0;
    if (!TextScanner(reply.Text()).Int(state)) return rc::SensorReadyReplyFailed;
    return state == 1 ? rc::Ok : rc::GeneralError;
}

ResultCode ReadMarksAuto(std::int32_t searchParameter, std::int32_t distanceXUm,
                         std::int32_t distanceYUm) {
    return ReadMarks(label::MarksAuto, "TB123", searchParameter, distanceXUm, distanceYUm,
                     rc::MarksAutoFailed, rc::MarksAutoNotRead);
}

ResultCode ReadMarksManual(std::int32_t searchParameter, std::int32_t distanceXUm,
                           std::int32_t distanceYUm) {
    return ReadMarks(label::MarksManual, "TB23", searchParameter, distanceXUm, distanceYUm,
                     rc::MarksManualFailed, rc::MarksManualNotRead);
}

ResultCode ReadSensorCorrection(std::int32_t& x, std::int32_t& y) {
    std::int32_t dx = 0, dy = 0;
    if (ResultCode r =
            AskNumberPair(label::SensorCorrection, "TB71\x03", rc::SensorCorrectionFailed, dx, dy);
        r != rc::Ok)
        return r;
    x = WrappingAdd(dx, 40);
    y = WrappingAdd(dy, 40);
    // Judged on the exact sums: a huge reply must not pass by wrapping round.
    auto inRange = [](std::int32_t device) { return device >= -40 && device <= 40; };
    return inRange(dx) && inRange(dy) ? rc::Ok : rc::SensorCorrectionFailed;
}

ResultCode ReadFeedAdjustment(std::int32_t& adjustment) {
    std::int32_t hundredths = 0, unused = 0;
    if (ResultCode r = AskNumberPair(label::FeedAdjustment, "FA\x03", rc::FeedAdjustmentFailed,
                                     hundredths, unused);
        r != rc::Ok)
        return r;
    adjustment = WrappingMultiply(hundredths, 10);
    const std::int64_t exact = std::int64_t{hundredths} * 10;
    return exact >= -2000 && exact <= 2000 ? rc::Ok : rc::FeedAdjustmentFailed;
}

// ---- Settings --------------------------------------------------------------

ResultCode SendCutCondition(std::int32_t number, std::int32_t speed, std::int32_t pressure,
                            std::int32_t offset) {
    return Send(label::CutCondition,
                Command("FW%d\x03!%d\x03*0,%d\x03"
                        "FC%d\x03",
                        number, speed, pressure, offset),
                rc::CutConditionFailed);
}

ResultCode SendRollAction(std::int32_t value) {
    return Send(label::RollAction, Command("FY%d\x03", value), rc::RollActionFailed);
}

ResultCode SendCutConditionNumber(std::int32_t number) {
    return Send(label::CutConditionNumber, Command("FW%d\x03", number),
                rc::CutConditionNumberFailed);
}

ResultCode SendCutSpeed(std::int32_t speed) {
    return Send(label::CutSpeed, Command("!%d\x03", speed), rc::CutSpeedFailed);
}

ResultCode SendCutPressure(std::int32_t pressure) {
    return Send(label::CutPressure, Command("*0,%d\x03", pressure), rc::CutPressureFailed);
}

ResultCode SendCutterOffset(std::int32_t offset) {
    return Send(label::CutterOffset, Command("FC%d\x03", offset), rc::CutterOffsetFailed);
}

ResultCode SendThickMediaMode(std::int32_t mode) {
    return Send(label::ThickMediaMode, Command("FE%d\x03", mode), rc::ThickMediaModeFailed);
}

ResultCode SendDesignOrientation(std::int32_t orientation) {
    return Send(label::DesignOrientation, Command("FN%d\x03", orientation),
                rc::DesignOrientationFailed);
}

ResultCode MovePen(std::int32_t directions, std::int32_t run) {
    char bytes[3] = {Esc, '\0', '\0'};
    TraceCommand(label::MovePen, bytes, sizeof(bytes));
    if (Demo()) return rc::Ok;
    if (run == 1) {
        const std::int32_t held = directions;
        unsigned direction = 0;
        if (held & pad::Up) direction |= 0x02;
        if (held & pad::Down) direction |= 0x01;
        if (held & pad::Left) direction |= 0x08;
        if (held & pad::Right) direction |= 0x04;
        bytes[2] = static_cast<char>(direction);
    }
    return OwnCode(WriteToCutter(bytes, 3, LongTimeoutMs), rc::MovePenFailed);
}

ResultCode SendTestCut() {
    return Send(label::TestCut, Command("FH\x03"), rc::TestCutFailed);
}

ResultCode SendOriginSet() {
    return Send(label::OriginSet, Command("FJ\x03"), rc::OriginSetFailed);
}

ResultCode SendMarkSize(double millimetres) {
    // Callers accept 5.0 to 20.0 mm only; the cast truncates toward zero. A
    // value no int can hold is sent as 0 rather than left undefined.
    double units = millimetres * 20.0;
    int wire = (units > -2147483648.0 && units < 2147483648.0) ? static_cast<int>(units) : 0;
    return Send(label::MarkSize, Command("TB51,%d\x03", wire), rc::MarkSizeFailed);
}

ResultCode StartSensorCorrectionScan() {
    return Send(label::SensorCorrectionScan, Command("TB70\x03"), rc::SensorCorrectionScanFailed);
}

ResultCode SendFeedAdjustment(std::int32_t adjustment) {
    return Send(label::FeedAdjustmentWrite, Command("FB%d,0\x03", adjustment / 10),
                rc::FeedAdjustmentWriteFailed);
}

ResultCode WriteSensorCorrection(std::int32_t x, std::int32_t y) {
    return Send(label::SensorCorrectionWrite, Command("TB72,%d,%d\x03", x - 40, y - 40),
                rc::SensorCorrectionWriteFailed);
}

} // namespace osa
