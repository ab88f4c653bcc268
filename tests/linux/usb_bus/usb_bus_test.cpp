// The cutter through libusb and usbfs, without the kernel's printer driver
// handing it over: USB devices offered by umockdev (see mock_usb_bus.h),
// the real USB module and the real cutter port.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "controller/app_state.h"
#include "controller/link/cutter_commands.h"
#include "controller/link/device_link.h"
#include "platform/linux/usbfs_printer.h"
#include "tests/linux/real_link.h"
#include "tests/linux/run_program.h"
#include "tests/linux/usb_bus/mock_usb_bus.h"

namespace osa {
namespace {

using test::MockDeviceOptions;
using test::MockUsbBus;

constexpr const char* CutterId = "MFG:Ostrandel;MANUFACTURER:Ostrandel Inc.;MODEL:Marlo TRAX;";
constexpr const char* PrinterId = "MANUFACTURER:Hemmerik;MODEL:Laser 9;CLASS:PRINTER;";

MockDeviceOptions Cutter(unsigned address = 2) {
    MockDeviceOptions options;
    options.address = address;
    options.deviceId = CutterId;
    options.cutter = true;
    return options;
}

// The descriptors this process has open once they have settled: the test
// bed's end of a closed device node is closed by umockdev's worker thread a
// moment after the client's end.
std::size_t DescriptorsSettledAt(std::size_t expected) {
    std::size_t n = test::OpenDescriptors();
    for (int i = 0; i < 200 && n != expected; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        n = test::OpenDescriptors();
    }
    return n;
}

// The count once it has stopped moving (the ends of the previous case's
// connections may still be closing): the same for 50 ms.
std::size_t SteadyDescriptors() {
    std::size_t n = test::OpenDescriptors();
    for (int i = 0; i < 200; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        const std::size_t again = test::OpenDescriptors();
        if (again == n) break;
        n = again;
    }
    return n;
}

class UsbBusTest : public ::testing::Test {
  protected:
    void SetUp() override { ResetAppState(); }
};

TEST_F(UsbBusTest, TheStartExchangeReachesTheCutter) {
    MockUsbBus bus;
    MockDeviceOptions options = Cutter();
    options.setup.version = "1.00";
    test::MockDevice& cutter = bus.Add(options);
    test::RealLinuxLink link;
    ASSERT_TRUE(link.Loaded());
    EXPECT_EQ(CheckCutterReady(), rc::Ok);
    EXPECT_EQ(SendStartNotice(), rc::Ok);
    char version[513] = {};
    EXPECT_EQ(ReadFirmwareVersion(version), rc::Ok);
    EXPECT_STREQ(version, "1.00");
    EXPECT_EQ(cutter.Commands(), (std::vector<std::string>{"\x1B\x04", "\x1B\x05", "TT", "FG"}));
    // Each transfer cycle claims the interface and gives it back.
    auto events = cutter.Events();
    EXPECT_EQ(std::count(events.begin(), events.end(), "claim"),
              std::count(events.begin(), events.end(), "release"));
}

TEST_F(UsbBusTest, WhichDeviceIsTheCutter) {
    struct Row {
        const char* name;
        std::vector<MockDeviceOptions> devices;
        ResultCode expected;
        int lastOpenError;
        int cutterIndex; // the device that must have had the commands (-1: none)
    };
    MockDeviceOptions otherPrinter;
    otherPrinter.deviceId = PrinterId;
    MockDeviceOptions keyboard;
    keyboard.descriptors.interfaceClass = 3;
    keyboard.descriptors.endpoints = {0x81};
    keyboard.deviceId = CutterId; // never asked: no printer interface
    MockDeviceOptions lettersDiffer = Cutter();
    lettersDiffer.deviceId = "MANUFACTURER:OSTRANDEL inc.;MODEL:Marlo TRAX;";
    MockDeviceOptions shortKey = Cutter();
    shortKey.deviceId = "MFG:Ostrandel Inc.;MODEL:Marlo TRAX;";
    MockDeviceOptions oneWay = Cutter();
    oneWay.descriptors.endpoints = {0x01};
    oneWay.descriptors.interfaceProtocol = 1;
    MockDeviceOptions claimed = Cutter();
    claimed.refuseClaim = true;
    MockDeviceOptions silentId = Cutter();
    silentId.deviceId.clear();

    const Row rows[] = {
        {"another maker's printer first", {otherPrinter, Cutter(3)}, rc::Ok, 0, 1},
        {"only another maker's printer", {otherPrinter}, rc::CannotCommunicate, ENOENT, -1},
        {"a device without a printer interface", {keyboard}, rc::CannotCommunicate, ENOENT, -1},
        {"the maker's name in other letters", {lettersDiffer}, rc::Ok, 0, 0},
        {"the maker under the short key only", {shortKey}, rc::CannotCommunicate, ENOENT, -1},
        {"a printer interface without a reply pipe", {oneWay}, rc::CannotCommunicate, ENOENT, -1},
        {"another program has claimed it", {claimed}, rc::CannotCommunicate, EBUSY, -1},
        {"the identification request stalls", {silentId}, rc::CannotCommunicate, ENOENT, -1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ResetAppState();
        MockUsbBus bus;
        std::vector<test::MockDevice*> devices;
        unsigned address = 2;
        for (MockDeviceOptions options : row.devices) {
            if (options.address < address) options.address = address;
            address = options.address + 1;
            devices.push_back(&bus.Add(options));
        }
        test::RealLinuxLink link;
        ASSERT_TRUE(link.Loaded());
        const std::size_t before = SteadyDescriptors();
        EXPECT_EQ(CheckCutterReady(), row.expected);
        EXPECT_EQ(DescriptorsSettledAt(before), before);
        EXPECT_EQ(link.port.LastOpenError(), row.lastOpenError);
        for (std::size_t i = 0; i < devices.size(); ++i) {
            bool isCutter = static_cast<int>(i) == row.cutterIndex;
            EXPECT_EQ(devices[i]->Commands().empty(), !isCutter) << "device " << i;
        }
    }
    // The keyboard was never opened.
    MockUsbBus bus;
    test::MockDevice& device = bus.Add(keyboard);
    test::RealLinuxLink link;
    EXPECT_EQ(CheckCutterReady(), rc::CannotCommunicate);
    EXPECT_TRUE(device.Events().empty()) << device.Events().front();
}

TEST_F(UsbBusTest, TransferFailures) {
    struct Row {
        const char* name;
        std::function<void(MockDeviceOptions&)> setUp;
        std::function<ResultCode()> call;
        ResultCode expected;
    };
    std::int32_t x = 0, y = 0;
    const Row rows[] = {
        {"reply pipe stalls", [](MockDeviceOptions& s) { s.stallIn = true; },
         [&] { return ReadSensorCorrection(x, y); }, rc::SensorCorrectionFailed},
        {"no reply", [](MockDeviceOptions& s) { s.setup.fault = sim::Fault::NoReply; },
         [&] { return ReadSensorCorrection(x, y); }, rc::TransferTimeout},
        {"a reply in time",
         [](MockDeviceOptions& s) {
             s.setup.fault = sim::Fault::SlowReply;
             s.setup.slowMs = 150;
         },
         [&] { return ReadSensorCorrection(x, y); }, rc::Ok},
        {"a reply too late",
         [](MockDeviceOptions& s) {
             s.setup.fault = sim::Fault::SlowReply;
             s.setup.slowMs = 900;
         },
         [&] { return ReadSensorCorrection(x, y); }, rc::TransferTimeout},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ResetAppState();
        MockUsbBus bus;
        MockDeviceOptions options = Cutter();
        row.setUp(options);
        bus.Add(options);
        test::RealLinuxLink link;
        ASSERT_TRUE(link.Loaded());
        const std::size_t before = SteadyDescriptors();
        EXPECT_EQ(row.call(), row.expected);
        EXPECT_EQ(DescriptorsSettledAt(before), before);
    }
}

TEST_F(UsbBusTest, UnpluggedDuringALongReadEndsAtOnce) {
    MockUsbBus bus;
    MockDeviceOptions options = Cutter();
    options.setup.markMs = 60000; // the cutter would answer after a minute
    options.unplugDuringReadMs = 100;
    test::MockDevice& cutter = bus.Add(options);
    test::RealLinuxLink link;
    ASSERT_TRUE(link.Loaded());
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(ReadMarksAuto(1, 100000, 50000), rc::MarksAutoFailed);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(60));
    EXPECT_TRUE(cutter.Saw("unplugged"));
}

TEST_F(UsbBusTest, ACutterTheDriverHoldsIsDetachedForEachTransferOnly) {
    MockUsbBus bus;
    MockDeviceOptions options = Cutter();
    options.heldByPrinterDriver = true; // its /dev/usb node is not there
    test::MockDevice& cutter = bus.Add(options);
    test::RealLinuxLink link;
    ASSERT_TRUE(link.Loaded());
    EXPECT_EQ(CheckCutterReady(), rc::Ok);
    EXPECT_EQ(SendStartNotice(), rc::Ok);
    std::vector<std::string> cycle;
    for (const std::string& e : cutter.Events())
        if (e == "detach" || e == "claim" || e == "release" || e == "attach") cycle.push_back(e);
    const std::vector<std::string> once{"detach", "claim", "release", "attach"};
    ASSERT_EQ(cycle.size() % once.size(), 0u);
    ASSERT_FALSE(cycle.empty());
    for (std::size_t i = 0; i < cycle.size(); ++i)
        EXPECT_EQ(cycle[i], once[i % once.size()]) << i;
    EXPECT_FALSE(cutter.Saw("id")); // the driver's sysfs identification sufficed
}

TEST_F(UsbBusTest, TheProbeRunsItsExchangeThroughLibusb) {
    MockUsbBus bus;
    MockDeviceOptions options = Cutter();
    options.setup.version = "2.01";
    options.setup.sensorX = 1;
    options.setup.sensorY = -2;
    bus.Add(options);
    int status = -1;
    const std::string output = test::CommandOutput(OSA_PROBE_PATH " 2>/dev/null", status);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << output;
    EXPECT_NE(output.find("Firmware version:      2.01\n"), std::string::npos) << output;
    EXPECT_NE(output.find("Sensor correction:     X 41, Y 38"), std::string::npos) << output;
}

TEST_F(UsbBusTest, TheProbeSaysWhenAnotherProgramHasTheCutter) {
    MockUsbBus bus;
    MockDeviceOptions options = Cutter();
    options.refuseClaim = true;
    bus.Add(options);
    int status = -1;
    const std::string output = test::CommandOutput(OSA_PROBE_PATH " 2>/dev/null", status);
    EXPECT_NE(output.find("code 57"), std::string::npos) << output;
    EXPECT_NE(output.find("Another program has the cutter's device"), std::string::npos) << output;
}

} // namespace
} // namespace osa
