// The real Linux link (libvornusbp.so, non-blocking descriptors, poll)
// against the simulated cutter on a pseudo-terminal.
#include <gtest/gtest.h>

#include <dlfcn.h>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "controller/app_state.h"
#include "controller/link/cutter_commands.h"
#include "controller/link/device_link.h"
#include "controller/link/pen_directions.h"
#include "platform/linux/linux_cutter_port.h"
#include "platform/linux/linux_debug_trace.h"
#include "platform/linux/unique_fd.h"
#include "platform/memory/memory_debug_trace.h"
#include "platform/memory/memory_print_spooler.h"
#include "platform/services.h"
#include "tests/linux/run_program.h"
#include "tests/linux/simulated_cutter.h"
#include "tools/simcutter/cutter_model.h"
#include "usb/vornusbp.h"

namespace osa {
namespace {

using test::SimulatedCutter;

class CutterLinkTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetAppState();
        Services services;
        services.cutter = &port;
        services.spooler = &spooler;
        services.trace = &trace;
        previous_ = InstallServices(services);
        ASSERT_EQ(LoadUsbModule(), rc::Ok);
        InitDeviceLink();
    }
    void TearDown() override {
        CloseDeviceLink();
        InstallServices(previous_);
    }

    LinuxCutterPort port;
    MemoryPrintSpooler spooler;
    MemoryDebugTrace trace;

  private:
    Services previous_{};
};

TEST_F(CutterLinkTest, StartExchangeAgainstTheSimulatedCutter) {
    SimulatedCutter cutter({"--version=1.00", "--sensor=-3,5", "--feed=-150,7"});
    ASSERT_TRUE(cutter.Ready());
    EXPECT_EQ(CheckCutterReady(), rc::Ok);
    EXPECT_EQ(SendStartNotice(), rc::Ok);
    char version[513] = {};
    EXPECT_EQ(ReadFirmwareVersion(version), rc::Ok);
    EXPECT_STREQ(version, "1.00");
    std::int32_t x = 0, y = 0, feed = 0;
    EXPECT_EQ(ReadSensorCorrection(x, y), rc::Ok);
    EXPECT_EQ(x, 37);
    EXPECT_EQ(y, 45);
    EXPECT_EQ(ReadFeedAdjustment(feed), rc::Ok);
    EXPECT_EQ(feed, -1500);
    EXPECT_EQ(SendCutCondition(3, 10, 2, 50), rc::Ok);
    EXPECT_EQ(cutter.Received(), "\\x1B\\x04\\x1B\\x05TT\\x03FG\\x03TB71\\x03FA\\x03"
                                 "FW3\\x03!10\\x03*0,2\\x03FC50\\x03");
}

TEST_F(CutterLinkTest, RepliesAndFaults) {
    struct Row {
        const char* name;
        std::vector<std::string> options;
        std::function<ResultCode()> call;
        ResultCode expected;
    };
    char version[513];
    std::int32_t x = 0, y = 0;
    const Row rows[] = {
        {"busy cutter", {"--status=1"}, [] { return CheckCutterReady(); }, rc::StatusNotReady},
        {"another model",
         {"--model=KXS"},
         [&] { return ReadFirmwareVersion(version); },
         rc::WrongModel},
        {"garbage",
         {"--fault=garbage"},
         [&] { return ReadFirmwareVersion(version); },
         rc::WrongModel},
        {"short reply", {"--fault=short"}, [] { return CheckCutterReady(); }, rc::Ok},
        {"silent",
         {"--fault=silent"},
         [&] { return ReadSensorCorrection(x, y); },
         rc::TransferTimeout},
        {"slow but in time",
         {"--fault=slow:150"},
         [&] { return ReadSensorCorrection(x, y); },
         rc::Ok},
        {"too slow",
         {"--fault=slow:900"},
         [&] { return ReadSensorCorrection(x, y); },
         rc::TransferTimeout},
        {"mark read failed",
         {"--marks=-1", "--marks-ms=300"},
         [] { return ReadMarksAuto(1, 100000, 50000); },
         rc::MarksAutoNotRead},
        {"mark read took its time",
         {"--marks=0", "--marks-ms=700"},
         [] { return ReadMarksManual(1, 100000, 50000); },
         rc::Ok},
        {"unplugged while in use",
         {"--fault=gone"},
         [] {
             // The cutter goes once it has this; the case is about what follows.
             (void)SendStartNotice();
             std::this_thread::sleep_for(std::chrono::milliseconds(100));
             return CheckCutterReady();
         },
         rc::CannotCommunicate},
        {"only another maker's device",
         {"--id=MFG:Ostrandel Inc.;MODEL:Marlo;"},
         [] { return SendStartNotice(); },
         rc::CannotCommunicate},
        {"another device comes first",
         {"--other-device=MANUFACTURER:Hemmerik;MODEL:X;"},
         [] { return CheckCutterReady(); },
         rc::Ok},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        SimulatedCutter cutter(row.options);
        ASSERT_TRUE(cutter.Ready());
        EXPECT_EQ(row.call(), row.expected);
    }
}

