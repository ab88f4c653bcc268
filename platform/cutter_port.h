// Transfers to the cutter. Every call is one complete cycle: the device is
// opened through the USB module, the bytes move within the time-out, and the
// device is closed again before the call returns, on every path. Nothing
// writes into a caller's buffer after the call has returned.
//   Win32: LoadLibraryA("VORNUSBP.DLL") + GetProcAddress("VORN_OpenUsb");
//          one open per transfer (pipe 0 writes, pipe 1 reads), overlapped
//          WriteFile/ReadFile, WaitForSingleObject on the transfer's event,
//          CancelIoEx + GetOverlappedResult(wait) on time-out.
//   Linux: dlopen("libvornusbp.so") + dlsym("VORN_OpenUsb"); a non-blocking
//          read-write descriptor, poll bounds each stage. A command and the
//          reply that follows it share one descriptor, because the USB
//          printer driver throws away what it read when the node is closed.
//   memory: an in-process simulated cutter with faults a test injects.
#pragma once
#include <cstdint>

#include "common/result_code.h"

namespace osa {

// Results of one exchange: the write's code, and the read's code when the
// write succeeded (a read that was never tried stays 0).
struct ExchangeResult {
    ResultCode write = 0;
    ResultCode read = 0;
};

class CutterPort {
  public:
    virtual ~CutterPort() = default;

    // Binds the USB module by name: 0, 52 (library missing), 53 (export
    // missing). The module stays bound until the process ends.
    virtual ResultCode LoadModule() = 0;
    // Creates (Init) and releases (Close) what the transfers reuse: the two
    // transfer events on Win32, nothing elsewhere. Both may be called twice.
    virtual void InitTransfers() = 0;
    virtual void CloseTransfers() = 0;

    // Each returns 0, 50 (the transfer could not be started or its completion
    // reported a failure), 57 (the device could not be opened) or 58 (the
    // transfer did not end in time; it has been cancelled and has ended).
    virtual ResultCode Write(const std::uint8_t* bytes, std::uint32_t length,
                             std::uint32_t timeoutMs) = 0;
    // Reads at most `length` bytes: one transfer, which may deliver fewer.
    // Bytes the device does not send leave the buffer as it was.
    virtual ResultCode Read(std::uint8_t* buffer, std::uint32_t length,
                            std::uint32_t timeoutMs) = 0;
    // A command and the reply read that follows it.
    virtual ExchangeResult Exchange(const std::uint8_t* command, std::uint32_t commandLength,
                                    std::uint32_t writeTimeoutMs, std::uint8_t* reply,
                                    std::uint32_t replyLength, std::uint32_t readTimeoutMs) {
        ExchangeResult result;
        result.write = Write(command, commandLength, writeTimeoutMs);
        if (result.write == 0) result.read = Read(reply, replyLength, readTimeoutMs);
        return result;
    }
};

} // namespace osa
