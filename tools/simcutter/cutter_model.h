// A cutter as the controller sees it through its pipes: it takes the bytes
// written to it, splits them into commands, and answers the queries as the
// cutter's firmware does. The same model serves the in-memory cutter port of
// the tests, the simulated cutter on a pseudo-terminal (Linux) and the one
// behind named pipes (Windows).
#pragma once
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
    int slowMs = 0;
};

// Reads one "name=value" setting (names as the simulator's options without
// the leading dashes: version, model, lead, status, sensor=X,Y, feed=A[,B],
// marks=V, marks-ms=N, ready=N, fault=none|silent|short|garbage|slow:N|gone).
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
    // The direction byte of the last movement sequence.
    unsigned MoveDirection() const { return moveDirection_; }

  private:
    bool Answer(std::string_view command, Reply& reply);
    void ApplyFault(Reply& reply) const;

    CutterSetup setup_;
    std::string pending_;
    std::vector<std::string> commands_;
    unsigned moveDirection_ = 0;
};

} // namespace osa::sim
