#include "components/package_table.h"

#include <array>
#include <string_view>

#include "support/text.h"

namespace {

// By component id; "file|folder\" pieces separated by ",".
constexpr std::array<std::string_view, 12> kPackages = {
    "setup.dat,setupphp.dat",    "setupconfig.dat",          "", "", "setupwebmail2.dat",
    "setupas.dat|spam\\",        "setupavast.dat|avast\\",   "", "", "setupldap.dat|ldap\\",
    "setupwizard.dat|wizards\\", "setupaspell.dat|aspell\\",
};

}  // namespace

TPackageList PackagesOf(int id) {
  TPackageList list;
  if (id < 0 || static_cast<size_t>(id) >= kPackages.size()) return list;
  std::string_view row = kPackages[id];
  while (!row.empty()) {
    const size_t comma = row.find(',');
    const std::string_view piece = row.substr(0, comma);
    const size_t bar = piece.find('|');
    list.push_back({Trim(piece.substr(0, bar)),
                    bar == std::string_view::npos ? "" : Trim(piece.substr(bar + 1))});
    if (comma == std::string_view::npos) break;
    row.remove_prefix(comma + 1);
  }
  return list;
}
