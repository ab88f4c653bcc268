// Registration-mark distances: the text of the page's two edits, checked and
// converted between the page's unit and the micrometres the cutter and the
// settings file use; the number texts of the Calibration dialog's feed
// correction follow the same rules. Nothing here touches a window.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "common/result_code.h"

namespace osa {

// The page's units (AppState::Unit).
inline constexpr std::int32_t UnitMillimetres = 0;
inline constexpr std::int32_t UnitInches = 1;

// The text is a plain decimal number the page accepts: digits with at most
// one point, a minus sign first only, at least one digit.
bool CheckNumberText(const char* text);

// 0, or 200..207: the first distance out of range for the orientation and
// unit (x: 200 landscape / 202 portrait; y: 204 / 206; plus 1 in inches).
[[nodiscard]] ResultCode CheckMarkDistances(std::int32_t direction, double x, double y,
                                            std::int32_t unit);

// The code of a bad value in the x or y edit: the range code of that field.
[[nodiscard]] ResultCode MarkDistanceFieldCode(bool yField, std::int32_t direction,
                                               std::int32_t unit);

// "%lf" of a text CheckNumberText has passed; 0 when nothing reads.
double ReadNumberText(std::string_view text);

// printf's "%.<precision>f" in the C locale ("%.2lf" with 2).
std::string FixedText(double value, int precision);

// The two edits' texts in `unit` to micrometres.
void ParseMarkDistances(const char* xText, const char* yText, std::int32_t unit, std::int32_t& xUm,
                        std::int32_t& yUm);

// Distances in millimetres (the start-up option) to micrometres, through the
// same "%lf" text the edits would hold.
void MillimetreDistancesToMicrometres(double x, double y, std::int32_t& xUm, std::int32_t& yUm);

// Micrometres as the edits show them in `unit`: "%.1lf" mm, "%.3lf" inch.
std::string MicrometresToText(std::int32_t micrometres, std::int32_t unit);

} // namespace osa
