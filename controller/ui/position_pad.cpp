#include "controller/ui/position_pad.h"

#include "controller/app_state.h"
#include "controller/res/resource_ids.h"
#include "platform/services.h"

namespace osa {

PadRects ComputePadRects(Window page) {
    WindowHost& w = Windows();
    const Rect g2 = w.MapDialogRect(page, Rect{0, 0, 2, 0});
    const int g = g2.right;
    auto centre = [&](int x, int y) {
        const Rect r = w.MapDialogRect(page, Rect{x, y, x, y});
        return Point{r.left, r.top};
    };
    auto square = [](Point c) { return Rect{c.x - 16, c.y - 16, c.x + 16, c.y + 16}; };
    const Point pad = centre(261, 169);
    PadRects areas;
    areas.up = Rect{pad.x - 16, pad.y - g - 48, pad.x + 16, pad.y - g - 16};
    areas.down = Rect{pad.x - 16, pad.y + g + 16, pad.x + 16, pad.y + g + 48};
    areas.left = Rect{pad.x - g - 48, pad.y - 16, pad.x - g - 16, pad.y + 16};
    areas.right = Rect{pad.x + g + 16, pad.y - 16, pad.x + g + 48, pad.y + 16};
    areas.testCut = square(centre(280, 82));
    areas.origin = square(centre(53, 204));
    return areas;
}

PadSpot PadSpotAt(const PadRects& areas, Point point) {
    const struct {
        const Rect& area;
        PadSpot spot;
    } spots[] = {{areas.up, PadSpot::Up},           {areas.down, PadSpot::Down},
                 {areas.left, PadSpot::Left},       {areas.right, PadSpot::Right},
                 {areas.testCut, PadSpot::TestCut}, {areas.origin, PadSpot::Origin}};
    for (const auto& s : spots)
        if (Contains(s.area, point)) return s.spot;
    return PadSpot::None;
}

void PaintPad(Window page) {
    const AppState& app = App();
    const PositionPad& pad = app.Pad;
    const PadRects& at = app.PadAreas;
    WindowHost& w = Windows();
    struct Icons {
        int normal, pressed, disabled;
    };
    auto corner = [](const Rect& r) { return Point{r.left, r.top}; };
    auto direction = [&](const Rect& r, std::int32_t bit, Icons icons) {
        int icon = icons.normal;
        if (pad.HeldDirections == pad::DirectionsDisabled)
            icon = icons.disabled;
        else if ((pad.HeldDirections & bit) != 0)
            icon = icons.pressed;
        w.DrawIcon(page, icon, corner(r));
    };
    auto button = [&](const Rect& r, std::int32_t state, Icons icons) {
        const int icon = state == pad::Pressed    ? icons.pressed
                         : state == pad::Disabled ? icons.disabled
                                                  : icons.normal;
        w.DrawIcon(page, icon, corner(r));
    };
    using namespace ids;
    direction(at.up, pad::Up, {IconPadUp, IconPadUpPressed, IconPadUpDisabled});
    direction(at.down, pad::Down, {IconPadDown, IconPadDownPressed, IconPadDownDisabled});
    direction(at.left, pad::Left, {IconPadLeft, IconPadLeftPressed, IconPadLeftDisabled});
    direction(at.right, pad::Right, {IconPadRight, IconPadRightPressed, IconPadRightDisabled});
    button(at.testCut, pad.TestCutButton,
           {IconPadTestCut, IconPadTestCutPressed, IconPadTestCutDisabled});
    button(at.origin, pad.OriginButton,
           {IconPadOrigin, IconPadOriginPressed, IconPadOriginDisabled});
}

} // namespace osa
