#include "upgrade/upgrade_procedures.h"

#include <algorithm>
#include <array>
#include <optional>

#include "config/account_storage.h"
#include "config/database_library.h"
#include "config/domain_table.h"
#include "config/server_folders.h"
#include "config/settings_record.h"
#include "config/settings_store.h"
#include "config/web_server_config.h"
#include "platform/files.h"
#include "support/fields.h"
#include "support/setup_log.h"
#include "support/text.h"
#include "support/version.h"
#include "upgrade/upgrade_progress.h"

namespace field = settings_field;

namespace {

constexpr std::array<const char*, kUpgradeStepCount> kThresholds = {
    "7.1.3",   "7.4.6",   "7.4.7",   "7.6.1",   "7.6.3",   "7.7.2",    "8.2.10",
    "8.2.13",  "8.3.11",  "8.3.12",  "8.3.13",  "8.3.14",  "8.3.15",   "8.3.16",
    "8.3.17",  "8.5.2",   "8.5.2-9", "8.5.3",   "8.5.3-7", "8.5.3-11", "8.5.6-1",
    "8.5.6-2", "8.5.7-5", "8.5.7-6", "8.6.9",   "8.9.0-1", "8.9.2",    "8.9.3-4",
    "8.9.3-6", "8.9.3-8", "8.9.5-3", "8.9.7-6", "8.9.8-3",
};

constexpr int kSmtp = 0;
constexpr int kGroupWare = 4;

// 32-bit fields change in unsigned arithmetic: a value that overflows wraps
// as it does in the servers, instead of being undefined.
int32_t Multiplied(const SettingsField& which, uint32_t factor) {
  auto value = static_cast<uint32_t>(static_cast<int32_t>(Settings().Number(which)));
  return static_cast<int32_t>(value * factor);
}

// A plain rename: a missing source or an existing target leaves both as
// they are.
void MoveFolder(const std::string& source, const std::string& target) {
  platform::RenamePath(source, target);
}

std::string Folder(const std::string& path) {
  return path.empty() || path.back() == '\\' ? path : path + "\\";
}

}  // namespace

TUpgradeRun::TUpgradeRun(std::string installPath, TUpgradeEffects effects)
    : installPath_(Folder(installPath)),
      configPath_(installPath_ + "config\\"),
      effects_(std::move(effects)) {}

bool TUpgradeRun::ReachedVersion(const std::string& previous, const std::string& threshold) {
  RefreshServices();
  return VersionAtLeast(previous, threshold);
}

void TUpgradeRun::RefreshServices() {
  ::RefreshServices(effects_);
}

void TUpgradeRun::LoadSettingsOnce() {
  if (settingsLoaded_) return;
  settingsLoaded_ = true;
  TServerFolders& folders = ServerFolders();
  folders.InstallPath = installPath_;
  folders.ConfigPath = configPath_;
  LoadSettings(false, false);
  ReleaseDatabaseLibrary();
}

void TUpgradeRun::ConvertImapRules() {
  if (effects_.FetchPage) effects_.FetchPage(ImapRulesAddress());
}

void TUpgradeRun::Request(int server, uint32_t wParam, uint32_t value) {
  if (effects_.Notify) effects_.Notify(server, kUpgradeMessage, wParam, value);
}

void TUpgradeRun::Record(int done) {
  done_ = done;
  TUpgradeProgress progress;
  progress.From = from_;
  progress.Done = done;
  if (WriteUpgradeProgress(configPath_, progress))
    recorded_ = true;
  else
    WriteSetupLog("Upgrade: the progress of step " + std::to_string(done) +
                  " could not be recorded in " + configPath_ + kUpgradeProgressFileName);
}

bool TUpgradeRun::SaveChangedSettings(int step, const std::vector<const SettingsField*>& changed) {
  // Saving the same values twice does no harm: only changed fields need a
  // record of what the save leaves.
  if (changed.empty()) return SaveSettings(false, TReplaceMode::WholeOnly);
  TUpgradeProgress progress;
  progress.From = from_;
  progress.Done = done_;
  progress.Pending = step;
  for (const SettingsField* each : changed)
    progress.Expected.emplace_back(each, static_cast<int32_t>(Settings().Number(*each)));
  if (WriteUpgradeProgress(configPath_, progress)) recorded_ = true;
  return SaveSettings(false, TReplaceMode::WholeOnly);
}

