// A MariaDB server of its own for a test program: a fresh data folder, the
// loopback address and a free port; started once, stopped at the end.
#pragma once

#include <string>

#include <sys/types.h>

class MariaDBServer {
 public:
  // Empty when the server answers; otherwise why not.
  std::string Start();
  void Stop();
  ~MariaDBServer() { Stop(); }

  // Runs SQL as the server's root user through the mariadb tool; its output.
  std::string Sql(const std::string& statements, int* status = nullptr) const;

  int Port() const { return port_; }
  // The server's Unix socket; its name holds a backslash on purpose.
  const std::string& Socket() const { return socket_; }

 private:
  std::string folder_;
  std::string socket_;
  int port_ = 0;
  pid_t pid_ = -1;
};
