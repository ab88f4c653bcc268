#include "platform/linux/usbfs_printer.h"

#include <linux/usbdevice_fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <vector>

namespace osa::usbfs {

namespace {

constexpr std::uint8_t DeviceDescriptor = 1;
constexpr std::uint8_t ConfigDescriptor = 2;
constexpr std::uint8_t InterfaceDescriptor = 4;
constexpr std::uint8_t EndpointDescriptor = 5;
constexpr std::uint8_t PrinterClass = 7;
constexpr std::uint8_t BulkTransfer = 2;

int Ioctl(int fd, unsigned long request, void* arg) {
    for (;;) {
        int r = ::ioctl(fd, request, arg);
        if (r < 0 && errno == EINTR) continue;
        return r;
    }
}

using Clock = std::chrono::steady_clock;

// Milliseconds left, at least 1 (usbfs reads 0 as "no time-out").
unsigned Left(Clock::time_point end) {
    auto left = std::chrono::ceil<std::chrono::milliseconds>(end - Clock::now()).count();
    if (left < 1) return 0;
    return left > 0x7FFFFFFF ? 0x7FFFFFFFu : static_cast<unsigned>(left);
}

// One bulk transfer: bytes moved, or -1 with errno set.
int Bulk(int fd, std::uint8_t endpoint, void* data, std::uint32_t length, unsigned timeoutMs) {
    usbdevfs_bulktransfer transfer{};
    transfer.ep = endpoint;
    transfer.len = length;
    transfer.timeout = timeoutMs;
    transfer.data = data;
    return Ioctl(fd, USBDEVFS_BULK, &transfer);
}

ResultCode TransferFailure() {
    return errno == ETIMEDOUT ? rc::TransferTimeout : rc::GeneralError;
}

// The active configuration as the device reports it; 0 when it cannot be
// asked.
std::uint8_t ActiveConfiguration(int fd) {
    std::uint8_t value = 0;
    usbdevfs_ctrltransfer get{};
    get.bRequestType = 0x80; // standard, device-to-host, to the device
    get.bRequest = 8;        // GET_CONFIGURATION
    get.wLength = 1;
    get.timeout = 1000;
    get.data = &value;
    return Ioctl(fd, USBDEVFS_CONTROL, &get) == 1 ? value : 0;
}

} // namespace

bool IsUsbfsNode(int fd) {
    std::uint32_t capabilities = 0;
    return Ioctl(fd, USBDEVFS_GET_CAPABILITIES, &capabilities) == 0;
}

std::optional<PrinterPipes> FindPrinterPipes(std::span<const std::uint8_t> d,
                                             std::uint8_t activeConfiguration) {
    if (d.size() < 18 || d[0] < 18 || d[1] != DeviceDescriptor) return std::nullopt;
    std::size_t at = d[0];
    while (at + 9 <= d.size()) {
        if (d[at] < 9 || d[at + 1] != ConfigDescriptor) return std::nullopt;
        std::size_t total = d[at + 2] | (d[at + 3] << 8);
        if (total < d[at] || at + total > d.size()) return std::nullopt;
        const std::uint8_t value = d[at + 5];
        const bool wanted = activeConfiguration == 0 || value == activeConfiguration;

        std::optional<PrinterPipes> candidate;
        bool printer = false;
        for (std::size_t p = at + d[at]; wanted && p + 2 <= at + total;) {
            const std::uint8_t length = d[p];
            if (length < 2 || p + length > at + total) return std::nullopt;
            const std::uint8_t type = d[p + 1];
            if (type == InterfaceDescriptor && length >= 9) {
                if (candidate && candidate->out != 0 && candidate->in != 0) return candidate;
                printer = d[p + 5] == PrinterClass;
                candidate.reset();
                if (printer) candidate = PrinterPipes{value, d[p + 2], d[p + 3], 0, 0, 0};
            } else if (type == EndpointDescriptor && length >= 7 && printer) {
                const std::uint8_t address = d[p + 2];
                if ((d[p + 3] & 0x03) == BulkTransfer) {
                    if ((address & 0x80) && candidate->in == 0) {
                        candidate->in = address;
                        candidate->inPacketSize =
                            static_cast<std::uint16_t>((d[p + 4] | (d[p + 5] << 8)) & 0x7FF);
                    } else if (!(address & 0x80) && candidate->out == 0) {
                        candidate->out = address;
                    }
                }
            }
            p += length;
        }
        if (candidate && candidate->out != 0 && candidate->in != 0) return candidate;
        at += total;
    }
    return std::nullopt;
}

ResultCode ClaimedPrinter::Claim() {
    // A usbfs node reads the device's descriptors from its start.
    std::vector<std::uint8_t> descriptors(65536);
    std::size_t used = 0;
    for (;;) {
        ssize_t n = ::read(fd_, descriptors.data() + used, descriptors.size() - used);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        used += static_cast<std::size_t>(n);
        if (used == descriptors.size()) break;
    }
    descriptors.resize(used);
    std::optional<PrinterPipes> pipes = FindPrinterPipes(descriptors);
    // Several configurations: the one in force decides.
    if (pipes && descriptors.size() > 17 && descriptors[17] > 1)
        pipes = FindPrinterPipes(descriptors, ActiveConfiguration(fd_));
    if (!pipes) {
        claimError_ = ENOENT;
        return rc::CannotCommunicate;
    }
    pipes_ = *pipes;

    unsigned interface = pipes_.interface;
    usbdevfs_getdriver driver{};
    driver.interface = interface;
    if (Ioctl(fd_, USBDEVFS_GETDRIVER, &driver) == 0 &&
        std::strncmp(driver.driver, "usbfs", sizeof(driver.driver)) != 0) {
        usbdevfs_ioctl detach{};
        detach.ifno = static_cast<int>(interface);
        detach.ioctl_code = USBDEVFS_DISCONNECT;
        if (Ioctl(fd_, USBDEVFS_IOCTL, &detach) < 0) return Failed();
        driverDetached_ = true;
    }
    if (Ioctl(fd_, USBDEVFS_CLAIMINTERFACE, &interface) < 0) return Failed();
    claimed_ = true;
    if (pipes_.alternate != 0) {
        usbdevfs_setinterface alt{pipes_.interface, pipes_.alternate};
        if (Ioctl(fd_, USBDEVFS_SETINTERFACE, &alt) < 0) return Failed();
    }
    return rc::Ok;
}

ResultCode ClaimedPrinter::Failed() {
    claimError_ = errno;
    return rc::CannotCommunicate;
}

ClaimedPrinter::~ClaimedPrinter() {
    unsigned interface = pipes_.interface;
    if (claimed_) Ioctl(fd_, USBDEVFS_RELEASEINTERFACE, &interface);
    if (driverDetached_) {
        usbdevfs_ioctl attach{};
        attach.ifno = static_cast<int>(interface);
        attach.ioctl_code = USBDEVFS_CONNECT;
        Ioctl(fd_, USBDEVFS_IOCTL, &attach);
    }
}

ResultCode ClaimedPrinter::Write(const std::uint8_t* bytes, std::uint32_t length,
                                 std::uint32_t timeoutMs) {
    const Clock::time_point end = Clock::now() + std::chrono::milliseconds(timeoutMs);
    // usbfs takes a non-const buffer for both directions; an OUT transfer
    // only reads it.
    auto* data = const_cast<std::uint8_t*>(bytes);
    std::uint32_t done = 0;
    do {
        unsigned left = Left(end);
        if (left == 0) return rc::TransferTimeout;
        int n = Bulk(fd_, pipes_.out, data + done, length - done, left);
        if (n < 0) return TransferFailure();
        done += static_cast<std::uint32_t>(n);
    } while (done < length);
    return rc::Ok;
}

ResultCode ClaimedPrinter::Read(std::uint8_t* buffer, std::uint32_t length,
                                std::uint32_t timeoutMs) {
    const Clock::time_point end = Clock::now() + std::chrono::milliseconds(timeoutMs);
    // Whole packets, so that a reply longer than asked for ends the
    // transfer instead of overflowing it.
    const std::uint32_t packet = pipes_.inPacketSize != 0 ? pipes_.inPacketSize : 64;
    std::vector<std::uint8_t> received((length + packet - 1) / packet * packet + packet);
    for (;;) {
        unsigned left = Left(end);
        if (left == 0) return rc::TransferTimeout;
        int n = Bulk(fd_, pipes_.in, received.data(), static_cast<std::uint32_t>(received.size()),
                     left);
        if (n < 0) return TransferFailure();
        if (n == 0) continue; // a zero-length packet: not the reply yet
        std::memcpy(buffer, received.data(),
                    std::min<std::size_t>(static_cast<std::size_t>(n), length));
        return rc::Ok;
    }
}

} // namespace osa::usbfs
