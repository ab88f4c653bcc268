// The cutter port of the tests: a simulated cutter in the same process, with
// the outcomes of transfers a test can force. Time is not real: a reply that
// comes later than the read's time-out makes the read time out at once.
#pragma once
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "platform/cutter_port.h"
#include "platform/memory/memory_debug_trace.h"
#include "tools/simcutter/cutter_model.h"

namespace osa {

class MemoryCutterPort : public CutterPort {
  public:
    ResultCode LoadModule() override;
    void InitTransfers() override { transfersReady = true; }
    void CloseTransfers() override { transfersReady = false; }
    ResultCode Write(const std::uint8_t* bytes, std::uint32_t length,
                     std::uint32_t timeoutMs) override;
    ResultCode Read(std::uint8_t* buffer, std::uint32_t length, std::uint32_t timeoutMs) override;

    sim::CutterModel cutter;
    bool libraryMissing = false;
    bool exportMissing = false;
    bool connected = true; // false: the USB module finds no cutter (57)
    // Forced outcome of the next write / read (0 = as the cutter behaves).
    ResultCode nextWriteResult = 0;
    ResultCode nextReadResult = 0;
    // The write with this number (1 = the first from now on) fails with 50.
    int failWriteNumber = 0;

    // One failure at one transfer: writes and reads are counted together
    // from 1 (`transfers`); the transfer numbered `injectAt` ends as `inject`
    // says. A reply fault on a write does nothing.
    enum class Injected { Failed, Unplugged, TimedOut, ShortReply, GarbageReply };
    int injectAt = 0;
    Injected inject = Injected::Failed;
    int transfers = 0;
    std::string transferKinds; // 'w' or 'r' for each transfer counted
    // The number of trace entries written before each transfer, so that a
    // test can tell which operation a transfer belongs to.
    std::vector<std::size_t> traceMarks;
    const std::vector<TraceEntry>* traceEntries = nullptr;

    // What happened.
    int moduleLoads = 0;
    bool transfersReady = false;
    std::vector<std::string> writes; // the bytes of every write transfer
    std::vector<std::uint32_t> writeTimeouts;
    std::vector<std::uint32_t> readTimeouts;
    std::vector<std::uint32_t> readLengths;

  private:
    std::optional<Injected> CountTransfer(char kind);
    bool Unplugged();
    std::deque<sim::Reply> replies_;
};

} // namespace osa
