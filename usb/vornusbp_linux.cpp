// The USB module of the Linux build. The cutter is looked for in two ways:
//
//  1. Among the kernel's USB printer devices (usblp): the driver reads each
//     device's IEEE 1284 identification once when the device is plugged in
//     and shows it in sysfs, so telling the cutter from other printers costs
//     no device traffic. The node handed over is /dev/usb/lpN. When that node
//     cannot be opened (no such node, or the user may not open it) the
//     device's usbfs node is tried instead; the cutter port then detaches the
//     driver for the time of each transfer.
//  2. When no printer device of the driver is the cutter (the driver is not
//     loaded, or another program detached it): among all USB devices with a
//     printer-class interface, through libusb. Each one is opened, its
//     printer interface claimed and asked for its identification with the
//     printer class's GET_DEVICE_ID request; the first cutter's usbfs node
//     (/dev/bus/usb/BBB/DDD) is handed over.
//
// The driver's way comes first: while the driver holds a device, usbfs may
// not talk to its printer interface, and a printer the driver holds is never
// taken from it here.
#include <dirent.h>
#include <fcntl.h>
#include <libusb.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/linux/unique_fd.h"
#include "usb/device_id.h"
#include "usb/vornusbp.h"

namespace {

std::string Root(const char* variable, const char* fallback) {
    const char* value = std::getenv(variable);
    return (value != nullptr && value[0] != '\0') ? value : fallback;
}

// "lp<N>" → N; -1 for any other name.
long DeviceNumber(const char* name) {
    if (name[0] != 'l' || name[1] != 'p' || name[2] < '0' || name[2] > '9') return -1;
    char* end = nullptr;
    long n = std::strtol(name + 2, &end, 10);
    return (*end == '\0' && n >= 0) ? n : -1;
}

// A sysfs attribute, whole; empty when it cannot be read. Attributes are at
// most one page; more is never read.
std::string ReadAttribute(const std::string& path) {
    osa::posix::UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (!fd) return {};
    std::string text(4096, '\0');
    std::size_t used = 0;
    while (used < text.size()) {
        ssize_t n = ::read(fd.Get(), text.data() + used, text.size() - used);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        used += static_cast<std::size_t>(n);
    }
    text.resize(used);
    return text;
}

// The errno a failed search reports: a device that is there but may not be
// opened says more than one that is busy, and that more than none at all.
class SearchError {
  public:
    void Note(int error) {
        if (Rank(error) > Rank(error_)) error_ = error;
    }
    int Get() const { return error_; }

  private:
    static int Rank(int error) {
        switch (error) {
        case EACCES:
        case EPERM:
            return 3;
        case EBUSY:
            return 2;
        case ENOENT:
            return 0;
        default:
            return 1;
        }
    }
    int error_ = ENOENT;
};

std::string UsbfsPath(unsigned bus, unsigned address) {
    char path[64];
    std::snprintf(path, sizeof(path), "/dev/bus/usb/%03u/%03u", bus, address);
    return path;
}

int OpenUsbfs(unsigned bus, unsigned address) {
    return ::open(UsbfsPath(bus, address).c_str(), O_RDWR | O_CLOEXEC | O_NOCTTY);
}

// The usbfs node of the USB device a printer device of the driver belongs
// to (its interface's parent in sysfs); -1 with errno set.
int OpenUsbfsOfPrinterDevice(const std::string& deviceFolder) {
    std::string bus = ReadAttribute(deviceFolder + "/../busnum");
    std::string address = ReadAttribute(deviceFolder + "/../devnum");
    char* end = nullptr;
    unsigned long b = std::strtoul(bus.c_str(), &end, 10);
    bool busOk = end != bus.c_str();
    unsigned long a = std::strtoul(address.c_str(), &end, 10);
    if (!busOk || end == address.c_str() || b > 999 || a > 999) {
        errno = ENOENT;
        return -1;
    }
    return OpenUsbfs(static_cast<unsigned>(b), static_cast<unsigned>(a));
}

// The first way: the driver's printer devices. Returns a descriptor, or -1
// with the reason noted.
int OpenThroughPrinterDriver(int extraFlags, SearchError& error) {
    const std::string sysfs = Root("OSA_USB_SYSFS_ROOT", "/sys/class/usbmisc");
    const std::string dev = Root("OSA_USB_DEV_ROOT", "/dev/usb");

    std::vector<std::pair<long, std::string>> devices;
    if (std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(sysfs.c_str()), ::closedir); dir) {
        while (const dirent* entry = ::readdir(dir.get())) {
            long n = DeviceNumber(entry->d_name);
            if (n >= 0) devices.emplace_back(n, entry->d_name);
        }
    }
    std::sort(devices.begin(), devices.end());

