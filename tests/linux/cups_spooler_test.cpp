// The print-queue watch through the real core (FindCutterPrinters,
// CheckPrintJobs, WriteToCutter) against a private CUPS scheduler started for
// this suite (scripts/private-cupsd) in a temporary folder: queues made with
// lpadmin, jobs held on a disabled queue. The scheduler needs root; without it
// the suite is skipped with the script's reason.
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "controller/app_state.h"
#include "controller/link/device_link.h"
#include "platform/linux/cups_print_spooler.h"
#include "platform/memory/memory_cutter_port.h"
#include "platform/services.h"
#include "tests/linux/run_program.h"
#include "tests/scoped_env.h"
#include "tests/whole_file.h"

namespace osa::test {
namespace {

// Exit status of the script when it cannot run here (not root).
constexpr int CannotRunHere = 77;

// A queue of the private scheduler. `ppdNickName` gives it a driver of that
// name, which cupsd reports as printer-make-and-model ("Local Raw Printer"
// without one).
struct Queue {
    std::string name;
    std::string info;     // lpadmin -D, empty: none
    std::string location; // lpadmin -L, empty: none
    std::string ppdNickName;
    int jobs = 0; // held: the queue is disabled first
};

std::string MinimalPpd(const std::string& nickName) {
    return "*PPD-Adobe: \"4.3\"\n*FormatVersion: \"4.3\"\n*FileVersion: \"1.0\"\n"
           "*LanguageVersion: English\n*LanguageEncoding: ISOLatin1\n"
           "*PCFileName: \"TESTQ.PPD\"\n*Manufacturer: \"Test\"\n*Product: \"(Test)\"\n"
           "*ModelName: \"Test\"\n*ShortNickName: \"Test\"\n*NickName: \"" +
           nickName +
           "\"\n*PSVersion: \"(3010.000) 0\"\n"
           "*cupsFilter: \"application/vnd.cups-raw 0 -\"\n"
           "*OpenUI *PageSize: PickOne\n*DefaultPageSize: A4\n*PageSize A4/A4: \"\"\n"
           "*CloseUI: *PageSize\n*DefaultImageableArea: A4\n"
           "*ImageableArea A4: \"0 0 595 842\"\n*DefaultPaperDimension: A4\n"
           "*PaperDimension A4: \"595 842\"\n";
}

class CupsSpoolerTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        char pattern[] = "/tmp/osa-cups.XXXXXX";
        if (::mkdtemp(pattern) == nullptr) {
            problem_ = "no temporary folder";
            return;
        }
        dir_ = pattern;
        const int status = RunProgram({OSA_PRIVATE_CUPSD, "start", dir_}, dir_ + "/start.log");
        if (status == CannotRunHere) {
            skipReason_ = ReadWholeFile(dir_ + "/start.log");
            return;
        }
        if (status != 0) {
            problem_ = "private-cupsd start failed: " + ReadWholeFile(dir_ + "/start.log");
            return;
        }
        socket_ = dir_ + "/cups.sock";
        // libcups reads CUPS_SERVER once per thread, at its first request.
        server_ = std::make_unique<ScopedEnv>("CUPS_SERVER", socket_.c_str());
    }

    static void TearDownTestSuite() {
        server_.reset();
        if (dir_.empty()) return;
        RunProgram({OSA_PRIVATE_CUPSD, "stop", dir_}, "/dev/null");
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
        dir_.clear();
    }

    void SetUp() override {
        if (!skipReason_.empty()) GTEST_SKIP() << skipReason_;
        ASSERT_TRUE(problem_.empty()) << problem_;
        ResetAppState();
        Services services{};
        services.cutter = &cutter;
        services.spooler = &spooler;
        previous_ = InstallServices(services);
    }

    void TearDown() override {
        if (!skipReason_.empty() || !problem_.empty()) return;
        InstallServices(previous_);
        RemoveQueues();
    }

    // An lpadmin, lp or cupsdisable call on the private scheduler; its output
    // is shown only when it fails.
    void Admin(std::vector<std::string> args) {
        args.insert(args.begin() + 1, {"-h", socket_});
        const std::string log = dir_ + "/admin.log";
        ASSERT_EQ(RunProgram(args, log), 0) << args[0] << ": " << ReadWholeFile(log);
    }

