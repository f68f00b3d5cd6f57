#include "config/settings_store.h"

#include <algorithm>
#include <vector>

#include "config/config_locks.h"
#include "config/database_library.h"
#include "config/dns_server_list.h"
#include "config/domain_table.h"
#include "config/replace_file.h"
#include "config/server_folders.h"
#include "config/settings_record.h"
#include "config/settings_transform.h"
#include "platform/files.h"
#include "platform/system_info.h"
#include "support/file_io.h"
#include "support/paths.h"
#include "support/text.h"

namespace {

using namespace settings_field;

// Up to `limit` bytes from the file's current position.
std::vector<uint8_t> ReadUpTo(platform::File& file, size_t limit) {
  std::vector<uint8_t> bytes(limit);
  size_t filled = 0;
  while (filled < limit) {
    size_t got = file.Read(bytes.data() + filled, limit - filled);
    if (got == 0) break;
    filled += got;
  }
  bytes.resize(filled);
  return bytes;
}

// Reads the stored record over the in-memory one; bytes beyond a short file
// keep their values. A read error leaves the record untouched.
bool ReadSettingsFile(const std::string& path, SettingsRecord& record) {
  platform::File file;
  if (!file.Open(path, platform::FileMode::Read)) return false;
  try {
    std::vector<uint8_t> stored = ReadUpTo(file, kSettingsRecordSize);
    file.Close();
    TransformSettingsBytes(stored.data(), stored.size(), 0);
    std::copy(stored.begin(), stored.end(), record.Bytes.begin());
  } catch (const platform::IoError&) {
  }
  return true;
}

// Trimmed; a list written with `,` or blanks gets `;` between its items and,
// unless keepBlanks, no blanks.
std::string NormalizedList(const std::string& text, bool keepBlanks) {
  std::string list = Trim(text);
  if (list.find_first_of(", ") == std::string::npos) return list;
  std::string result;
  for (char c : list) {
    if (c == ',') {
      result += ';';
    } else if (c != ' ' || keepBlanks) {
      result += c;
    }
  }
  return result;
}

void DefaultNumber(SettingsRecord& record, const SettingsField& field, int64_t value) {
  if (record.Number(field) == 0) record.SetNumber(field, value);
}

std::string QueueFolder(const std::string& fromPathFile, const std::string& mail,
                        const char* below) {
  return fromPathFile.empty() ? FolderPath(mail + below) : fromPathFile;
}

// The older domain list inside the record: 100 entries of 128 bytes, each a
// length byte and the name. Only the first `count` entries are meant.
std::vector<DomainRecord> OldDomainList(const SettingsRecord& record, size_t count) {
  std::vector<DomainRecord> records;
  for (size_t i = 0; i < std::min(count, kOldDomainListEntries); ++i) {
    const uint8_t* entry = record.Bytes.data() + kOldDomainListOffset + i * kOldDomainListEntrySize;
    size_t length = std::min<size_t>(entry[0], kOldDomainListEntrySize - 1);
    std::string name(reinterpret_cast<const char*>(entry + 1), length);
    if (name.empty()) continue;
    DomainRecord domain;
    domain.SetName(name);
    records.push_back(domain);
  }
  return records;
}

// The table from the files, with the fixes for the older stored forms.
// False when a stored table exists but could not be read.
bool ReadDomainFiles(DomainTable& table, SettingsRecord& settings) {
  const std::string& config = ServerFolders().ConfigPath;
  std::string domainsPath = config + kDomainsFileName;
  std::string settingsPath = config + kSettingsFileName;
  platform::File file;
  bool insideSettings = false;
  uint64_t available = 0;
  if (file.Open(domainsPath, platform::FileMode::Read)) {
    available = file.Size();
  } else if (platform::PathExists(domainsPath)) {
    return false;
  } else if (file.Open(settingsPath, platform::FileMode::Read)) {
    insideSettings = true;
    uint64_t size = file.Size();
    available = size > kStoredDomainTableOffset ? size - kStoredDomainTableOffset : 0;
    if (available) file.Seek(kStoredDomainTableOffset);
  } else if (platform::PathExists(settingsPath)) {
    return false;
  } else {
    // Nothing stored yet: a new installation's empty table.
    settings.SetNumber(DomainCount, 0);
    return true;
  }

  const size_t recordSize = settings.DomainsWide() ? kDomainRecordSize : kNarrowDomainRecordSize;
  int64_t count = std::max<int32_t>(settings.DomainCount(), 0);
  if (!insideSettings && count == 0) count = static_cast<int64_t>(available / recordSize);
  // A count beyond the stored records is cut to what the file holds (a last
  // record cut short still counts), so no count can ask for more memory
  // than the file's size.
  uint64_t storedRecords = (available + recordSize - 1) / recordSize;
  size_t readCount = static_cast<size_t>(std::min<uint64_t>(count, storedRecords));
  std::vector<uint8_t> stored = ReadUpTo(file, readCount * recordSize);
  file.Close();
  if (insideSettings) TransformSettingsBytes(stored.data(), stored.size(), 8);
  std::vector<DomainRecord> records = DecodeDomainRecords(stored.data(), stored.size(), recordSize);
  records.resize(std::min(records.size(), readCount));

  if (count != 0 && (records.empty() || records[0].Name().empty())) {
    // A table that was never written: the names are still in the record.
    records = OldDomainList(settings, static_cast<size_t>(count));
  }
  table.Records = std::move(records);
  settings.SetNumber(DomainCount, static_cast<int64_t>(table.Records.size()));
  if (!settings.DomainsWide()) settings.SetNumber(DomainsWide, 1);
  return true;
}

WriteOutcome WriteDomainsFile(const DomainTable& table, TReplaceMode mode) {
  static_assert(sizeof(DomainRecord) == kDomainRecordSize);
  return WriteFileReplacing(ServerFolders().ConfigPath + kDomainsFileName, table.Records.data(),
                            table.Records.size() * kDomainRecordSize, mode);
}

}  // namespace