bool TUpgradeRun::RunStep(int step) {
  SettingsRecord& settings = Settings();
  switch (step) {
    case 1:
      Request(kGroupWare, 0xF01, 0);
      Request(kSmtp, 2, 0);
      break;
    case 2:
      Request(kSmtp, 3, 1);
      Request(kSmtp, 4, 2);
      break;
    case 3:
      Request(kSmtp, 4, 3);
      Request(kSmtp, 4, 4);
      break;
    case 4:
      Request(kGroupWare, 0xF05, 5);
      break;
    case 5:
      Request(kGroupWare, 0xF05, 6);
      break;
    case 6:
      Request(kGroupWare, 0xF05, 8);
      break;
    case 7:
      Request(kSmtp, 2, 9);
      break;
    case 8:
      Request(kSmtp, 2, 10);
      break;
    case 9:
      Request(kSmtp, 4, 11);
      break;
    case 10:
      Request(kGroupWare, 0xF05, 12);
      break;
    case 11:
      Request(kGroupWare, 0xF05, 13);
      break;
    case 12:
      Request(kGroupWare, 0xF05, 14);
      break;
    case 13:
      Request(kSmtp, 4, 15);
      break;
    case 14:
      LoadSettingsOnce();
      if (settings.Number(field::BindSwitch) == 0) settings.SetText(field::BindAddresses, "");
      return SaveChangedSettings(step, {});
    case 15:
      Request(kSmtp, 4, 16);
      break;
    case 16:
      AddWebServerEntries(0, configPath_);
      Request(kSmtp, 4, 18);
      break;
    case 17:
      Request(kGroupWare, 0xF05, 19);
      break;
    case 18:
      LoadSettingsOnce();
      MoveFolder(configPath_ + "remotewatchdog", configPath_ + "_remotewatchdog\\");
      MoveFolder(configPath_ + "certs", configPath_ + "_certs\\");
      MoveFolder(Folder(settings.MailPath()) + "forward",
                 Folder(settings.MailPath()) + "_outgoing\\");
      break;
    case 19:
      Request(kGroupWare, 0xF05, 20);
      break;
    case 20:
      Request(kSmtp, 2, 21);
      break;
    case 21:
      Request(kSmtp, 2, 22);
      break;
    case 22:
      AddWebServerEntries(1, configPath_);
      break;
    case 23:
      LoadSettingsOnce();
      settings.SetNumber(field::HourTimeValue, Multiplied(field::HourTimeValue, 60));
      settings.SetNumber(field::DayTimeValue, Multiplied(field::DayTimeValue, 1440));
      return SaveChangedSettings(step, {&field::HourTimeValue, &field::DayTimeValue});
    case 24:
      LoadSettingsOnce();
      settings.SetNumber(field::SizeValue, Multiplied(field::SizeValue, 1024));
      return SaveChangedSettings(step, {&field::SizeValue});
    case 25:
      LoadSettingsOnce();
      settings.SetNumber(field::DnsQuery, 3);
      settings.SetNumber(field::DnsSwitch, 1);
      return SaveChangedSettings(step, {});
    case 26:
      LoadSettingsOnce();
      if (settings.DomainCount() < kImapRulesMaxDomains &&
          CountAccounts(std::string()) < kImapRulesMaxAccounts)
        ConvertImapRules();
      ReleaseDatabaseLibrary();
      break;
    case 27:
      Request(kGroupWare, 0xF05, 23);
      break;
    case 28:
      Request(kGroupWare, 0xF05, 24);
      break;
    case 29:
      Request(kGroupWare, 0xF05, 25);
      break;
    case 30:
      Request(kGroupWare, 0xF05, 26);
      break;
    case 31:
      Request(kSmtp, 4, 27);
      break;
    case 32:
      Request(kGroupWare, 0xF05, 28);
      break;
    default:  // 33: the check alone
      break;
  }
  return true;
}

bool TUpgradeRun::Run(const std::string& previousVersion) {
  settingsLoaded_ = false;
  from_ = previousVersion;
  done_ = 0;
  recorded_ = false;
  int first = 1;
  std::optional<TUpgradeProgress> progress = ReadUpgradeProgress(configPath_, kUpgradeStepCount);
  if (!progress && platform::PathExists(configPath_ + kUpgradeProgressFileName)) {
    WriteSetupLog("Upgrade: the progress record " + configPath_ + kUpgradeProgressFileName +
                  " cannot be read; the steps run from version \"" + from_ + "\"");
    RemoveUpgradeProgress(configPath_);
  }
  if (progress && progress->Done == kUpgradeStepCount) RemoveUpgradeProgress(configPath_);
  if (progress && progress->Done < kUpgradeStepCount) {
    from_ = progress->From;
    done_ = progress->Done;
    recorded_ = true;
    first = done_ + 1;
    // The start this installation recorded is no news; a run that was
    // ended before, or one told another version, is.
    if (done_ > 0 || progress->Pending > 0 || from_ != previousVersion)
      WriteSetupLog("Upgrade: going on from version \"" + from_ + "\" at step " +
                    std::to_string(first));
    // A step that was saving when the run ended: its save either happened
    // (the settings hold what it would write) or did not.
    if (progress->Pending == first && !progress->Expected.empty()) {
      LoadSettingsOnce();
      bool saved = std::all_of(progress->Expected.begin(), progress->Expected.end(),
                               [](const auto& expected) {
                                 return Settings().Number(*expected.first) == expected.second;
                               });
      if (saved) {
        Record(first);
        ++first;
      }
    }
  }
  for (int step = first; step <= kUpgradeStepCount; ++step) {
    if (ReachedVersion(from_, kThresholds[static_cast<size_t>(step - 1)])) continue;
    if (!RunStep(step)) {
      // Recorded as done, the conversion would be lost for good; left
      // pending, the next run makes it from the settings on disk.
      WriteSetupLog("Upgrade: step " + std::to_string(step) + " could not save the settings in " +
                    configPath_ + "; the next run goes on from it");
      return true;
    }
    if (effects_.StepPoint) effects_.StepPoint(step, false);
    Record(step);
    if (effects_.StepPoint) effects_.StepPoint(step, true);
  }
  if (recorded_) RemoveUpgradeProgress(configPath_);
  return true;
}

