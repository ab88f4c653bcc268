#include "tools/simcutter/cutter_model.h"

#include <chrono>

#include <charconv>
#include <cstdio>

#include "platform/escaped_bytes.h"

namespace osa::sim {

namespace {

constexpr char Etx = '\x03';
constexpr char Esc = '\x1b';

bool ParseInt(std::string_view text, int& out) {
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), out);
    return ec == std::errc() && end == text.data() + text.size();
}

bool ParsePair(std::string_view text, int& a, int& b, bool secondOptional) {
    auto comma = text.find(',');
    if (comma == std::string_view::npos) return secondOptional && ParseInt(text, a);
    return ParseInt(text.substr(0, comma), a) && ParseInt(text.substr(comma + 1), b);
}

bool StartsWith(std::string_view s, std::string_view prefix) {
    return s.substr(0, prefix.size()) == prefix;
}

std::string Number(int value) {
    return std::to_string(value) + "\r";
}

std::string NumberPair(int a, int b) {
    return std::to_string(a) + "," + std::to_string(b) + "\r";
}

} // namespace

bool ApplySetting(std::string_view name, std::string_view value, CutterSetup& setup) {
    if (name == "version") {
        setup.version = std::string(value);
        return true;
    }
    if (name == "model") {
        setup.model = std::string(value);
        return true;
    }
    if (name == "lead" || name == "status") {
        if (value.size() != 1) return false;
        (name == "lead" ? setup.lead : setup.status) = value[0];
        return true;
    }
    if (name == "sensor") return ParsePair(value, setup.sensorX, setup.sensorY, false);
    if (name == "feed") return ParsePair(value, setup.feed, setup.feedSecond, true);
    if (name == "marks") return ParseInt(value, setup.markVerdict);
    if (name == "marks-ms") return ParseInt(value, setup.markMs) && setup.markMs >= 0;
    if (name == "ready") return ParseInt(value, setup.sensorReady);
    if (name == "fault-on") {
        setup.faultOn = std::string(value);
        return true;
    }
    if (name == "fault") {
        if (value == "none")
            setup.fault = Fault::None;
        else if (value == "silent")
            setup.fault = Fault::NoReply;
        else if (value == "short")
            setup.fault = Fault::ShortReply;
        else if (value == "garbage")
            setup.fault = Fault::Garbage;
        else if (value == "gone")
            setup.fault = Fault::Gone;
        else if (StartsWith(value, "slow:")) {
            setup.fault = Fault::SlowReply;
            return ParseInt(value.substr(5), setup.slowMs) && setup.slowMs >= 0;
        } else
            return false;
        return true;
    }
    return false;
}

bool ApplyOption(std::string_view argument, CutterSetup& setup) {
    if (argument.substr(0, 2) != "--") return false;
    argument.remove_prefix(2);
    auto eq = argument.find('=');
    if (eq == std::string_view::npos) return false;
    return ApplySetting(argument.substr(0, eq), argument.substr(eq + 1), setup);
}

bool ParseArguments(int argc, char** argv, std::initializer_list<TextOption> texts,
                    CutterSetup& setup) {
    for (int i = 1; i < argc; ++i) {
        std::string_view arg = argv[i];
        bool taken = false;
        for (const TextOption& t : texts) {
            if (arg.substr(0, t.prefix.size()) != t.prefix) continue;
            *t.value = std::string(arg.substr(t.prefix.size()));
            taken = true;
            break;
        }
        if (taken || ApplyOption(arg, setup)) continue;
        std::fprintf(stderr, "simcutter: unknown or malformed option %s\n", argv[i]);
        return false;
    }
    return true;
}

namespace {

std::string Stamped(long long microseconds, const char* kind) {
    char stamp[48];
    std::snprintf(stamp, sizeof(stamp), "%lld.%03lld %s ", microseconds / 1000, microseconds % 1000,
                  kind);
    return stamp;
}

} // namespace

std::string LogLine(long long microseconds, bool in, std::string_view bytes) {
    return Stamped(microseconds, in ? "in" : "out") + EscapedBytes(bytes);
}

std::string BladeLogLine(long long microseconds, const Blade& blade) {
    return Stamped(microseconds, "blade") + BladeText(blade);
}

std::string BladeText(const Blade& blade) {
    char position[64];
    std::snprintf(position, sizeof position, "x=%.2f y=%.2f moving=", blade.x, blade.y);
    std::string text = position;
    const struct {
        unsigned bit;
        const char* name;
    } names[] = {{0x02, "up"}, {0x01, "down"}, {0x08, "left"}, {0x04, "right"}};
    bool any = false;
    for (const auto& n : names)
        if ((blade.moving & n.bit) != 0) {
            text += any ? "," : "";
            text += n.name;
            any = true;
        }
    if (!any) text += "none";
    return text;
}

