#include "system/server_table.h"

#include <stdexcept>

#include "platform/system_info.h"

namespace {

constexpr std::array<TServerRow, kServerCount> kServers{{
    {"TolvaSMTP", "smtp.exe", "Nivalis SMTP", "Provides support for MTA and SMTP protocol.",
     "TSMTPForm", "SMTP"},
    {"TolvaPOP3", "pop3.exe", "Nivalis POP3 / IMAP",
     "Provides support for POP3 and IMAP protocols.", "TPOP3Form", "POP3"},
    {"TolvaControl", "control.exe", "Nivalis Control / Web / FTP",
     "Provides support for remote administration, web and ftp services.", "TControlForm",
     "Control"},
    {"TolvaIM", "im.exe", "Nivalis IM / VoIP", "Provides support for Instant Messaging and VoIP.",
     "TIMForm", "Instant Messaging"},
    {"TolvaCalendar", "cal.exe", "Nivalis GroupWare Server", "Provides support for GroupWare.",
     "TGroupWareForm", "GroupWare"},
}};

}  // namespace

const TServerRow& ServerRow(int index) {
  if (index < 0 || index >= kServerCount) throw std::out_of_range("server index");
  return kServers[static_cast<size_t>(index)];
}

bool ServiceMode() {
  return platform::CurrentSystem().Platform() == platform::PlatformId::NT;
}
