// A cutter as the controller sees it through its pipes: it takes the bytes
// written to it, splits them into commands, and answers the queries as the
// cutter's firmware does. The same model serves the in-memory cutter port of
// the tests, the simulated cutter on a pseudo-terminal (Linux) and the one
// behind named pipes (Windows).
#pragma once
#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace osa::sim {

enum class Fault {
    None,
    NoReply,    // queries get no answer
    ShortReply, // only the first half of each answer (at least one byte)
    Garbage,    // each answer's bytes replaced by '#'
    SlowReply,  // each answer comes `slowMs` later
    Gone,       // the device disappears (the transport's business)
};

struct CutterSetup {
    char lead = 'V';              // first byte of the firmware reply
    std::string version = "2.01"; // four characters
    std::string model = "KXR";    // model word of the firmware reply
    char status = '0';            // answer to the status request; '0' = ready
    int sensorX = 0;              // stored sensor correction, device values
    int sensorY = 0;
    int feed = 0;        // stored feed adjustment, hundredths of a percent
    int feedSecond = 0;  // the second number of the feed reply
    int markVerdict = 0; // answer to a mark read: 0 read, other = failed
    int markMs = 0;      // how long a mark read takes
    int sensorReady = 1; // answer to the sensor query: 1 READY, other WAIT
    Fault fault = Fault::None;
    // When not empty, the fault hits only the first command that starts with
    // this text (and, for Gone, everything after it); otherwise every command.
    std::string faultOn;
    int slowMs = 0;
};

// Reads one "name=value" setting (names as the simulator's options without
// the leading dashes: version, model, lead, status, sensor=X,Y, feed=A[,B],
// marks=V, marks-ms=N, ready=N, fault=none|silent|short|garbage|slow:N|gone,
// fault-on=TEXT).
// False for an unknown name or a malformed value.
bool ApplySetting(std::string_view name, std::string_view value, CutterSetup& setup);

// "--name=value" of the simulator programs' command lines, as ApplySetting.
bool ApplyOption(std::string_view argument, CutterSetup& setup);

// The simulator programs' command line: "--prefix=text" options of the
// program itself (`texts`), and every other argument as ApplyOption. False,
// with a message on standard error, for an argument that is neither.
struct TextOption {
    std::string_view prefix; // "--log="
    std::string* value;
};
bool ParseArguments(int argc, char** argv, std::initializer_list<TextOption> texts,
                    CutterSetup& setup);

// One line of the simulator's log (without the line break):
// "<milliseconds since start, three decimals> <in|out> <bytes escaped>",
// for example "12.034 in TT\x03". "in" is what the controller wrote, "out"
// what the cutter answered.
std::string LogLine(long long microseconds, bool in, std::string_view bytes);

// The blade holder of the simulated cutter, in millimetres from the origin
// ("FJ" sets it where the holder stands): x to the right, y away from the
// user (the pad's up). It moves at BladeSpeedMmPerSecond in the directions
// of the last movement sequence (ESC 0x00 with bits 0x02 up, 0x01 down,
// 0x08 left, 0x04 right; none stops it), a plausible jog speed for a desktop
// cutter: a press of a tenth of a second moves it 5 mm.
inline constexpr double BladeSpeedMmPerSecond = 50.0;
struct Blade {
    double x = 0;
    double y = 0;
    unsigned moving = 0; // the direction byte in force
};
// "x=1.25 y=-3.50 moving=up,right" (or "moving=none").
std::string BladeText(const Blade& blade);
// The log line after a command that moved, stopped, cut or set the origin:
// "<milliseconds> blade <BladeText>".
std::string BladeLogLine(long long microseconds, const Blade& blade);

struct Reply {
    std::string bytes;
    int delayMs = 0; // after the command arrived
};

class CutterModel {
  public:
    explicit CutterModel(CutterSetup setup = {}) : setup_(std::move(setup)) {}

    CutterSetup& Setup() { return setup_; }
    // Takes bytes written to the cutter (commands may be split over writes
    // or share one); returns the answers they caused, in order.
    std::vector<Reply> Receive(std::string_view bytes);
    // Every complete command received, ETX removed (ESC sequences whole).
    const std::vector<std::string>& Commands() const { return commands_; }
    // The cutter has been unplugged (its fault is Gone and has struck).
    bool Gone() const { return setup_.fault == Fault::Gone && struck_; }
    // The direction byte of the last movement sequence.
    unsigned MoveDirection() const { return moveDirection_; }

    // Microseconds of a steady clock (the default one unless a test sets
    // its own).
    void SetClock(std::function<long long()> microseconds) { clock_ = std::move(microseconds); }
    // Where the blade is now.
    Blade BladeNow();
    // Where each "FH" was cut, in order.
    const std::vector<Blade>& TestCuts() const { return testCuts_; }
    // True once for each Receive that moved, stopped, cut or set the origin.
    bool TakeBladeChange() {
        const bool changed = bladeChanged_;
        bladeChanged_ = false;
        return changed;
    }

  private:
    void Advance();
    bool Answer(std::string_view command, Reply& reply);
    void ApplyFault(Reply& reply) const;

    CutterSetup setup_;
    std::string pending_;
    std::vector<std::string> commands_;
    bool struck_ = false; // the fault hit a command
    unsigned moveDirection_ = 0;
    std::function<long long()> clock_;
    long long lastUs_ = -1;
    double x_ = 0, y_ = 0;             // absolute, millimetres
    double originX_ = 0, originY_ = 0; // where "FJ" was
    std::vector<Blade> testCuts_;
    bool bladeChanged_ = false;
};

} // namespace osa::sim
