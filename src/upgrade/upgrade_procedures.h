// The version upgrade procedures: after the suite's programs were replaced,
// the data that an older version left is brought up to date, step by step
// along a fixed list of threshold versions. Most steps ask a running server
// to convert its own data; the others edit the settings, the web server
// configuration or the folder layout.
//
// The progress of a run is kept in the configuration folder (see
// upgrade_progress.h), so that a run that was ended goes on at the first
// step that did not finish and no finished step runs again.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "config/settings_fields.h"
#include "upgrade/upgrade_effects.h"

inline constexpr int kUpgradeStepCount = 33;
inline constexpr uint32_t kUpgradeMessage = 0x500;
// wParam of the broadcast that makes the servers reread their configuration.
inline constexpr uint32_t kRefreshParameter = 0x101;
inline constexpr const char* kImapRulesPage = "/admin/tools/convert_imap_rules.html";
// Step 26 asks for the conversion only below both of these.
inline constexpr int32_t kImapRulesMaxDomains = 20;
inline constexpr int32_t kImapRulesMaxAccounts = 2000;

// One run over an installation. installPath ends in `\`.
class TUpgradeRun {
 public:
  TUpgradeRun(std::string installPath, TUpgradeEffects effects);

  // Runs the steps above previousVersion; always true. A record of an
  // earlier run that was ended takes precedence over previousVersion.
  bool Run(const std::string& previousVersion);

  // VersionAtLeast(previous, threshold), after RefreshServices.
  bool ReachedVersion(const std::string& previous, const std::string& threshold);
  // The broadcast to all servers; then the database library, when loaded,
  // closes its connection.
  void RefreshServices();
  // On the first call of the run: the configuration folder, the settings
  // loaded, the database library released.
  void LoadSettingsOnce();
  void ConvertImapRules();

  const std::string& ConfigPath() const { return configPath_; }

 private:
  void Request(int server, uint32_t wParam, uint32_t value);
  // False when the step's settings could not be saved.
  bool RunStep(int step);
  // Saves the settings after a step changed `changed` fields, recording
  // first what the save will leave in them.
  bool SaveChangedSettings(int step, const std::vector<const SettingsField*>& changed);
  void Record(int done);

  std::string installPath_;
  std::string configPath_;
  TUpgradeEffects effects_;
  bool settingsLoaded_ = false;
  std::string from_;       // the version the steps are measured against
  int done_ = 0;           // the last step that finished
  bool recorded_ = false;  // whether a progress record exists
};

// The run the installation calls, with the servers and the HTTP client.
bool RunUpgradeProcedures(const std::string& previousVersion, const std::string& installPath);
bool RunUpgradeProcedures(const std::string& previousVersion, const std::string& installPath,
                          const TUpgradeEffects& effects);

// Called by the installation before it records the new version: notes the
// version the upgrade starts from, so that a run ended before the procedures
// finished still converts the data next time. An existing record (of an
// upgrade that was ended earlier) is kept. False when it could not be written.
bool RecordUpgradeStart(const std::string& previousVersion, const std::string& installPath);

// With the servers of this machine.
bool ReachedVersion(const std::string& previousVersion, const std::string& threshold);
void RefreshServices();
void RefreshServices(const TUpgradeEffects& effects);

// Appends the PHP mappings to host 0 of the configuration folder's
// "webserver.dat": variant 0 "[webdav]" with its special path, variant 1
// ".php"; nothing when host 0 has one already or there is no file. True when
// the file was changed.
bool AddWebServerEntries(int variant);
bool AddWebServerEntries(int variant, const std::string& configFolder);

// The address of the conversion page on this installation's web port.
std::string ImapRulesAddress();
void ConvertImapRules();

// The accounts of a domain (any letter case), or of all domains for an empty
// name: the records of "users.cfg" for each domain of the table, or the
// database library's count in storage mode 2 (0 when it cannot be reached).
int32_t CountAccounts(const std::string& domain);
