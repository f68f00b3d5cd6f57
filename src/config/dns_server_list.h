// The name servers of the machine as the settings' DNS server list holds them.
#pragma once

#include <string>

// The current name server, then every configured one, separated by `;`; at
// most 127 characters, whole addresses only. Empty when the system has none.
std::string SystemDnsServerList();
