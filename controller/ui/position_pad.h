// The blade position pad: four direction buttons, "Test Cut" and "Set
// Origin", drawn as icons on the cut settings page at fixed spots and
// hit-tested by position. Its state is shared by the page, the main dialog,
// the input hooks and the Calibration dialog. All fields are 32-bit.
#pragma once
#include <cstdint>

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

} // namespace osa
