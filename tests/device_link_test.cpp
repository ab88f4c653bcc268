#include <gtest/gtest.h>

#include "controller/app_state.h"
#include "controller/link/cutter_commands.h"
#include "controller/link/device_link.h"
#include "controller/link/trace_labels.h"
#include "tests/test_support.h"

namespace osa {
namespace {

class DeviceLinkTest : public test::CoreTest {
  protected:
    std::vector<std::string> Kept() {
        std::vector<std::string> names;
        for (int i = 0; i < App().cutterPrinterCount; ++i)
            names.emplace_back(App().cutterPrinters[static_cast<std::size_t>(i)].name);
        return names;
    }
};

TEST_F(DeviceLinkTest, LoadUsbModule) {
    cutter.libraryMissing = true;
    App().demoMode = DemoFirmware2;
    EXPECT_EQ(LoadUsbModule(), rc::Ok); // demo: nothing is loaded
    EXPECT_EQ(cutter.moduleLoads, 0);
    App().demoMode = DemoOff;
    EXPECT_EQ(LoadUsbModule(), rc::UsbModuleMissing);
    cutter.libraryMissing = false;
    cutter.exportMissing = true;
    EXPECT_EQ(LoadUsbModule(), rc::UsbModuleFunctionsMissing);
    cutter.exportMissing = false;
    EXPECT_EQ(LoadUsbModule(), rc::Ok);
}

TEST_F(DeviceLinkTest, StatusExchange) {
    EXPECT_EQ(CheckCutterReady(), rc::Ok);
    EXPECT_EQ(cutter.writes, (std::vector<std::string>{"\x1b\x04", "\x1b\x05"}));
    EXPECT_EQ(cutter.readLengths, (std::vector<std::uint32_t>{2}));
    ASSERT_EQ(trace.entries.size(), 2u);
    EXPECT_EQ(trace.entries[0], (TraceEntry{std::string(label::FullCheck), "\x1b\x04"}));
    EXPECT_EQ(trace.entries[1], (TraceEntry{std::string(label::FreeCheck), "\x1b\x05"}));

    struct Row {
        const char* name;
        char status;
        ResultCode write, read, expected;
    } rows[] = {
        {"busy cutter", '1', 0, 0, rc::StatusNotReady},
        {"garbage", '#', 0, 0, rc::StatusNotReady},
        {"write not started", '0', rc::GeneralError, 0, rc::StatusNotStarted},
        {"read not started", '0', 0, rc::GeneralError, rc::StatusNotStarted},
        {"no cutter", '0', rc::CannotCommunicate, 0, rc::CannotCommunicate},
        {"no answer", '0', 0, rc::TransferTimeout, rc::TransferTimeout},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        cutter.cutter.Setup().status = row.status;
        cutter.nextWriteResult = row.write;
        cutter.nextReadResult = row.read;
        EXPECT_EQ(CheckCutterReady(), row.expected);
    }
}

TEST_F(DeviceLinkTest, NoCutterConnected) {
    cutter.connected = false;
    EXPECT_EQ(CheckCutterReady(), rc::CannotCommunicate);
    EXPECT_EQ(SendStartNotice(), rc::CannotCommunicate);
}

TEST_F(DeviceLinkTest, FindCutterPrintersKeepsNamesOfTheFamily) {
    spooler.printers = {
        {"Office", "HP LaserJet", 2, true},
        {"TraxQueue", "hemmerik marlo trax 2 (USB)", 0, true}, // lower case, more words
        {"Other", "Hemmerik Marlo", 0, true},
        {"Second", "Driver: HEMMERIK MARLO TRAX", 0, true},
    };
    EXPECT_EQ(FindCutterPrinters(), rc::Ok);
    EXPECT_EQ(Kept(), (std::vector<std::string>{"TraxQueue", "Second"}));
}

TEST_F(DeviceLinkTest, DescriptionsAreCutAt512Characters) {
    std::string longDescription(500, 'x');
    spooler.printers = {
        {"Cut", longDescription + "HEMMERIK MARLO TRAX", 0, true}, // match beyond 512
        {std::string(600, 'n'), longDescription.substr(0, 490) + "HEMMERIK MARLO TRAX", 0, true},
    };
    EXPECT_EQ(FindCutterPrinters(), rc::Ok);
    ASSERT_EQ(Kept().size(), 1u);
    EXPECT_EQ(Kept()[0], std::string(512, 'n'));
}

TEST_F(DeviceLinkTest, PrintJobsBlockWrites) {
    spooler.printers = {
        {"A", "HEMMERIK MARLO TRAX", 0, true},
        {"B", "HEMMERIK MARLO TRAX", 0, true},
    };
    ASSERT_EQ(FindCutterPrinters(), rc::Ok);
    EXPECT_EQ(SendTestCut(), rc::Ok);

    spooler.printers[1].jobs = 1;
    EXPECT_EQ(CheckPrintJobs(), rc::PrintJobsWaiting);
    EXPECT_EQ(SendTestCut(), rc::PrintJobsWaiting);
    std::int32_t x = 0, y = 0;
    EXPECT_EQ(ReadSensorCorrection(x, y), rc::PrintJobsWaiting);

    spooler.printers[1].jobs = 0;
    spooler.printers[0].reachable = false; // deleted or renamed since start
    EXPECT_EQ(SendTestCut(), rc::PrinterNotOpenable);
    EXPECT_EQ(cutter.writes, (std::vector<std::string>{"FH\x03"}));
}

TEST_F(DeviceLinkTest, WithoutFamilyPrintersTheSpoolerIsNotAsked) {
    spooler.printers = {{"Office", "HP LaserJet", 3, true}};
    ASSERT_EQ(FindCutterPrinters(), rc::Ok);
    EXPECT_EQ(App().cutterPrinterCount, 0);
    EXPECT_EQ(SendTestCut(), rc::Ok);
    EXPECT_EQ(spooler.checks, 0);
}

TEST_F(DeviceLinkTest, PrinterListMemory) {
    spooler.outOfMemory = true;
    EXPECT_EQ(FindCutterPrinters(), rc::PrinterListMemory);
    EXPECT_EQ(CheckPrintJobs(), rc::Ok);
    FreeCutterPrinters();
    FreeCutterPrinters(); // safe without a table
}

} // namespace
} // namespace osa
