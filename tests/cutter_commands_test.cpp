#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "controller/app_state.h"
#include "controller/link/cutter_commands.h"
#include "controller/link/device_link.h"
#include "controller/link/trace_labels.h"
#include "tests/test_support.h"

namespace osa {
namespace {

using namespace std::string_literals;

class CutterCommandsTest : public test::CoreTest {};

struct FrameRow {
    const char* name;
    std::function<ResultCode()> call;
    std::string bytes; // one write transfer
    std::string_view label;
    std::uint32_t writeTimeout;
    ResultCode ownCode; // what a failed start of the write becomes
};

std::vector<FrameRow> Frames() {
    const std::int32_t upLeft = pad::Up | pad::Left;
    const std::int32_t all = pad::Up | pad::Down | pad::Left | pad::Right;
    std::int32_t x = 0, y = 0, adj = 0;
    static char version[513];
    return {
        {"start notice", [] { return SendStartNotice(); }, "TT\x03", label::StartNotice, 500, 166},
        {"firmware", [] { return ReadFirmwareVersion(version); }, "FG\x03", label::FirmwareVersion,
         500, 100},
        {"sensor ready", [] { return QueryMarkSensorReady(); }, "FQ5\x03", label::MarkSensorReady,
         500, 101},
        {"marks auto", [] { return ReadMarksAuto(1, 120000, 99); },
         "TB99\x03TB55,1\x03TB123,2400,0\x03", label::MarksAuto, 500, 163},
        {"marks manual", [] { return ReadMarksManual(1, 120049, -150); },
         "TB99\x03TB55,1\x03TB23,2400,-2\x03", label::MarksManual, 500, 102},
        {"sensor correction", [=]() mutable { return ReadSensorCorrection(x, y); }, "TB71\x03",
         label::SensorCorrection, 500, 103},
        {"feed", [=]() mutable { return ReadFeedAdjustment(adj); }, "FA\x03", label::FeedAdjustment,
         500, 104},
        {"cut condition", [] { return SendCutCondition(3, 10, 2, 50); },
         "FW3\x03!10\x03*0,2\x03"
         "FC50\x03",
         label::CutCondition, 500, 150},
        {"roll action", [] { return SendRollAction(1); }, "FY1\x03", label::RollAction, 500, 165},
        {"condition number", [] { return SendCutConditionNumber(-7); }, "FW-7\x03",
         label::CutConditionNumber, 500, 151},
        {"speed", [] { return SendCutSpeed(10); }, "!10\x03", label::CutSpeed, 500, 152},
        {"pressure", [] { return SendCutPressure(3); }, "*0,3\x03", label::CutPressure, 500, 153},
        {"offset", [] { return SendCutterOffset(0); }, "FC0\x03", label::CutterOffset, 500, 154},
        {"thick media", [] { return SendThickMediaMode(0); }, "FE0\x03", label::ThickMediaMode, 500,
         155},
        {"orientation", [] { return SendDesignOrientation(1); }, "FN1\x03",
         label::DesignOrientation, 500, 156},
        {"move up+left", [=] { return MovePen(upLeft, 1); }, "\x1b\x00\x0a"s, label::MovePen,
         250000, 159},
        {"move all", [=] { return MovePen(all, 1); }, "\x1b\x00\x0f"s, label::MovePen, 250000, 159},
        {"move stop", [=] { return MovePen(upLeft, 0); }, "\x1b\x00\x00"s, label::MovePen, 250000,
         159},
        {"move other flag stops", [=] { return MovePen(upLeft, 2); }, "\x1b\x00\x00"s,
         label::MovePen, 250000, 159},
        {"test cut", [] { return SendTestCut(); }, "FH\x03", label::TestCut, 500, 157},
        {"origin", [] { return SendOriginSet(); }, "FJ\x03", label::OriginSet, 500, 158},
        {"mark size 12.345", [] { return SendMarkSize(12.345); }, "TB51,246\x03", label::MarkSize,
         500, 164},
        {"mark size 7.99", [] { return SendMarkSize(7.99); }, "TB51,159\x03", label::MarkSize, 500,
         164},
        {"sensor scan", [] { return StartSensorCorrectionScan(); }, "TB70\x03",
         label::SensorCorrectionScan, 500, 161},
        {"feed write -5", [] { return SendFeedAdjustment(-5); }, "FB0,0\x03",
         label::FeedAdjustmentWrite, 500, 162},
        {"feed write -1995", [] { return SendFeedAdjustment(-1995); }, "FB-199,0\x03",
         label::FeedAdjustmentWrite, 500, 162},
        {"sensor write", [] { return WriteSensorCorrection(40, 80); }, "TB72,0,40\x03",
         label::SensorCorrectionWrite, 500, 160},
    };
}

// The text a trace entry shows: the bytes before the first zero byte.
std::string TraceText(const std::string& bytes) {
    return bytes.substr(0, bytes.find('\0'));
}

TEST_F(CutterCommandsTest, EachOperationWritesItsFrameInOneTransferAndTracesIt) {
    for (const FrameRow& row : Frames()) {
        SCOPED_TRACE(row.name);
        cutter.writes.clear();
        cutter.writeTimeouts.clear();
        trace.entries.clear();
        row.call();
        ASSERT_FALSE(cutter.writes.empty());
        EXPECT_EQ(cutter.writes.front(), row.bytes);
        EXPECT_EQ(cutter.writeTimeouts.front(), row.writeTimeout);
        ASSERT_EQ(trace.entries.size(), 1u);
        EXPECT_EQ(trace.entries[0], (TraceEntry{std::string(row.label), TraceText(row.bytes)}));
    }
}

TEST_F(CutterCommandsTest, FailuresMapToTheOperationsOwnCodeOrPassThrough) {
    for (const FrameRow& row : Frames()) {
        SCOPED_TRACE(row.name);
        cutter.nextWriteResult = rc::GeneralError;
        EXPECT_EQ(row.call(), row.ownCode);
        for (ResultCode passed : {rc::PrinterNotOpenable, rc::PrintJobsWaiting,
                                  rc::CannotCommunicate, rc::TransferTimeout}) {
            cutter.nextWriteResult = passed;
            EXPECT_EQ(row.call(), passed);
        }
    }
}

TEST_F(CutterCommandsTest, DemoModeTracesEveryCommandAndTransfersNothing) {
    App().demoMode = DemoFirmware2;
    for (const FrameRow& row : Frames()) {
        if (row.ownCode == 163 || row.ownCode == 102) continue; // their pause is tested below
        SCOPED_TRACE(row.name);
        trace.entries.clear();
        EXPECT_EQ(row.call(), rc::Ok);
        ASSERT_EQ(trace.entries.size(), 1u);
        EXPECT_EQ(trace.entries[0].command, TraceText(row.bytes));
    }
    EXPECT_TRUE(cutter.writes.empty());
    EXPECT_TRUE(cutter.readLengths.empty());
}

TEST_F(CutterCommandsTest, DemoAnswers) {
    struct Row {
        std::uint32_t mode;
        const char* version;
    } rows[] = {{DemoFirmware1, "1.00 Demo Mode"}, {DemoFirmware2, "2.01 Demo Mode"}};
    for (const Row& row : rows) {
        App().demoMode = row.mode;
        char version[513] = {};
        std::int32_t x = 7, y = 7, adj = 7;
        EXPECT_EQ(ReadFirmwareVersion(version), rc::Ok);
        EXPECT_STREQ(version, row.version);
        EXPECT_EQ(ReadSensorCorrection(x, y), rc::Ok);
        EXPECT_EQ(x, 40);
        EXPECT_EQ(y, 40);
        EXPECT_EQ(ReadFeedAdjustment(adj), rc::Ok);
        EXPECT_EQ(adj, 0);
        EXPECT_EQ(CheckCutterReady(), rc::Ok);
    }
    EXPECT_TRUE(cutter.writes.empty());
}

TEST_F(CutterCommandsTest, DemoMarkReadsPauseAndSucceedWithoutTransfer) {
    App().demoMode = DemoFirmware1;
    cutter.cutter.Setup().markVerdict = -1;
    EXPECT_EQ(ReadMarksAuto(1, 100000, 100000), rc::Ok);
    EXPECT_EQ(ReadMarksManual(1, 100000, 100000), rc::Ok);
    EXPECT_TRUE(cutter.writes.empty());
    ASSERT_EQ(trace.entries.size(), 2u);
    EXPECT_EQ(trace.entries[1].command, "TB99\x03TB55,1\x03TB23,2000,2000\x03");
}

TEST_F(CutterCommandsTest, FirmwareReply) {
    struct Row {
        char lead;
        const char* version;
        const char* model;
        ResultCode expected;
        const char* text;
    } rows[] = {
        {'V', "2.01", "KXR", rc::Ok, "2.01"},     {'#', "1.00", "KXR", rc::Ok, "1.00"},
        {'V', "2.01", "kxr", rc::WrongModel, ""}, // model word differs in case only
        {'V', "2.01", "KXS", rc::WrongModel, ""}, // another cutter
        {'V', "x.yz", "KXR", rc::WrongModel, ""}, // no number before the word
        {'V', "2.01", "KX", rc::WrongModel, ""},  // the word cut short
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.model);
        cutter.cutter.Setup().lead = row.lead;
        cutter.cutter.Setup().version = row.version;
        cutter.cutter.Setup().model = row.model;
        char version[513] = {};
        EXPECT_EQ(ReadFirmwareVersion(version), row.expected);
        EXPECT_STREQ(version, row.text);
        EXPECT_EQ(cutter.readLengths.back(), 10u);
        EXPECT_EQ(cutter.readTimeouts.back(), 25000u);
    }
}

TEST_F(CutterCommandsTest, FirmwareReplyFaults) {
    char version[513] = {};
    cutter.cutter.Setup().fault = sim::Fault::Garbage;
    EXPECT_EQ(ReadFirmwareVersion(version), rc::WrongModel);
    cutter.cutter.Setup().fault = sim::Fault::ShortReply;
    EXPECT_EQ(ReadFirmwareVersion(version), rc::WrongModel);
    cutter.cutter.Setup().fault = sim::Fault::NoReply;
    EXPECT_EQ(ReadFirmwareVersion(version), rc::TransferTimeout);
    cutter.nextReadResult = rc::GeneralError;
    cutter.cutter.Setup().fault = sim::Fault::None;
    EXPECT_EQ(ReadFirmwareVersion(version), rc::FirmwareReplyFailed);
    EXPECT_STREQ(version, "");
}

TEST_F(CutterCommandsTest, CalibrationRepliesKeepRawValuesAndCheckTheRange) {
    struct Row {
        int sensorX, sensorY;
        ResultCode expected;
        std::int32_t x, y;
    } sensorRows[] = {
        {41, 0, rc::SensorCorrectionFailed, 81, 40},
        {-40, 40, rc::Ok, 0, 80},
        {0, -41, rc::SensorCorrectionFailed, 40, -1},
        {0, 0, rc::Ok, 40, 40},
        {999999999, 0, rc::SensorCorrectionFailed, 1000000039, 40}, // far out, as sent
    };
    for (const Row& row : sensorRows) {
        cutter.cutter.Setup().sensorX = row.sensorX;
        cutter.cutter.Setup().sensorY = row.sensorY;
        std::int32_t x = 0, y = 0;
        EXPECT_EQ(ReadSensorCorrection(x, y), row.expected);
        EXPECT_EQ(x, row.x);
        EXPECT_EQ(y, row.y);
        EXPECT_EQ(cutter.readLengths.back(), 12u);
    }
    struct FeedRow {
        int feed;
        ResultCode expected;
        std::int32_t adjustment;
    } feedRows[] = {
        {200, rc::Ok, 2000},
        {201, rc::FeedAdjustmentFailed, 2010},
        {-200, rc::Ok, -2000},
        {-201, rc::FeedAdjustmentFailed, -2010},
        {999999999, rc::FeedAdjustmentFailed, static_cast<std::int32_t>(999999999u * 10u)},
    };
    for (const FeedRow& row : feedRows) {
        cutter.cutter.Setup().feed = row.feed;
        cutter.cutter.Setup().feedSecond = 99;
        std::int32_t adjustment = 0;
        EXPECT_EQ(ReadFeedAdjustment(adjustment), row.expected);
        EXPECT_EQ(adjustment, row.adjustment);
    }
}

TEST_F(CutterCommandsTest, MarkReadVerdicts) {
    struct Row {
        int verdict;
        ResultCode autoResult, manualResult;
    } rows[] = {
        {0, rc::Ok, rc::Ok},
        {-1, rc::MarksAutoNotRead, rc::MarksManualNotRead},
        {3, rc::MarksAutoNotRead, rc::MarksManualNotRead},
    };
    for (const Row& row : rows) {
        cutter.cutter.Setup().markVerdict = row.verdict;
        EXPECT_EQ(ReadMarksAuto(1, 150000, 150000), row.autoResult);
        EXPECT_EQ(ReadMarksManual(1, 150000, 150000), row.manualResult);
        EXPECT_EQ(cutter.readTimeouts.back(), 250000u);
        EXPECT_EQ(cutter.readLengths.back(), 6u);
    }
    // Any failed read, a time-out included, is the read's own code.
    for (ResultCode readFailure : {rc::TransferTimeout, rc::CannotCommunicate, rc::GeneralError}) {
        cutter.nextReadResult = readFailure;
        EXPECT_EQ(ReadMarksAuto(1, 150000, 150000), rc::MarksAutoFailed);
        cutter.nextReadResult = readFailure;
        EXPECT_EQ(ReadMarksManual(1, 150000, 150000), rc::MarksManualFailed);
    }
}

TEST_F(CutterCommandsTest, SensorReadyState) {
    struct Row {
        int ready;
        ResultCode expected;
    } rows[] = {{1, rc::Ok}, {0, rc::GeneralError}, {2, rc::GeneralError}};
    for (const Row& row : rows) {
        cutter.cutter.Setup().sensorReady = row.ready;
        EXPECT_EQ(QueryMarkSensorReady(), row.expected);
    }
    cutter.nextReadResult = rc::TransferTimeout;
    EXPECT_EQ(QueryMarkSensorReady(), rc::TransferTimeout);
    cutter.nextReadResult = rc::GeneralError;
    EXPECT_EQ(QueryMarkSensorReady(), rc::SensorReadyReplyFailed);
}

// A reply the expected numbers cannot be read from is the query's failure,
// never its success: garbage, a reply cut short ("-" of "-1", "0," of
// "0,0"), or one whose first byte ends it.
TEST_F(CutterCommandsTest, RepliesWithoutTheirNumbersFail) {
    std::int32_t x = 0, y = 0, feed = 0;
    const struct {
        const char* what;
        std::function<ResultCode()> query;
        ResultCode expected;
    } queries[] = {
        {"automatic mark read", [] { return ReadMarksAuto(1, 150000, 150000); },
         rc::MarksAutoNotRead},
        {"manual mark read", [] { return ReadMarksManual(1, 150000, 150000); },
         rc::MarksManualNotRead},
        {"sensor correction", [&] { return ReadSensorCorrection(x, y); },
         rc::SensorCorrectionFailed},
        {"feed adjustment", [&] { return ReadFeedAdjustment(feed); }, rc::FeedAdjustmentFailed},
        {"mark sensor state", [] { return QueryMarkSensorReady(); }, rc::SensorReadyReplyFailed},
    };
    // "-1": cut short, only "-" arrives.
    cutter.cutter.Setup().markVerdict = -1;
    cutter.cutter.Setup().sensorReady = -1;
    for (const auto& q : queries) {
        SCOPED_TRACE(q.what);
        for (sim::Fault fault : {sim::Fault::Garbage, sim::Fault::ShortReply}) {
            cutter.cutter.Setup().fault = fault;
            EXPECT_EQ(q.query(), q.expected);
        }
        cutter.cutter.Setup().fault = sim::Fault::None;
    }
}

TEST(MarkDistanceOnWire, TruncatesToTenthsThenCountsHalfTenths) {
    EXPECT_EQ(MarkDistanceOnWire(120000), 2400);
    EXPECT_EQ(MarkDistanceOnWire(120049), 2400);
    EXPECT_EQ(MarkDistanceOnWire(99), 0);
    EXPECT_EQ(MarkDistanceOnWire(-199), -2);
}

} // namespace
} // namespace osa
