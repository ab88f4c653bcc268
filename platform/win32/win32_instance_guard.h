// Single instance on Windows: the named mutex "MTController" tells whether a
// controller already runs in this session; the second process raises the
// first one's window, found by its caption.
#pragma once
#include <string_view>

#include "platform/instance_guard.h"
#include "platform/win32/win32_api.h"

namespace osa::win32 {

class Win32InstanceGuard final : public InstanceGuard {
  public:
    // Claims the mutex. Its handle is never closed, on purpose (see the .cpp).
    bool ClaimFirstInstance() override;
    void RaiseFirstInstance(std::string_view caption) override;

  private:
    HANDLE mutex_ = nullptr;
    bool first_ = true;
};

} // namespace osa::win32
