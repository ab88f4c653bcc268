// The state of the blade position pad, shared by the page, the main dialog,
// the input hooks and the Calibration dialog. All fields are 32-bit.
#pragma once
#include <cstdint>

#include "controller/link/pen_directions.h"
#include "platform/window_host.h"

namespace osa {

struct PositionPad {
    // 0 idle; 1 left mouse button down; 2 keyboard mode; 4 an arrow key is
    // held; 8 keyboard mode just cancelled by a click (9 while still down).
    std::int32_t InputMode = 0;
    // Bit set of pad::Up .. pad::Right, or pad::DirectionsDisabled.
    std::int32_t HeldDirections = 0;
    std::int32_t TestCutButton = 0; // 0 normal, 1 pressed, 2 disabled
    std::int32_t OriginButton = 0;  // 0 normal, 1 pressed, 2 disabled
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

} // namespace osa
