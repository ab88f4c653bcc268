#include "platform/memory/memory_cutter_port.h"

#include <algorithm>
#include <cstring>

namespace osa {

ResultCode MemoryCutterPort::LoadModule() {
    ++moduleLoads;
    if (libraryMissing) return rc::UsbModuleMissing;
    if (exportMissing) return rc::UsbModuleFunctionsMissing;
    return rc::Ok;
}

ResultCode MemoryCutterPort::Write(const std::uint8_t* bytes, std::uint32_t length,
                                   std::uint32_t timeoutMs) {
    writeTimeouts.push_back(timeoutMs);
    if (!connected || cutter.Setup().fault == sim::Fault::Gone) return rc::CannotCommunicate;
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
    if (!connected || cutter.Setup().fault == sim::Fault::Gone) return rc::CannotCommunicate;
    if (ResultCode forced = nextReadResult; forced != 0) {
        nextReadResult = 0;
        return forced;
    }
    if (replies_.empty()) return rc::TransferTimeout;
    sim::Reply reply = std::move(replies_.front());
    replies_.pop_front();
    // A reply later than the time-out is lost with the closed device.
    if (static_cast<std::uint32_t>(reply.delayMs) > timeoutMs) return rc::TransferTimeout;
    std::size_t n = std::min<std::size_t>(length, reply.bytes.size());
    std::memcpy(buffer, reply.bytes.data(), n);
    return rc::Ok;
}

} // namespace osa
