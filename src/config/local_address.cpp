#include "config/local_address.h"

#include "config/settings_record.h"
#include "support/text.h"

std::string LocalServerAddress() {
  std::string list = Settings().BindAddresses();
  std::string first = ShortString(Trim(list.substr(0, list.find(';'))));
  return first.empty() ? "localhost" : first;
}
