// The client end of a server's control pipe, for one message: connect,
// write, perhaps read, close.
#pragma once

#include <cstdint>
#include <string>

#include "platform/pipes.h"

class TPipe {
 public:
  TPipe();
  virtual ~TPipe();
  TPipe(const TPipe&) = delete;
  TPipe& operator=(const TPipe&) = delete;

  bool Connected() const { return connected_; }
  // Writes every byte, repeating the write; false when one fails or writes
  // nothing. An empty buffer counts as written.
  bool Write(const std::string& buffer);
  // One read of at most maxCount bytes, waiting at most timeoutMs for the
  // first of them; empty when none came or the pipe broke.
  std::string Read(uint32_t maxCount, uint32_t timeoutMs);

 protected:
  const bool isNT_;
  platform::PipeHandle pipe_ = 0;  // NT: the named pipe
  platform::PipeHandle read_ = 0;  // other families: duplicated handles
  platform::PipeHandle write_ = 0;
  std::string name_;
  bool connected_ = false;
};

class TPipeClient : public TPipe {
 public:
  // Connects to the server's pipe of that name (at most 255 characters).
  explicit TPipeClient(const std::string& name);

 private:
  void ConnectNamedPipe();
  void ConnectPublishedHandles();
};
