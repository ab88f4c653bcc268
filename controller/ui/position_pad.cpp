#include "controller/ui/position_pad.h"

#include "controller/app_state.h"
#include "controller/link/cutter_commands.h"
#include "controller/res/control_ids.h"
#include "controller/res/resource_ids.h"
#include "controller/ui/confirm_box.h"
#include "controller/ui/run_windows.h"
#include "platform/services.h"

namespace osa {

namespace {

// The directions with their bits and hot spots, in hit-test order.
struct DirectionSpot {
    std::int32_t bit;
    Rect PadRects::*area;
};
constexpr DirectionSpot Directions[] = {{pad::Up, &PadRects::up},
                                        {pad::Down, &PadRects::down},
                                        {pad::Left, &PadRects::left},
                                        {pad::Right, &PadRects::right}};

// Redraws a hot spot (its edges are inside it).
void Redraw(Window page, const Rect& r) {
    Windows().InvalidateRect(page, Rect{r.left, r.top, r.right + 1, r.bottom + 1}, true);
}

void RedrawReleasedDirections(Window page) {
    const AppState& app = App();
    for (const DirectionSpot& d : Directions)
        if ((app.Pad.HeldDirections & d.bit) == 0) Redraw(page, app.PadAreas.*d.area);
}

} // namespace

PadRects ComputePadRects(Window page) {
    WindowHost& w = Windows();
    const Rect g2 = w.MapDialogRect(page, Rect{0, 0, 2, 0});
    const int g = g2.right;
    auto centre = [&](int x, int y) {
        const Rect r = w.MapDialogRect(page, Rect{x, y, x, y});
        return Point{r.left, r.top};
    };
    // Each spot is the square an icon is drawn in: 32 pixels at 96 dpi,
    // larger where the page's coordinates are pixels of a denser screen.
    const int h = w.IconSize() / 2; // half an icon
    const int f = 3 * h;            // from the centre to an arrow's far edge
    auto square = [h](Point c) { return Rect{c.x - h, c.y - h, c.x + h, c.y + h}; };
    const Point pad = centre(261, 169);
    PadRects areas;
    areas.up = Rect{pad.x - h, pad.y - g - f, pad.x + h, pad.y - g - h};
    areas.down = Rect{pad.x - h, pad.y + g + h, pad.x + h, pad.y + g + f};
    areas.left = Rect{pad.x - g - f, pad.y - h, pad.x - g - h, pad.y + h};
    areas.right = Rect{pad.x + g + h, pad.y - h, pad.x + g + f, pad.y + h};
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

    // The same buttons for assistive technology, in the hosts' words.
    const bool directionsOn = pad.HeldDirections != pad::DirectionsDisabled;
    auto held = [&](std::int32_t bit) { return directionsOn && (pad.HeldDirections & bit) != 0; };
    const HotSpot spots[] = {
        {"Up", at.up, directionsOn, held(pad::Up)},
        {"Down", at.down, directionsOn, held(pad::Down)},
        {"Left", at.left, directionsOn, held(pad::Left)},
        {"Right", at.right, directionsOn, held(pad::Right)},
        {"Test Cut", at.testCut, pad.TestCutButton != pad::Disabled,
         pad.TestCutButton == pad::Pressed},
        {"Set Origin", at.origin, pad.OriginButton != pad::Disabled,
         pad.OriginButton == pad::Pressed},
    };
    w.SetHotSpots(page, spots);
}

// --- Input ---------------------------------------------------------------------

ResultCode PressPadDirection(Window page, std::int32_t bit) {
    PositionPad& pad = App().Pad;
    pad.HeldDirections |= bit;
    const ResultCode r = MovePen(pad.HeldDirections, 1);
    if (r != rc::Ok) {
        // Nothing moves: the icons go back to normal, and no capture is
        // taken that no release would let go.
        pad.HeldDirections = 0;
        RedrawReleasedDirections(page);
        return r;
    }
    Windows().SetCapture(page);
    for (const DirectionSpot& d : Directions)
        if (d.bit == bit) Redraw(page, App().PadAreas.*d.area);
    return r;
}

ResultCode ReleasePadDirection(Window page, std::int32_t bits) {
    PositionPad& pad = App().Pad;
    pad.HeldDirections &= ~bits;
    if (pad.HeldDirections == 0) Windows().ReleaseCapture();
    const bool moving = pad.HeldDirections != 0;
    const ResultCode r = MovePen(pad.HeldDirections, moving ? 1 : 0);
    if (r != rc::Ok && pad.HeldDirections != 0) {
        pad.HeldDirections = 0;
        Windows().ReleaseCapture();
    }
    RedrawReleasedDirections(page);
    return r;
}

ResultCode OnPadButtonDown(Window page, Point point) {
    AppState& app = App();
    PositionPad& pad = app.Pad;
    const PadSpot spot = PadSpotAt(app.PadAreas, point);
    switch (spot) {
    case PadSpot::Up:
    case PadSpot::Down:
    case PadSpot::Left:
    case PadSpot::Right: {
        if (pad.HeldDirections == pad::DirectionsDisabled) return rc::Ok;
        const DirectionSpot& d = Directions[static_cast<int>(spot) - static_cast<int>(PadSpot::Up)];
        return PressPadDirection(page, d.bit);
    }
    case PadSpot::TestCut:
        if (pad.TestCutButton == pad::Disabled) return rc::Ok;
        pad.TestCutButton = pad::Pressed;
        Redraw(page, app.PadAreas.testCut);
        return rc::Ok;
    case PadSpot::Origin:
        if (pad.OriginButton == pad::Disabled) return rc::Ok;
        pad.OriginButton = pad::Pressed;
        Redraw(page, app.PadAreas.origin);
        return rc::Ok;
    case PadSpot::None:
        break;
    }
    return rc::Ok;
}

void OnPadMouseMove(Window page, Point point) {
    AppState& app = App();
    PositionPad& pad = app.Pad;
    if (pad.TestCutButton == pad::Pressed && !Contains(app.PadAreas.testCut, point)) {
        pad.TestCutButton = pad::Normal;
        Redraw(page, app.PadAreas.testCut);
    } else if (pad.OriginButton == pad::Pressed && !Contains(app.PadAreas.origin, point)) {
        pad.OriginButton = pad::Normal;
        Redraw(page, app.PadAreas.origin);
    }
}

ResultCode OnPadButtonUp(Window page, Point point) {
    AppState& app = App();
    PositionPad& pad = app.Pad;
    ResultCode r = rc::Ok;
    if (pad.HeldDirections != 0 && pad.HeldDirections != pad::DirectionsDisabled) {
        std::int32_t bits = pad.HeldDirections;
        if (pad.InputMode == pad::ArrowHeld) {
            // An arrow key lets go of its own direction only.
            for (const DirectionSpot& d : Directions)
                if (Contains(app.PadAreas.*d.area, point)) {
                    bits = d.bit;
                    break;
                }
        }
        r = ReleasePadDirection(page, bits);
    }
    if (pad.TestCutButton == pad::Pressed) {
        pad.TestCutButton = pad::Normal;
        Redraw(page, app.PadAreas.testCut);
        r = ConfirmBox(MainWindow(), confirm::TestCut) ? SendTestCut() : rc::Ok;
    }
    if (pad.OriginButton == pad::Pressed) {
        r = SendOriginSet();
        pad.OriginButton = pad::Normal;
        Redraw(page, app.PadAreas.origin);
    }
    return r;
}

ResultCode LetGoOfThePad(Window dialog, int useKeyboard) {
    AppState& app = App();
    const Window page{app.pageDialog};
    const ResultCode r = page ? OnPadButtonUp(page, Point{-1, -1}) : rc::Ok;
    if (dialog) Windows().CheckItem(dialog, useKeyboard, false);
    app.Pad.InputMode = pad::Idle;
    return r;
}

void OnUseKeyboard() {
    AppState& app = App();
    WindowHost& w = Windows();
    const Window page{app.pageDialog};
    const Window calibration{app.calibrationDialog};
    if (app.Pad.InputMode == pad::KeyboardCancelled) {
        w.CheckItem(page, ctl::UseKeyboard, false);
        w.CheckItem(calibration, ctl::CalibrationUseKeyboard, false);
    }
    if (w.IsItemChecked(page, ctl::UseKeyboard) ||
        w.IsItemChecked(calibration, ctl::CalibrationUseKeyboard))
        app.Pad.InputMode = pad::Keyboard;
}

} // namespace osa
