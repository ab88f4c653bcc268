// The one OK/Cancel question box of the controller. Captioned "Check"
// (string 2003), it asks before a test cut, a manual mark reading, the mark
// reading test, a cut without read marks, the Calibration dialog and the
// update of an existing user medium.
#pragma once

#include "platform/window_host.h"

namespace osa {

// The questions, by string number.
namespace confirm {
inline constexpr int TestCut = 2100;         // test cut at the blade position
inline constexpr int ManualMarkRead = 2101;  // mark reading at the blade position
inline constexpr int MarkReadingTest = 2102; // Calibration: mark reading test
inline constexpr int CutWithoutMarks = 2103; // marks could not be read; cut anyway?
inline constexpr int Calibration = 2104;     // notice before the Calibration dialog
inline constexpr int UpdateMedium = 2105;    // a user medium of that name exists
} // namespace confirm

// Shows the text of string `stringId` (2100 to 2105) with OK and Cancel,
// owned by `owner`; blocks until the user answers. The icon is the
// information icon for 2104 and the question mark for every other id.
// True only when the user pressed OK.
bool ConfirmBox(Window owner, int stringId);

} // namespace osa
