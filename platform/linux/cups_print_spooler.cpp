#include "platform/linux/cups_print_spooler.h"

#include "platform/ascii.h"

#include <cups/cups.h>

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace osa::posix {

namespace {

struct IppDeleter {
    void operator()(ipp_t* ipp) const { ippDelete(ipp); }
};
using IppMessage = std::unique_ptr<ipp_t, IppDeleter>;

// Queue names are ASCII case-insensitive to the scheduler (it compares them
// with its own ASCII-only strcasecmp), whatever the locale.
bool SameQueueName(const char* a, const char* b) {
    return ascii::EqualsNoCase(a, b);
}

// One CUPS-Get-Printers request asking for printer-name and queued-job-count:
// every queue of the scheduler, printers and classes alike, each with the
// number of its jobs not yet completed (the scheduler counts its active
// jobs for that queue: pending, held, processing and stopped). A scheduler
// without queues answers client-error-not-found, which is an answer (no
// queue exists).
class QueueStates {
  public:
    struct Queue {
        std::string name;
        int jobs = -1; // -1: the scheduler did not say
    };

    // False when the scheduler did not answer.
    bool Fetch() {
        IppMessage request(ippNewRequest(IPP_OP_CUPS_GET_PRINTERS));
        if (!request) return false;
        static const char* const wanted[] = {"printer-name", "queued-job-count"};
        ippAddStrings(request.get(), IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", 2,
                      nullptr, wanted);
        // cupsDoRequest frees the request whatever happens.
        IppMessage response(cupsDoRequest(nullptr, request.release(), "/"));
        if (!response) return false;
        const ipp_status_t status = ippGetStatusCode(response.get());
        if (status > IPP_STATUS_OK_EVENTS_COMPLETE && status != IPP_STATUS_ERROR_NOT_FOUND)
            return false;
        // One printer group per queue, the groups apart by a separator (an
        // attribute without a name) or a change of group tag.
        Queue current;
        ipp_tag_t group = IPP_TAG_ZERO;
        for (ipp_attribute_t* a = ippFirstAttribute(response.get()); a != nullptr;
             a = ippNextAttribute(response.get())) {
            const char* name = ippGetName(a);
            if (name == nullptr || ippGetGroupTag(a) != group) {
                Keep(current);
                group = ippGetGroupTag(a);
            }
            if (name == nullptr || group != IPP_TAG_PRINTER) continue;
            const std::string_view attribute = name;
            if (attribute == "printer-name" && ippGetValueTag(a) == IPP_TAG_NAME) {
                if (const char* value = ippGetString(a, 0, nullptr)) current.name = value;
            } else if (attribute == "queued-job-count" && ippGetValueTag(a) == IPP_TAG_INTEGER) {
                current.jobs = ippGetInteger(a, 0);
            }
        }
        Keep(current);
        return true;
    }

    // The queue of that name, or nullptr when there is none.
    const Queue* Find(const char* name) const {
        for (const Queue& q : queues_)
            if (SameQueueName(q.name.c_str(), name)) return &q;
        return nullptr;
    }

  private:
    void Keep(Queue& q) {
        if (!q.name.empty()) queues_.push_back(std::move(q));
        q = Queue{};
    }

    std::vector<Queue> queues_;
};

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
    QueueStates queues;
    if (!queues.Fetch()) return rc::PrinterNotOpenable;
    for (const PrinterNameSlot& slot : printers) {
        const QueueStates::Queue* queue = queues.Find(slot.name);
        // A queue whose count the scheduler did not give cannot be queried.
        if (queue == nullptr || queue->jobs < 0) return rc::PrinterNotOpenable;
        if (queue->jobs > 0) return rc::PrintJobsWaiting;
    }
    return rc::Ok;
}

} // namespace osa::posix
