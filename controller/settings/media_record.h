// The media catalogue's records: the list of media types the user picks
// from, each with the cutting condition the cutter receives for it.
#pragma once
#include <array>
#include <cstdint>

namespace osa {

inline constexpr int MaxMedia = 128;
inline constexpr int MaxMediaNameBytes = 64;

enum ConfigurationMode : std::int32_t {
    MediaFixed = 0,      // supplied with the program, never written
    MediaModifiable = 1, // supplied with the program, adjustment kept in its file
    MediaUser = 2,       // made with Add Media
};

enum CapColour : std::int32_t { CapPen = 0, CapBlue = 1, CapYellow = 2, CapRed = 3 };

struct MediaRecord {
    char Name[68] = {};       // at most 64 bytes and a NUL
    std::uint32_t ListID = 0; // sort key, compared unsigned
    std::int32_t ConfigurationMode = -1;
    std::int32_t ConditionNumber = -1;
    std::int32_t DefaultSpeed = -1;
    std::int32_t DefaultForce = -1;
    std::int32_t AdjustedSpeed = -1;
    std::int32_t AdjustedForce = -1;
    std::int32_t CutterOffset = -1;
    std::int32_t Cap = -1;
};

struct MediaCatalogue {
    std::int32_t Count = 0;
    std::uint32_t HighestListID = 0;
    std::array<MediaRecord, MaxMedia> Records{};
};

} // namespace osa