    for (const auto& [number, name] : devices) {
        const std::string folder = sysfs + "/" + name + "/device";
        std::string id = ReadAttribute(folder + "/ieee1284_id");
        if (!osa::usb::IsCutterDeviceId(id.data(), id.size())) continue;
        int fd = ::open((dev + "/" + name).c_str(), O_RDWR | O_CLOEXEC | O_NOCTTY | extraFlags);
        if (fd >= 0) return fd;
        const int lpError = errno;
        // Busy: another program is printing through the driver; taking the
        // device from it would break that job.
        if (lpError == EBUSY) {
            error.Note(lpError);
            continue;
        }
        fd = OpenUsbfsOfPrinterDevice(folder);
        if (fd >= 0) return fd;
        error.Note(lpError);
        error.Note(errno);
    }
    return -1;
}

struct ContextDeleter {
    void operator()(libusb_context* context) const { libusb_exit(context); }
};
struct DeviceListDeleter {
    void operator()(libusb_device** list) const { libusb_free_device_list(list, 1); }
};
struct HandleDeleter {
    void operator()(libusb_device_handle* handle) const { libusb_close(handle); }
};
struct ConfigDeleter {
    void operator()(libusb_config_descriptor* config) const {
        libusb_free_config_descriptor(config);
    }
};

// A printer interface of the active configuration: the interface and
// alternate setting numbers and the index of the configuration among the
// device's configurations (GET_DEVICE_ID names the configuration by index).
struct PrinterInterface {
    libusb_device* device = nullptr;
    unsigned bus = 0, address = 0;
    int configIndex = 0;
    int interface = 0;
    int alternate = 0;
};

std::vector<PrinterInterface> PrinterInterfaces(libusb_device* device) {
    std::vector<PrinterInterface> found;
    libusb_config_descriptor* raw = nullptr;
    if (libusb_get_active_config_descriptor(device, &raw) != 0) return found;
    std::unique_ptr<libusb_config_descriptor, ConfigDeleter> active(raw);

    int configIndex = 0;
    libusb_device_descriptor dd{};
    if (libusb_get_device_descriptor(device, &dd) == 0) {
        for (int i = 0; i < dd.bNumConfigurations; ++i) {
            libusb_config_descriptor* c = nullptr;
            if (libusb_get_config_descriptor(device, static_cast<std::uint8_t>(i), &c) != 0)
                continue;
            bool same = c->bConfigurationValue == active->bConfigurationValue;
            libusb_free_config_descriptor(c);
            if (same) {
                configIndex = i;
                break;
            }
        }
    }

    for (int i = 0; i < active->bNumInterfaces; ++i) {
        const libusb_interface& interface = active->interface[i];
        for (int a = 0; a < interface.num_altsetting; ++a) {
            const libusb_interface_descriptor& alt = interface.altsetting[a];
            if (alt.bInterfaceClass != LIBUSB_CLASS_PRINTER) continue;
            bool out = false, in = false;
            for (int e = 0; e < alt.bNumEndpoints; ++e) {
                const libusb_endpoint_descriptor& ep = alt.endpoint[e];
                if ((ep.bmAttributes & LIBUSB_TRANSFER_TYPE_MASK) != LIBUSB_TRANSFER_TYPE_BULK)
                    continue;
                ((ep.bEndpointAddress & LIBUSB_ENDPOINT_IN) ? in : out) = true;
            }
            // Commands go out and replies come back: both bulk pipes.
            if (!out || !in) continue;
            found.push_back({device, libusb_get_bus_number(device),
                             libusb_get_device_address(device), configIndex, alt.bInterfaceNumber,
                             alt.bAlternateSetting});
            break;
        }
    }
    return found;
}

