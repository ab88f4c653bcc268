// Numbers shared by the dialog procedures and every window host: dialog
// templates, control identifiers, strings, icons and bitmaps.
#pragma once

namespace osa::ids {

// Dialog templates.
inline constexpr int DlgMain = 10;
inline constexpr int DlgCutSettings = 11;
inline constexpr int DlgCalibration = 12;
inline constexpr int DlgAbout = 13;
inline constexpr int DlgAddMedia = 14;
inline constexpr int DlgCommError = 15;
inline constexpr int DlgMediaLoading = 17;

// Controls of the communication-error box.
inline constexpr int CommErrorText = 5177;

// Strings.
inline constexpr int StrCaption = 2000; // "Ostrandel Controller"
inline constexpr int StrCalibration = 2001;
inline constexpr int StrAddMedia = 2002;
inline constexpr int StrCheck = 2003;         // caption of ConfirmBox
inline constexpr int StrVersionPrefix = 2050; // "Ostrandel Ver."
inline constexpr int StrVersionLine = 2053;
inline constexpr int StrDemoV1 = 2055;
inline constexpr int StrDemoV2 = 2056;
inline constexpr int StrStepTitleFirst = 2300; // "Step1:Media Type" .. "Step6:Start cutting"
inline constexpr int StrStepTitleLast = 2305;
inline constexpr int StrStepMessageFirst = 2310; // the guide's step messages
inline constexpr int StrStepMessageLast = 2317;

// Icons and bitmaps.
inline constexpr int IconProgram = 1500;
inline constexpr int IconWarning = 1515;
inline constexpr int BitmapCommError = 1016;

// The position pad's buttons: normal, pressed and disabled looks.
inline constexpr int IconPadTestCut = 1501;
inline constexpr int IconPadTestCutPressed = 1502;
inline constexpr int IconPadTestCutDisabled = 1516;
inline constexpr int IconPadLeft = 1503;
inline constexpr int IconPadLeftPressed = 1504;
inline constexpr int IconPadLeftDisabled = 1518;
inline constexpr int IconPadUp = 1505;
inline constexpr int IconPadUpPressed = 1506;
inline constexpr int IconPadUpDisabled = 1520;
inline constexpr int IconPadRight = 1507;
inline constexpr int IconPadRightPressed = 1508;
inline constexpr int IconPadRightDisabled = 1519;
inline constexpr int IconPadDown = 1509;
inline constexpr int IconPadDownPressed = 1510;
inline constexpr int IconPadDownDisabled = 1517;
inline constexpr int IconPadOrigin = 1511;
inline constexpr int IconPadOriginPressed = 1512;
inline constexpr int IconPadOriginDisabled = 1513;

// The markers of the page's cap line: its step is on, or not.
inline constexpr int IconCapActive = 1521;
inline constexpr int IconCapInactive = 1522;

} // namespace osa::ids
