#include "config/dns_server_list.h"

#include "config/settings_fields.h"
#include "platform/system_info.h"
#include "support/text.h"

std::string SystemDnsServerList() {
  platform::DnsServerSettings servers = platform::CurrentSystem().DnsServers();
  std::vector<std::string> addresses;
  if (!Trim(servers.Current).empty()) addresses.push_back(Trim(servers.Current));
  for (const std::string& address : servers.Configured)
    if (!Trim(address).empty()) addresses.push_back(Trim(address));
  // An address cut in two would send the suite's queries nowhere, so the list
  // ends with the last address that fits.
  const size_t limit = settings_field::DnsServers.Width - 1;
  std::string list;
  for (const std::string& address : addresses) {
    size_t length = list.size() + (list.empty() ? 0 : 1) + address.size();
    if (length > limit) break;
    if (!list.empty()) list += ';';
    list += address;
  }
  return list;
}
