// The cutter port of the Windows program: the USB module VORNUSBP.DLL bound
// at run time, and one overlapped transfer per call on a handle the module
// opens afresh (pipe 0 for writes, pipe 1 for reads) and that is closed
// before the call returns.
//
// A transfer that has not ended within its time-out is cancelled
// (CancelIoEx) and then waited for (GetOverlappedResult with wait): only
// then may the caller's buffer and the OVERLAPPED record go away, so nothing
// writes into a buffer after the call has returned. A transfer whose
// completion reports a failure is 50, not success.
#pragma once
#include <string>

#include "platform/cutter_port.h"
#include "platform/win32/win32_api.h"
#include "platform/win32/win32_handle.h"

namespace osa::win32 {

class Win32CutterPort final : public CutterPort {
  public:
    // `moduleName` is the library LoadModule binds; the program keeps the
    // default, tests name a missing library or one without the export.
    explicit Win32CutterPort(std::string moduleName = "VORNUSBP.DLL");

    ResultCode LoadModule() override;
    void InitTransfers() override;
    void CloseTransfers() override;
    ResultCode Write(const std::uint8_t* bytes, std::uint32_t length,
                     std::uint32_t timeoutMs) override;
    ResultCode Read(std::uint8_t* buffer, std::uint32_t length, std::uint32_t timeoutMs) override;

  private:
    using OpenUsbFunction = HANDLE(WINAPI*)(DWORD reserved, DWORD pipe, DWORD flags);

    ResultCode Transfer(DWORD pipe, void* buffer, std::uint32_t length, std::uint32_t timeoutMs,
                        HANDLE event);

    std::string moduleName_;
    OpenUsbFunction openUsb_ = nullptr;
    UniqueHandle writeEvent_;
    UniqueHandle readEvent_;
};

} // namespace osa::win32
