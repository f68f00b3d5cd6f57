// Telling the running servers to act on changed configuration: a 20-byte
// control message on the pipe named after the service, or a window message
// to a server that runs as a desktop program.
#pragma once

#include <cstdint>
#include <string>

#include "platform/window_messages.h"

// The extended server index: 0..4 as the server table, and sub-services
// that live inside a server.
inline constexpr int kLdapService = 7;
inline constexpr int kImapService = 8;
inline constexpr int kFtpService = 10;
inline constexpr int kSipService = 12;
inline constexpr int kRunningProgram = 16;

inline constexpr uint32_t kServerMessage = 1280;  // the only message number sent
inline constexpr uint32_t kCommandDeliver = 4096;
inline constexpr uint32_t kCommandDeliverAndReply = 4099;
inline constexpr uint32_t kMaxReply = 2048;
// How long a server may take to answer a message that wants a reply.
inline constexpr uint32_t kReplyTimeoutMs = 10000;

// The 20 bytes of a control message, little-endian.
std::string ServerControlMessage(uint32_t command, uint32_t message, uint32_t wParam,
                                 uint32_t lParam);

// The main window of the index's hosting server; 0 when none.
platform::TopWindow FindServerWindow(int index);
// The service name, or with shortName the short one (with withSubService,
// the sub-service's own name). Empty for an index that has none.
std::string ServerServiceName(int index, bool shortName, bool withSubService);
// Whether the index's server is in the state (always asked for running).
bool ServerIsRunning(int index, uint32_t state);

intptr_t SendServerWindowMessage(int index, uint32_t message, uintptr_t wParam, intptr_t lParam);
// 1 when a message without reply was delivered, the reply's first word with
// one, 0 when nothing was delivered or answered.
int32_t SendPipeMessage(int index, uint32_t message, uint32_t wParam, bool replyWanted,
                        uint32_t lParam);

// 0 when the message reached no server.
int32_t NotifyServer(int index, uint32_t message, uintptr_t wParam, intptr_t lParam);
int32_t QueryServer(int index, uint32_t message, uintptr_t wParam, intptr_t lParam);
// Message 1280 with wParam 257 to SMTP, POP3, IM, GroupWare, then Control.
void NotifyAllServers();
