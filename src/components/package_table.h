// Which data archives ("packages") carry the files of each installable
// component, and the folder below the installation folder each one is
// unpacked into.
#pragma once

#include <string>
#include <vector>

struct TPackageItem {
  std::string FileName;
  std::string Folder;  // ends in `\`; empty: the installation folder itself
};
using TPackageList = std::vector<TPackageItem>;

// Components 0..11; any other id has no packages.
TPackageList PackagesOf(int id);
