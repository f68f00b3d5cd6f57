// How the installation run shows where it is: the step caption and the
// progress bar. The run fills it from the main window; tests record it.
#pragma once

#include <string>

class TRunProgress {
 public:
  virtual ~TRunProgress() = default;
  // Shows the caption at once and lets the window handle pending input.
  virtual void SetProgressCaption(const std::string& text) = 0;
  // Advances the bar by one step.
  virtual void StepProgress() = 0;
};
