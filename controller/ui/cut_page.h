// The cut settings page (template 11): the child page of the main window
// with the cutting conditions, the design orientation, the registration
// marks and the blade position pad. Every setting the cutter holds is sent
// the moment the user changes it.
#pragma once
#include <cstdint>

#include "common/result_code.h"
#include "platform/window_host.h"

namespace osa {

// The page's dialog procedure; its WM_INITDIALOG runs InitCutSettingsPage.
std::intptr_t CutSettingsPageProc(Window page, const DialogMessage& message);

// The registration-mark reading of button 5109 on the run's page, also run
// by StartCut.
[[nodiscard]] ResultCode ReadRegistrationMarks();

} // namespace osa
