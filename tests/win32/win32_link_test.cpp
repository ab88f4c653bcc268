// The Windows cutter link end to end: the real Win32 cutter port, trace and
// spooler, the core's link and command set, the stand-in VORNUSBP.DLL beside
// this program, and the simulated cutter SIMCUTTER.EXE behind named pipes.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "controller/app_state.h"
#include "controller/link/cutter_commands.h"
#include "controller/link/device_link.h"
#include "platform/memory/memory_print_spooler.h"
#include "platform/services.h"
#include "platform/win32/win32_cutter_port.h"
#include "platform/win32/win32_debug_trace.h"
#include "platform/win32/win32_print_spooler.h"
#include "tests/win32/simcutter_process.h"

namespace osa {
namespace {

using wintest::SimulatedCutter;

std::string SimulatorProgram() {
    return wintest::ProgramFolder() + "..\\SIMCUTTER.EXE";
}

class Win32LinkTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetAppState();
        Services services{};
        services.cutter = &port;
        services.spooler = &spooler;
        services.trace = &trace;
        previous_ = InstallServices(services);
        pipe_ = wintest::FreshPipeName();
        wintest::UseSimulatorPipe(pipe_);
        InitDeviceLink();
        ASSERT_EQ(LoadUsbModule(), 0u);
    }
    void TearDown() override {
        CloseDeviceLink();
        InstallServices(previous_);
    }

    // Starts the simulated cutter on this test's pipes.
    SimulatedCutter& Start(const std::vector<std::string>& options = {}) {
        sim_ = std::make_unique<SimulatedCutter>(SimulatorProgram(), pipe_, options);
        EXPECT_TRUE(sim_->Ready());
        return *sim_;
    }

    win32::Win32CutterPort port;
    MemoryPrintSpooler spooler;
    win32::Win32DebugTrace trace;
    std::unique_ptr<SimulatedCutter> sim_;

  private:
    Services previous_{};
    std::string pipe_;
};

TEST_F(Win32LinkTest, StatusExchangeGoesThroughBothPipes) {
    SimulatedCutter& sim = Start();
    EXPECT_EQ(CheckCutterReady(), 0u);
    const std::vector<std::string> expected = {"in \\x1B\\x04", "in \\x1B\\x05", "out 0\\x0D"};
    EXPECT_EQ(sim.LogOf(expected.size()), expected);
}

TEST_F(Win32LinkTest, FirmwareVersionIsReadBack) {
    Start();
    char version[513] = {};
    EXPECT_EQ(ReadFirmwareVersion(version), 0u);
    EXPECT_STREQ(version, "2.01");
}

// What the cutter does, and the code the operation gives for it.
struct Outcome {
    const char* name;
    std::vector<std::string> options;
    ResultCode (*operation)();
    ResultCode expected;
};

ResultCode Status() {
    return CheckCutterReady();
}
ResultCode Firmware() {
    char version[513] = {};
    return ReadFirmwareVersion(version);
}
ResultCode SensorCorrection() {
    std::int32_t x = 0, y = 0;
    return ReadSensorCorrection(x, y);
}

class Win32LinkOutcomeTest : public Win32LinkTest, public ::testing::WithParamInterface<Outcome> {};

TEST_P(Win32LinkOutcomeTest, GivesItsCode) {
    SimulatedCutter& sim = Start(GetParam().options);
    EXPECT_EQ(GetParam().operation(), GetParam().expected) << ::testing::PrintToString(sim.Log());
}

INSTANTIATE_TEST_SUITE_P(
    Cutter, Win32LinkOutcomeTest,
    ::testing::Values(Outcome{"Ready", {}, Status, 0}, Outcome{"Busy", {"--status=1"}, Status, 60},
                      Outcome{"WrongModel", {"--model=ZZZ"}, Firmware, 62},
                      Outcome{"SensorCorrection", {"--sensor=3,-2"}, SensorCorrection, 0},
                      Outcome{"Silent", {"--fault=silent"}, SensorCorrection, 58}),
    [](const ::testing::TestParamInfo<Outcome>& p) { return std::string(p.param.name); });

TEST_F(Win32LinkTest, NoCutterIsCannotCommunicate) {
    // No simulator: the pipes do not exist.
    EXPECT_EQ(CheckCutterReady(), 57u);
}

TEST_F(Win32LinkTest, ReadThatTimesOutLeavesTheBufferAlone) {
    // The reply comes a second after the read has given up.
    SimulatedCutter& sim = Start({"--fault=slow:1000"});
    const std::uint8_t command[] = {'T', 'B', '7', '1', 0x03};
    ASSERT_EQ(port.Write(command, sizeof command, 500), 0u);
    std::array<std::uint8_t, 16> buffer;
    buffer.fill(0xAA);
    EXPECT_EQ(port.Read(buffer.data(), buffer.size(), 500), 58u);
    Sleep(1500);
    EXPECT_TRUE(
        std::all_of(buffer.begin(), buffer.end(), [](std::uint8_t b) { return b == 0xAA; }));
    for (const std::string& line : sim.Log())
        EXPECT_NE(line.rfind("out", 0), 0u) << line;
}

