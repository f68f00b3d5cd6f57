#include "mariadb_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "peer_tools.h"

namespace {

int FreeLoopbackPort() {
  const int s = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  int port = 0;
  if (bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
      getsockname(s, reinterpret_cast<sockaddr*>(&address), &length) == 0)
    port = ntohs(address.sin_port);
  close(s);
  return port;
}

}  // namespace

std::string MariaDBServer::Start() {
  char folder[] = "/tmp/mariadb-test-XXXXXX";
  if (!mkdtemp(folder)) return "no temporary folder";
  folder_ = folder;
  socket_ = folder_ + "/my\\sock";
  int status = 0;
  const std::string install = RunCommand("mariadb-install-db --no-defaults --datadir=" + folder_ +
                                             "/data --user=root "
                                             "--auth-root-authentication-method=normal 2>&1",
                                         &status);
  if (status != 0) return "mariadb-install-db failed: " + install;
  port_ = FreeLoopbackPort();
  if (port_ == 0) return "no free port";

  const std::string args[] = {"--no-defaults",
                              "--datadir=" + folder_ + "/data",
                              "--socket=" + socket_,
                              "--port=" + std::to_string(port_),
                              "--bind-address=127.0.0.1",
                              "--user=root",
                              "--log-error=" + folder_ + "/error.log"};
  pid_ = fork();
  if (pid_ == 0) {
    execl("/usr/sbin/mariadbd", "mariadbd", args[0].c_str(), args[1].c_str(), args[2].c_str(),
          args[3].c_str(), args[4].c_str(), args[5].c_str(), args[6].c_str(),
          static_cast<char*>(nullptr));
    _exit(127);
  }
  if (pid_ < 0) return "fork failed";

  // Wait until it answers, or it has ended, or a generous limit for busy machines.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
  while (std::chrono::steady_clock::now() < deadline) {
    int pinged = 0;
    RunCommand("mariadb-admin --no-defaults --socket=" + ShellQuote(socket_) +
                   " -uroot ping >/dev/null 2>&1",
               &pinged);
    if (pinged == 0) return "";
    if (waitpid(pid_, &status, WNOHANG) == pid_) {
      pid_ = -1;
      return "mariadbd ended: " + RunCommand("cat " + folder_ + "/error.log");
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  return "mariadbd does not answer";
}

std::string MariaDBServer::Sql(const std::string& statements, int* status) const {
  return RunCommand("mariadb --no-defaults --socket=" + ShellQuote(socket_) + " -uroot -N -e " +
                        ShellQuote(statements) + " 2>&1",
                    status);
}

void MariaDBServer::Stop() {
  if (pid_ > 0) {
    kill(pid_, SIGTERM);
    int status = 0;
    waitpid(pid_, &status, 0);
    pid_ = -1;
  }
  if (!folder_.empty()) {
    RunCommand("rm -rf " + ShellQuote(folder_));
    folder_.clear();
  }
}
