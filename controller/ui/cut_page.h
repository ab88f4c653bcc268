// The cut settings page (template 11): the child page of the main window
// with the cutting conditions, the design orientation, the registration
// marks and the blade position pad. Every setting the cutter holds is sent
// the moment the user changes it.
#pragma once
#include <cstdint>

#include "common/result_code.h"
#include "platform/window_host.h"

namespace osa {

// The page's dialog procedure; its WM_INITDIALOG runs InitCutSettingsPage.
std::intptr_t CutSettingsPageProc(Window page, const DialogMessage& message);

// Registration-mark distances as the user typed them, in the page's unit.
// CheckNumberText: the text is a plain decimal number the page accepts.
bool CheckNumberText(const char* text);
// 0, or 200..207: the first distance out of range for the orientation and
// unit (x: 200 landscape / 202 portrait; y: 204 / 206; plus 1 in inches).
ResultCode CheckMarkDistances(std::int32_t direction, double x, double y, std::int32_t unit);
// The two edits' texts in `unit` to micrometres.
void ParseMarkDistances(const char* xText, const char* yText, std::int32_t unit,
                        std::int32_t& xUm, std::int32_t& yUm);
// Micrometres shown in the two edits in `unit` ("%.1lf" mm, "%.3lf" inch).
void ShowMarkDistances(std::int32_t xUm, std::int32_t yUm, std::int32_t unit);
// Gives the page's control `id` the focus with all its text selected.
void FocusAndSelect(int id);

// The registration-mark reading of button 5109, also run by StartCut.
ResultCode ReadRegistrationMarks();

// Draws the six pad icons in their states (WM_PAINT of the page).
void PaintPad(Window page);

} // namespace osa
