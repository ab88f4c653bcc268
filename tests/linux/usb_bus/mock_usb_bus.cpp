#include "tests/linux/usb_bus/mock_usb_bus.h"

#include <linux/usbdevice_fs.h>
#include <sys/ioctl.h>
#include <umockdev.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <stdexcept>

namespace osa::test {

namespace {

long long NowUs() {
    using namespace std::chrono;
    return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
}

std::string Escaped(const std::uint8_t* bytes, std::size_t n) {
    std::string text;
    for (std::size_t i = 0; i < n; ++i) {
        char c = static_cast<char>(bytes[i]);
        if (bytes[i] >= 0x20 && bytes[i] < 0x7F && c != '\\') {
            text += c;
        } else {
            char hex[8];
            std::snprintf(hex, sizeof(hex), "\\x%02X", bytes[i]);
            text += hex;
        }
    }
    return text;
}

std::string Hex(const std::vector<std::uint8_t>& bytes) {
    std::string text;
    char two[3];
    for (std::uint8_t b : bytes) {
        std::snprintf(two, sizeof(two), "%02X", b);
        text += two;
    }
    return text;
}

// The size an ioctl request number carries.
std::size_t ArgumentSize(unsigned long request) {
    return (request >> _IOC_SIZESHIFT) & ((1u << _IOC_SIZEBITS) - 1);
}

// Runs `work` on the handler's own main context after `ms`.
void Later(unsigned ms, std::function<void()> work) {
    auto owned = std::make_unique<std::function<void()>>(std::move(work));
    GSource* source = g_timeout_source_new(ms);
    g_source_set_callback(
        source,
        [](gpointer p) -> gboolean {
            (*static_cast<std::function<void()>*>(p))();
            return G_SOURCE_REMOVE;
        },
        owned.release(), [](gpointer p) { delete static_cast<std::function<void()>*>(p); });
    GMainContext* context = g_main_context_ref_thread_default();
    g_source_attach(source, context);
    g_main_context_unref(context);
    g_source_unref(source);
}

// A reference to a GObject, dropped at the end.
template <typename T> class Ref {
  public:
    explicit Ref(T* object) : object_(static_cast<T*>(g_object_ref(object))) {}
    Ref(const Ref& other) : Ref(other.object_) {}
    Ref& operator=(const Ref&) = delete;
    ~Ref() { g_object_unref(object_); }
    T* get() const { return object_; }

  private:
    T* object_;
};

} // namespace

std::vector<std::uint8_t> MakeDescriptors(const DescriptorLayout& options) {
    const auto endpoints = static_cast<std::uint8_t>(options.endpoints.size());
    const unsigned total = 9 + 9 + 7u * endpoints;
    std::vector<std::uint8_t> d = {
        18,
        1,
        0x00,
        0x02,
        0,
        0,
        0,
        64,
        0x34,
        0x12,
        0x78,
        0x56,
        0x00,
        0x01,
        1,
        2,
        3,
        1,
        9,
        2,
        static_cast<std::uint8_t>(total & 0xFF),
        static_cast<std::uint8_t>(total >> 8),
        1,
        1,
        0,
        0xC0,
        50,
        9,
        4,
        0,
        0,
        endpoints,
        options.interfaceClass,
        1,
        options.interfaceProtocol,
        0,
    };
    for (std::uint8_t address : options.endpoints) {
        d.insert(d.end(), {7, 5, address, 2, static_cast<std::uint8_t>(options.packetSize & 0xFF),
                           static_cast<std::uint8_t>(options.packetSize >> 8), 0});
    }
    return d;
}

struct MockDevice::Handler {
    static void Complete(UMockdevIoctlClient* client, long result, int error) {
        umockdev_ioctl_client_complete(client, result, error);
    }

    static void Connected(UMockdevIoctlBase*, UMockdevIoctlClient*, gpointer self) {
        static_cast<MockDevice*>(self)->Note("open");
    }

    static gboolean Read(UMockdevIoctlBase*, UMockdevIoctlClient* client, gpointer self) {
        auto* device = static_cast<MockDevice*>(self);
        UMockdevIoctlData* buffer = umockdev_ioctl_client_get_arg(client);
        auto at = GPOINTER_TO_SIZE(g_object_get_data(G_OBJECT(client), "osa-at"));
        const auto& d = device->descriptors_;
        std::size_t n =
            at < d.size() ? std::min(d.size() - at, static_cast<std::size_t>(buffer->data_len)) : 0;
        if (n > 0)
            umockdev_ioctl_data_update(buffer, 0, const_cast<std::uint8_t*>(d.data() + at),
                                       static_cast<gint>(n));
        g_object_set_data(G_OBJECT(client), "osa-at", GSIZE_TO_POINTER(at + n));
        Complete(client, static_cast<long>(n), 0);
        return TRUE;
    }

