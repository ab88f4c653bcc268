// The controller's only path to the cutter: the USB module binding, one
// transfer at a time through the platform's cutter port, the print-queue
// watch before every write, and the buffer status exchange.
//
// Command frame: ASCII commands ended by ETX (0x03), numbers as "%d" writes
// them, several commands may share one transfer; binary ESC sequences carry
// no ETX. A reply is read as one transfer of a fixed number of bytes whose
// last byte is replaced by NUL before it is parsed.
#pragma once
#include <cstdint>
#include <string_view>

#include "common/result_code.h"
#include "platform/cutter_port.h"

namespace osa {

inline constexpr char Etx = '\x03';
inline constexpr char Esc = '\x1b';
inline constexpr std::uint32_t OrdinaryTimeoutMs = 500;
inline constexpr std::uint32_t FirmwareTimeoutMs = 25000;
inline constexpr std::uint32_t LongTimeoutMs = 250000;

// Text of the cutter family's printers, searched in the upper-cased
// description of every printer.
inline constexpr std::string_view CutterPrinterMatch = "HEMMERIK MARLO TRAX";

// 0, 52, 53; 0 without loading anything in demo mode.
[[nodiscard]] ResultCode LoadUsbModule();
void InitDeviceLink();
void CloseDeviceLink();

// 0, 50, 55, 56, 57, 58. Nothing is written while a cutter printer has a job.
[[nodiscard]] ResultCode WriteToCutter(const void* buffer, std::uint32_t length,
                                       std::uint32_t timeoutMs);
// 0, 50, 57, 58.
[[nodiscard]] ResultCode ReadFromCutter(void* buffer, std::uint32_t length,
                                        std::uint32_t timeoutMs);
// WriteToCutter followed by ReadFromCutter of the reply, as one exchange (on
// Linux both travel through one open device).
ExchangeResult ExchangeWithCutter(const void* command, std::uint32_t commandLength,
                                  std::uint32_t writeTimeoutMs, void* reply,
                                  std::uint32_t replyLength, std::uint32_t readTimeoutMs);

// 0, 55, 56, 57, 58, 59, 60.
[[nodiscard]] ResultCode CheckCutterReady();

// 0 or 54. Fills the table of the cutter family's printers (AppState).
[[nodiscard]] ResultCode FindCutterPrinters();
// 0, 55 (a kept printer cannot be asked), 56 (a kept printer has a job).
[[nodiscard]] ResultCode CheckPrintJobs();
void FreeCutterPrinters();

// Writes a command's trace entry: its label and its bytes up to the first
// zero byte (at most `length`).
void TraceCommand(std::string_view label, const char* bytes, std::size_t length);

} // namespace osa
