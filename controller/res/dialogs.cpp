// The dialog templates and the picture numbers. Each template lists its
// controls in creation order, which is also the tab order; rectangles are in
// dialog units relative to the dialog's client area. Every control the
// program addresses is given by its name (control_ids.h, resource_ids.h;
// IDOK and IDCANCEL as window_host.h has them); the others keep their
// numbers, and the bitmaps theirs, so that each row reads like a line of a
// resource script.
//
// Pop-up dialogs have no position of their own (the owner or the dialog
// manager places them). Templates 12, 13, 14 and 17 are as large as their
// controls plus the 7-unit margin they keep at the left and the top.
//
// A drop-down list's height is the height of its open list, which may reach
// past the dialog's bottom edge; the closed box is one line high.
//
// Push buttons, edits, check boxes, lists and scroll bars are tab stops, and
// so is the first button of each radio group (the arrow keys move on from
// it), so that Tab reaches every control a user can change; on the page
// (template 11) the flags of each control are given one by one.
#include "controller/res/resources.h"

#include "controller/res/control_ids.h"
#include "controller/res/resource_ids.h"
#include "platform/window_host.h"

namespace osa::res {

namespace {

using enum ControlClass;

constexpr ControlTemplate Ctl(int id, ControlClass cls, std::uint32_t style, std::string_view text,
                              DluRect rect) {
    return ControlTemplate{id, cls, style, text, 0, rect};
}

// What each picture shows, in a few words: the text assistive technology
// reads for it (a picture control shows its resource, never this text).
constexpr std::string_view Described(int resource) {
    switch (resource) {
    case 1000: return "The cutter with the sheet loaded, design landscape";
    case 1001: return "The cutter with the sheet loaded, design portrait";
    case 1003: return "The cutter with the sheet loaded, design landscape with registration marks";
    case 1005: return "The cutter with the sheet loaded, design portrait with registration marks";
    case 1006: return "The mark sensor's light spot on a corner mark, with the X and Y corrections";
    case 1007: return "Pen";
    case 1014: return "Pen, not in use";
    case 1009: return "Blade holder with the blue cap";
    case 1008: return "Blade holder with the blue cap, not in use";
    case 1011: return "Blade holder with the red cap";
    case 1010: return "Blade holder with the red cap, not in use";
    case 1013: return "Blade holder with the yellow cap";
    case 1012: return "Blade holder with the yellow cap, not in use";
    case 1016: return "The cutter's LED and standby key, and its USB cable to the computer";
    case 1500: return "Ostrandel Controller";
    case 1515: return "Warning";
    case 1521: return "Current step";
    case 1522: return "Step";
    default: return {};
    }
}

// A Picture (bitmap) or Icon control showing resource `resource`.
constexpr ControlTemplate Art(int id, ControlClass cls, std::uint32_t style, int resource,
                              DluRect rect) {
    return ControlTemplate{id, cls, style, Described(resource), resource, rect};
}

// The six step labels of the main window and the five ">" between them.
constexpr int StepLabel(int i) {
    return ctl::StepLabelFirst + i;
}
constexpr int Separator(int i) {
    return ctl::SeparatorFirst + i;
}

constexpr std::uint32_t LeftGroup = CsLeft | CsGroup;
constexpr std::uint32_t RightGroup = CsRight | CsGroup;
constexpr std::uint32_t CenterGroup = CsCenter | CsGroup;

constexpr std::uint32_t ModalPopup = DsPopup | DsCaption | DsSysMenu | DsModalFrame;

// 10: the main window. The page (template 11) sits in the black frame; from
// y = 263 down lies the guide panel, whose invisible frame 5011 gives the
// height that hiding the guide takes off the window. The step message
// (5167) starts just under the step title and reaches the message area's
// bottom margin, so that the longest message fits at the dialog font's size.
constexpr ControlTemplate MainControls[] = {
    Ctl(ctl::GuideToggle, PushButton, CsTabStop, "Hide the operation guide.", {320, 6, 103, 16}),
    Ctl(ctl::TitleLine, Static, CsLeft, "Static", {6, 8, 243, 11}),
    Ctl(NoId, BlackFrame, CsNone, "", {4, 27, 419, 232}),
    Ctl(StepLabel(0), Static, CsCenter, "Media Type", {6, 267, 45, 9}),
    Ctl(Separator(0), Static, CsCenter, ">", {51, 267, 8, 9}),
    Ctl(StepLabel(1), Static, CsCenter, "Blade adjustment cap", {59, 267, 82, 9}),
    Ctl(Separator(1), Static, CsCenter, ">", {142, 267, 8, 9}),
    Ctl(StepLabel(2), Static, CsCenter, "Design Orientation", {151, 267, 69, 9}),
    Ctl(Separator(2), Static, CsCenter, ">", {222, 267, 8, 9}),
    Ctl(StepLabel(3), Static, CsCenter, "Media loading", {231, 267, 52, 9}),
    Ctl(Separator(3), Static, CsCenter, ">", {285, 267, 8, 9}),
    Ctl(StepLabel(4), Static, CsCenter, "Registration Marks", {294, 267, 70, 9}),
    Ctl(Separator(4), Static, CsCenter, ">", {366, 267, 8, 9}),
    Ctl(StepLabel(5), Static, CsCenter, "Start cutting", {374, 267, 48, 9}),
    Ctl(ctl::GuidePanelFrame, BlackFrame, CsHidden, "", {0, 263, 427, 94}),
    Ctl(ctl::MessageArea, Static, CsNone, "", {4, 282, 318, 70}),
    Ctl(ctl::StepTitle, Static, CsLeft, "Title", {7, 284, 310, 11}),
    Ctl(ctl::StepMessage, Static, CsNone, "Message", {7, 297, 310, 53}),
    Ctl(ctl::PreviousButton, PushButton, CsTabStop, "<< Previous", {328, 335, 42, 18}),
    Ctl(ctl::NextButton, PushButton, CsTabStop, "Next >>", {373, 335, 42, 18}),
};

// 11: the cut settings page, a child of the main window in its frame.
constexpr ControlTemplate PageControls[] = {
    Ctl(ctl::MediaList, DropDownList, CsVScroll | CsTabStop, "", {54, 5, 168, 319}),
    Ctl(ctl::AdjustSettings, AutoCheckBox, CsTabStop, "Adjust Settings", {54, 25, 61, 10}),
    Ctl(ctl::AddMedia, PushButton, CsTabStop, "Add Media", {134, 23, 87, 14}),
    Ctl(ctl::TrackEnhancing, AutoCheckBox, CsTabStop, "Track Enhancing", {54, 84, 156, 10}),
    Ctl(ctl::Landscape, AutoRadioButton, CsGroup | CsTabStop, "Landscape", {8, 140, 48, 10}),
    Ctl(ctl::Portrait, AutoRadioButton, CsNone, "Portrait", {60, 140, 38, 10}),
    Ctl(ctl::RegistrationMarks, AutoCheckBox, CsTabStop, "Registration Marks", {109, 116, 92, 10}),
    Ctl(ctl::SearchMarks, AutoCheckBox, CsTabStop, "Search Registration Mark", {113, 131, 94, 10}),
    Ctl(ctl::DistanceX, Edit, CsBorder | CsTabStop, "", {149, 165, 33, 14}),
    Ctl(ctl::DistanceY, Edit, CsBorder | CsTabStop, "", {149, 181, 33, 14}),
    Ctl(ctl::UnitMm, AutoRadioButton, CsGroup | CsTabStop, "mm", {123, 200, 26, 10}),
    Ctl(ctl::UnitInch, AutoRadioButton, CsNone, "inch", {161, 200, 30, 10}),
    Ctl(ctl::ReadMarks, PushButton, CsTabStop, "Registration mark reading", {113, 213, 87, 14}),
    Ctl(ctl::UseKeyboard, AutoCheckBox, CsPushLike | CsTabStop, "Use Keyboard", {218, 213, 87, 14}),
    Ctl(ctl::AnimatedInstructions, PushButton, CsTabStop, "Animated Instructions",
        {324, 96, 87, 18}),
    Ctl(ctl::About, PushButton, CsTabStop, "About...", {324, 117, 87, 18}),
    Ctl(ctl::Help, PushButton, CsTabStop, "Help...", {324, 138, 42, 18}),
    Ctl(ctl::Calibration, PushButton, CsTabStop, "Calibration...", {369, 138, 42, 18}),
    Ctl(ctl::CancelButton, PushButton, CsTabStop, "Cancel", {324, 166, 87, 18}),
    Ctl(ctl::CutButton, PushButton, CsTabStop, "Cut...", {324, 194, 87, 33}),
    Ctl(NoId, BlackFrame, CsNone, "", {0, 0, 313, 108}),
    Ctl(ctl::MediaLabel, Static, CsLeft | CsCenterVertically | CsGroup, "Media Type",
        {6, 5, 43, 12}),
    Ctl(NoId, BlackFrame, CsNone, "", {316, 0, 103, 232}),
    Ctl(NoId, BlackFrame, CsNone, "", {210, 111, 103, 121}),
    Ctl(1189, BlackFrame, CsNone, "", {105, 111, 103, 121}),
    Ctl(NoId, BlackFrame, CsNone, "", {0, 168, 103, 64}),
    Ctl(1188, BlackFrame, CsNone, "", {0, 111, 103, 55}),
    Art(ctl::FigureLandscape, Picture, CsNone, 1000, {324, 8, 87, 95}),
    Art(ctl::FigurePortrait, Picture, CsNone, 1001, {324, 8, 87, 95}),
    Art(ctl::FigureMarksLandscape, Picture, CsNone, 1003, {324, 8, 87, 95}),
    Art(ctl::FigureMarksPortrait, Picture, CsNone, 1005, {324, 8, 87, 95}),
    Art(ctl::CapFigureRed, Picture, CsHidden, 1011, {6, 25, 39, 62}),
    Art(ctl::CapFigureBlue, Picture, CsHidden, 1009, {6, 25, 39, 62}),
    Art(ctl::CapFigureYellow, Picture, CsHidden, 1013, {6, 25, 39, 62}),
    Art(ctl::CapFigurePen, Picture, CsHidden, 1007, {6, 25, 39, 62}),
    Ctl(ctl::SpeedCaption, Static, RightGroup, "Speed:", {51, 49, 36, 8}),
    Ctl(ctl::SpeedNumber, Static, LeftGroup, "ST1", {91, 49, 12, 8}),
    Ctl(ctl::SlowLabel, Static, RightGroup, "Slow", {103, 49, 17, 8}), // widened to the left to fit
    Ctl(ctl::SpeedBar, HScrollBar, CsTabStop, "", {124, 47, 108, 11}),
    Ctl(ctl::SpeedBottom, Static, CenterGroup, "1", {136, 39, 10, 8}),
    Ctl(ctl::SpeedTop, Static, CenterGroup, "10", {210, 39, 12, 8}),
    Ctl(ctl::FastLabel, Static, LeftGroup, "Fast", {236, 49, 15, 8}),
    Ctl(ctl::ThicknessCaption, Static, RightGroup, "Thickness:", {51, 71, 36, 8}),
    Ctl(ctl::ThicknessNumber, Static, LeftGroup, "ST2", {91, 71, 12, 8}),
    Ctl(ctl::ThinLabel, Static, RightGroup, "Thin", {105, 71, 15, 8}),
    Ctl(ctl::ThicknessBar, HScrollBar, CsTabStop, "", {124, 69, 108, 11}),
    Ctl(ctl::ThicknessBottom, Static, CenterGroup, "1", {136, 61, 10, 8}),
    Ctl(ctl::ThicknessTop, Static, CenterGroup, "30", {210, 61, 12, 8}),
    Ctl(ctl::ThickLabel, Static, LeftGroup, "Thick ", {236, 71, 22, 8}),
    Ctl(ctl::CapLine, Static, LeftGroup,
        "Blade adjustment cap : Mount the *** cap on the blade holder.", {8, 96, 233, 8}),
    Art(ctl::CapFigurePenGrey, Picture, CsHidden, 1014, {6, 25, 39, 62}),
    Art(ctl::CapFigureRedGrey, Picture, CsHidden, 1010, {6, 25, 39, 62}),
    Art(ctl::CapFigureBlueGrey, Picture, CsHidden, 1008, {6, 25, 39, 62}),
    Art(ctl::CapFigureYellowGrey, Picture, CsHidden, 1012, {6, 25, 39, 62}),
    Ctl(ctl::TestCutLabel, Static, LeftGroup, "Test Cut", {266, 60, 30, 8}),
    Ctl(ctl::Orientation, Static, LeftGroup, "Design Orientation", {6, 118, 72, 8}),
    Ctl(ctl::SetOrigin, Static, LeftGroup, "Set Origin", {6, 174, 73, 8}),
    Ctl(ctl::DistanceCaption, Static, LeftGroup, "Distance Between\n  Registration Marks",
        {113, 146, 80, 17}),
    Ctl(ctl::WidthLabel, Static, RightGroup, "Width:", {115, 168, 31, 8}),
    Ctl(ctl::UnitLabelX, Static, LeftGroup, "Unit", {185, 168, 14, 8}),
    Ctl(ctl::LengthLabel, Static, RightGroup, "Length:", {115, 185, 31, 8}),
    Ctl(ctl::UnitLabelY, Static, LeftGroup, "Unit", {185, 185, 14, 8}),
    Ctl(ctl::BladePosition, Static, LeftGroup, "Blade Position", {216, 116, 73, 8}),
    Art(ctl::CapActiveIcon, Icon, CsNone, ids::IconCapActive, {4, 86, 20, 20}),
    Art(ctl::CapInactiveIcon, Icon, CsNone, ids::IconCapInactive, {4, 86, 20, 20}),
};

// 12: Calibration. No system menu, so the caption has no close button.
// Size: controls reach (168, 230).
constexpr ControlTemplate CalibrationControls[] = {
    Ctl(mb::IdOk, DefPushButton, CsTabStop, "Close", {116, 216, 50, 14}),
    Ctl(NoId, GroupBox, CsNone, "Registration Mark Sensor Position Correction", {7, 7, 161, 163}),
    // Wider than specified ({49, 20, 102, 8}), so that the line fits whole.
    Ctl(NoId, Static, CsNone, "1 step: 0.05 mm ( 0.00197 inch )", {22, 20, 140, 8}),
    Ctl(NoId, Static, CsNone, "-", {67, 34, 8, 8}),
    Ctl(5114, Static, CsNone, "Value_Y", {100, 34, 32, 8}),
    Ctl(NoId, Static, CsNone, "+", {144, 34, 8, 8}),
    Ctl(5131, HScrollBar, CsTabStop, "", {64, 45, 87, 11}),
    Ctl(5112, Static, CsNone, "Vaue_X", {17, 99, 30, 8}),
    Ctl(NoId, Static, CsNone, "-", {40, 66, 8, 8}),
    Ctl(NoId, Static, CsNone, "+", {40, 132, 8, 8}),
    Ctl(5130, VScrollBar, CsTabStop, "", {49, 63, 10, 79}),
    Art(NoId, Picture, CsNone, 1006, {65, 63, 74, 87}),
    Ctl(5110, PushButton, CsTabStop, "Registration Mark Reading Test", {48, 148, 107, 14}),
    Ctl(NoId, GroupBox, CsNone, "Distance Correction", {7, 173, 82, 38}),
    Ctl(NoId, Static, CsNone, "Media Feed\n Direction:", {10, 186, 42, 18}),
    // Auto-scrolling, so that no typed character is refused for want of width.
    Ctl(5105, Edit, CsBorder | CsLeft | CsAutoHScroll | CsTabStop, "", {53, 187, 21, 14}),
    Ctl(NoId, Static, CsNone, "%", {78, 191, 8, 8}),
    Ctl(NoId, GroupBox, CsNone, "Blade Position", {97, 173, 71, 38}),
    Ctl(ctl::CalibrationUseKeyboard, AutoCheckBox, CsPushLike | CsTabStop, "Use Keyboard", {106, 185, 54, 20}),
    Ctl(5137, PushButton, CsTabStop, "Help...", {7, 216, 50, 14}),
};

// 13: About. The version line is replaced at run time; the notice is ours.
// Size: controls reach (245, 44).
constexpr ControlTemplate AboutControls[] = {
    Ctl(mb::IdOk, DefPushButton, CsTabStop, "OK", {195, 7, 50, 14}),
    Art(NoId, Icon, CsNone, ids::IconProgram, {15, 16, 21, 23}),
    Ctl(ctl::VersionLine, Static, CsNone, "Ostrandel ******** Controller Version *.**",
        {45, 10, 149, 8}),
    Ctl(NoId, Static, CsNone, "Copyright (C) 2026 Ostrandel", {45, 23, 116, 8}),
    Ctl(NoId, Static, CsNone, "All rights reserved.", {45, 36, 69, 8}),
};

// 14: Add Media. The four cap pictures share one place; the dialog shows
// the one of the chosen cap (never the pen). Size: controls reach (297, 79)
// with the cap list closed.
constexpr ControlTemplate AddMediaControls[] = {
    Art(5161, Picture, CsNone, 1013, {7, 7, 33, 57}),
    Art(5160, Picture, CsNone, 1009, {7, 7, 33, 57}),
    Art(5162, Picture, CsNone, 1011, {7, 7, 33, 57}),
    Art(5151, Picture, CsNone, 1007, {7, 7, 33, 57}),
    Ctl(NoId, Static, CsNone, "Media Type", {50, 7, 43, 13}),
    Ctl(5169, Edit, CsBorder | CsAutoHScroll | CsTabStop, "", {96, 7, 152, 14}),
    Ctl(5168, DropDownList, CsVScroll | CsTabStop, "", {7, 65, 40, 73}),
    Ctl(5158, Static, CsRight, "Speed:", {51, 34, 35, 8}),
    Ctl(5172, Static, CsNone, "ST1", {90, 34, 12, 8}),
    Ctl(NoId, Static, CsRight, "Slow", {104, 34, 16, 8}),
    Ctl(5170, HScrollBar, CsTabStop, "", {123, 32, 108, 12}),
    Ctl(NoId, Static, CsCenter, "1", {134, 24, 10, 8}),
    Ctl(NoId, Static, CsCenter, "10", {208, 24, 12, 8}),
    Ctl(NoId, Static, CsNone, "Fast", {234, 34, 16, 8}),
    Ctl(5159, Static, CsRight, "Thickness:", {49, 56, 37, 8}),
    Ctl(5174, Static, CsNone, "ST2", {90, 56, 12, 8}),
    Ctl(NoId, Static, CsRight, "Thin", {106, 56, 14, 8}),
    Ctl(5171, HScrollBar, CsTabStop, "", {123, 54, 108, 12}),
    Ctl(NoId, Static, CsCenter, "1", {134, 46, 10, 8}),
    Ctl(1187, Static, CsCenter, "30", {208, 46, 12, 8}),
    Ctl(NoId, Static, CsNone, "Thick ", {234, 56, 22, 8}),
    Ctl(mb::IdOk, DefPushButton, CsTabStop, "OK", {257, 7, 40, 14}),
    Ctl(mb::IdCancel, PushButton, CsTabStop, "Cancel", {257, 23, 40, 14}),
};

// 15: the communication-error box: the message, a drawing of the cutter with
// its standby key, LED and cable, and the warning icon.
constexpr ControlTemplate CommErrorControls[] = {
    Ctl(mb::IdOk, PushButton, CsTabStop, "OK", {81, 140, 50, 14}),
    Ctl(ids::CommErrorText, Static, CsNone, "", {26, 8, 173, 32}),
    Art(NoId, Picture, CsNone, ids::BitmapCommError, {30, 45, 161, 101}),
    Art(NoId, Icon, CsNone, ids::IconWarning, {2, 13, 21, 23}),
};

// 17: Media loading. The four figures share one place; the dialog shows the
// one for the marks and the orientation. Size: controls reach (303, 102).
constexpr ControlTemplate MediaLoadingControls[] = {
    Art(ctl::FigureMarksLandscape, Picture, CsNone, 1003, {7, 7, 87, 95}),
    Art(ctl::FigureMarksPortrait, Picture, CsNone, 1005, {7, 7, 87, 95}),
    Ctl(ctl::LoadingText, Static, CsSunken, "Static", {103, 7, 142, 80}),
    Ctl(5164, Static, CsNone, "Load the media in the direction as shown in this figure.",
        {7, 93, 273, 9}),
    Ctl(mb::IdOk, DefPushButton, CsTabStop, "OK", {253, 7, 50, 14}),
    Art(ctl::FigureLandscape, Picture, CsNone, 1000, {7, 7, 87, 95}),
    Art(ctl::FigurePortrait, Picture, CsNone, 1001, {7, 7, 87, 95}),
};

constexpr DialogTemplate Templates[] = {
    {ids::DlgMain,
     "Ostrandel Controller",
     ModalPopup | DsMinimizeBox | DsCentre | DsSetForeground,
     "MS Sans Serif",
     8,
     {0, 0, 427, 357},
     MainControls},
    {ids::DlgCutSettings,
     "",
     DsChild | DsVisible | DsControlParent,
     "MS Sans Serif",
     8,
     {4, 27, 419, 232},
     PageControls},
    {ids::DlgCalibration,
     "Calibration",
     DsPopup | DsCaption | DsModalFrame,
     "MS Sans Serif",
     8,
     {0, 0, 175, 237},
     CalibrationControls},
    {ids::DlgAbout,
     "About Ostrandel Controller",
     ModalPopup,
     "MS Sans Serif",
     8,
     {0, 0, 252, 51},
     AboutControls},
    {ids::DlgAddMedia,
     "Add Media",
     ModalPopup,
     "MS Sans Serif",
     8,
     {0, 0, 304, 86},
     AddMediaControls},
    {ids::DlgCommError,
     "Ostrandel Controller",
     ModalPopup | DsCentre,
     "MS Sans Serif",
     8,
     {0, 0, 210, 161},
     CommErrorControls},
    {ids::DlgMediaLoading,
     "Media loading",
     ModalPopup,
     "MS Sans Serif",
     8,
     {0, 0, 310, 109},
     MediaLoadingControls},
};

// Loading figures, the Calibration figure, cap figures (coloured and grey)
// and the cutter drawing of the communication-error box.
constexpr int BitmapIds[] = {1000, 1001, 1003, 1005, 1006, 1007, 1008,
                             1009, 1010, 1011, 1012, 1013, 1014, 1016};

// The program icon; the pad's buttons in their normal, pressed and disabled
// looks (1501 to 1513, 1516 to 1520); the warning icon; the cap-line markers.
constexpr int IconIds[] = {ids::IconProgram,           ids::IconPadTestCut,
                           ids::IconPadTestCutPressed, ids::IconPadLeft,
                           ids::IconPadLeftPressed,    ids::IconPadUp,
                           ids::IconPadUpPressed,      ids::IconPadRight,
                           ids::IconPadRightPressed,   ids::IconPadDown,
                           ids::IconPadDownPressed,    ids::IconPadOrigin,
                           ids::IconPadOriginPressed,  ids::IconPadOriginDisabled,
                           ids::IconWarning,           ids::IconPadTestCutDisabled,
                           ids::IconPadDownDisabled,   ids::IconPadLeftDisabled,
                           ids::IconPadRightDisabled,  ids::IconPadUpDisabled,
                           ids::IconCapActive,         ids::IconCapInactive};

} // namespace

const DialogTemplate* FindDialogTemplate(int id) {
    for (const DialogTemplate& t : Templates)
        if (t.id == id) return &t;
    return nullptr;
}

std::span<const DialogTemplate> AllDialogTemplates() {
    return Templates;
}

std::span<const int> AllBitmapIds() {
    return BitmapIds;
}

std::span<const int> AllIconIds() {
    return IconIds;
}

} // namespace osa::res