    static gboolean Ioctl(UMockdevIoctlBase*, UMockdevIoctlClient* client, gpointer self) {
        auto* device = static_cast<MockDevice*>(self);
        const unsigned long request = umockdev_ioctl_client_get_request(client);
        UMockdevIoctlData* arg = umockdev_ioctl_client_get_arg(client);
        const std::size_t size = ArgumentSize(request);
        UMockdevIoctlData* data = nullptr;
        if (size > 0) data = umockdev_ioctl_data_resolve(arg, 0, size, nullptr);

        if (device->Gone()) {
            Complete(client, -1, ENODEV);
            return TRUE;
        }
        switch (request) {
        case USBDEVFS_GET_CAPABILITIES: {
            std::uint32_t capabilities = USBDEVFS_CAP_ZERO_PACKET |
                                         USBDEVFS_CAP_NO_PACKET_SIZE_LIM |
                                         USBDEVFS_CAP_REAP_AFTER_DISCONNECT;
            umockdev_ioctl_data_update(data, 0, reinterpret_cast<std::uint8_t*>(&capabilities),
                                       sizeof(capabilities));
            Complete(client, 0, 0);
            return TRUE;
        }
        case USBDEVFS_GETDRIVER: {
            std::lock_guard lock(device->mutex_);
            if (!device->driverBound_) {
                Complete(client, -1, ENODATA);
                return TRUE;
            }
            usbdevfs_getdriver driver{};
            std::memcpy(&driver, data->data, sizeof(driver.interface));
            std::strcpy(driver.driver, "usblp");
            umockdev_ioctl_data_update(data, 0, reinterpret_cast<std::uint8_t*>(&driver),
                                       sizeof(driver));
            Complete(client, 0, 0);
            return TRUE;
        }
        case USBDEVFS_IOCTL: {
            usbdevfs_ioctl command{};
            std::memcpy(&command, data->data, sizeof(command));
            if (command.ioctl_code == static_cast<int>(USBDEVFS_DISCONNECT)) {
                device->SetDriverBound(false);
                device->Note("detach");
            } else if (command.ioctl_code == static_cast<int>(USBDEVFS_CONNECT)) {
                device->SetDriverBound(true);
                device->Note("attach");
            }
            Complete(client, 0, 0);
            return TRUE;
        }
        case USBDEVFS_CLAIMINTERFACE:
            if (device->options_.refuseClaim) {
                Complete(client, -1, EBUSY);
                return TRUE;
            }
            if (device->DriverBound()) {
                Complete(client, -1, EBUSY);
                return TRUE;
            }
            device->Note("claim");
            Complete(client, 0, 0);
            return TRUE;
        case USBDEVFS_RELEASEINTERFACE:
            device->Note("release");
            Complete(client, 0, 0);
            return TRUE;
        case USBDEVFS_SETINTERFACE:
            Complete(client, 0, 0);
            return TRUE;
        case USBDEVFS_SUBMITURB:
            return SubmitUrb(device, client, data);
        case USBDEVFS_REAPURB:
        case USBDEVFS_REAPURBNDELAY: {
            if (device->reapable_.empty()) {
                Complete(client, -1, EAGAIN);
                return TRUE;
            }
            UMockdevIoctlData* urb = device->reapable_.front();
            device->reapable_.erase(device->reapable_.begin());
            umockdev_ioctl_data_set_ptr(data, 0, urb);
            g_object_unref(urb);
            Complete(client, 0, 0);
            return TRUE;
        }
        case USBDEVFS_BULK:
            return Bulk(device, client, data);
        default:
            Complete(client, -1, ENOTTY);
            return TRUE;
        }
    }

    // Control transfers (libusb's way): only GET_DEVICE_ID is answered; any
    // other request stalls. Completed at once, reaped next.
    static gboolean SubmitUrb(MockDevice* device, UMockdevIoctlClient* client,
                              UMockdevIoctlData* data) {
        usbdevfs_urb urb{};
        std::memcpy(&urb, data->data, sizeof(urb));
        if (urb.type != USBDEVFS_URB_TYPE_CONTROL || urb.buffer_length < 8) {
            Complete(client, -1, EINVAL);
            return TRUE;
        }
        UMockdevIoctlData* buffer = umockdev_ioctl_data_resolve(
            data, offsetof(usbdevfs_urb, buffer), static_cast<gsize>(urb.buffer_length), nullptr);
        const std::uint8_t* setup = buffer->data;
        const unsigned wanted = setup[6] | (setup[7] << 8);
        urb.actual_length = 0;
        urb.status = -EPIPE;
        if (setup[0] == 0xA1 && setup[1] == 0 && !device->options_.deviceId.empty()) {
            const std::string& id = device->options_.deviceId;
            std::vector<std::uint8_t> answer{static_cast<std::uint8_t>((id.size() + 2) >> 8),
                                             static_cast<std::uint8_t>((id.size() + 2) & 0xFF)};
            answer.insert(answer.end(), id.begin(), id.end());
            std::size_t n = std::min<std::size_t>(
                {answer.size(), wanted, static_cast<std::size_t>(urb.buffer_length - 8)});
            umockdev_ioctl_data_update(buffer, 8, answer.data(), static_cast<gint>(n));
            urb.actual_length = static_cast<int>(n);
            urb.status = 0;
            device->Note("id");
        }
        umockdev_ioctl_data_update(data, 0, reinterpret_cast<std::uint8_t*>(&urb), sizeof(urb));
        device->reapable_.push_back(UMOCKDEV_IOCTL_DATA(g_object_ref(data)));
        Complete(client, 0, 0);
        return TRUE;
    }