    void AddQueue(const Queue& q) {
        std::vector<std::string> args = {"lpadmin", "-p", q.name, "-E", "-v", "file:///dev/null"};
        if (!q.info.empty()) args.insert(args.end(), {"-D", q.info});
        if (!q.location.empty()) args.insert(args.end(), {"-L", q.location});
        if (!q.ppdNickName.empty()) {
            const std::string ppd = dir_ + "/" + q.name + ".ppd";
            WriteWholeFile(ppd, MinimalPpd(q.ppdNickName));
            args.insert(args.end(), {"-P", ppd});
        }
        made_.push_back(q.name);
        Admin(args);
        if (q.jobs > 0) Admin({"cupsdisable", q.name});
        for (int i = 0; i < q.jobs; ++i)
            Admin({"lp", "-d", q.name, "-o", "raw", "/etc/hostname"});
    }

    void DeleteQueue(const std::string& name) { Admin({"lpadmin", "-x", name}); }

    // Deleting a queue also drops its jobs.
    void RemoveQueues() {
        for (const std::string& name : made_)
            RunProgram({"lpadmin", "-h", socket_, "-x", name}, "/dev/null");
        made_.clear();
    }

    static std::vector<std::string> KeptNames() {
        std::vector<std::string> names;
        for (std::int32_t i = 0; i < App().cutterPrinterCount; ++i)
            names.emplace_back(App().cutterPrinters[static_cast<std::size_t>(i)].name);
        return names;
    }

    posix::CupsPrintSpooler spooler;
    MemoryCutterPort cutter;

    static inline std::string dir_;
    static inline std::string socket_;
    static inline std::string skipReason_;
    static inline std::string problem_;
    static inline std::unique_ptr<ScopedEnv> server_;

    std::vector<std::string> made_; // queues RemoveQueues deletes

  private:
    Services previous_{};
};

struct WatchCase {
    const char* label;
    std::vector<Queue> queues;
    std::vector<std::string> deletedAfterList;
    std::vector<Queue> addedAfterList;
    std::vector<std::string> kept;
    ResultCode check;
};

const char* const Match = "Hemmerik Marlo Trax 2";

TEST_F(CupsSpoolerTest, CheckBeforeWrite) {
    const std::vector<WatchCase> cases = {
        {"driver name matches, a held job",
         {{"Plotter", "", "", "HEMMERIK MARLO TRAX 3", 1}, {"Office", "Laser", "", "", 0}},
         {},
         {},
         {"Plotter"},
         rc::PrintJobsWaiting},
        {"info matches in another letter case, no job of its own",
         {{"Office", "Laser", "", "", 2}, {"Cutter", "hemmerik marlo trax 2", "", "", 0}},
         {},
         {},
         {"Cutter"},
         rc::Ok},
        {"location matches, a held job",
         {{"Cutter", "USB", "Hemmerik Marlo Trax desk", "", 1}},
         {},
         {},
         {"Cutter"},
         rc::PrintJobsWaiting},
        {"only other queues, one with jobs",
         {{"Office", "Laser", "", "", 2}, {"Label", "Hemmerik Marlo", "Trax", "", 0}},
         {},
         {},
         {},
         rc::Ok},
        {"kept queue deleted after the list",
         {{"Cutter", Match, "", "", 0}},
         {"Cutter"},
         {},
         {"Cutter"},
         rc::PrinterNotOpenable},
        {"the first kept queue is gone, the second has a job",
         {{"CutterA", Match, "", "", 0}, {"CutterB", Match, "", "", 1}},
         {"CutterA"},
         {},
         {"CutterA", "CutterB"},
         rc::PrinterNotOpenable},
        {"the first kept queue idle, the second has a job",
         {{"CutterA", Match, "", "", 0}, {"CutterB", Match, "", "", 1}},
         {},
         {},
         {"CutterA", "CutterB"},
         rc::PrintJobsWaiting},
        {"kept queue made again in capitals, with a job",
         {{"Cutter", Match, "", "", 0}},
         {"Cutter"},
         {{"CUTTER", Match, "", "", 1}},
         {"Cutter"},
         rc::PrintJobsWaiting},
    };
    for (const WatchCase& c : cases) {
        SCOPED_TRACE(c.label);
        ResetAppState();
        cutter.writeTimeouts.clear();
        for (const Queue& q : c.queues)
            ASSERT_NO_FATAL_FAILURE(AddQueue(q));

        ASSERT_EQ(FindCutterPrinters(), rc::Ok);
        EXPECT_EQ(KeptNames(), c.kept);
        for (const std::string& name : c.deletedAfterList)
            ASSERT_NO_FATAL_FAILURE(DeleteQueue(name));
        for (const Queue& q : c.addedAfterList)
            ASSERT_NO_FATAL_FAILURE(AddQueue(q));

        EXPECT_EQ(CheckPrintJobs(), c.check);
        const char frame[] = {'X', Etx};
        EXPECT_EQ(WriteToCutter(frame, sizeof frame, OrdinaryTimeoutMs), c.check);
        EXPECT_EQ(cutter.writeTimeouts.size(), c.check == rc::Ok ? 1u : 0u); // port calls
        RemoveQueues();
    }
}

