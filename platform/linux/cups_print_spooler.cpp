#include "platform/linux/cups_print_spooler.h"

#include "platform/ascii.h"

#include <cups/cups.h>

#include <cstddef>
#include <memory>
#include <string>

namespace osa::posix {

namespace {

struct IppDeleter {
    void operator()(ipp_t* ipp) const { ippDelete(ipp); }
};
using IppMessage = std::unique_ptr<ipp_t, IppDeleter>;

// The not-completed jobs of all queues, freed with the list.
class ActiveJobs {
  public:
    ActiveJobs() = default;
    ~ActiveJobs() {
        if (jobs_ != nullptr) cupsFreeJobs(count_, jobs_);
    }
    ActiveJobs(const ActiveJobs&) = delete;
    ActiveJobs& operator=(const ActiveJobs&) = delete;

    // One Get-Jobs request; false when the scheduler did not answer it.
    // cupsGetJobs2 gives -1 for a failed request and 0 for no job.
    bool Fetch() {
        const int n = cupsGetJobs2(nullptr, &jobs_, nullptr, 0, CUPS_WHICHJOBS_ACTIVE);
        if (n < 0) {
            if (jobs_ != nullptr) cupsFreeJobs(0, jobs_);
            jobs_ = nullptr;
            count_ = 0;
            return false;
        }
        count_ = n;
        return true;
    }

    std::span<const cups_job_t> All() const {
        if (jobs_ == nullptr) return {};
        return {jobs_, static_cast<std::size_t>(count_)};
    }

  private:
    cups_job_t* jobs_ = nullptr;
    int count_ = 0;
};

// Queue names are ASCII case-insensitive to the scheduler (it compares them
// with its own ASCII-only strcasecmp), whatever the locale.
bool SameQueueName(const char* a, const char* b) {
    return ascii::EqualsNoCase(a, b);
}

// CUPS-Get-Printers asking for printer-name only: every queue of the
// scheduler, printers and classes alike. Empty when the scheduler did not
// answer; a scheduler without queues answers client-error-not-found, which is
// an answer (no queue exists).
class QueueNames {
  public:
    bool Fetch() {
        IppMessage request(ippNewRequest(IPP_OP_CUPS_GET_PRINTERS));
        if (!request) return false;
        static const char* const wanted[] = {"printer-name"};
        ippAddStrings(request.get(), IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", 1,
                      nullptr, wanted);
        // cupsDoRequest frees the request whatever happens.
        response_.reset(cupsDoRequest(nullptr, request.release(), "/"));
        if (!response_) return false;
        const ipp_status_t status = ippGetStatusCode(response_.get());
        return status <= IPP_STATUS_OK_EVENTS_COMPLETE || status == IPP_STATUS_ERROR_NOT_FOUND;
    }

    bool Contains(const char* name) const {
        for (ipp_attribute_t* a = ippFirstAttribute(response_.get()); a != nullptr;
             a = ippNextAttribute(response_.get())) {
            const char* attributeName = ippGetName(a);
            if (attributeName == nullptr || std::string_view(attributeName) != "printer-name")
                continue;
            const char* value = ippGetString(a, 0, nullptr);
            if (value != nullptr && SameQueueName(value, name)) return true;
        }
        return false;
    }

  private:
    IppMessage response_;
};

bool HasActiveJob(const ActiveJobs& jobs, const char* queue) {
    for (const cups_job_t& job : jobs.All())
        if (job.dest != nullptr && job.state <= IPP_JSTATE_STOPPED &&
            SameQueueName(job.dest, queue))
            return true;
    return false;
}

// Name, make-and-model, location and info, joined by ", ", empty parts left
// out. cupsd sets printer-info to the queue's name when lpadmin got no -D.
std::string Describe(const cups_dest_t& dest) {
    std::string description = dest.name;
    for (const char* option : {"printer-make-and-model", "printer-location", "printer-info"}) {
        const char* value = cupsGetOption(option, dest.num_options, dest.options);
        if (value == nullptr || *value == '\0') continue;
        if (!description.empty()) description += ", ";
        description += value;
    }
    return description;
}

struct Collector {
    std::vector<PrinterEntry>* out;
    bool outOfMemory = false;
};

// Called by cupsEnumDests for every queue; 0 stops the enumeration. No
// exception may cross libcups's C frames.
int CollectQueue(void* data, unsigned flags, cups_dest_t* dest) {
    Collector& collector = *static_cast<Collector*>(data);
    // An instance (lpoptions) is the same queue under another set of options.
    if (dest == nullptr || dest->name == nullptr || dest->instance != nullptr ||
        (flags & CUPS_DEST_FLAGS_REMOVED) != 0)
        return 1;
    try {
        collector.out->push_back({dest->name, Describe(*dest)});
    } catch (...) { // only allocation can fail here
        collector.outOfMemory = true;
        return 0;
    }
    return 1;
}

} // namespace

ResultCode CupsPrintSpooler::ListPrinters(std::vector<PrinterEntry>& out) {
    out.clear();
    Collector collector{&out};
    // No scheduler: cupsEnumDests fails without calling back, and there is
    // simply no queue to watch.
    cupsEnumDests(0, 0, nullptr, 0, CUPS_PRINTER_DISCOVERED, CollectQueue, &collector);
    if (collector.outOfMemory) {
        out.clear();
        return rc::PrinterListMemory;
    }
    return rc::Ok;
}

ResultCode CupsPrintSpooler::CheckJobs(std::span<const PrinterNameSlot> printers) {
    if (printers.empty()) return rc::Ok;
    QueueNames queues;
    if (!queues.Fetch()) return rc::PrinterNotOpenable;
    ActiveJobs jobs;
    bool jobsFetched = false;
    for (const PrinterNameSlot& slot : printers) {
        if (!queues.Contains(slot.name)) return rc::PrinterNotOpenable;
        if (!jobsFetched) {
            if (!jobs.Fetch()) return rc::PrinterNotOpenable;
            jobsFetched = true;
        }
        if (HasActiveJob(jobs, slot.name)) return rc::PrintJobsWaiting;
    }
    return rc::Ok;
}

} // namespace osa::posix
