// Facts of the USB printer driver this code respects:
//  - the node admits one open at a time (EBUSY);
//  - opening it starts a read from the device at once, and closing it
//    throws away what that read received: a reply is read through the
//    descriptor that was open when it arrived;
//  - a non-blocking write is finished only when poll reports POLLOUT;
//    closing earlier kills it;
//  - read() returns the data of one completed transfer; a zero-length
//    packet returns 0, which is not the end of the data;
//  - after unplugging, read and write fail with ENODEV.
// A pseudo-terminal (the simulated cutter) behaves the same way for all
// that matters here, and reports POLLHUP when its other side is gone.
// A cutter the driver does not hand over comes as its device's usbfs node
// instead; its transfers go through platform/linux/usbfs_printer.h.
#include "platform/linux/linux_cutter_port.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <string>

#include "platform/linux/unique_fd.h"
#include "platform/linux/usbfs_printer.h"

namespace osa {

namespace {

using Clock = std::chrono::steady_clock;

class Deadline {
  public:
    explicit Deadline(std::uint32_t timeoutMs)
        : end_(Clock::now() + std::chrono::milliseconds(timeoutMs)) {}
    // Milliseconds left for poll, rounded up so a wait never ends early.
    int Left() const {
        auto left = std::chrono::ceil<std::chrono::milliseconds>(end_ - Clock::now()).count();
        if (left < 0) return 0;
        return left > 2147483647 ? 2147483647 : static_cast<int>(left);
    }

  private:
    Clock::time_point end_;
};

// Waits for `events`; 1 ready, 0 time-out, -1 error or the device gone.
int WaitFor(int fd, short events, const Deadline& deadline) {
    for (;;) {
        pollfd p{fd, events, 0};
        int n = ::poll(&p, 1, deadline.Left());
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return -1;
        if (n == 0) return 0;
        // The device gone (a pseudo-terminal's other side closed; the USB
        // driver itself never reports these).
        if (p.revents & (POLLERR | POLLHUP | POLLNVAL)) return -1;
        return 1;
    }
}

ResultCode WriteAll(int fd, const std::uint8_t* bytes, std::uint32_t length,
                    std::uint32_t timeoutMs) {
    Deadline deadline(timeoutMs);
    std::uint32_t done = 0;
    while (done < length) {
        ssize_t n = ::write(fd, bytes + done, length - done);
        if (n > 0) {
            done += static_cast<std::uint32_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno != EAGAIN) return rc::GeneralError;
        int ready = WaitFor(fd, POLLOUT, deadline);
        if (ready == 0) return rc::TransferTimeout;
        if (ready < 0) return rc::GeneralError;
    }
    // The last chunk is on its way; it has reached the device when the
    // driver reports the descriptor writable again.
    int ready = WaitFor(fd, POLLOUT, deadline);
    if (ready == 0) return rc::TransferTimeout;
    return ready < 0 ? rc::GeneralError : rc::Ok;
}

ResultCode ReadOnce(int fd, std::uint8_t* buffer, std::uint32_t length, std::uint32_t timeoutMs) {
    Deadline deadline(timeoutMs);
    for (;;) {
        ssize_t n = ::read(fd, buffer, length);
        if (n > 0) return rc::Ok;
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno != EAGAIN) return rc::GeneralError;
        // EAGAIN, or an empty packet: wait for the next transfer.
        if (n == 0 && deadline.Left() == 0) return rc::TransferTimeout;
        int ready = WaitFor(fd, POLLIN, deadline);
        if (ready == 0) return rc::TransferTimeout;
        if (ready < 0) return rc::GeneralError;
    }
}

std::string ProgramFolder() {
    char path[4096];
    ssize_t n = ::readlink("/proc/self/exe", path, sizeof(path) - 1);
    if (n <= 0) return {};
    std::string p(path, static_cast<std::size_t>(n));
    auto slash = p.rfind('/');
    return slash == std::string::npos ? std::string() : p.substr(0, slash + 1);
}

} // namespace

ResultCode LinuxCutterPort::LoadModule() {
    if (openUsb_ != nullptr) return rc::Ok;
    // Bound once for the life of the process; never closed.
    std::string besideProgram = ProgramFolder() + moduleName_;
    void* module = ::dlopen(besideProgram.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (module == nullptr) module = ::dlopen(moduleName_, RTLD_NOW | RTLD_LOCAL);
    if (module == nullptr) return rc::UsbModuleMissing;
    void* symbol = ::dlsym(module, "VORN_OpenUsb");
    if (symbol == nullptr) return rc::UsbModuleFunctionsMissing;
    openUsb_ = reinterpret_cast<VornOpenUsbFn>(symbol);
    return rc::Ok;
}

int LinuxCutterPort::OpenDevice() {
    if (openUsb_ == nullptr) {
        lastOpenError_ = ENOENT;
        return -1;
    }
    int fd = openUsb_(0, 0, O_NONBLOCK);
    lastOpenError_ = fd < 0 ? errno : 0;
    return fd;
}

ResultCode LinuxCutterPort::Claim(usbfs::ClaimedPrinter& printer) {
    ResultCode claimed = printer.Claim();
    if (claimed != rc::Ok) lastOpenError_ = printer.ClaimError();
    return claimed;
}

ResultCode LinuxCutterPort::Write(const std::uint8_t* bytes, std::uint32_t length,
                                  std::uint32_t timeoutMs) {
    posix::UniqueFd fd(OpenDevice());
    if (!fd) return rc::CannotCommunicate;
    if (usbfs::IsUsbfsNode(fd.Get())) {
        usbfs::ClaimedPrinter printer(fd.Get());
        ResultCode claimed = Claim(printer);
        return claimed != rc::Ok ? claimed : printer.Write(bytes, length, timeoutMs);
    }
    return WriteAll(fd.Get(), bytes, length, timeoutMs);
}

ResultCode LinuxCutterPort::Read(std::uint8_t* buffer, std::uint32_t length,
                                 std::uint32_t timeoutMs) {
    posix::UniqueFd fd(OpenDevice());
    if (!fd) return rc::CannotCommunicate;
    if (usbfs::IsUsbfsNode(fd.Get())) {
        usbfs::ClaimedPrinter printer(fd.Get());
        ResultCode claimed = Claim(printer);
        return claimed != rc::Ok ? claimed : printer.Read(buffer, length, timeoutMs);
    }
    return ReadOnce(fd.Get(), buffer, length, timeoutMs);
}

ExchangeResult LinuxCutterPort::Exchange(const std::uint8_t* command, std::uint32_t commandLength,
                                         std::uint32_t writeTimeoutMs, std::uint8_t* reply,
                                         std::uint32_t replyLength, std::uint32_t readTimeoutMs) {
    ExchangeResult result;
    posix::UniqueFd fd(OpenDevice());
    if (!fd) {
        result.write = rc::CannotCommunicate;
        return result;
    }
    if (usbfs::IsUsbfsNode(fd.Get())) {
        // One claim for the command and its reply, as one open is for the
        // driver's node.
        usbfs::ClaimedPrinter printer(fd.Get());
        result.write = Claim(printer);
        if (result.write == rc::Ok)
            result.write = printer.Write(command, commandLength, writeTimeoutMs);
        if (result.write == rc::Ok) result.read = printer.Read(reply, replyLength, readTimeoutMs);
        return result;
    }
    result.write = WriteAll(fd.Get(), command, commandLength, writeTimeoutMs);
    if (result.write == rc::Ok) result.read = ReadOnce(fd.Get(), reply, replyLength, readTimeoutMs);
    return result;
}

} // namespace osa
