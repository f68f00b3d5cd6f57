// The installation run: stop the servers, unpack and deploy the files,
// prepare or keep the configuration, put the suite into the shell, register
// and start the services, and bring an older installation's data up to date.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

class TMainForm;

// What the run hands to the parts that convert an older installation's data
// and seed a new one; each is left out when it is empty.
struct TRunOperations {
  // Notes the version an upgrade starts from before the new one is recorded,
  // so that a run ended before the procedures converts the data next time.
  std::function<void(const std::string& previousVersion, const std::string& installPath)>
      RecordUpgradeStart;
  std::function<void(const std::string& previousVersion, const std::string& installPath)>
      RunUpgradeProcedures;
  std::function<void()> CreateDemoAccounts;
  // Told of every caption and step, after the window.
  std::function<void(const std::string& caption)> ObserveCaption;
  std::function<void(int position, int maximum)> ObserveStep;
  // Told how long the check of the distribution took: the main archive's
  // unpacking (which the run needs anyway) and the reading through of the
  // others, in milliseconds.
  std::function<void(uint64_t unpackMs, uint64_t verifyMs)> ObserveDistributionCheck;
};

// The operations in use: the upgrade procedures and demo accounts of this
// build, unless a test gave others.
TRunOperations& RunOperations();

// The run on the main window's state and choices. Fatal errors and a
// cancel end the program from inside (EndProgram); an exception leaves it
// with what it changed for its duration put back.
void RunInstallation(TMainForm& form);

// Deletes what the components the administrator left out would have used.
struct TInstallerState;
void RemoveExcludedComponents(const TInstallerState& state);