TEST_F(CutterLinkTest, NoCutterAtAll) {
    test::ScopedEnv sysfs("OSA_USB_SYSFS_ROOT", "/nonexistent/sys");
    EXPECT_EQ(CheckCutterReady(), rc::CannotCommunicate);
    EXPECT_EQ(port.LastOpenError(), ENOENT);
}

TEST_F(CutterLinkTest, AReadThatTimesOutLeavesTheBufferAlone) {
    SimulatedCutter cutter({"--fault=slow:700"});
    ASSERT_TRUE(cutter.Ready());
    std::uint8_t reply[12];
    std::memset(reply, 0xAA, sizeof(reply));
    ExchangeResult r = ExchangeWithCutter("TB71\x03", 5, 500, reply, sizeof(reply), 500);
    EXPECT_EQ(r.write, rc::Ok);
    EXPECT_EQ(r.read, rc::TransferTimeout);
    // The reply comes later; nothing of it may reach the buffer.
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    for (std::uint8_t b : reply)
        EXPECT_EQ(b, 0xAA);
}

TEST_F(CutterLinkTest, TheSimulatedBladeMovesUntilTheStopArrives) {
    SimulatedCutter cutter;
    ASSERT_TRUE(cutter.Ready());
    EXPECT_EQ(MovePen(pad::Up, 1), rc::Ok);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(MovePen(0, 0), rc::Ok);
    // "<ms> blade x=.. y=.. moving=..": the simulator stamps when each
    // command arrived (on a loaded machine the first may arrive late).
    std::vector<double> at;
    std::vector<std::string> blade;
    for (const std::string& line : cutter.StampedLog()) {
        auto blank = line.find(' ');
        if (blank == std::string::npos || line.compare(blank + 1, 6, "blade ") != 0) continue;
        at.push_back(std::stod(line.substr(0, blank)));
        blade.push_back(line.substr(blank + 1));
    }
    ASSERT_EQ(blade.size(), 2u);
    EXPECT_EQ(blade[0], "blade x=0.00 y=0.00 moving=up");
    double x = -1, y = -1;
    char moving[16] = {};
    ASSERT_EQ(std::sscanf(blade[1].c_str(), "blade x=%lf y=%lf moving=%15s", &x, &y, moving), 3);
    EXPECT_EQ(x, 0);
    // Moved up for as long as it was held, at its speed (the log's
    // millisecond stamps and the two decimals allow a little either way).
    const double held = (at[1] - at[0]) / 1000.0;
    EXPECT_GT(held, 0);
    EXPECT_NEAR(y, held * sim::BladeSpeedMmPerSecond, 0.001 * sim::BladeSpeedMmPerSecond + 0.01);
    EXPECT_STREQ(moving, "none");
}

TEST_F(CutterLinkTest, DemoModeTransfersNothing) {
    SimulatedCutter cutter;
    ASSERT_TRUE(cutter.Ready());
    App().demoMode = DemoFirmware2;
    char version[513] = {};
    EXPECT_EQ(CheckCutterReady(), rc::Ok);
    EXPECT_EQ(ReadFirmwareVersion(version), rc::Ok);
    EXPECT_EQ(SendTestCut(), rc::Ok);
    EXPECT_TRUE(cutter.Received().empty());
    EXPECT_EQ(trace.entries.size(), 4u);
}

std::string RunProbe(const std::string& options, int& status) {
    return test::CommandOutput(std::string(OSA_PROBE_PATH) + " " + options + " 2>&1", status);
}

