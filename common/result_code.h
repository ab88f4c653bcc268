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
// Communication codes: a transfer of that exchange failed.
inline constexpr ResultCode FirmwareReplyFailed = 100;
inline constexpr ResultCode SensorReadyReplyFailed = 101;
inline constexpr ResultCode MarksManualFailed = 102;
inline constexpr ResultCode SensorCorrectionFailed = 103;
inline constexpr ResultCode FeedAdjustmentFailed = 104;
inline constexpr ResultCode CutConditionFailed = 150;
inline constexpr ResultCode CutConditionNumberFailed = 151;
inline constexpr ResultCode CutSpeedFailed = 152;
inline constexpr ResultCode CutPressureFailed = 153;
inline constexpr ResultCode CutterOffsetFailed = 154;
inline constexpr ResultCode ThickMediaModeFailed = 155;
inline constexpr ResultCode DesignOrientationFailed = 156;
inline constexpr ResultCode TestCutFailed = 157;
inline constexpr ResultCode OriginSetFailed = 158;
inline constexpr ResultCode MovePenFailed = 159;
inline constexpr ResultCode SensorCorrectionWriteFailed = 160;
inline constexpr ResultCode SensorCorrectionScanFailed = 161;
inline constexpr ResultCode FeedAdjustmentWriteFailed = 162;
inline constexpr ResultCode MarksAutoFailed = 163;
inline constexpr ResultCode MarkSizeFailed = 164;
inline constexpr ResultCode RollActionFailed = 165;
inline constexpr ResultCode StartNoticeFailed = 166;
// Registration marks: a distance out of range for the orientation and unit
// (x 200/201 landscape mm/inch, 202/203 portrait; y 204..207 likewise), and
// the cutter's verdicts of a reading.
inline constexpr ResultCode MarkDistanceXFirst = 200;
inline constexpr ResultCode MarkDistanceYFirst = 204;
inline constexpr ResultCode MarksManualNotRead = 208;
inline constexpr ResultCode FeedAdjustmentRange = 209; // Calibration: not -2.00..+2.00
inline constexpr ResultCode MarksAutoNotRead = 210;
inline constexpr ResultCode AnimatedInstructionsError = 211;
inline constexpr ResultCode BadOrientationOption = 250;
inline constexpr ResultCode BadMarkDistanceOption = 251;
inline constexpr ResultCode BadMarkSizeOption = 252;
inline constexpr ResultCode MediaCatalogueFull = 253;
inline constexpr ResultCode MediaNameRefused = 254;
} // namespace rc

} // namespace osa
