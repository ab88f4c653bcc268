// The one way the Win32 platform files include the Windows headers.
//
// <windows.h> defines the A/W switch macros MessageBox, DialogBox,
// CreateDialog and LoadString. The first three are also method names of
// osa::WindowHost, and LoadString is osa::res::LoadString: left defined, they
// would rename those declarations in every file that sees them. They are
// undefined here, and the platform files call the W functions by their full
// names (MessageBoxW, DialogBoxIndirectParamW, ...).
#pragma once

#include <windows.h>

#include <commctrl.h>

#undef MessageBox
#undef DialogBox
#undef CreateDialog
#undef LoadString
