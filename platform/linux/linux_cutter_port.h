// The cutter port of the Linux build: libvornusbp.so bound at run time, one
// non-blocking descriptor per transfer (per command and its reply in an
// exchange), each stage bounded by poll.
#pragma once
#include "platform/cutter_port.h"
#include "usb/vornusbp.h"

namespace osa::usbfs {
class ClaimedPrinter;
}

namespace osa {

class LinuxCutterPort : public CutterPort {
  public:
    // `moduleName` is looked for beside the program first, then by the
    // dynamic loader's search.
    explicit LinuxCutterPort(const char* moduleName = "libvornusbp.so") : moduleName_(moduleName) {}

    ResultCode LoadModule() override;
    void InitTransfers() override {}
    void CloseTransfers() override {}
    ResultCode Write(const std::uint8_t* bytes, std::uint32_t length,
                     std::uint32_t timeoutMs) override;
    ResultCode Read(std::uint8_t* buffer, std::uint32_t length, std::uint32_t timeoutMs) override;
    ExchangeResult Exchange(const std::uint8_t* command, std::uint32_t commandLength,
                            std::uint32_t writeTimeoutMs, std::uint8_t* reply,
                            std::uint32_t replyLength, std::uint32_t readTimeoutMs) override;

    // The errno of the last open that failed (0 when it succeeded), for
    // messages that tell a user what to do (EACCES: may not open the
    // device; EBUSY: another program has it). A usbfs node whose printer
    // interface cannot be claimed counts as an open that failed.
    int LastOpenError() const { return lastOpenError_; }

  private:
    int OpenDevice();
    ResultCode Claim(usbfs::ClaimedPrinter& printer);

    const char* moduleName_;
    VornOpenUsbFn openUsb_ = nullptr;
    int lastOpenError_ = 0;
};

} // namespace osa
