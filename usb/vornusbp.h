// The one export of the USB module. Given a pipe number, it finds the cutter
// and opens that pipe of it. Every call searches again; nothing is kept
// between calls. The caller owns what it returns and closes it.
//
// Windows (VORNUSBP.DLL): standard-call, three 32-bit arguments: reserved
// (not read), pipe (0 writes commands, 1 reads replies), flags (CreateFile
// flags, ORed with FILE_ATTRIBUTE_NORMAL). Returns a file handle, or
// INVALID_HANDLE_VALUE with the thread's last error set.
//
// Linux (libvornusbp.so): the same three arguments. The cutter is the first
// USB printer device (/dev/usb/lpN, in order of N) whose IEEE 1284
// identification string names its manufacturer; one node carries both
// directions, so the pipe number selects nothing. Flags are open(2) flags
// added to O_RDWR | O_CLOEXEC | O_NOCTTY (the controller passes O_NONBLOCK).
// Returns a descriptor, or -1 with errno set: ENOENT when no cutter is
// found, otherwise as open(2) set it (EBUSY: another program has the
// device open; EACCES: the user is not in the device's group, usually lp).
// OSA_USB_SYSFS_ROOT (default /sys/class/usbmisc) and OSA_USB_DEV_ROOT
// (default /dev/usb) move the folders searched; the simulated cutter is
// found that way.
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
