// TLS through OpenSSL. The trust store is OpenSSL's default, which the
// SSL_CERT_FILE and SSL_CERT_DIR environment variables override.
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>
#include <poll.h>
#include <sys/socket.h>

#include <cerrno>

#include "platform/tls.h"

namespace platform {
namespace {

std::string OpenSslError(const char* what) {
  std::string text = what;
  unsigned long code = ERR_get_error();
  if (code != 0) {
    char buffer[256];
    ERR_error_string_n(code, buffer, sizeof buffer);
    text += ": ";
    text += buffer;
  }
  ERR_clear_error();
  return text;
}

class OpenSslSession final : public TlsSession {
 public:
  OpenSslSession(SSL_CTX* context, SSL* ssl, int fd) : context_(context), ssl_(ssl), fd_(fd) {}
  ~OpenSslSession() override {
    SSL_free(ssl_);
    SSL_CTX_free(context_);
  }

  bool SendAll(std::string_view data) override {
    while (!data.empty()) {
      size_t written = 0;
      if (SSL_write_ex(ssl_, data.data(), data.size(), &written) <= 0) {
        ERR_clear_error();
        return false;
      }
      data.remove_prefix(written);
    }
    return true;
  }

  ReceiveResult Receive(char* buffer, size_t size, uint32_t waitMs) override {
    ReceiveResult result;
    if (SSL_pending(ssl_) == 0) {
      pollfd wanted{fd_, POLLIN, 0};
      int ready;
      do {
        ready = ::poll(&wanted, 1, static_cast<int>(waitMs));
      } while (ready < 0 && errno == EINTR);
      if (ready == 0) {
        result.Status = ReceiveStatus::TimedOut;
        return result;
      }
      if (ready < 0) return result;
    }
    // A record may arrive in pieces: the socket's own time-out keeps a
    // partial record from blocking for ever.
    timeval limit{static_cast<time_t>(waitMs / 1000),
                  static_cast<suseconds_t>(waitMs % 1000) * 1000};
    setsockopt(fd_, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
    size_t got = 0;
    int status = SSL_read_ex(ssl_, buffer, size, &got);
    if (status > 0) {
      result.Status = ReceiveStatus::Data;
      result.Size = got;
      return result;
    }
    switch (SSL_get_error(ssl_, status)) {
      case SSL_ERROR_ZERO_RETURN:
        result.Status = ReceiveStatus::Closed;
        break;
      case SSL_ERROR_WANT_READ:
      case SSL_ERROR_WANT_WRITE:
        result.Status = ReceiveStatus::TimedOut;
        break;
      default:
        // A TCP close without close_notify could be a truncation.
        result.Status = ReceiveStatus::Failed;
        break;
    }
    ERR_clear_error();
    return result;
  }

  void Shutdown() override {
    SSL_shutdown(ssl_);
    ERR_clear_error();
  }

 private:
  SSL_CTX* context_;
  SSL* ssl_;
  int fd_;
};

}  // namespace

std::unique_ptr<TlsSession> StartTlsSession(TcpSocket& socket, const std::string& serverName,
                                            std::string& error) {
  SSL_CTX* context = SSL_CTX_new(TLS_client_method());
  if (!context) {
    error = OpenSslError("TLS context");
    return nullptr;
  }
  SSL_CTX_set_min_proto_version(context, TLS1_2_VERSION);
  SSL_CTX_set_verify(context, SSL_VERIFY_PEER, nullptr);
  if (SSL_CTX_set_default_verify_paths(context) != 1) {
    error = OpenSslError("trust store");
    SSL_CTX_free(context);
    return nullptr;
  }
  SSL* ssl = SSL_new(context);
  if (!ssl) {
    error = OpenSslError("TLS session");
    SSL_CTX_free(context);
    return nullptr;
  }
  auto session = std::make_unique<OpenSslSession>(context, ssl, static_cast<int>(socket.Handle()));
  const bool numeric = IsNumericAddress(serverName);
  bool named = numeric ? X509_VERIFY_PARAM_set1_ip_asc(SSL_get0_param(ssl), serverName.c_str()) == 1
                       : SSL_set_tlsext_host_name(ssl, serverName.c_str()) == 1 &&
                             SSL_set1_host(ssl, serverName.c_str()) == 1;
  if (!named || SSL_set_fd(ssl, static_cast<int>(socket.Handle())) != 1) {
    error = OpenSslError("TLS set-up");
    return nullptr;
  }
  timeval limit{30, 0};
  setsockopt(static_cast<int>(socket.Handle()), SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
  if (SSL_connect(ssl) != 1) {
    long verified = SSL_get_verify_result(ssl);
    if (verified != X509_V_OK) {
      error = std::string("certificate not trusted: ") + X509_verify_cert_error_string(verified);
      ERR_clear_error();
    } else {
      error = OpenSslError("TLS handshake failed");
    }
    return nullptr;
  }
  return session;
}

}  // namespace platform
