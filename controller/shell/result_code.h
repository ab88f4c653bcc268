// Result codes. 0 is success; every other value is also the number of its
// message in the string table, so the text of a code never depends on where it
// arose. Operations pass codes up unchanged; dialog handlers show them with
// ShowErrorMessage (error_message.h).
#pragma once
#include <cstdint>

namespace osa {

using ResultCode = std::uint32_t;

namespace rc {
inline constexpr ResultCode Ok = 0;
inline constexpr ResultCode GeneralError = 50;
inline constexpr ResultCode AlreadyActive = 51;
inline constexpr ResultCode UsbModuleMissing = 52;
inline constexpr ResultCode UsbModuleFunctionsMissing = 53;
inline constexpr ResultCode PrinterListMemory = 54;
inline constexpr ResultCode PrinterNotOpenable = 55;
inline constexpr ResultCode PrintJobsWaiting = 56;
inline constexpr ResultCode CannotCommunicate = 57;
inline constexpr ResultCode TransferTimeout = 58;
inline constexpr ResultCode StatusNotStarted = 59;
inline constexpr ResultCode StatusNotReady = 60;
inline constexpr ResultCode MediaListMissing = 61;
inline constexpr ResultCode WrongModel = 62;
inline constexpr ResultCode AnimatedInstructionsError = 211;
inline constexpr ResultCode BadOrientationOption = 250;
inline constexpr ResultCode BadMarkDistanceOption = 251;
inline constexpr ResultCode BadMarkSizeOption = 252;
inline constexpr ResultCode MediaCatalogueFull = 253;
inline constexpr ResultCode MediaNameRefused = 254;
} // namespace rc

} // namespace osa