void CutterModel::Advance() {
    const long long now = clock_ ? clock_()
                                 : std::chrono::duration_cast<std::chrono::microseconds>(
                                       std::chrono::steady_clock::now().time_since_epoch())
                                       .count();
    if (lastUs_ >= 0 && now > lastUs_) {
        const double mm = BladeSpeedMmPerSecond * static_cast<double>(now - lastUs_) / 1e6;
        if (moveDirection_ & 0x04) x_ += mm;
        if (moveDirection_ & 0x08) x_ -= mm;
        if (moveDirection_ & 0x02) y_ += mm;
        if (moveDirection_ & 0x01) y_ -= mm;
    }
    lastUs_ = now;
}

Blade CutterModel::BladeNow() {
    Advance();
    return Blade{x_ - originX_, y_ - originY_, moveDirection_};
}

std::vector<Reply> CutterModel::Receive(std::string_view bytes) {
    pending_.append(bytes);
    std::vector<Reply> replies;
    for (;;) {
        std::size_t used = 0;
        std::string command;
        if (!pending_.empty() && pending_[0] == Esc) {
            // ESC and one byte; the movement sequence ESC 0x00 carries a third.
            if (pending_.size() < 2) break;
            used = pending_[1] == '\0' ? 3 : 2;
            if (pending_.size() < used) break;
            command = pending_.substr(0, used);
        } else {
            auto etx = pending_.find(Etx);
            if (etx == std::string::npos) break;
            command = pending_.substr(0, etx);
            used = etx + 1;
        }
        pending_.erase(0, used);
        commands_.push_back(command);
        const bool hit = setup_.faultOn.empty() ? true
                         : struck_              ? setup_.fault == Fault::Gone
                                                : command.starts_with(setup_.faultOn);
        struck_ = struck_ || hit;
        Reply reply;
        if (Answer(command, reply)) {
            if (hit) ApplyFault(reply);
            if (!hit || setup_.fault != Fault::NoReply) replies.push_back(std::move(reply));
        }
    }
    return replies;
}

bool CutterModel::Answer(std::string_view command, Reply& reply) {
    if (command.size() >= 2 && command[0] == Esc) {
        if (command[1] == '\x05') {
            reply.bytes = std::string(1, setup_.status) + "\r";
            return true;
        }
        if (command[1] == '\0' && command.size() == 3) {
            Advance(); // where it got to under the old directions
            moveDirection_ = static_cast<unsigned char>(command[2]);
            bladeChanged_ = true;
        }
        return false; // ESC EOT and the movement have no answer
    }
    if (command == "FJ") {
        Advance();
        originX_ = x_;
        originY_ = y_;
        bladeChanged_ = true;
        return false;
    }
    if (command == "FH") {
        testCuts_.push_back(BladeNow());
        bladeChanged_ = true;
        return false;
    }
    if (command == "FG") {
        reply.bytes = std::string(1, setup_.lead) + setup_.version + " " + setup_.model + "\r";
        return true;
    }
    if (command == "FQ5") {
        reply.bytes = Number(setup_.sensorReady);
        return true;
    }
    if (command == "TB71") {
        reply.bytes = NumberPair(setup_.sensorX, setup_.sensorY);
        return true;
    }
    if (command == "FA") {
        reply.bytes = NumberPair(setup_.feed, setup_.feedSecond);
        return true;
    }
    if (StartsWith(command, "TB123,") || StartsWith(command, "TB23,")) {
        reply.bytes = Number(setup_.markVerdict);
        reply.delayMs = setup_.markMs;
        return true;
    }
    if (StartsWith(command, "TB72,")) {
        int x = 0, y = 0;
        if (ParsePair(command.substr(5), x, y, false)) {
            setup_.sensorX = x;
            setup_.sensorY = y;
        }
    } else if (StartsWith(command, "FB")) {
        int a = 0, b = 0;
        if (ParsePair(command.substr(2), a, b, false)) setup_.feed = a;
    }
    return false;
}

void CutterModel::ApplyFault(Reply& reply) const {
    switch (setup_.fault) {
    case Fault::ShortReply:
        reply.bytes.resize(reply.bytes.size() > 1 ? reply.bytes.size() / 2 : 1);
        break;
    case Fault::Garbage:
        reply.bytes.assign(reply.bytes.size(), '#');
        break;
    case Fault::SlowReply:
        reply.delayMs += setup_.slowMs;
        break;
    default:
        break;
    }
}

} // namespace osa::sim