TSettingsLoadState& SettingsLoadState() {
  static TSettingsLoadState state;
  return state;
}

bool LoadSettings(bool reportMissing, bool skipDependants) {
  TServerFolders& folders = ServerFolders();
  TSettingsLoadState& state = SettingsLoadState();
  SettingsRecord& settings = Settings();
  const std::string path = folders.ConfigPath + kSettingsFileName;
  state.FileStamp = FileStamp(path);
  const std::string previousConnection = settings.AccountDatabase();
  if (folders.InstallPath.empty()) folders.InstallPath = FolderPath(folders.ConfigPath + "..\\");

  bool read = false;
  {
    ConfigLockGuard lock(kSettingsLock);
    try {
      read = ReadSettingsFile(path, settings);
      NormalizeSettings(!read);
    } catch (...) {
      // A damaged or unreadable file leaves what could be read.
    }
  }
  state.SettingsFileRead = read;
  state.SubdomainsFile = platform::PathExists(folders.ConfigPath + "subdomains.dat");
  state.DnsServers = settings.DnsServers();
  state.DnsQuery = static_cast<int>(settings.Number(DnsQuery));
  state.DnsSwitch = static_cast<int32_t>(settings.Number(DnsSwitch));

  if (!skipDependants) {
    if (DatabaseLibraryLoaded() && settings.AccountDatabase() != previousConnection)
      DatabaseSetConnection(settings.AccountDatabase());
    LoadDomains();
    platform::CurrentSystem().SetProcessorAffinity(settings.SingleProcessor());
  }
  return read || !reportMissing;
}