// A class is a queue too: listed, and found again by the check.
TEST_F(CupsSpoolerTest, ClassWithHeldJob) {
    ASSERT_NO_FATAL_FAILURE(AddQueue({"Member", "Laser", "", "", 0}));
    ASSERT_NO_FATAL_FAILURE(Admin({"lpadmin", "-p", "Member", "-c", "Pool"}));
    made_.push_back("Pool");
    ASSERT_NO_FATAL_FAILURE(Admin({"lpadmin", "-p", "Pool", "-D", Match}));
    ASSERT_NO_FATAL_FAILURE(Admin({"cupsaccept", "Pool"}));
    ASSERT_NO_FATAL_FAILURE(Admin({"cupsdisable", "Pool"}));
    ASSERT_EQ(FindCutterPrinters(), rc::Ok);
    ASSERT_EQ(KeptNames(), std::vector<std::string>{"Pool"});
    EXPECT_EQ(CheckPrintJobs(), rc::Ok);
    ASSERT_NO_FATAL_FAILURE(Admin({"lp", "-d", "Pool", "-o", "raw", "/etc/hostname"}));
    EXPECT_EQ(CheckPrintJobs(), rc::PrintJobsWaiting);
}

// A job held on an enabled queue is not completed; a cancelled one is.
TEST_F(CupsSpoolerTest, HeldJobCountsUntilCancelled) {
    ASSERT_NO_FATAL_FAILURE(AddQueue({"Cutter", Match, "", "", 0}));
    ASSERT_EQ(FindCutterPrinters(), rc::Ok);
    EXPECT_EQ(CheckPrintJobs(), rc::Ok);
    ASSERT_NO_FATAL_FAILURE(
        Admin({"lp", "-d", "Cutter", "-H", "hold", "-o", "raw", "/etc/hostname"}));
    EXPECT_EQ(CheckPrintJobs(), rc::PrintJobsWaiting);
    ASSERT_NO_FATAL_FAILURE(Admin({"cancel", "-a", "Cutter"}));
    EXPECT_EQ(CheckPrintJobs(), rc::Ok);
}

// The description: name, driver, location and info, in that order.
TEST_F(CupsSpoolerTest, DescriptionJoinsNameDriverLocationInfo) {
    ASSERT_NO_FATAL_FAILURE(AddQueue({"Desk", "Front desk printer", "Hall", "", 0}));
    std::vector<PrinterEntry> list;
    ASSERT_EQ(spooler.ListPrinters(list), rc::Ok);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].name, "Desk");
    EXPECT_EQ(list[0].description, "Desk, Local Raw Printer, Hall, Front desk printer");
}

// No scheduler at all: nothing to list (not an error), and a kept queue
// cannot be asked about. A new thread, since libcups keeps its server per
// thread.
TEST_F(CupsSpoolerTest, NoScheduler) {
    const std::string absent = dir_ + "/absent.sock";
    ScopedEnv server("CUPS_SERVER", absent.c_str());
    ResultCode listed = 99, checked = 99;
    std::size_t listSize = 99;
    std::thread([&] {
        std::vector<PrinterEntry> list = {{"stale", "stale"}};
        listed = spooler.ListPrinters(list);
        listSize = list.size();
        PrinterNameSlot slot{"Cutter"};
        checked = spooler.CheckJobs(std::span<const PrinterNameSlot>(&slot, 1));
    }).join();
    EXPECT_EQ(listed, rc::Ok);
    EXPECT_EQ(listSize, 0u);
    EXPECT_EQ(checked, rc::PrinterNotOpenable);
}

} // namespace
} // namespace osa::test
