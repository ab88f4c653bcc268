#include "platform/memory/memory_print_spooler.h"

namespace osa {

ResultCode MemoryPrintSpooler::ListPrinters(std::vector<PrinterEntry>& out) {
    if (outOfMemory) return rc::PrinterListMemory;
    out.clear();
    for (const MemoryPrinter& p : printers)
        out.push_back({p.name, p.description});
    return rc::Ok;
}

ResultCode MemoryPrintSpooler::CheckJobs(std::span<const PrinterNameSlot> kept) {
    ++checks;
    if (checks == failCheckAt) return failCheckResult;
    for (const PrinterNameSlot& slot : kept) {
        std::string name(slot.name);
        asked.push_back(name);
        const MemoryPrinter* found = nullptr;
        for (const MemoryPrinter& p : printers)
            if (p.name == name && p.reachable) found = &p;
        if (found == nullptr) return rc::PrinterNotOpenable;
        if (found->jobs > 0) return rc::PrintJobsWaiting;
    }
    return rc::Ok;
}

} // namespace osa
