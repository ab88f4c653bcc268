// Transfers to a USB printer interface through its device's usbfs node
// (/dev/bus/usb/BBB/DDD), for a cutter that the kernel's printer driver does
// not hand over. The interface is claimed for one transfer cycle (a command,
// or a command and its reply) and released afterwards; a kernel driver that
// holds it is detached for that time and attached again.
#pragma once
#include <cstdint>
#include <optional>
#include <span>

#include "common/result_code.h"

namespace osa::usbfs {

// True when `fd` is a usbfs device node (it answers USBDEVFS_GET_CAPABILITIES;
// the printer driver's nodes and terminals do not).
bool IsUsbfsNode(int fd);

// The printer-class interface of a device with a bulk pipe each way.
struct PrinterPipes {
    std::uint8_t configuration = 0; // bConfigurationValue
    std::uint8_t interface = 0;
    std::uint8_t alternate = 0;
    std::uint8_t out = 0; // endpoint addresses
    std::uint8_t in = 0;
    std::uint16_t inPacketSize = 0; // wMaxPacketSize of the IN pipe
};

// The first such interface in the raw descriptors a usbfs node reads (the
// device descriptor, then every configuration whole); when the device has
// several configurations, the one whose value is `activeConfiguration`
// (0: the first). Nothing for descriptors that are cut short or malformed.
std::optional<PrinterPipes> FindPrinterPipes(std::span<const std::uint8_t> descriptors,
                                             std::uint8_t activeConfiguration = 0);

// One claimed printer interface. Claim's result: 0; CannotCommunicate when
// the descriptors hold no printer interface, or the interface cannot be
// claimed (another program has it, or the device is gone).
class ClaimedPrinter {
  public:
    explicit ClaimedPrinter(int fd) : fd_(fd) {}
    ~ClaimedPrinter();
    ClaimedPrinter(const ClaimedPrinter&) = delete;
    ClaimedPrinter& operator=(const ClaimedPrinter&) = delete;

    ResultCode Claim();
    // Why Claim failed: the errno of the step that failed (EBUSY: another
    // program has the interface), ENOENT when there is no printer
    // interface.
    int ClaimError() const { return claimError_; }
    // Bulk OUT, all of `bytes` within the time-out: 0, 58 time-out, 50
    // failure (a stall, the device gone).
    ResultCode Write(const std::uint8_t* bytes, std::uint32_t length, std::uint32_t timeoutMs);
    // Bulk IN until the first transfer with data (a zero-length one is not
    // the end); at most `length` bytes are kept. 0, 58, 50 as Write.
    ResultCode Read(std::uint8_t* buffer, std::uint32_t length, std::uint32_t timeoutMs);

  private:
    ResultCode Failed();

    int fd_;
    PrinterPipes pipes_{};
    bool claimed_ = false;
    bool driverDetached_ = false;
    int claimError_ = 0;
};

} // namespace osa::usbfs
