#include "common/temp_folder.h"

#include <gtest/gtest.h>

#include <atomic>
#include <random>

#include "platform/files.h"
#include "platform/system_info.h"
#include "support/file_io.h"
#include "support/paths.h"

TempFolder::TempFolder() {
  static std::atomic<unsigned> counter{0};
  std::random_device random;
  std::string base = platform::CurrentSystem().TempFolder();
  if (base.empty()) base = "/tmp";
  base = WithPathDelimiter(base, true, false);
  path_ = base + "setup-test-" + std::to_string(random()) + "-" + std::to_string(counter++) + "\\";
  if (!ForceFolders(path_)) ADD_FAILURE() << "cannot create " << path_;
}

TempFolder::~TempFolder() {
  // Read-only files would keep the folder alive; make them writable first.
  struct Unlock {
    static void Walk(const std::string& folder) {
      for (const auto& entry : platform::ListFolder(folder, "*")) {
        std::string child = folder + entry.Name;
        if (entry.IsLink) continue;
        platform::SetReadOnly(child, false);
        if (entry.IsFolder) Walk(child + "\\");
      }
    }
  };
  Unlock::Walk(path_);
  DeleteFolderTree(path_);
}

void PutFile(const std::string& path, const std::string& content) {
  ASSERT_TRUE(WriteStringToFile(content, path)) << path;
}

std::string GetFile(const std::string& path) {
  return ReadFileToString(path);
}
