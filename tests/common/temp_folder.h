// A scratch folder below the system's temporary folder, removed afterwards.
// Its path ends in `\`, as the installer's folders do.
#pragma once

#include <string>

class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::string& Path() const { return path_; }
  // Path() + relative, where relative uses `\` between names.
  std::string operator/(const std::string& relative) const { return path_ + relative; }

 private:
  std::string path_;
};

// Writes a file (creating folders) and reads it back, for test set-up.
void PutFile(const std::string& path, const std::string& content);
std::string GetFile(const std::string& path);
