// Identifiers of the controls the main window, the cut settings page and
// the small dialogs work with. The templates in dialogs.cpp give their
// places and texts under the same names.
#pragma once
#include "platform/window_host.h"

namespace osa::ctl {

// Main window (template 10).
inline constexpr int StepLabelFirst = 5000; // 5000..5005, one per guide step
inline constexpr int StepLabelLast = 5005;
inline constexpr int SeparatorFirst = 5006; // the ">" between the labels, 5006..5010
inline constexpr int SeparatorLast = 5010;
inline constexpr int GuidePanelFrame = 5011;
inline constexpr int MessageArea = 5100;
inline constexpr int StepTitle = 5101;
inline constexpr int TitleLine = 5132;
inline constexpr int StepMessage = 5167;
inline constexpr int PreviousButton = 5182;
inline constexpr int NextButton = 5184;
inline constexpr int GuideToggle = 5190;

// Cut settings page (template 11).
inline constexpr int CutButton = mb::IdOk;        // "Cut...", "Close" outside cut mode
inline constexpr int CancelButton = mb::IdCancel; // cut mode only
inline constexpr int Help = 5102;
inline constexpr int MediaList = 5103;
inline constexpr int AdjustSettings = 5104;
inline constexpr int ThicknessBar = 5106;
inline constexpr int SpeedBar = 5107;
inline constexpr int RegistrationMarks = 5108;
inline constexpr int ReadMarks = 5109;
inline constexpr int DistanceX = 5111;
inline constexpr int DistanceY = 5113;
inline constexpr int UnitMm = 5115;
inline constexpr int UnitInch = 5116;
inline constexpr int UnitLabelX = 5117;
inline constexpr int UnitLabelY = 5118;
inline constexpr int Calibration = 5119;
inline constexpr int SlowLabel = 5120;
inline constexpr int FastLabel = 5121;
inline constexpr int ThinLabel = 5122;
inline constexpr int ThickLabel = 5123;
inline constexpr int DistanceCaption = 5124;
inline constexpr int WidthLabel = 5125;
inline constexpr int LengthLabel = 5126;
inline constexpr int Landscape = 5127;
inline constexpr int Portrait = 5128;
inline constexpr int SpeedNumber = 5133;
inline constexpr int SpeedCaption = 5134;
inline constexpr int ThicknessCaption = 5135;
inline constexpr int ThicknessNumber = 5136;
inline constexpr int UseKeyboard = 5141;
// "Use Keyboard" of the Calibration dialog (template 12).
inline constexpr int CalibrationUseKeyboard = 5142;
inline constexpr int SpeedBottom = 5143; // the scale's ends: "1" and "10"
inline constexpr int SpeedTop = 5144;
inline constexpr int ThicknessBottom = 5145;
inline constexpr int ThicknessTop = 5146;
inline constexpr int About = 5147;
inline constexpr int SearchMarks = 5157;
inline constexpr int TrackEnhancing = 5173;
inline constexpr int AddMedia = 5175;
inline constexpr int CapLine = 5176;
inline constexpr int CapActiveIcon = 5178;
inline constexpr int CapInactiveIcon = 5179;
inline constexpr int AnimatedInstructions = 5183;
inline constexpr int MediaLabel = 5185;
inline constexpr int TestCutLabel = 5186;
inline constexpr int Orientation = 5187;
inline constexpr int SetOrigin = 5188;
inline constexpr int BladePosition = 5189;

// The blade adjustment cap of the medium, coloured while its step is on,
// grey otherwise; all in one place.
inline constexpr int CapFigureRed = 5148;
inline constexpr int CapFigureBlue = 5149;
inline constexpr int CapFigureYellow = 5150;
inline constexpr int CapFigurePen = 5180;
inline constexpr int CapFigureRedGrey = 5152;
inline constexpr int CapFigureBlueGrey = 5154;
inline constexpr int CapFigureYellowGrey = 5155;
inline constexpr int CapFigurePenGrey = 5181;

// The four media-loading figures, in one place on the page and on the
// Media loading dialog (template 17).
inline constexpr int FigureLandscape = 5129;
inline constexpr int FigurePortrait = 5138;
inline constexpr int FigureMarksLandscape = 5139;
inline constexpr int FigureMarksPortrait = 5140;
inline constexpr int LoadingText = 5166;

// About dialog (template 13).
inline constexpr int VersionLine = 5147;

} // namespace osa::ctl