void NormalizeSettings(bool notRead) {
  SettingsRecord& settings = Settings();
  TServerFolders& folders = ServerFolders();
  const TPathFileValues& pathFile = PathFileValues();
  settings.SetNumber(PathDelimiter, '\\');

  struct {
    const SettingsField& Field;
    const char* Below;
  } const serverFolders[] = {{TempPath, "temp\\"}, {MailPath, "mail\\"}, {LogPath, "logs\\"}};
  for (const auto& folder : serverFolders) {
    std::string path = settings.Text(folder.Field);
    if (path.empty()) path = folders.InstallPath + folder.Below;
    settings.SetText(folder.Field, FolderPath(path));
  }

  settings.SetText(HostName, NormalizedList(settings.HostName(), false));
  settings.SetText(settings_field::DnsServers, NormalizedList(settings.DnsServers(), false));
  settings.SetText(BindAddresses, NormalizedList(settings.BindAddresses(), false));
  settings.SetText(AccountDatabase, NormalizedList(settings.AccountDatabase(), true));
  if (settings.DnsServers().empty())
    settings.SetText(settings_field::DnsServers, SystemDnsServerList());

  DefaultNumber(settings, WebPort, 32000);
  DefaultNumber(settings, DnsQuery, 3);
  DefaultNumber(settings, DnsSwitch, 1);
  DefaultNumber(settings, DayTimeValue, 2880);

  if (!pathFile.HostName.empty()) settings.SetText(HostName, pathFile.HostName);
  if (!pathFile.BindAddresses.empty()) settings.SetText(BindAddresses, pathFile.BindAddresses);

  const std::string mail = settings.MailPath();
  folders.OutgoingQueue = QueueFolder(pathFile.OutgoingQueue, mail, "_outgoing\\");
  folders.IncomingQueue = QueueFolder(pathFile.IncomingQueue, mail, "_incoming\\");
  folders.RetryQueue = QueueFolder(pathFile.RetryQueue, mail, "_outgoing\\retry\\");

  // A server's first run: whatever the record held before, a table that this
  // installation starts is kept in the current 96-byte form.
  if (notRead) settings.SetNumber(DomainsWide, 1);
}

bool SaveSettings(bool settingsOnly, TReplaceMode mode) {
  ConfigLockGuard lock(kSettingsLock);
  SettingsRecord& settings = Settings();
  DomainTable& table = Domains();
  bool written = false;
  // The count on disk always matches the table written beside it.
  if (!settingsOnly && table.Loaded)
    settings.SetNumber(DomainCount, static_cast<int64_t>(table.Records.size()));
  try {
    SettingsRecord stored = settings;
    TransformSettingsBytes(stored.Bytes.data(), stored.Bytes.size(), 0);
    written =
        WriteFileReplacing(ServerFolders().ConfigPath + kSettingsFileName, stored.Bytes.data(),
                           stored.Bytes.size(), mode) != WriteOutcome::Failed;
  } catch (...) {
  }
  bool allWritten = written;
  // A table that could not be read is not replaced by an empty one.
  if (!settingsOnly && table.Loaded) {
    bool domains = false;
    try {
      domains = WriteDomainsFile(table, mode) != WriteOutcome::Failed;
    } catch (...) {
    }
    written = domains || written;
    allWritten = allWritten && domains;
  }
  if (mode == TReplaceMode::WholeOnly) written = allWritten;
  if (DatabaseLibraryLoaded()) DatabaseLoadConfig(ServerFolders().InstallPath);
  return written;
}

void LoadDomains() {
  ConfigLockGuard lock(kSettingsLock);
  SettingsRecord& settings = Settings();
  DomainTable& table = Domains();
  if (settings.StorageMode() == kDatabaseStorageMode && ConnectDatabaseLibrary()) {
    std::vector<DomainRecord> records;
    if (DatabaseReadDomains(records)) {
      table.Records = std::move(records);
      settings.SetNumber(DomainCount, static_cast<int64_t>(table.Records.size()));
      table.Loaded = true;
      table.Reindex();
      return;
    }
  }
  table.Clear();
  try {
    table.Loaded = ReadDomainFiles(table, settings);
  } catch (...) {
    table.Clear();
    table.Loaded = false;
  }
  table.Reindex();
}
