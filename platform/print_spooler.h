// The print spooler, asked whether the cutter's printer driver has a job on
// its way, since such a job uses the same USB port.
//   Win32: EnumPrintersA(PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS, level
//          1); OpenPrinterA + EnumJobsA(0, 99, level 1) + ClosePrinter per
//          kept printer, in table order.
//   Linux: CUPS. Local queues only (cupsEnumDests without discovery); the
//          description is the queue's name, make-and-model, location and info
//          joined by ", "; one Get-Printers request (names and counts of
//          not-completed jobs) per check.
//   memory: a list of printers with job counts a test sets.
#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "common/result_code.h"

namespace osa {

// A kept printer's name: at most 512 characters and a NUL.
struct PrinterNameSlot {
    char name[513];
};

struct PrinterEntry {
    std::string name;
    std::string description;
};

class PrintSpooler {
  public:
    virtual ~PrintSpooler() = default;
    // The local printers and printer connections, in the spooler's order.
    // 0, or 54 when memory for the list is not available. No printer (or no
    // spooler at all) is an empty list and 0.
    virtual ResultCode ListPrinters(std::vector<PrinterEntry>& out) = 0;
    // Looks at the kept printers in order: 55 at the first one that cannot be
    // opened or queried, 56 at the first one with a job not yet completed,
    // 0 when none has a job.
    virtual ResultCode CheckJobs(std::span<const PrinterNameSlot> printers) = 0;
};

} // namespace osa
