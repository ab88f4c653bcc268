// VORNUSBP.DLL: finds the cutter among the USB device interfaces and opens
// one of its pipes. Its one export, VORN_OpenUsb, is called by the controller
// for every transfer; nothing is kept between calls, so a cutter plugged in
// or out is seen on the next call.
//
// On the NT family (5.0 and later) every present interface of the public USB
// device class is opened and asked for its IEEE 1284 device identification
// (IOCTL_PAR_QUERY_DEVICE_ID, which the cutter's driver answers); the first
// one whose manufacturer is the cutter's is taken. On Windows 98/Me the
// first interface of the cutter driver's own class is taken as it is. The
// chosen interface's path, with the pipe suffix (see usb/device_pipe_path.h),
// is opened with the caller's flags and the handle handed over as it comes.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>

#include "platform/win32/win32_api.h"
#include "platform/win32/win32_handle.h"
#include "usb/device_id.h"
#include "usb/device_pipe_path.h"

#include <setupapi.h>

namespace {

using osa::win32::UniqueHandle;

// GUID_DEVINTERFACE_USB_DEVICE: every USB device, listed by the USB hub driver.
constexpr GUID UsbDeviceInterface = {
    0xA5DCBF10, 0x6530, 0x11D2, {0x90, 0x1F, 0x00, 0xC0, 0x4F, 0xB9, 0x51, 0xED}};
// The interface class the cutter's driver registers on Windows 98/Me.
constexpr GUID CutterDriverInterface = {
    0x4801E3B2, 0x66A1, 0x4785, {0x8D, 0x5C, 0xDE, 0xDC, 0x47, 0xD5, 0x40, 0x49}};

constexpr DWORD PresentInterfaces = DIGCF_PRESENT | DIGCF_DEVICEINTERFACE; // 0x12
// CTL_CODE(FILE_DEVICE_PARALLEL_PORT, 3, METHOD_BUFFERED, FILE_ANY_ACCESS):
// the device identification string and its NUL, without a length prefix.
constexpr DWORD QueryDeviceId = 0x0016000C;
constexpr DWORD DeviceIdBytes = 512;

// The detail record's size field is the size of its fixed part: 5 for the
// ANSI record on 32-bit Windows, 8 on x64, where the system refuses 5. The
// interface record is 28 and 32 bytes. sizeof gives each build its value.
#if defined(_WIN64)
static_assert(sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A) == 8);
static_assert(sizeof(SP_DEVICE_INTERFACE_DATA) == 32);
#else
static_assert(sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A) == 5);
static_assert(sizeof(SP_DEVICE_INTERFACE_DATA) == 28);
#endif

class DeviceList {
  public:
    explicit DeviceList(HDEVINFO list) : list_(list) {}
    ~DeviceList() {
        if (*this) SetupDiDestroyDeviceInfoList(list_);
    }
    DeviceList(const DeviceList&) = delete;
    DeviceList& operator=(const DeviceList&) = delete;
    explicit operator bool() const { return list_ != INVALID_HANDLE_VALUE && list_ != nullptr; }
    HDEVINFO get() const { return list_; }

  private:
    HDEVINFO list_;
};

// 1: identify each candidate; 0: take the first; nothing: the system is too old.
std::optional<bool> IdentifyOnThisSystem() {
    // Only the fields of the basic record are read; the extended record is
    // given with its own size (156 bytes; the basic record is 148).
    OSVERSIONINFOEXA version{};
    version.dwOSVersionInfoSize = sizeof(version);
    if (!GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&version))) return std::nullopt;
    if (version.dwPlatformId == VER_PLATFORM_WIN32_NT) {
        if (version.dwMajorVersion < 5) return std::nullopt;
        return true;
    }
    if (version.dwMajorVersion < 4 || (version.dwMajorVersion == 4 && version.dwMinorVersion < 10))
        return std::nullopt;
    return false;
}

struct HeapDeleter {
    void operator()(void* block) const { HeapFree(GetProcessHeap(), 0, block); }
};

// The interface's device path into `path`; false when the detail cannot be
// had or the path is too long for any pipe path.
bool InterfacePath(HDEVINFO list, SP_DEVICE_INTERFACE_DATA& item,
                   char (&path)[osa::usb::PipePathCapacity]) {
    DWORD required = 0;
    SetupDiGetDeviceInterfaceDetailA(list, &item, nullptr, 0, &required, nullptr);
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) return false;
    if (required < sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A)) return false;

    // The process heap's blocks are aligned for any record.
    std::unique_ptr<void, HeapDeleter> block(HeapAlloc(GetProcessHeap(), 0, required));
    if (!block) return false;
    auto* detail = static_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_A*>(block.get());
    detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A);
    if (!SetupDiGetDeviceInterfaceDetailA(list, &item, detail, required, nullptr, nullptr))
        return false;
    const std::size_t room = required - offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_A, DevicePath);
    const std::size_t length = strnlen(detail->DevicePath, room);
    if (length + 1 > sizeof(path)) return false;
    std::memcpy(path, detail->DevicePath, length);
    path[length] = '\0';
    return true;
}

// Opens the device itself and asks for its identification string.
bool IsCutter(const char* devicePath) {
    UniqueHandle device(CreateFileA(devicePath, GENERIC_READ | GENERIC_WRITE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                                    nullptr));
    if (!device) return false;
    char id[DeviceIdBytes] = {};
    DWORD returned = 0;
    // The input length is given as 512 with no input buffer, as the cutter's
    // driver has always been asked.
    if (!DeviceIoControl(device.get(), QueryDeviceId, nullptr, DeviceIdBytes, id, DeviceIdBytes,
                         &returned, nullptr))
        return false;
    if (returned > DeviceIdBytes) returned = DeviceIdBytes;
    return osa::usb::IsCutterDeviceId(id, returned);
}

// The path of the requested pipe of the first accepted device into
// `pipePath`; false when there is none.
bool FindCutterPipe(bool identify, std::int32_t pipe,
                    char (&pipePath)[osa::usb::PipePathCapacity]) {
    const GUID& cls = identify ? UsbDeviceInterface : CutterDriverInterface;
    DeviceList list(SetupDiGetClassDevsA(&cls, nullptr, nullptr, PresentInterfaces));
    if (!list) return false;

    for (DWORD index = 0;; ++index) {
        SP_DEVICE_INTERFACE_DATA item{};
        item.cbSize = sizeof(item);
        if (!SetupDiEnumDeviceInterfaces(list.get(), nullptr, &cls, index, &item)) {
            if (GetLastError() == ERROR_NO_MORE_ITEMS) return false;
            continue;
        }
        char devicePath[osa::usb::PipePathCapacity];
        if (!InterfacePath(list.get(), item, devicePath)) continue;
        // Too long for the path buffer: not ours.
        if (!osa::usb::DevicePipePath(devicePath, pipe, pipePath)) continue;
        if (identify && !IsCutter(devicePath)) continue;
        return true;
    }
}

} // namespace

// Exported by its plain name through vornusbp.def.
extern "C" HANDLE WINAPI VORN_OpenUsb(DWORD /*reserved*/, DWORD pipe, DWORD flags) {
    const std::optional<bool> identify = IdentifyOnThisSystem();
    if (!identify) {
        SetLastError(ERROR_BAD_ENVIRONMENT);
        return INVALID_HANDLE_VALUE;
    }
    char path[osa::usb::PipePathCapacity];
    if (!FindCutterPipe(*identify, static_cast<std::int32_t>(pipe), path)) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    return CreateFileA(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                       nullptr, OPEN_EXISTING, flags | FILE_ATTRIBUTE_NORMAL, nullptr);
}
