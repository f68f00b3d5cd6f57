#include "common/file_tree.h"

#include "common/temp_folder.h"
#include "platform/files.h"

namespace {

// Not ReadFileToString: it cuts names to 255 characters, and entry names
// alone may be that long.
std::string ReadWhole(const std::string& path) {
  platform::File file;
  std::string data;
  if (!file.Open(path, platform::FileMode::Read)) return "<cannot open>";
  char buffer[1 << 16];
  while (size_t got = file.Read(buffer, sizeof buffer))
    data.append(buffer, got);
  return data;
}

void Walk(const std::string& root, const std::string& relative, TFileTree& tree) {
  for (const platform::FolderEntry& entry : platform::ListFolder(root + relative, "*")) {
    std::string name = relative + entry.Name;
    if (entry.IsFolder)
      Walk(root, name + "\\", tree);
    else
      tree[name] = ReadWhole(root + name);
  }
}

}  // namespace

TFileTree ReadTree(const std::string& folder) {
  TFileTree tree;
  Walk(folder, "", tree);
  return tree;
}

void WriteTree(const std::string& folder, const TFileTree& tree) {
  for (const auto& [name, content] : tree)
    PutFile(folder + name, content);
}

::testing::AssertionResult SameTree(const TFileTree& actual, const TFileTree& expected) {
  std::string differences;
  for (const auto& [name, content] : expected) {
    auto found = actual.find(name);
    if (found == actual.end())
      differences += " missing \"" + name + "\";";
    else if (found->second != content)
      differences += " \"" + name + "\" holds " + std::to_string(found->second.size()) +
                     " bytes that differ from the " + std::to_string(content.size()) + " expected;";
  }
  for (const auto& [name, content] : actual)
    if (!expected.count(name)) differences += " surplus \"" + name + "\";";
  if (differences.empty()) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "trees differ:" << differences;
}
