#include "controller/link/device_link.h"

#include <cstring>
#include <new>
#include <vector>

#include "controller/app_state.h"
#include "controller/link/trace_labels.h"
#include "platform/ascii.h"
#include "platform/services.h"

namespace osa {

namespace {

const std::uint8_t* Bytes(const void* p) {
    return static_cast<const std::uint8_t*>(p);
}

// The description cut to 512 characters (and at a NUL, as a C string
// ends), upper-cased; does it carry the family's text?
bool IsCutterPrinter(const PrinterEntry& printer) {
    std::string upper = printer.description.substr(0, sizeof(PrinterNameSlot::name) - 1);
    upper.resize(std::strlen(upper.c_str()));
    for (char& c : upper)
        c = ascii::Upper(c);
    return upper.find(CutterPrinterMatch) != std::string::npos;
}

void CopyName(PrinterNameSlot& slot, const std::string& name) {
    std::size_t n = name.size();
    if (n > sizeof(slot.name) - 1) n = sizeof(slot.name) - 1;
    std::memcpy(slot.name, name.data(), n);
    slot.name[n] = '\0';
}

} // namespace

ResultCode LoadUsbModule() {
    if (App().demoMode != DemoOff) return rc::Ok;
    return Cutter().LoadModule();
}

void InitDeviceLink() {
    Cutter().InitTransfers();
}

void CloseDeviceLink() {
    Cutter().CloseTransfers();
}

ResultCode WriteToCutter(const void* buffer, std::uint32_t length, std::uint32_t timeoutMs) {
    if (ResultCode jobs = CheckPrintJobs(); jobs != rc::Ok) return jobs;
    return Cutter().Write(Bytes(buffer), length, timeoutMs);
}

ResultCode ReadFromCutter(void* buffer, std::uint32_t length, std::uint32_t timeoutMs) {
    return Cutter().Read(static_cast<std::uint8_t*>(buffer), length, timeoutMs);
}

ExchangeResult ExchangeWithCutter(const void* command, std::uint32_t commandLength,
                                  std::uint32_t writeTimeoutMs, void* reply,
                                  std::uint32_t replyLength, std::uint32_t readTimeoutMs) {
    if (ResultCode jobs = CheckPrintJobs(); jobs != rc::Ok) return {jobs, rc::Ok};
    return Cutter().Exchange(Bytes(command), commandLength, writeTimeoutMs,
                             static_cast<std::uint8_t*>(reply), replyLength, readTimeoutMs);
}

void TraceCommand(std::string_view label, const char* bytes, std::size_t length) {
    std::size_t n = 0;
    while (n < length && bytes[n] != '\0')
        ++n;
    Trace().Command(label, std::string_view(bytes, n));
}

ResultCode CheckCutterReady() {
    const char fullCheck[3] = {Esc, '\x04', '\0'};
    TraceCommand(label::FullCheck, fullCheck, 2);
    if (App().demoMode == DemoOff) {
        ResultCode r = WriteToCutter(fullCheck, 2, OrdinaryTimeoutMs);
        if (r == rc::GeneralError) return rc::StatusNotStarted;
        if (r != rc::Ok) return r;
    }

    const char freeCheck[3] = {Esc, '\x05', '\0'};
    TraceCommand(label::FreeCheck, freeCheck, 2);
    if (App().demoMode != DemoOff) return rc::Ok;

    char reply[2] = {};
    ExchangeResult r =
        ExchangeWithCutter(freeCheck, 2, OrdinaryTimeoutMs, reply, 2, OrdinaryTimeoutMs);
    for (ResultCode step : {r.write, r.read}) {
        if (step == rc::GeneralError) return rc::StatusNotStarted;
        if (step != rc::Ok) return step;
    }
    return reply[0] == '0' ? rc::Ok : rc::StatusNotReady;
}

ResultCode FindCutterPrinters() {
    AppState& app = App();
    std::vector<PrinterEntry> printers;
    if (ResultCode r = Spooler().ListPrinters(printers); r != rc::Ok) return r;
    if (printers.empty()) return rc::Ok;

    std::int32_t count = 0;
    for (const PrinterEntry& p : printers)
        if (IsCutterPrinter(p)) ++count;
    app.cutterPrinterCount = count;
    if (count == 0) return rc::Ok;

    app.cutterPrinters.reset(new (std::nothrow) PrinterNameSlot[static_cast<std::size_t>(count)]);
    if (!app.cutterPrinters) {
        // Without a table no printer can be watched: none is kept.
        app.cutterPrinterCount = 0;
        return rc::PrinterListMemory;
    }
    std::size_t slot = 0;
    for (const PrinterEntry& p : printers)
        if (IsCutterPrinter(p)) CopyName(app.cutterPrinters[slot++], p.name);
    return rc::Ok;
}

ResultCode CheckPrintJobs() {
    const AppState& app = App();
    if (app.cutterPrinterCount < 1 || !app.cutterPrinters) return rc::Ok;
    return Spooler().CheckJobs(std::span<const PrinterNameSlot>(
        app.cutterPrinters.get(), static_cast<std::size_t>(app.cutterPrinterCount)));
}

void FreeCutterPrinters() {
    AppState& app = App();
    app.cutterPrinters.reset();
    app.cutterPrinterCount = 0;
}

} // namespace osa
