#include "platform/win32/win32_cutter_port.h"

#include <utility>

namespace osa::win32 {

namespace {

constexpr DWORD WritePipe = 0;
constexpr DWORD ReadPipe = 1;

UniqueHandle NewTransferEvent() {
    // Unnamed, manual-reset, not signalled; starting a transfer resets it.
    return UniqueHandle(CreateEventA(nullptr, TRUE, FALSE, nullptr));
}

} // namespace

Win32CutterPort::Win32CutterPort(std::string moduleName) : moduleName_(std::move(moduleName)) {}

ResultCode Win32CutterPort::LoadModule() {
    // The module stays loaded until the process ends: handles it opened may
    // still be in use by the system while the program runs.
    HMODULE module = LoadLibraryA(moduleName_.c_str());
    if (module == nullptr) return rc::UsbModuleMissing;
    FARPROC entry = GetProcAddress(module, "VORN_OpenUsb");
    if (entry == nullptr) return rc::UsbModuleFunctionsMissing;
    // Through void(*)(), the generic function pointer type, so the compiler
    // accepts the change of signature.
    openUsb_ = reinterpret_cast<OpenUsbFunction>(reinterpret_cast<void (*)()>(entry));
    return rc::Ok;
}

void Win32CutterPort::InitTransfers() {
    if (!writeEvent_) writeEvent_ = NewTransferEvent();
    if (!readEvent_) readEvent_ = NewTransferEvent();
}

void Win32CutterPort::CloseTransfers() {
    writeEvent_.reset();
    readEvent_.reset();
}

ResultCode Win32CutterPort::Write(const std::uint8_t* bytes, std::uint32_t length,
                                  std::uint32_t timeoutMs) {
    // WriteFile does not write into the buffer; the shared transfer code
    // takes a mutable one for ReadFile's sake.
    return Transfer(WritePipe, const_cast<std::uint8_t*>(bytes), length, timeoutMs,
                    writeEvent_.get());
}

ResultCode Win32CutterPort::Read(std::uint8_t* buffer, std::uint32_t length,
                                 std::uint32_t timeoutMs) {
    return Transfer(ReadPipe, buffer, length, timeoutMs, readEvent_.get());
}

ResultCode Win32CutterPort::Transfer(DWORD pipe, void* buffer, std::uint32_t length,
                                     std::uint32_t timeoutMs, HANDLE event) {
    if (openUsb_ == nullptr) return rc::CannotCommunicate;
    UniqueHandle device(openUsb_(0, pipe, FILE_FLAG_OVERLAPPED));
    if (!device) return rc::CannotCommunicate;

    // Without InitTransfers this transfer gets an event of its own.
    UniqueHandle ownEvent;
    if (event == nullptr) {
        ownEvent = NewTransferEvent();
        if (!ownEvent) return rc::GeneralError;
        event = ownEvent.get();
    }

    OVERLAPPED io{};
    io.hEvent = event;
    const BOOL done = pipe == WritePipe ? WriteFile(device.get(), buffer, length, nullptr, &io)
                                        : ReadFile(device.get(), buffer, length, nullptr, &io);
    if (done) return rc::Ok;
    if (GetLastError() != ERROR_IO_PENDING) return rc::GeneralError;

    DWORD moved = 0;
    if (WaitForSingleObject(event, timeoutMs) == WAIT_OBJECT_0)
        return GetOverlappedResult(device.get(), &io, &moved, FALSE) ? rc::Ok : rc::GeneralError;

    // Not ended in time (or the wait failed): cancel, and wait for the
    // transfer to end, whatever its outcome, before the buffer is given back.
    CancelIoEx(device.get(), &io);
    GetOverlappedResult(device.get(), &io, &moved, TRUE);
    return rc::TransferTimeout;
}

} // namespace osa::win32
