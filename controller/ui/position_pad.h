// The blade position pad: four direction buttons, "Test Cut" and "Set
// Origin", drawn as icons on the cut settings page at fixed spots and
// hit-tested by position. Its state is shared by the page, the main dialog,
// the input hooks and the Calibration dialog. All fields are 32-bit.
#pragma once
#include <cstdint>

#include "common/result_code.h"
#include "controller/link/pen_directions.h"
#include "platform/window_host.h"

namespace osa {

namespace pad {
// Input modes.
inline constexpr std::int32_t Idle = 0;
inline constexpr std::int32_t MouseDown = 1; // a bit: the left mouse button is down
inline constexpr std::int32_t Keyboard = 2;
inline constexpr std::int32_t ArrowHeld = 4;
// Keyboard mode just cancelled by a click; with MouseDown while it is still down.
inline constexpr std::int32_t KeyboardCancelled = 8;

// States of the test-cut and set-origin buttons.
inline constexpr std::int32_t Normal = 0;
inline constexpr std::int32_t Pressed = 1;
inline constexpr std::int32_t Disabled = 2;
} // namespace pad

struct PositionPad {
    // pad::Idle, pad::MouseDown, pad::Keyboard, pad::ArrowHeld,
    // pad::KeyboardCancelled (| pad::MouseDown while the button is down).
    std::int32_t InputMode = pad::Idle;
    // Bit set of pad::Up .. pad::Right, or pad::DirectionsDisabled.
    std::int32_t HeldDirections = 0;
    std::int32_t TestCutButton = pad::Normal; // pad::Normal, Pressed or Disabled
    std::int32_t OriginButton = pad::Normal;  // pad::Normal, Pressed or Disabled
};

// The six hot spots of the drawn pad buttons, in page client pixels, edges
// inclusive; computed once when the page starts.
struct PadRects {
    Rect up{};
    Rect down{};
    Rect left{};
    Rect right{};
    Rect testCut{};
    Rect origin{};
};

// The hot spots of `page`, 32 x 32 pixels each, from its dialog units: the
// direction pad around (261, 169), test cut at (280, 82), set origin at
// (53, 204).
PadRects ComputePadRects(Window page);

enum class PadSpot : std::int32_t { None, Up, Down, Left, Right, TestCut, Origin };

// The hot spot under `point` (page client pixels), tried in the order up,
// down, left, right, test cut, set origin; edges belong to the spot.
PadSpot PadSpotAt(const PadRects& areas, Point point);

// Draws the six pad icons of `page` in their states (WM_PAINT of the page).
void PaintPad(Window page);

// --- Input (page client pixels) ---------------------------------------------
// The left button goes down at `point`: a direction starts the blade moving
// (MovePen with every held direction) and the page takes the mouse
// capture; "Test Cut" and "Set Origin" are drawn pressed and wait for the
// release. Disabled buttons do nothing.
[[nodiscard]] ResultCode OnPadButtonDown(Window page, Point point);
// The pointer moves with the button down: leaving a pressed "Test Cut" or
// "Set Origin" cancels it. Directions keep moving wherever the pointer is.
void OnPadMouseMove(Window page, Point point);
// The left button (or, in arrow-key mode, an arrow key) goes up at `point`:
// held directions stop (in arrow-key mode only the one under the point, or
// all when none is), a pressed "Test Cut" asks 2100 on the main window and
// sends "FH" on OK, a pressed "Set Origin" sends "FJ". (-1, -1) releases
// everything, as the deactivation of a window does.
[[nodiscard]] ResultCode OnPadButtonUp(Window page, Point point);
// Adds `bit` to the held directions and sends them; a refused MovePen
// empties the held set.
[[nodiscard]] ResultCode PressPadDirection(Window page, std::int32_t bit);
// Removes `bits` from the held directions and sends what remains (moving),
// or the stop when nothing does; the capture goes with the last one.
[[nodiscard]] ResultCode ReleasePadDirection(Window page, std::int32_t bits);
// A window with a "Use Keyboard" box lost the activation: whatever the pad
// holds is let go (OnPadButtonUp at (-1, -1); a held "Test Cut" still asks),
// box `useKeyboard` of `dialog` is unchecked and the input mode is 0.
// Returns the release's result, for the caller to show.
[[nodiscard]] ResultCode LetGoOfThePad(Window dialog, int useKeyboard);
// "Use Keyboard" (5141 on the page, 5142 on the Calibration dialog) was
// clicked: keyboard positioning is on while either box is checked.
void OnUseKeyboard();

} // namespace osa
