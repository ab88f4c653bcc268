// The animated-instructions companion program: started beside the controller
// by the page's "Animated Instructions" button, kept above other windows, and
// asked to close when the controller ends. It runs as an independent process;
// the controller never waits for it to end.
//
// State in AppState: companionProcess (the copy last started, all zero when
// none) and companionWindow (its top-level window, 0 when none was found).
// The program's path is companionCommand, filled when the program paths are
// resolved at start-up.
#pragma once

#include "common/result_code.h"

namespace osa {

// Forgets any companion: the process record becomes all zero. Called when the
// main window opens.
void ClearCompanionProcess();

// Brings the running companion to the front, or starts a new copy when none
// runs (never started, or ended by the user) and brings its window to the
// front. Returns 0, or 211 when the program cannot be started.
[[nodiscard]] ResultCode ShowAnimatedInstructions();

// Asks a running companion to close its window; then lets go of the process
// and forgets it. Does nothing when no companion was started. Does not wait.
void CloseAnimatedInstructions();

} // namespace osa
