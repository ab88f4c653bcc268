#include "platform/memory/memory_cutter_port.h"

#include <algorithm>
#include <cstring>
#include <optional>

namespace osa {

ResultCode MemoryCutterPort::LoadModule() {
    ++moduleLoads;
    if (libraryMissing) return rc::UsbModuleMissing;
    if (exportMissing) return rc::UsbModuleFunctionsMissing;
    return rc::Ok;
}

// Gone from the start, or once the command it goes with has arrived.
bool MemoryCutterPort::Unplugged() {
    return cutter.Setup().fault == sim::Fault::Gone &&
           (cutter.Setup().faultOn.empty() || cutter.Gone());
}

namespace {

ResultCode CodeOf(MemoryCutterPort::Injected kind) {
    switch (kind) {
    case MemoryCutterPort::Injected::Failed:
        return rc::GeneralError;
    case MemoryCutterPort::Injected::Unplugged:
        return rc::CannotCommunicate;
    case MemoryCutterPort::Injected::TimedOut:
        return rc::TransferTimeout;
    default:
        return rc::Ok;
    }
}

} // namespace

// Counts the transfer; its injected failure code, or nothing.
std::optional<MemoryCutterPort::Injected> MemoryCutterPort::CountTransfer(char kind) {
    ++transfers;
    transferKinds.push_back(kind);
    if (traceEntries != nullptr) traceMarks.push_back(traceEntries->size());
    if (injectAt != transfers) return std::nullopt;
    return inject;
}

ResultCode MemoryCutterPort::Write(const std::uint8_t* bytes, std::uint32_t length,
                                   std::uint32_t timeoutMs) {
    writeTimeouts.push_back(timeoutMs);
    if (const auto injected = CountTransfer('w'); injected && CodeOf(*injected) != rc::Ok)
        return CodeOf(*injected);
    if (!connected || Unplugged()) return rc::CannotCommunicate;
    if (ResultCode forced = nextWriteResult; forced != 0) {
        nextWriteResult = 0;
        return forced;
    }
    if (failWriteNumber > 0 && --failWriteNumber == 0) return rc::GeneralError;
    std::string sent(reinterpret_cast<const char*>(bytes), length);
    writes.push_back(sent);
    for (sim::Reply& r : cutter.Receive(sent))
        replies_.push_back(std::move(r));
    return rc::Ok;
}

ResultCode MemoryCutterPort::Read(std::uint8_t* buffer, std::uint32_t length,
                                  std::uint32_t timeoutMs) {
    readTimeouts.push_back(timeoutMs);
    readLengths.push_back(length);
    const auto injected = CountTransfer('r');
    if (injected && CodeOf(*injected) != rc::Ok) {
        if (!replies_.empty()) replies_.pop_front(); // the answer is lost with the transfer
        return CodeOf(*injected);
    }
    if (!connected || Unplugged()) return rc::CannotCommunicate;
    if (ResultCode forced = nextReadResult; forced != 0) {
        nextReadResult = 0;
        return forced;
    }
    if (replies_.empty()) return rc::TransferTimeout;
    sim::Reply reply = std::move(replies_.front());
    replies_.pop_front();
    // A reply later than the time-out is lost with the closed device.
    if (static_cast<std::uint32_t>(reply.delayMs) > timeoutMs) return rc::TransferTimeout;
    if (injected == Injected::ShortReply)
        reply.bytes.resize(reply.bytes.size() > 1 ? reply.bytes.size() / 2 : 1);
    else if (injected == Injected::GarbageReply)
        reply.bytes.assign(reply.bytes.size(), '#');
    std::size_t n = std::min<std::size_t>(length, reply.bytes.size());
    std::memcpy(buffer, reply.bytes.data(), n);
    return rc::Ok;
}

} // namespace osa