TEST_F(Win32LinkTest, TransfersWithoutEventsStillWork) {
    Start();
    CloseDeviceLink();
    EXPECT_EQ(CheckCutterReady(), 0u);
}

// A read whose completion reports a failure: the far end of the reply pipe
// lets the reader connect and then drops the connection without a byte.
// Here the test itself serves the pipe.
TEST(Win32CutterPortTransfer, AFailedCompletionIsNotSuccess) {
    const std::string base = wintest::FreshPipeName();
    wintest::UseSimulatorPipe(base);
    win32::UniqueHandle server(CreateNamedPipeA((base + "\\.01").c_str(), PIPE_ACCESS_DUPLEX,
                                                PIPE_TYPE_BYTE | PIPE_WAIT, 1, 64, 64, 0, nullptr));
    ASSERT_TRUE(server);
    win32::Win32CutterPort port;
    ASSERT_EQ(port.LoadModule(), 0u);
    port.InitTransfers();

    std::array<std::uint8_t, 8> buffer{};
    ResultCode result = 0;
    std::thread reader([&] { result = port.Read(buffer.data(), buffer.size(), 60000); });
    if (!ConnectNamedPipe(server.get(), nullptr)) {
        const DWORD error = GetLastError();
        EXPECT_TRUE(error == ERROR_PIPE_CONNECTED || error == ERROR_NO_DATA) << error;
    }
    Sleep(200); // let the read start waiting
    DisconnectNamedPipe(server.get());
    reader.join();
    EXPECT_EQ(result, 50u);
}

TEST(Win32CutterPortModule, LoadOutcomes) {
    struct Case {
        const char* module;
        ResultCode expected;
    };
    const Case cases[] = {
        {"VORNUSBP.DLL", 0},            // the stand-in beside this program
        {"OSA_NO_SUCH_MODULE.DLL", 52}, // not there
        {"KERNEL32.DLL", 53},           // there, without the export
    };
    for (const Case& c : cases) {
        win32::Win32CutterPort port(c.module);
        EXPECT_EQ(port.LoadModule(), c.expected) << c.module;
    }
}

TEST(Win32CutterPortModule, TransfersNeedTheModule) {
    const std::string unused = wintest::FreshPipeName();
    wintest::UseSimulatorPipe(unused);
    for (const char* module : {"", "OSA_NO_SUCH_MODULE.DLL", "KERNEL32.DLL"}) {
        win32::Win32CutterPort port(module);
        if (*module != '\0') port.LoadModule();
        std::uint8_t byte = 0;
        EXPECT_EQ(port.Write(&byte, 1, 500), 57u) << module;
        EXPECT_EQ(port.Read(&byte, 1, 500), 57u) << module;
    }
}

TEST(Win32DebugTrace, LabelsInCodePage932) {
    struct Case {
        const char* utf8;
        std::vector<std::uint8_t> cp932;
    };
    const Case cases[] = {
        {"ファームバージョン応答：",
         {0x83, 0x74, 0x83, 0x40, 0x81, 0x5b, 0x83, 0x80, 0x83, 0x6f, 0x81, 0x5b,
          0x83, 0x57, 0x83, 0x87, 0x83, 0x93, 0x89, 0x9e, 0x93, 0x9a, 0x81, 0x46}},
        {"Marlo TRAX コントローラ起動通知命令：",
         {0x4d, 0x61, 0x72, 0x6c, 0x6f, 0x20, 0x54, 0x52, 0x41, 0x58, 0x20, 0x83, 0x52,
          0x83, 0x93, 0x83, 0x67, 0x83, 0x8d, 0x81, 0x5b, 0x83, 0x89, 0x8b, 0x4e, 0x93,
          0xae, 0x92, 0xca, 0x92, 0x6d, 0x96, 0xbd, 0x97, 0xdf, 0x81, 0x46}},
        {"ファームバッファの確認(FULL_CHECK)：",
         {0x83, 0x74, 0x83, 0x40, 0x81, 0x5b, 0x83, 0x80, 0x83, 0x6f, 0x83, 0x62,
          0x83, 0x74, 0x83, 0x40, 0x82, 0xcc, 0x8a, 0x6d, 0x94, 0x46, 0x28, 0x46,
          0x55, 0x4c, 0x4c, 0x5f, 0x43, 0x48, 0x45, 0x43, 0x4b, 0x29, 0x81, 0x46}},
        {"", {}},
    };
    for (const Case& c : cases) {
        const std::string got = win32::ToCodePage932(c.utf8);
        EXPECT_EQ(std::vector<std::uint8_t>(got.begin(), got.end()), c.cp932) << c.utf8;
    }
}

TEST(Win32PrintSpooler, AMissingPrinterCannotBeAsked) {
    win32::Win32PrintSpooler spooler;
    std::vector<PrinterEntry> printers;
    EXPECT_EQ(spooler.ListPrinters(printers), 0u);

    std::array<PrinterNameSlot, 1> missing{};
    const std::string name = "OSA no such printer";
    name.copy(missing[0].name, name.size());
    EXPECT_EQ(spooler.CheckJobs(missing), 55u);
    EXPECT_EQ(spooler.CheckJobs({}), 0u);
}

} // namespace
} // namespace osa
