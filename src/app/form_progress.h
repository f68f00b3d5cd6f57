// The installation run's progress on the main window: the caption label and
// the bar. The run's observers (RunOperations()) see the same.
#pragma once

#include "app/run_progress.h"

class TMainForm;

class TFormProgress : public TRunProgress {
 public:
  explicit TFormProgress(TMainForm& form) : form_(form) {}
  void SetProgressCaption(const std::string& text) override;
  void StepProgress() override;

 private:
  TMainForm& form_;
};
