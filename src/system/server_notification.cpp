#include "system/server_notification.h"

#include <exception>

#include "platform/services.h"
#include "platform/system_info.h"
#include "support/paths.h"
#include "system/pipe_client.h"
#include "system/server_table.h"
#include "system/service_operations.h"

using namespace platform;

namespace {

// The server that hosts an index of the extended table; -1 for none.
int HostingServer(int index) {
  switch (index) {
    case 0:
    case 1:
    case 2:
    case 3:
    case 4:
      return index;
    case kLdapService:
    case kFtpService:
      return kControlServer;
    case kImapService:
      return kPop3Server;
    case kSipService:
      return kImServer;
    default:
      return -1;
  }
}

const char* SubServiceName(int index) {
  switch (index) {
    case kLdapService:
      return "LDAP";
    case kImapService:
      return "IMAP";
    case kFtpService:
      return "FTP";
    case kSipService:
      return "SIP";
    default:
      return nullptr;
  }
}

const char* ShortServerName(int server) {
  static const char* const kNames[kServerCount] = {"SMTP", "POP3", "Control", "IM", "GroupWare"};
  return kNames[server];
}

void PutWord(std::string& out, uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8)
    out += static_cast<char>((value >> shift) & 0xFF);
}

}  // namespace

std::string ServerControlMessage(uint32_t command, uint32_t message, uint32_t wParam,
                                 uint32_t lParam) {
  std::string block;
  for (uint32_t word : {command, message, wParam, lParam, 0u})
    PutWord(block, word);
  return block;
}

TopWindow FindServerWindow(int index) {
  int server = HostingServer(index);
  if (server < 0) return 0;
  const TServerRow& row = ServerRow(server);
  return CurrentWindowMessages().Find(row.WindowClass, row.WindowTitle);
}

std::string ServerServiceName(int index, bool shortName, bool withSubService) {
  if (index == kRunningProgram)
    return shortName ? ExtractFileName(CurrentSystem().ProgramPath()) : std::string();
  int server = HostingServer(index);
  if (server < 0) return {};
  if (!shortName) return ServerRow(server).ServiceName;
  if (withSubService && SubServiceName(index)) return SubServiceName(index);
  return ShortServerName(server);
}

bool ServerIsRunning(int index, uint32_t state) {
  if (ServiceMode()) {
    const std::string name = ServerServiceName(index, false, false);
    uint32_t current = 0;
    if (!name.empty() && QueryServiceState(name, current) && current == state) return true;
  }
  return FindServerWindow(index) != 0;
}

intptr_t SendServerWindowMessage(int index, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  TopWindow window = FindServerWindow(index);
  if (!window) return 0;
  return CurrentWindowMessages().Send(window, message, wParam, lParam);
}

int32_t SendPipeMessage(int index, uint32_t message, uint32_t wParam, bool replyWanted,
                        uint32_t lParam) {
  int32_t result = 0;
  try {
    const std::string name = ServerServiceName(index, false, false);
    // No service, no pipe: never open the bare pipe prefix.
    if (name.empty()) return 0;
    TPipeClient client(name);
    if (!client.Connected()) return 0;
    const uint32_t command = replyWanted ? kCommandDeliverAndReply : kCommandDeliver;
    if (!client.Write(ServerControlMessage(command, message, wParam, lParam))) return 0;
    if (!replyWanted) return 1;
    const std::string reply = client.Read(kMaxReply, kReplyTimeoutMs);
    if (reply.size() < 4) return 0;
    uint32_t word = 0;
    for (int i = 3; i >= 0; --i)
      word = (word << 8) | static_cast<unsigned char>(reply[i]);
    result = static_cast<int32_t>(word);
  } catch (const std::exception&) {
    // Whatever happens on the way, the caller goes on with what was reached.
  }
  return result;
}

int32_t NotifyServer(int index, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  if (ServiceMode()) {
    if (!ServerIsRunning(index, kServiceRunning)) return 0;
    return SendPipeMessage(index, message, static_cast<uint32_t>(wParam), false,
                           static_cast<uint32_t>(lParam));
  }
  // Without a window the message went nowhere.
  if (!FindServerWindow(index)) return 0;
  SendServerWindowMessage(index, message, wParam, lParam);
  return 1;
}

int32_t QueryServer(int index, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  if (!ServiceMode())
    return static_cast<int32_t>(SendServerWindowMessage(index, message, wParam, lParam));
  if (!ServerIsRunning(index, kServiceRunning)) return 0;
  return SendPipeMessage(index, message, static_cast<uint32_t>(wParam), true,
                         static_cast<uint32_t>(lParam));
}

void NotifyAllServers() {
  for (int index : {kSmtpServer, kPop3Server, kImServer, kGroupWareServer, kControlServer})
    NotifyServer(index, kServerMessage, 257, 0);
}
