// A domain's "users.cfg" comes from an installation of any age and state:
// any bytes must enumerate, be searched and take a saved account without
// reading or writing outside a record or outside the domain's folder.
//
// Input: the alias list to look for, a NUL byte, then the file's bytes.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "config/account_record.h"
#include "config/account_storage.h"
#include "config/alias_lists.h"
#include "config/server_folders.h"
#include "platform/files.h"
#include "support/file_io.h"
#include "support/paths.h"

namespace {

std::string Folder() {
  static std::string folder = [] {
    std::string base = platform::IsFolder("/dev/shm") ? "/dev/shm/" : "/tmp/";
    std::string path = base + "fuzz-accounts-" + std::to_string(getpid()) + "\\";
    ForceFolders(path + "config\\");
    return path;
  }();
  return folder;
}

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string input(reinterpret_cast<const char*>(data), size);
  size_t split = input.find('\0');
  if (split == std::string::npos) return 0;
  const std::string aliases = input.substr(0, split);
  const std::string bytes = input.substr(split + 1);
  ServerFolders().InstallPath = Folder();
  ServerFolders().ConfigPath = Folder() + "config\\";
  const std::string path = AccountsFilePath("f.test");
  WriteStringToFile(bytes, path);

  TAccountEnum accounts;
  Check(BeginAccountEnum("f.test", accounts));
  int32_t count = 0;
  AccountRecord first;
  while (!NextAccount(accounts)) {
    Check(accounts.Index == count);
    if (count == 0) first = accounts.Account;
    // The stored form undone and done again gives the stored bytes.
    AccountRecord stored = accounts.Account;
    EncodeAccountRecord(stored);
    Check(bytes.compare(static_cast<size_t>(count) * kAccountRecordSize, kAccountRecordSize,
                        reinterpret_cast<const char*>(stored.Bytes.data()),
                        kAccountRecordSize) == 0);
    ++count;
  }
  EndAccountEnum(accounts);
  Check(static_cast<size_t>(count) == bytes.size() / kAccountRecordSize);

  int32_t exact = FindAccountIndex("f.test", aliases, false);
  int32_t withPatterns = FindAccountIndex("f.test", aliases, true);
  Check(exact >= -1 && exact < count && withPatterns >= -1 && withPatterns < count);
  Check(exact == -1 || withPatterns != -1);
  Check(withPatterns == -1 || withPatterns <= exact || exact == -1);

  // Appending the first record again: the file keeps its whole records and
  // gains one, and nothing appears beside it.
  if (count > 0) {
    int32_t index = -1;
    bool saved = SaveAccount("f.test", first, index);
    Check(saved == !SplitAliasList(first.Aliases()).empty());
    if (saved) {
      Check(index == count);
      std::string after = ReadFileToString(path);
      Check(after.size() == static_cast<size_t>(count + 1) * kAccountRecordSize);
      Check(after.compare(0, static_cast<size_t>(count) * kAccountRecordSize, bytes, 0,
                          static_cast<size_t>(count) * kAccountRecordSize) == 0);
    }
  }
  Check(platform::ListFolder(Folder() + "config\\", "*").size() == 1);
  Check(platform::ListFolder(Folder() + "config\\f.test\\", "*").size() == 1);
  return 0;
}
