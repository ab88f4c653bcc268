// One step of a scroll bar that holds a whole number between two bounds, as
// the page's and the secondary dialogs' bars step: a line is 1, a page is
// `page` and stops at the bound, the thumb gives its position.
#pragma once
#include <optional>

#include "platform/window_host.h"

namespace osa {

struct StepRange {
    int low = 0;
    int high = 0;
    int page = 1;
};

// A medium's speed and thickness (force), on the page and in Add Media.
inline constexpr StepRange SpeedSteps{1, 10, 5};
inline constexpr StepRange ThicknessSteps{1, 3, 1};

// The value after scroll code `code` from `old`, or nothing for a code the
// bars ignore (SB_TOP, SB_BOTTOM, SB_ENDSCROLL). A thumb position outside
// the range is brought to its nearer end.
inline std::optional<int> ScrollStep(const StepRange& range, int code, int old, int thumb) {
    switch (code) {
    case sb::LineLeft: // also SB_LINEUP
        return old > range.low ? old - 1 : old;
    case sb::LineRight:
        return old < range.high ? old + 1 : old;
    case sb::PageLeft:
        return old - range.page > range.low ? old - range.page : range.low;
    case sb::PageRight:
        return old + range.page < range.high ? old + range.page : range.high;
    case sb::ThumbPosition:
    case sb::ThumbTrack:
        return thumb < range.low ? range.low : (thumb > range.high ? range.high : thumb);
    default:
        return std::nullopt;
    }
}

} // namespace osa
