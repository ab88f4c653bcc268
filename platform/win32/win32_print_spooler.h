// The Windows print spooler through the A functions: printer names and
// descriptions stay in the system's code page, as bytes, so a name read
// from the list opens the same printer again.
//   ListPrinters  EnumPrintersA(PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS,
//                 level 1): once for the size, once for the records.
//   CheckJobs     per kept printer, in order: OpenPrinterA, EnumJobsA (first
//                 job 0, at most 99, level 1, no buffer: only the size),
//                 ClosePrinter. A non-zero size means a job is waiting.
#pragma once
#include "platform/print_spooler.h"

namespace osa::win32 {

class Win32PrintSpooler final : public PrintSpooler {
  public:
    ResultCode ListPrinters(std::vector<PrinterEntry>& out) override;
    ResultCode CheckJobs(std::span<const PrinterNameSlot> printers) override;
};

} // namespace osa::win32
