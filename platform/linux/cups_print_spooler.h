// The print-queue watch on Linux: the CUPS scheduler's queues and jobs,
// through libcups (2.4) and the server it picks (CUPS_SERVER, cupsSetServer,
// client.conf, else the local scheduler's socket).
//
//   ListPrinters  cupsEnumDests(type 0, mask CUPS_PRINTER_DISCOVERED, msec 0):
//                 the scheduler's own queues (printers and classes), with no
//                 network discovery and so no wait. A queue's description is
//                 its name, printer-make-and-model, printer-location and
//                 printer-info joined by ", ", empty parts left out. Instances
//                 from lpoptions are the same queue and are left out. No
//                 scheduler is an empty list and 0; 54 when memory runs out.
//   CheckJobs     nothing asked for an empty table; else one CUPS-Get-Printers
//                 request for printer-name and queued-job-count: the queues
//                 that exist, each with its count of jobs not yet completed
//                 (pending, held, processing or stopped). One request,
//                 whatever the number of kept queues. Then, in table order: a
//                 queue missing (or no answer, or no count) is 55, a queue
//                 with a count above 0 is 56. Queue names are compared
//                 without regard to ASCII letter case, as the scheduler
//                 compares them.
//
// Both use libcups's connection of the calling thread, which libcups opens
// on first use and opens again when the scheduler has closed it. An
// unreachable local scheduler answers at once; a remote CUPS_SERVER that does
// not answer can make a call wait up to libcups's connection time-out.
#pragma once
#include "platform/print_spooler.h"

namespace osa::posix {

class CupsPrintSpooler final : public PrintSpooler {
  public:
    ResultCode ListPrinters(std::vector<PrinterEntry>& out) override;
    ResultCode CheckJobs(std::span<const PrinterNameSlot> printers) override;
};

} // namespace osa::posix
