#include "platform/win32/win32_print_spooler.h"

#include <memory>
#include <new>

#include "platform/win32/win32_api.h"

#include <winspool.h>

namespace osa::win32 {

namespace {

constexpr DWORD LocalAndConnections = PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS; // 6

class PrinterHandle {
  public:
    PrinterHandle() = default;
    ~PrinterHandle() {
        if (handle_ != nullptr) ClosePrinter(handle_);
    }
    PrinterHandle(const PrinterHandle&) = delete;
    PrinterHandle& operator=(const PrinterHandle&) = delete;
    HANDLE* out() { return &handle_; }
    HANDLE get() const { return handle_; }

  private:
    HANDLE handle_ = nullptr;
};

std::string Text(const char* s) {
    return s != nullptr ? std::string(s) : std::string();
}

} // namespace

ResultCode Win32PrintSpooler::ListPrinters(std::vector<PrinterEntry>& out) {
    out.clear();
    DWORD needed = 0;
    DWORD count = 0;
    EnumPrintersA(LocalAndConnections, nullptr, 1, nullptr, 0, &needed, &count);
    if (needed == 0) return rc::Ok;

    // PRINTER_INFO_1A records hold pointers: the block is allocated as
    // pointers so it is aligned for them. A printer added between the size
    // query and the enumeration makes the enumeration ask for more room: it
    // is tried again with the new size.
    std::unique_ptr<void*[]> block;
    for (int attempt = 0;; ++attempt) {
        const std::size_t words = (needed + sizeof(void*) - 1) / sizeof(void*);
        block.reset(new (std::nothrow) void*[words]);
        if (!block) return rc::PrinterListMemory;
        count = 0;
        if (EnumPrintersA(LocalAndConnections, nullptr, 1, reinterpret_cast<BYTE*>(block.get()),
                          needed, &needed, &count))
            break;
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || attempt == 2) return rc::Ok;
    }

    const auto* records = reinterpret_cast<const PRINTER_INFO_1A*>(block.get());
    out.reserve(count);
    for (DWORD i = 0; i < count; ++i)
        out.push_back({Text(records[i].pName), Text(records[i].pDescription)});
    return rc::Ok;
}

ResultCode Win32PrintSpooler::CheckJobs(std::span<const PrinterNameSlot> printers) {
    for (const PrinterNameSlot& slot : printers) {
        PrinterHandle printer;
        // OpenPrinterA takes a non-const name; it does not change it.
        if (!OpenPrinterA(const_cast<char*>(slot.name), printer.out(), nullptr))
            return rc::PrinterNotOpenable;
        DWORD needed = 0;
        DWORD returned = 0;
        EnumJobsA(printer.get(), 0, 99, 1, nullptr, 0, &needed, &returned);
        if (needed != 0) return rc::PrintJobsWaiting;
    }
    return rc::Ok;
}

} // namespace osa::win32