    static gboolean Bulk(MockDevice* device, UMockdevIoctlClient* client, UMockdevIoctlData* data) {
        usbdevfs_bulktransfer transfer{};
        std::memcpy(&transfer, data->data, sizeof(transfer));
        UMockdevIoctlData* buffer = umockdev_ioctl_data_resolve(
            data, offsetof(usbdevfs_bulktransfer, data), transfer.len, nullptr);
        if (!(transfer.ep & 0x80)) {
            device->Received(buffer->data, transfer.len);
            Complete(client, static_cast<long>(transfer.len), 0);
            return TRUE;
        }
        if (device->options_.stallIn) {
            device->Note("in stalled");
            Complete(client, -1, EPIPE);
            return TRUE;
        }
        // What comes first: the reply, the unplug or the time-out.
        const long long wait = transfer.timeout == 0 ? 1LL << 40 : transfer.timeout;
        long long unplug = 1LL << 41;
        if (device->options_.unplugDuringReadMs >= 0 && !device->readStarted_) {
            device->readStarted_ = true;
            unplug = device->options_.unplugDuringReadMs;
        }
        const long long reply = device->ReplyDueInMs();
        Ref<UMockdevIoctlClient> c(client);
        Ref<UMockdevIoctlData> b(buffer);
        const std::uint32_t length = transfer.len;
        if (reply >= 0 && reply <= wait && reply < unplug) {
            Later(static_cast<unsigned>(reply), [device, c, b, length] {
                std::string bytes = device->TakeReply(length);
                umockdev_ioctl_data_update(b.get(), 0,
                                           reinterpret_cast<std::uint8_t*>(bytes.data()),
                                           static_cast<gint>(bytes.size()));
                device->Note("in " + Escaped(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                             bytes.size()));
                Complete(c.get(), static_cast<long>(bytes.size()), 0);
            });
        } else if (unplug < wait) {
            Later(static_cast<unsigned>(unplug), [device, c] {
                device->Unplug();
                Complete(c.get(), -1, ENODEV);
            });
        } else {
            Later(static_cast<unsigned>(wait), [device, c] {
                device->Note("in timed out");
                Complete(c.get(), -1, ETIMEDOUT);
            });
        }
        return TRUE;
    }
};

MockDevice::MockDevice(MockDeviceOptions options)
    : options_(std::move(options)), descriptors_(MakeDescriptors(options_.descriptors)),
      model_(options_.setup), driverBound_(options_.heldByPrinterDriver) {}

MockDevice::~MockDevice() {
    for (UMockdevIoctlData* urb : reapable_)
        g_object_unref(urb);
    if (ioctlBase_ != nullptr) g_object_unref(ioctlBase_);
}

void MockDevice::Note(std::string event) {
    std::lock_guard lock(mutex_);
    events_.push_back(std::move(event));
}

std::vector<std::string> MockDevice::Events() const {
    std::lock_guard lock(mutex_);
    return events_;
}

bool MockDevice::Saw(const std::string& event) const {
    auto events = Events();
    return std::find(events.begin(), events.end(), event) != events.end();
}

std::vector<std::string> MockDevice::Commands() const {
    std::lock_guard lock(mutex_);
    return model_.Commands();
}

bool MockDevice::Gone() const {
    std::lock_guard lock(mutex_);
    return gone_;
}

bool MockDevice::DriverBound() const {
    std::lock_guard lock(mutex_);
    return driverBound_;
}

void MockDevice::SetDriverBound(bool bound) {
    std::lock_guard lock(mutex_);
    driverBound_ = bound;
}

void MockDevice::Unplug() {
    Note("unplugged");
    std::lock_guard lock(mutex_);
    gone_ = true;
}

void MockDevice::Received(const std::uint8_t* bytes, std::size_t n) {
    Note("out " + Escaped(bytes, n));
    if (!options_.cutter) return;
    std::lock_guard lock(mutex_);
    const long long now = NowUs();
    for (sim::Reply& reply :
         model_.Receive(std::string_view(reinterpret_cast<const char*>(bytes), n))) {
        if (replies_.empty()) repliesDueUs_ = now + reply.delayMs * 1000LL;
        replies_.push_back(std::move(reply));
    }
}

long long MockDevice::ReplyDueInMs() const {
    std::lock_guard lock(mutex_);
    if (replies_.empty()) return -1;
    return std::max(0LL, (repliesDueUs_ - NowUs() + 999) / 1000);
}

std::string MockDevice::TakeReply(std::size_t atMost) {
    std::lock_guard lock(mutex_);
    if (replies_.empty()) return {};
    std::string& first = replies_.front().bytes;
    std::string taken = first.substr(0, atMost);
    first.erase(0, taken.size());
    if (first.empty()) {
        replies_.erase(replies_.begin());
        if (!replies_.empty()) repliesDueUs_ = NowUs() + replies_.front().delayMs * 1000LL;
    }
    return taken;
}

MockUsbBus::MockUsbBus() {
    const char* preload = std::getenv("LD_PRELOAD");
    if (preload == nullptr || std::strstr(preload, "umockdev-preload") == nullptr)
        throw std::runtime_error("run this program under umockdev-wrapper");
    testbed_ = umockdev_testbed_new();
}

MockUsbBus::~MockUsbBus() {
    for (auto& device : devices_)
        if (device->ioctlBase_ != nullptr)
            umockdev_testbed_detach_ioctl(testbed_, device->devnode_.c_str(), nullptr);
    g_object_unref(testbed_);
}

MockDevice& MockUsbBus::Add(MockDeviceOptions options) {
    auto device = std::make_unique<MockDevice>(std::move(options));
    const MockDeviceOptions& o = device->options_;
    char name[32], node[64], dev[32];
    std::snprintf(name, sizeof(name), "%u-%u", o.bus, o.address);
    std::snprintf(node, sizeof(node), "bus/usb/%03u/%03u", o.bus, o.address);
    std::snprintf(dev, sizeof(dev), "189:%u", (o.bus - 1) * 128 + o.address - 1);
    device->devnode_ = std::string("/dev/") + node;

    std::string text = std::string("P: /devices/usb") + std::to_string(o.bus) + "/" + name +
                       "\nN: " + node +
                       "\nE: SUBSYSTEM=usb\nE: DEVTYPE=usb_device\nE: DEVNAME=" + device->devnode_ +
                       "\nA: busnum=" + std::to_string(o.bus) +
                       "\\n\nA: devnum=" + std::to_string(o.address) + "\\n\nA: dev=" + dev +
                       "\\n\nA: bConfigurationValue=1\\n\nA: speed=480\\n\nH: descriptors=" +
                       Hex(device->descriptors_) + "\n";
    if (o.heldByPrinterDriver) {
        const std::string interface = std::string(name) + ":1.0";
        const unsigned lp = static_cast<unsigned>(devices_.size());
        text += "\nP: /devices/usb" + std::to_string(o.bus) + "/" + name + "/" + interface +
                "\nE: SUBSYSTEM=usb\nE: DEVTYPE=usb_interface\nE: DRIVER=usblp\nA: ieee1284_id=" +
                o.deviceId + "\n";
        text += "\nP: /devices/usb" + std::to_string(o.bus) + "/" + name + "/" + interface +
                "/usbmisc/lp" + std::to_string(lp) +
                "\nE: SUBSYSTEM=usbmisc\nA: dev=180:" + std::to_string(lp) +
                "\\n\nL: device=../../../" + interface + "\n";
    }
    GError* error = nullptr;
    if (!umockdev_testbed_add_from_string(testbed_, text.c_str(), &error)) {
        std::string message = error->message;
        g_error_free(error);
        throw std::runtime_error("cannot add the device: " + message);
    }

    UMockdevIoctlBase* base = umockdev_ioctl_base_new();
    device->ioctlBase_ = base;
    g_signal_connect(base, "handle-ioctl", G_CALLBACK(MockDevice::Handler::Ioctl), device.get());
    g_signal_connect(base, "handle-read", G_CALLBACK(MockDevice::Handler::Read), device.get());
    g_signal_connect(base, "client-connected", G_CALLBACK(MockDevice::Handler::Connected),
                     device.get());
    if (!umockdev_testbed_attach_ioctl(testbed_, device->devnode_.c_str(), base, &error)) {
        std::string message = error->message;
        g_error_free(error);
        throw std::runtime_error("cannot attach the device's ioctls: " + message);
    }
    devices_.push_back(std::move(device));
    return *devices_.back();
}

} // namespace osa::test
