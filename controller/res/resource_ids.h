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

// Standard command identifiers.
inline constexpr int IdOk = 1;
inline constexpr int IdCancel = 2;

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

// Icons and bitmaps.
inline constexpr int IconProgram = 1500;
inline constexpr int IconWarning = 1515;
inline constexpr int BitmapCommError = 1016;

} // namespace osa::ids
