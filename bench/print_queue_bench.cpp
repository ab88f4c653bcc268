// What the print-queue watch costs before every write to the cutter: the
// time of one CheckJobs against a private CUPS scheduler (scripts/
// private-cupsd, started and stopped here; needs root), with 0, 1 and 10
// kept queues beside a few other queues that hold jobs, next to the same
// run's bare Get-Jobs and Get-Printers requests. Kept queues hold no job, so
// every check walks all of them. Figures only, no limits.
//
//   build/<dir>/bin/print_queue_bench [calls]   (calls per figure, 200)

#include <cups/cups.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "controller/app_state.h"
#include "controller/link/device_link.h"
#include "platform/linux/cups_print_spooler.h"
#include "platform/services.h"

namespace {

// The kept names, picked by the controller's own start-up rule.
std::vector<osa::PrinterNameSlot> KeptQueues(osa::PrintSpooler& spooler) {
    osa::ResetAppState();
    osa::Services services;
    services.spooler = &spooler;
    const osa::Services previous = osa::InstallServices(services);
    std::vector<osa::PrinterNameSlot> kept;
    if (osa::FindCutterPrinters() == 0) {
        const osa::AppState& app = osa::App();
        for (std::int32_t i = 0; i < app.cutterPrinterCount; ++i)
            kept.push_back(app.cutterPrinters[static_cast<std::size_t>(i)]);
    }
    osa::FreeCutterPrinters();
    osa::InstallServices(previous);
    return kept;
}

void BareGetJobs() {
    cups_job_t* jobs = nullptr;
    const int n = cupsGetJobs2(nullptr, &jobs, nullptr, 0, CUPS_WHICHJOBS_ACTIVE);
    if (jobs != nullptr) cupsFreeJobs(n < 0 ? 0 : n, jobs);
}

void BareGetPrinters() {
    ipp_t* request = ippNewRequest(IPP_OP_CUPS_GET_PRINTERS);
    static const char* const wanted[] = {"printer-name"};
    ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", 1, nullptr,
                  wanted);
    ippDelete(cupsDoRequest(nullptr, request, "/"));
}

} // namespace

int main(int argc, char** argv) {
    const int calls = osa::bench::CallsFromArguments(argc, argv, 200);
    osa::bench::PrivateCupsd cupsd;
    if (!cupsd.ServeThisProcess("print_queue_bench")) return cupsd.FailureStatus();

    // Other queues, three held jobs each, so the job list is not empty.
    const int otherQueues = 3;
    const int jobsPerOtherQueue = 3;
    for (int q = 0; q < otherQueues; ++q) {
        const std::string name = "Office" + std::to_string(q + 1);
        if (!cupsd.Admin({"lpadmin", "-p", name, "-E", "-v", "file:///dev/null", "-D", "Laser"}) ||
            !cupsd.Admin({"cupsdisable", name}))
            return 1;
        for (int j = 0; j < jobsPerOtherQueue; ++j)
            if (!cupsd.Admin({"lp", "-d", name, "-o", "raw", "/etc/hostname"})) return 1;
    }

    std::printf("CheckJobs against a private cupsd: %d other queues with %d held jobs each;\n"
                "median of %d calls, microseconds; kept queues hold no job\n\n",
                otherQueues, jobsPerOtherQueue, calls);
    std::printf("%6s %6s %12s %14s %16s %14s\n", "kept", "result", "CheckJobs", "bare Get-Jobs",
                "bare Get-Printers", "ListPrinters");

    osa::posix::CupsPrintSpooler spooler;
    int made = 0;
    for (int wanted : {0, 1, 10}) {
        for (; made < wanted; ++made) {
            const std::string name = "Cutter" + std::to_string(made + 1);
            if (!cupsd.Admin({"lpadmin", "-p", name, "-E", "-v", "file:///dev/null", "-D",
                              "Hemmerik Marlo Trax " + std::to_string(made + 1)}))
                return 1;
        }
        const std::vector<osa::PrinterNameSlot> kept = KeptQueues(spooler);
        osa::ResultCode result = 0;
        const double check =
            osa::bench::MedianMicroseconds(calls, [&] { result = spooler.CheckJobs(kept); });
        const double getJobs = osa::bench::MedianMicroseconds(calls, BareGetJobs);
        const double getPrinters = osa::bench::MedianMicroseconds(calls, BareGetPrinters);
        std::vector<osa::PrinterEntry> list;
        const double listing =
            osa::bench::MedianMicroseconds(calls, [&] { (void)spooler.ListPrinters(list); });
        std::printf("%6zu %6u %12.1f %14.1f %16.1f %14.1f\n", kept.size(), result, check, getJobs,
                    getPrinters, listing);
    }
    return 0;
}