bool RunUpgradeProcedures(const std::string& previousVersion, const std::string& installPath) {
  return RunUpgradeProcedures(previousVersion, installPath, SystemUpgradeEffects());
}

bool RunUpgradeProcedures(const std::string& previousVersion, const std::string& installPath,
                          const TUpgradeEffects& effects) {
  TUpgradeRun run(installPath, effects);
  return run.Run(previousVersion);
}

bool RecordUpgradeStart(const std::string& previousVersion, const std::string& installPath) {
  const std::string config = Folder(installPath) + "config\\";
  if (ReadUpgradeProgress(config, kUpgradeStepCount)) return true;
  TUpgradeProgress progress;
  progress.From = previousVersion;
  return WriteUpgradeProgress(config, progress);
}

bool ReachedVersion(const std::string& previousVersion, const std::string& threshold) {
  RefreshServices();
  return VersionAtLeast(previousVersion, threshold);
}

void RefreshServices() {
  RefreshServices(SystemUpgradeEffects());
}

void RefreshServices(const TUpgradeEffects& effects) {
  if (effects.NotifyAll) effects.NotifyAll();
  if (DatabaseLibraryLoaded()) DatabaseDoneConnection();
}

bool AddWebServerEntries(int variant) {
  return AddWebServerEntries(variant, ServerFolders().ConfigPath);
}

bool AddWebServerEntries(int variant, const std::string& configFolder) {
  if (!LoadWebServerConfig(configFolder)) return false;
  TWebServerConfig& config = WebServerConfig();
  std::vector<TXMLObject*> hosts = config.Hosts();
  if (hosts.empty()) return false;
  TXMLObject& host = *hosts.front();
  if (variant == 0) {
    std::vector<std::string> titles = TWebServerConfig::MappingTexts(host, "TITLE");
    if (std::find(titles.begin(), titles.end(), "[webdav]") != titles.end()) return false;
    TWebServerConfig::AddMapping(host, {"", kIsapiHandler, "php\\php.dll", "[webdav]"});
    TWebServerConfig::AddSpecialPath(host, {"webdav/", "[webdav]", "webdav\\index.html"});
  } else {
    std::vector<std::string> extensions = TWebServerConfig::MappingTexts(host, "EXT");
    if (std::find(extensions.begin(), extensions.end(), ".php") != extensions.end()) return false;
    TWebServerConfig::AddMapping(host, {".php", kIsapiHandler, "php\\php.dll", ""});
  }
  return SaveWebServerConfig(configFolder);
}

std::string ImapRulesAddress() {
  std::string host = Trim(GetField(Settings().BindAddresses(), 0, ';'));
  if (host.empty()) host = "localhost";
  // An IPv6 address goes in brackets, or its colons would read as the port.
  if (host.find(':') != std::string::npos && host.front() != '[') host = "[" + host + "]";
  return "http://" + host + ":" + std::to_string(Settings().WebPort()) + kImapRulesPage;
}

void ConvertImapRules() {
  SystemUpgradeEffects().FetchPage(ImapRulesAddress());
}

int32_t CountAccounts(const std::string& domain) {
  const std::string name = LowerCase(domain);
  if (AccountsInDatabase()) {
    if (!ConnectDatabaseLibrary()) return 0;
    return std::max(0, DatabaseTotalUsers(name).value_or(0));
  }
  int64_t total = 0;
  for (const DomainRecord& record : Domains().Records) {
    if (!name.empty() && record.Name() != name) continue;
    std::string path = AccountsFilePath(record.Name());
    platform::File file;
    if (path.empty() || !file.Open(path, platform::FileMode::Read)) continue;
    try {
      total += static_cast<int64_t>(file.Size() / kAccountRecordSize);
    } catch (const platform::IoError&) {
    }
  }
  return static_cast<int32_t>(std::min<int64_t>(total, INT32_MAX));
}
