// USB devices offered to libusb and to usbfs transfers through umockdev: a
// sysfs tree and device nodes in a test bed, and each node's ioctls and
// reads answered here as the kernel's usbfs would answer them. A device can
// carry the simulated cutter's firmware model behind its bulk pipes. The
// test program runs under umockdev's preload library (umockdev-wrapper);
// programs it starts inherit the test bed.
#pragma once
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "tools/simcutter/cutter_model.h"

typedef struct _UMockdevTestbed UMockdevTestbed;
struct _UMockdevIoctlData;

namespace osa::test {

// The descriptors of a one-configuration device with one interface.
struct DescriptorLayout {
    std::uint8_t interfaceClass = 7; // printer
    std::uint8_t interfaceProtocol = 2;
    std::vector<std::uint8_t> endpoints{0x01, 0x82}; // bulk pipes
    std::uint16_t packetSize = 64;
};
std::vector<std::uint8_t> MakeDescriptors(const DescriptorLayout& options);

struct MockDeviceOptions {
    unsigned bus = 1;
    unsigned address = 2;
    DescriptorLayout descriptors;
    // The GET_DEVICE_ID answer's text; empty: the request stalls.
    std::string deviceId;
    // Bulk pipes answered by the firmware model (otherwise OUT takes
    // everything and IN never answers).
    bool cutter = false;
    sim::CutterSetup setup;
    bool refuseClaim = false; // another program has claimed the interface
    bool stallIn = false;     // every bulk IN stalls
    // The device goes this long after the first bulk IN starts (-1: never).
    int unplugDuringReadMs = -1;
    // Held by the kernel's printer driver: an lp device in sysfs with the
    // identification, without its /dev/usb node (so only usbfs reaches it).
    bool heldByPrinterDriver = false;
};

class MockDevice;

class MockUsbBus {
  public:
    MockUsbBus();
    ~MockUsbBus();
    MockUsbBus(const MockUsbBus&) = delete;
    MockUsbBus& operator=(const MockUsbBus&) = delete;

    MockDevice& Add(MockDeviceOptions options);

  private:
    UMockdevTestbed* testbed_ = nullptr;
    std::vector<std::unique_ptr<MockDevice>> devices_;
};

// What happened to one device, in order: "open", "close", "id",
// "claim", "release", "detach", "attach", "out <bytes escaped>",
// "in <bytes escaped>", "in timed out", "in stalled", "unplugged".
class MockDevice {
  public:
    explicit MockDevice(MockDeviceOptions options);
    ~MockDevice();
    MockDevice(const MockDevice&) = delete;
    MockDevice& operator=(const MockDevice&) = delete;

    std::vector<std::string> Events() const;
    bool Saw(const std::string& event) const;
    // Every complete command the cutter model received.
    std::vector<std::string> Commands() const;

    // Used by the ioctl handler (on umockdev's worker thread).
    struct Handler;
    friend struct Handler;

  private:
    void Note(std::string event);
    bool Gone() const;
    bool DriverBound() const;
    void SetDriverBound(bool bound);
    void Unplug();
    void Received(const std::uint8_t* bytes, std::size_t n);
    long long ReplyDueInMs() const; // -1: no reply waiting
    std::string TakeReply(std::size_t atMost);

    MockDeviceOptions options_;
    std::string devnode_;
    std::vector<std::uint8_t> descriptors_;
    mutable std::mutex mutex_;
    std::vector<std::string> events_;
    sim::CutterModel model_;
    std::vector<sim::Reply> replies_; // answers not read yet
    long long repliesDueUs_ = 0;      // when the first of them is there
    bool driverBound_;
    bool gone_ = false;
    bool readStarted_ = false;
    void* ioctlBase_ = nullptr;                 // UMockdevIoctlBase
    std::vector<_UMockdevIoctlData*> reapable_; // completed URBs (worker thread only)
    friend class MockUsbBus;
};

} // namespace osa::test
