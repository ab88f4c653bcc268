// Every query's reply parser. The input's first byte picks the query, the
// rest is what the cutter answers to it (one read, as much of it as the
// query reads). Each query must end with success or its own codes, and a
// success must carry values inside the ranges the callers rely on.
#include <cstring>
#include <string_view>

#include "common/result_code.h"
#include "controller/app_state.h"
#include "controller/link/cutter_commands.h"
#include "controller/link/device_link.h"
#include "fuzz/fuzz_input.h"
#include "platform/cutter_port.h"
#include "platform/memory/memory_debug_trace.h"
#include "platform/memory/memory_print_spooler.h"
#include "platform/services.h"

namespace {

using namespace osa;

// A cutter that takes every write and answers every read with `reply`.
class ReplyingPort final : public CutterPort {
  public:
    std::string_view reply;
    ResultCode LoadModule() override { return 0; }
    void InitTransfers() override {}
    void CloseTransfers() override {}
    ResultCode Write(const std::uint8_t*, std::uint32_t, std::uint32_t) override { return 0; }
    ResultCode Read(std::uint8_t* buffer, std::uint32_t length, std::uint32_t) override {
        const std::size_t n = reply.size() < length ? reply.size() : length;
        if (n != 0) std::memcpy(buffer, reply.data(), n);
        return 0;
    }
};

bool OneOf(ResultCode r, std::initializer_list<ResultCode> codes) {
    for (ResultCode c : codes)
        if (r == c) return true;
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    static ReplyingPort port;
    static MemoryDebugTrace trace;
    static MemoryPrintSpooler spooler;
    static const bool installed = [] {
        Services s;
        s.cutter = &port;
        s.trace = &trace;
        s.spooler = &spooler;
        (void)InstallServices(s);
        return true;
    }();
    (void)installed;
    ResetAppState();
    trace.entries.clear();
    port.reply = fuzz::AsText(data + 1, size - 1);

    switch (data[0] % 7) {
    case 0: {
        char version[513];
        std::memset(version, 'x', sizeof version);
        const ResultCode r = ReadFirmwareVersion(version);
        OSA_FUZZ_REQUIRE(OneOf(r, {rc::Ok, rc::WrongModel}));
        if (r == rc::Ok) OSA_FUZZ_REQUIRE(strnlen(version, sizeof version) <= 4);
        break;
    }
    case 1:
        OSA_FUZZ_REQUIRE(
            OneOf(QueryMarkSensorReady(), {rc::Ok, rc::GeneralError, rc::SensorReadyReplyFailed}));
        break;
    case 2:
        OSA_FUZZ_REQUIRE(OneOf(ReadMarksAuto(1, 100000, 100000),
                               {rc::Ok, rc::MarksAutoFailed, rc::MarksAutoNotRead}));
        break;
    case 3:
        OSA_FUZZ_REQUIRE(OneOf(ReadMarksManual(1, 100000, 100000),
                               {rc::Ok, rc::MarksManualFailed, rc::MarksManualNotRead}));
        break;
    case 4: {
        std::int32_t x = -1, y = -1;
        const ResultCode r = ReadSensorCorrection(x, y);
        OSA_FUZZ_REQUIRE(OneOf(r, {rc::Ok, rc::SensorCorrectionFailed}));
        if (r == rc::Ok) OSA_FUZZ_REQUIRE(x >= 0 && x <= 80 && y >= 0 && y <= 80);
        break;
    }
    case 5: {
        std::int32_t adjustment = 1;
        const ResultCode r = ReadFeedAdjustment(adjustment);
        OSA_FUZZ_REQUIRE(OneOf(r, {rc::Ok, rc::FeedAdjustmentFailed}));
        if (r == rc::Ok)
            OSA_FUZZ_REQUIRE(adjustment >= -2000 && adjustment <= 2000 && adjustment % 10 == 0);
        break;
    }
    default:
        OSA_FUZZ_REQUIRE(OneOf(CheckCutterReady(), {rc::Ok, rc::StatusNotReady}));
        break;
    }
    return 0;
}