// GET_DEVICE_ID of the printer class: class request 0, to the interface,
// device-to-host; the answer starts with its length in two bytes, big-endian
// (those two included).
constexpr std::uint8_t GetDeviceIdRequestType = 0xA1;
constexpr std::uint8_t GetDeviceId = 0;
constexpr unsigned DeviceIdTimeoutMs = 5000;

bool IsCutter(libusb_device_handle* handle, const PrinterInterface& p) {
    std::array<unsigned char, 1024> answer{};
    int n = libusb_control_transfer(
        handle, GetDeviceIdRequestType, GetDeviceId, static_cast<std::uint16_t>(p.configIndex),
        static_cast<std::uint16_t>((p.interface << 8) | p.alternate), answer.data(),
        static_cast<std::uint16_t>(answer.size()), DeviceIdTimeoutMs);
    if (n < 2) return false;
    std::size_t stated = (static_cast<std::size_t>(answer[0]) << 8) | answer[1];
    std::size_t length = std::min(static_cast<std::size_t>(n), stated);
    if (length < 2) return false;
    return osa::usb::IsCutterDeviceId(reinterpret_cast<const char*>(answer.data() + 2), length - 2);
}

// The second way: every printer-class interface no kernel driver holds.
int OpenThroughLibusb(SearchError& error) {
    libusb_context* rawContext = nullptr;
    if (libusb_init(&rawContext) != 0) return -1;
    std::unique_ptr<libusb_context, ContextDeleter> context(rawContext);

    libusb_device** rawList = nullptr;
    ssize_t count = libusb_get_device_list(context.get(), &rawList);
    if (count < 0) return -1;
    std::unique_ptr<libusb_device*, DeviceListDeleter> list(rawList);

    std::vector<PrinterInterface> printers;
    for (ssize_t i = 0; i < count; ++i) {
        auto found = PrinterInterfaces(list.get()[i]);
        printers.insert(printers.end(), found.begin(), found.end());
    }
    // In the order of the buses and addresses, as the driver numbers them.
    std::stable_sort(printers.begin(), printers.end(), [](const auto& a, const auto& b) {
        return std::pair(a.bus, a.address) < std::pair(b.bus, b.address);
    });

    for (const PrinterInterface& p : printers) {
        libusb_device_handle* rawHandle = nullptr;
        int r = libusb_open(p.device, &rawHandle);
        if (r != 0) {
            error.Note(r == LIBUSB_ERROR_ACCESS ? EACCES : r == LIBUSB_ERROR_BUSY ? EBUSY : EIO);
            continue;
        }
        std::unique_ptr<libusb_device_handle, HandleDeleter> handle(rawHandle);
        // A printer a kernel driver holds is the driver's (the first way
        // has seen it if it is the cutter).
        if (libusb_kernel_driver_active(handle.get(), p.interface) == 1) continue;
        r = libusb_claim_interface(handle.get(), p.interface);
        if (r != 0) {
            // Another program has claimed it (CUPS's own backend printing).
            error.Note(r == LIBUSB_ERROR_BUSY ? EBUSY : EIO);
            continue;
        }
        if (p.alternate != 0)
            libusb_set_interface_alt_setting(handle.get(), p.interface, p.alternate);
        bool cutter = IsCutter(handle.get(), p);
        libusb_release_interface(handle.get(), p.interface);
        if (!cutter) continue;
        handle.reset();
        int fd = OpenUsbfs(p.bus, p.address);
        if (fd >= 0) return fd;
        error.Note(errno);
    }
    return -1;
}

} // namespace

extern "C" __attribute__((visibility("default"))) int
VORN_OpenUsb(std::uint32_t /*reserved*/, std::uint32_t /*pipe*/, std::uint32_t flags) {
    SearchError error;
    int extra = static_cast<int>(flags) & (O_NONBLOCK | O_SYNC | O_DSYNC);
    int fd = OpenThroughPrinterDriver(extra, error);
    // A moved sysfs folder names the one place to look (the simulated
    // cutter's); the USB devices of the machine are not searched then.
    if (fd < 0 && std::getenv("OSA_USB_SYSFS_ROOT") == nullptr) fd = OpenThroughLibusb(error);
    if (fd < 0) errno = error.Get();
    return fd;
}
