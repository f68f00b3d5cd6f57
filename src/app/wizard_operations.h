// The operations of other parts of the installer that the wizard calls at
// fixed points: each one is a seam that its own part fills. An empty one is
// not built into this build.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

struct TApplicationWindows;

struct TWizardOperations {
  // The installation run, from the destination page.
  std::function<void(TApplicationWindows&)> RunInstallation;
  // The database dialog's connection test; false keeps the dialog open.
  std::function<bool(bool silent)> TestDatabaseConnection;
  // The finish actions: the switch to database storage (Advanced mode),
  // the configuration wizard, and the notice to a running server.
  std::function<void(const std::string& connection)> CreateDatabaseStorage;
  std::function<void(TApplicationWindows&)> RunConfigurationWizard;
  std::function<void(int server, uint32_t message, uintptr_t wParam, intptr_t lParam)> NotifyServer;
  // Told when Finish is pressed, before the finish actions.
  std::function<void(TApplicationWindows&)> Finishing;
};

TWizardOperations& WizardOperations();
