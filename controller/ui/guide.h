// The operation guide: six steps on the main window (media type, blade
// adjustment cap, design orientation, media loading, registration marks,
// start cutting), and the refresh operations that decide, from AppState
// alone, which of the page's step-dependent controls are enabled, shown and
// checked. Callers run them after every change that can affect that state.
#pragma once

namespace osa {

inline constexpr int StepCount = 6;

// One step back or forward (nothing at either end), then RefreshGuide.
void GuidePrevious();
void GuideNext();

// ShowStepText, RefreshMediaStep, RefreshOrientationStep,
// RefreshMarkControls, RefreshOriginButton, RefreshPositionPad,
// RefreshCutButton, in this order.
void RefreshGuide();
void ShowStepText();
void RefreshMediaStep();
void RefreshOrientationStep();
void RefreshMarkControls();
void RefreshOriginButton();
void RefreshPositionPad();
void RefreshCutButton();

} // namespace osa
