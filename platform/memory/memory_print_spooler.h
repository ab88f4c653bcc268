// The print spooler of the tests: printers with job counts a test sets.
#pragma once
#include <string>
#include <vector>

#include "platform/print_spooler.h"

namespace osa {

struct MemoryPrinter {
    std::string name;
    std::string description;
    int jobs = 0;
    bool reachable = true; // false: deleted or renamed since the list was made
};

class MemoryPrintSpooler : public PrintSpooler {
  public:
    ResultCode ListPrinters(std::vector<PrinterEntry>& out) override;
    ResultCode CheckJobs(std::span<const PrinterNameSlot> printers) override;

    std::vector<MemoryPrinter> printers;
    bool outOfMemory = false;
    int checks = 0;
    // The check with this number (1 = the first from now on, counted with
    // `checks`) gives `failCheckResult` instead of looking at the printers.
    int failCheckAt = 0;
    ResultCode failCheckResult = rc::PrintJobsWaiting;
    std::vector<std::string> asked; // printer names in the order they were asked
};

} // namespace osa
