// The steps that the animated-instructions program (mtc_dman) shows, shared by
// its Windows and Qt builds: for each step a title, a caption, and either a
// picture resource or a line drawing. A drawing is a list of shapes in a
// fixed scene of SceneWidth x SceneHeight units that each program scales
// into its window; shapes marked `moves` are shifted by the step's motion
// once per animation frame, which makes the step's little film (a cap
// screwed on, a medium pushed in), started over after the last frame.
#pragma once
#include <cstdint>
#include <span>

namespace osa::companion {

inline constexpr const char* WindowTitle = "Ostrandel Animated Instructions";
inline constexpr int SceneWidth = 320;
inline constexpr int SceneHeight = 180;
inline constexpr int FrameMilliseconds = 250;

struct Colour {
    std::uint8_t r, g, b;
};

inline constexpr Colour Ink{40, 40, 40};
inline constexpr Colour Paper{255, 255, 255};
inline constexpr Colour Body{190, 195, 200};
inline constexpr Colour Dark{90, 95, 100};
inline constexpr Colour Metal{150, 150, 155};
inline constexpr Colour Blue{40, 90, 200};
inline constexpr Colour Yellow{235, 195, 30};
inline constexpr Colour Red{210, 40, 40};
inline constexpr Colour Guide{0, 140, 200};
inline constexpr Colour Green{30, 150, 60};

enum class Kind {
    Line,         // (x1, y1) to (x2, y2)
    Arrow,        // a line with its head at (x2, y2)
    FilledBox,    // corners (x1, y1), (x2, y2); filled with the colour, outlined in Ink
    FilledCircle, // centre (x1, y1), radius x2; filled with the colour, outlined in Ink
};

struct Shape {
    Kind kind;
    int x1, y1, x2, y2;
    Colour colour;
    bool moves = false;
};

struct Step {
    const char* title;
    const char* caption;
    int bitmap; // picture resource shown instead of a drawing; 0 = none
    std::span<const Shape> shapes;
    int dx, dy; // motion of the moving shapes per frame
    int frames; // frames of the film; 1 = a still picture
};

namespace scene {

// The blade holder standing upright, its blade tip at the bottom; shifted by
// (x, y) from its place in the middle of the scene.
// clang-format off
#define OSA_HOLDER(x, y, m)                                                      \
    Shape{Kind::FilledBox, 150 + (x), 80 + (y), 170 + (x), 150 + (y), Metal, m}, \
    Shape{Kind::Line, 160 + (x), 150 + (y), 160 + (x), 160 + (y), Ink, m}
// A cap whose bottom edge is at y, with two thread lines.
#define OSA_CAP(x, y, colour, m)                                                 \
    Shape{Kind::FilledBox, 146 + (x), (y) - 22, 174 + (x), (y), colour, m},      \
    Shape{Kind::Line, 150 + (x), (y) - 16, 170 + (x), (y) - 16, Ink, m},         \
    Shape{Kind::Line, 150 + (x), (y) - 9, 170 + (x), (y) - 9, Ink, m}
// clang-format on

inline constexpr Shape ChooseCap[] = {
    OSA_CAP(-100, 100, Blue, false),
    OSA_CAP(-30, 100, Yellow, false),
    OSA_CAP(40, 100, Red, false),
    // The ball-point pen, which is used without a cap.
    Shape{Kind::FilledBox, 250, 60, 262, 140, Dark},
    Shape{Kind::Line, 256, 140, 256, 150, Ink},
};

inline constexpr Shape MountCap[] = {
    OSA_HOLDER(0, 0, false),
    OSA_CAP(0, 50, Red, true),
    // Turn it clockwise, as seen from above: across the front to the right,
    // round the back to the left.
    Shape{Kind::Arrow, 196, 84, 236, 84, Ink},
    Shape{Kind::Arrow, 236, 64, 196, 64, Dark},
    Shape{Kind::Line, 236, 64, 244, 74, Dark},
    Shape{Kind::Line, 244, 74, 236, 84, Ink},
};

inline constexpr Shape SetHolder[] = {
    // The rail and the carriage with its opening.
    Shape{Kind::Line, 10, 140, 310, 140, Dark},
    Shape{Kind::FilledBox, 110, 110, 210, 170, Body},
    Shape{Kind::FilledBox, 148, 110, 172, 124, Paper},
    // The holder with its cap, lowered into the opening.
    OSA_HOLDER(0, -40, true),
    OSA_CAP(0, 40, Red, true),
};

// The cutter seen from above: its body, the two pinch rollers in its front
// edge, and the guide line the medium's right edge follows.
// clang-format off
#define OSA_CUTTER_FROM_ABOVE                                                    \
    Shape{Kind::FilledBox, 30, 20, 290, 74, Body},                               \
    Shape{Kind::Line, 30, 74, 290, 74, Ink},                                     \
    Shape{Kind::FilledCircle, 84, 74, 6, 0, Dark},                               \
    Shape{Kind::FilledCircle, 256, 74, 6, 0, Dark},                              \
    Shape{Kind::Line, 262, 74, 262, 176, Guide}
// A sheet with registration marks in three corners, right edge at x.
#define OSA_SHEET(x, y, m)                                                       \
    Shape{Kind::FilledBox, (x) - 180, (y), (x), (y) + 90, Paper, m},             \
    Shape{Kind::Line, (x) - 172, (y) + 8, (x) - 160, (y) + 8, Ink, m},           \
    Shape{Kind::Line, (x) - 172, (y) + 8, (x) - 172, (y) + 20, Ink, m},          \
    Shape{Kind::Line, (x) - 8, (y) + 8, (x) - 20, (y) + 8, Ink, m},              \
    Shape{Kind::Line, (x) - 8, (y) + 8, (x) - 8, (y) + 20, Ink, m},              \
    Shape{Kind::Line, (x) - 172, (y) + 82, (x) - 160, (y) + 82, Ink, m},         \
    Shape{Kind::Line, (x) - 172, (y) + 82, (x) - 172, (y) + 70, Ink, m}
// clang-format on

inline constexpr Shape AlignMedium[] = {
    OSA_CUTTER_FROM_ABOVE,
    OSA_SHEET(244, 84, true),
    Shape{Kind::Arrow, 200, 130, 240, 130, Guide},
};

inline constexpr Shape FeedMedium[] = {
    OSA_SHEET(262, 84, true),
    // Drawn after the sheet, so that the part already taken in disappears.
    OSA_CUTTER_FROM_ABOVE,
    Shape{Kind::Arrow, 50, 160, 50, 96, Ink},
};

inline constexpr Shape Ready[] = {
    OSA_SHEET(262, 60, false),
    OSA_CUTTER_FROM_ABOVE,
    Shape{Kind::Line, 120, 130, 140, 150, Green},
    Shape{Kind::Line, 140, 150, 180, 106, Green},
};

#undef OSA_HOLDER
#undef OSA_CAP
#undef OSA_CUTTER_FROM_ABOVE
#undef OSA_SHEET

} // namespace scene

inline constexpr Step Steps[] = {
    {"Switch the cutter on",
     "Connect the cutter to the computer with the USB cable and press its standby key. The "
     "LED lights when the cutter is ready.",
     1016,
     {},
     0,
     0,
     1},
    {"Choose the blade adjustment cap",
     "Take the cap that the controller names for your medium: from the left Blue, Yellow or "
     "Red. The ball-point pen on the right is used without a cap.",
     0, scene::ChooseCap, 0, 0, 1},
    {"Mount the cap",
     "Put the cap on the top of the blade holder and screw it on clockwise until it stops.", 0,
     scene::MountCap, 0, 5, 7},
    {"Set the blade holder",
     "Set the blade holder with its cap into the opening of the carriage and push it down "
     "until it sits firmly.",
     0, scene::SetHolder, 0, 5, 9},
    {"Align the medium",
     "Lay the medium in front of the cutter, printed side up, with its right edge along the "
     "guide line.",
     0, scene::AlignMedium, 3, 0, 7},
    {"Feed the medium",
     "Push the medium straight under the pinch rollers until the cutter takes it in. If "
     "\"Feed this side first.\" is printed on the medium, feed that side first.",
     0, scene::FeedMedium, 0, -5, 9},
    {"Ready to cut",
     "The medium lies flat and straight under both rollers. Close this window and go on in "
     "the controller.",
     0, scene::Ready, 0, 0, 1},
};

inline constexpr int StepCount = static_cast<int>(std::size(Steps));

// How far the moving shapes of `step` are shifted in `frame`.
constexpr int OffsetX(const Step& step, int frame) {
    return step.dx * (frame % step.frames);
}
constexpr int OffsetY(const Step& step, int frame) {
    return step.dy * (frame % step.frames);
}

} // namespace osa::companion