TEST(Probe, PrintsWhatItFoundAndTheTrace) {
    SimulatedCutter cutter({"--version=2.01", "--sensor=1,-2", "--feed=12"});
    ASSERT_TRUE(cutter.Ready());
    int status = -1;
    std::string output = RunProbe("", status);
    EXPECT_EQ(WEXITSTATUS(status), 0) << output;
    for (const char* expected : {
             "ファームバッファの確認(FULL_CHECK)：\\x1B\\x04\n",
             "ファームバッファの確認(FREE_CHECK)：\\x1B\\x05\n",
             "Marlo TRAX コントローラ起動通知命令：TT\\x03\n",
             "ファームバージョン応答：FG\\x03\n",
             "トンボセンサ位置補正応答：TB71\\x03\n",
             "送り方向応答：FA\\x03\n",
             "Firmware version:      2.01\n",
             "Sensor correction:     X 41, Y 38",
             "Feed adjustment:       120 (+0.120 %)",
         })
        EXPECT_NE(output.find(expected), std::string::npos) << expected << "\n" << output;

    SimulatedCutter silent({"--status=1"});
    ASSERT_TRUE(silent.Ready());
    output = RunProbe("", status);
    EXPECT_EQ(WEXITSTATUS(status), 60);
    EXPECT_NE(output.find("Status exchange:       failed, code 60"), std::string::npos) << output;
    EXPECT_EQ(output.find("Start notice"), std::string::npos) << output;
}

TEST(LinuxUsbModule, BindingFailures) {
    LinuxCutterPort missing("libosa-no-such-module.so");
    EXPECT_EQ(missing.LoadModule(), rc::UsbModuleMissing);
    EXPECT_EQ(missing.Write(reinterpret_cast<const std::uint8_t*>("TT\x03"), 3, 500),
              rc::CannotCommunicate);
    LinuxCutterPort withoutExport("libc.so.6");
    EXPECT_EQ(withoutExport.LoadModule(), rc::UsbModuleFunctionsMissing);
}

TEST(LinuxUsbModule, OpensTheCutterNonBlockingAndReadWrite) {
    SimulatedCutter cutter;
    ASSERT_TRUE(cutter.Ready());
    void* module = ::dlopen("libvornusbp.so", RTLD_NOW);
    if (module == nullptr) {
        std::string beside = std::string(OSA_BIN_DIR) + "/libvornusbp.so";
        module = ::dlopen(beside.c_str(), RTLD_NOW);
    }
    ASSERT_NE(module, nullptr);
    auto open = reinterpret_cast<VornOpenUsbFn>(::dlsym(module, "VORN_OpenUsb"));
    ASSERT_NE(open, nullptr);
    for (std::uint32_t pipe : {0u, 1u}) {
        posix::UniqueFd fd(open(0, pipe, O_NONBLOCK));
        ASSERT_TRUE(fd.Valid());
        int flags = ::fcntl(fd.Get(), F_GETFL);
        EXPECT_EQ(flags & O_ACCMODE, O_RDWR);
        EXPECT_NE(flags & O_NONBLOCK, 0);
        EXPECT_NE(::fcntl(fd.Get(), F_GETFD) & FD_CLOEXEC, 0);
    }
    test::ScopedEnv nothing("OSA_USB_SYSFS_ROOT", "/nonexistent");
    errno = 0;
    EXPECT_EQ(open(0, 0, 0), -1);
    EXPECT_EQ(errno, ENOENT);
}

TEST(LinuxTrace, OneLinePerCommandWithControlBytesEscaped) {
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    posix::UniqueFd readEnd(fds[0]);
    posix::UniqueFd writeEnd(fds[1]);
    LinuxDebugTrace trace(writeEnd.Get());
    trace.Command("ペン移動命令：", "\x1b");
    trace.Command("トンボ読取応答：", "TB99\x03TB55,1\x03"
                                      "TB23,2,4\x03\\");
    writeEnd.Reset();
    char buffer[512] = {};
    ssize_t n = ::read(readEnd.Get(), buffer, sizeof(buffer) - 1);
    EXPECT_EQ(std::string(buffer, static_cast<std::size_t>(n)),
              "ペン移動命令：\\x1B\n"
              "トンボ読取応答：TB99\\x03TB55,1\\x03TB23,2,4\\x03\\\\\n");
}

} // namespace
} // namespace osa
