// The directions the blade holder moves in: the bits of the position pad's
// held directions, which MovePen (cutter_commands.h) turns into the bits of
// its command.
#pragma once
#include <cstdint>

namespace osa::pad {

inline constexpr std::int32_t Up = 1;
inline constexpr std::int32_t Down = 2;
inline constexpr std::int32_t Left = 4;
inline constexpr std::int32_t Right = 8;
// Not a direction: the pad's arrows are disabled.
inline constexpr std::int32_t DirectionsDisabled = 16;

} // namespace osa::pad
