// The one export of the USB module. Given a pipe number, it finds the cutter
// and opens that pipe of it. Every call searches again; nothing is kept
// between calls. The caller owns what it returns and closes it.
//
// Windows (VORNUSBP.DLL): standard-call, three 32-bit arguments: reserved
// (not read), pipe (0 writes commands, 1 reads replies), flags (CreateFile
// flags, ORed with FILE_ATTRIBUTE_NORMAL). Returns a file handle, or
// INVALID_HANDLE_VALUE with the thread's last error set.
//
// Linux (libvornusbp.so): the same three arguments; the pipe number selects
// nothing, as one descriptor carries both directions. The cutter is the
// first USB printer device of the kernel's driver (/dev/usb/lpN, in order
// of N) whose IEEE 1284 identification names its manufacturer; when that
// node cannot be opened, the device's usbfs node. When the driver holds no
// cutter, the first USB device in order of bus and address whose
// printer-class interface (with a bulk pipe each way) answers GET_DEVICE_ID
// with the cutter's identification, found through libusb: its usbfs node
// (/dev/bus/usb/BBB/DDD). Flags are open(2) flags added to O_RDWR |
// O_CLOEXEC | O_NOCTTY for the driver's node (the controller passes
// O_NONBLOCK). Returns a descriptor, or -1 with errno set: ENOENT when no
// cutter is found; EACCES when a printer device is there that the user may
// not open (it may be the cutter); EBUSY when the cutter, or a printer that
// may be it, is held by another program. A descriptor of a usbfs node is
// told from the driver's by USBDEVFS_GET_CAPABILITIES succeeding on it.
// OSA_USB_SYSFS_ROOT (default /sys/class/usbmisc) and OSA_USB_DEV_ROOT
// (default /dev/usb) move the folders of the driver's way; the simulated
// cutter is found that way, and while OSA_USB_SYSFS_ROOT is set the libusb
// way is not tried.
#pragma once
#include <cstdint>

#ifdef _WIN32
#define VORN_CALL __stdcall
using VornHandle = void*;
#else
#define VORN_CALL
using VornHandle = int;
#endif

extern "C" {
using VornOpenUsbFn = VornHandle(VORN_CALL*)(std::uint32_t reserved, std::uint32_t pipe,
                                             std::uint32_t flags);
}
