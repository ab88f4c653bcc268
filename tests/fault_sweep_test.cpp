// The fault sweep: every whole scenario a user goes through, run once
// cleanly and then once per cutter transfer and per kind of failure with
// that one failure injected there, and once per print-spooler check with a
// queued job or a vanished printer. Each run is checked for the code the
// user is shown, the exit code, nothing saved after a failed start, a
// program that goes on after a failure, and nothing left open.
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "controller/link/trace_labels.h"
#include "controller/ui/main_dialog.h"
#include "tests/scenario_run.h"

namespace osa {
namespace {

using test::ScenarioRun;
using test::Shown;

// The failures injected, at a cutter transfer or at a print-spooler check.
enum class Fault { Failed, Unplugged, TimedOut, ShortReply, GarbageReply, JobQueued, QueueGone };

struct FaultKind {
    Fault fault;
    const char* name;
};
constexpr FaultKind TransferFaults[] = {{Fault::Failed, "transfer failed"},
                                        {Fault::Unplugged, "unplugged"},
                                        {Fault::TimedOut, "time-out"},
                                        {Fault::ShortReply, "short reply"},
                                        {Fault::GarbageReply, "garbage reply"}};
constexpr FaultKind CheckFaults[] = {{Fault::JobQueued, "print job queued"},
                                     {Fault::QueueGone, "kept printer gone"}};

// The code of each cutter operation (known by its trace label) that stands
// for a transfer of it that could not be started.
int OwnCode(const TraceEntry& op) {
    static const std::map<std::string_view, int> codes = {
        {label::FullCheck, 59},
        {label::FreeCheck, 59},
        {label::StartNotice, 166},
        {label::FirmwareVersion, 100},
        {label::MarkSensorReady, 101},
        {label::MarksAuto, 163},
        {label::MarksManual, 102},
        {label::SensorCorrection, 103},
        {label::FeedAdjustment, 104},
        {label::CutCondition, 150},
        {label::RollAction, 165},
        {label::CutConditionNumber, 151},
        {label::CutSpeed, 152},
        {label::CutPressure, 153},
        {label::CutterOffset, 154},
        {label::ThickMediaMode, 155},
        {label::DesignOrientation, 156},
        {label::MovePen, 159},
        {label::TestCut, 157},
        {label::OriginSet, 158},
        {label::MarkSize, 164},
        {label::SensorCorrectionScan, 161},
        {label::SensorCorrectionWrite, 160},
    };
    if (op.label == label::FeedAdjustmentWrite && op.command.starts_with("FB")) return 162;
    const auto found = codes.find(op.label);
    return found == codes.end() ? -1 : found->second;
}

// What the user must be shown when transfer `kind` ('w' or 'r') of
// operation `op` ends with `fault`; nothing when the operation succeeds.
// Reply faults are those of the cutter's usual answers ("0,0" cut short is
// "0,", a version reply cut short has no model word).
std::optional<int> ExpectedCode(const TraceEntry& op, char kind, Fault fault) {
    const bool markRead = op.label == label::MarksAuto || op.label == label::MarksManual;
    switch (fault) {
    case Fault::Failed:
        return OwnCode(op);
    case Fault::Unplugged:
    case Fault::TimedOut:
        if (kind == 'r' && markRead) return OwnCode(op);
        return fault == Fault::Unplugged ? 57 : 58;
    case Fault::JobQueued:
        return 56;
    case Fault::QueueGone:
        return 55;
    case Fault::ShortReply:
    case Fault::GarbageReply:
        break;
    }
    if (kind != 'r') return std::nullopt;
    const bool garbage = fault == Fault::GarbageReply;
    if (op.label == label::FreeCheck) return garbage ? std::optional<int>(60) : std::nullopt;
    if (op.label == label::FirmwareVersion) return 62;
    if (op.label == label::MarkSensorReady) return garbage ? std::optional<int>(101) : std::nullopt;
    if (op.label == label::MarksAuto) return garbage ? std::optional<int>(210) : std::nullopt;
    if (op.label == label::MarksManual) return garbage ? std::optional<int>(208) : std::nullopt;
    return OwnCode(op); // the number pairs: the second number missing or none at all
}

TEST(FaultSweep, EveryFailureIsShownWithItsCodeAndTheProgramGoesOn) {
    for (const test::Scenario& s : test::Scenarios()) {
        SCOPED_TRACE(s.name);
        const auto clean =
            std::make_unique<ScenarioRun>(s, [](MemoryCutterPort&, MemoryPrintSpooler&) {});
        ASSERT_EQ(clean->exit, s.exit) << "shown:" << Shown(clean->shown);
        ASSERT_TRUE(clean->shown.empty()) << Shown(clean->shown);
        ASSERT_EQ(Shown(clean->stepsNotDone), Shown({}));
        ASSERT_EQ(clean->LeftOpen(), "");
        const int transfers = clean->transfers();
        const int checks = clean->checks();
        ASSERT_GT(transfers, 0);
        ASSERT_GT(checks, 0);
        // The operation of each transfer, from the clean run (an injected run
        // is the same up to the failure).
        std::vector<TraceEntry> ops;
        for (std::size_t mark : clean->port().traceMarks)
            ops.push_back(mark > 0 ? clean->traced()[mark - 1] : TraceEntry{});
        const std::string kinds = clean->port().transferKinds;
        // A run that goes on after a failure sends the scenario's last command.
        const std::string lastWrite = clean->port().writes.back();
        const int lastWriteAt = static_cast<int>(kinds.rfind('w')) + 1;
        // The start-up exchange ends with the feed adjustment's reply.
        int startupEnd = 0;
        for (std::size_t i = 0; i < ops.size() && startupEnd == 0; ++i)
            if (ops[i].label == label::FeedAdjustment && kinds[i] == 'r')
                startupEnd = static_cast<int>(i) + 1;
        ASSERT_GT(startupEnd, 0);

        const auto check = [&](const ScenarioRun& run, int n, const FaultKind& f,
                               const TraceEntry& op, char kind, bool startup) {
            SCOPED_TRACE(std::string(f.name) + " at " + (kind == 'w' ? "write" : "read") +
                         " of transfer " + std::to_string(n) + " (" + op.command + ")");
            const std::optional<int> expected = ExpectedCode(op, kind, f.fault);
            std::vector<int> want;
            if (expected) want.push_back(*expected);
            EXPECT_EQ(Shown(run.shown), Shown(want));
            EXPECT_EQ(run.LeftOpen(), "");
            if (startup && expected) {
                EXPECT_EQ(run.exit, ExitStartupFailed);
                EXPECT_FALSE(run.SettingsWritten());
            } else {
                EXPECT_EQ(run.exit, s.exit); // it went on to its usual end
                if (n < lastWriteAt) {
                    ASSERT_FALSE(run.port().writes.empty());
                    EXPECT_EQ(run.port().writes.back(), lastWrite);
                }
            }
        };
        const auto inStartup = [&](int n) { return n <= startupEnd; };
        for (int n = 1; n <= transfers; ++n) {
            const TraceEntry& op = ops[static_cast<std::size_t>(n - 1)];
            const char kind = kinds[static_cast<std::size_t>(n - 1)];
            for (const FaultKind& f : TransferFaults) {
                const ScenarioRun run(s, [&](MemoryCutterPort& port, MemoryPrintSpooler&) {
                    port.injectAt = n;
                    port.inject = static_cast<MemoryCutterPort::Injected>(f.fault);
                });
                check(run, n, f, op, kind, inStartup(n));
            }
        }
        // Spooler checks come before writes only: check c is the one of the
        // c-th write.
        std::vector<int> writeAt; // transfer number of each write
        for (std::size_t i = 0; i < kinds.size(); ++i)
            if (kinds[i] == 'w') writeAt.push_back(static_cast<int>(i) + 1);
        ASSERT_EQ(static_cast<std::size_t>(checks), writeAt.size());
        for (int c = 1; c <= checks; ++c) {
            const int n = writeAt[static_cast<std::size_t>(c - 1)];
            const TraceEntry& op = ops[static_cast<std::size_t>(n - 1)];
            for (const FaultKind& f : CheckFaults) {
                const ScenarioRun run(s, [&](MemoryCutterPort&, MemoryPrintSpooler& spooler) {
                    spooler.failCheckAt = c;
                    spooler.failCheckResult = f.fault == Fault::JobQueued ? 56 : 55;
                });
                check(run, n, f, op, 'w', inStartup(n));
            }
        }
        std::printf("%s: %d transfers, %d spooler checks, %d runs\n", s.name, transfers, checks,
                    1 + transfers * 5 + checks * 2);
    }
}

} // namespace
} // namespace osa
