// TLS through the system's Schannel (SSPI). The server's certificate is
// verified after the handshake against the machine's certificate store:
// some Schannel implementations (Wine's) do not verify during the handshake
// even when asked to, so the check is made here in every case.
#include <winsock2.h>
// winsock2.h before windows.h
#include <windows.h>
#define SECURITY_WIN32
#include <schannel.h>
#include <security.h>
#include <wincrypt.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/tls.h"

namespace platform {
namespace {

constexpr DWORD kContextFlags = ISC_REQ_SEQUENCE_DETECT | ISC_REQ_REPLAY_DETECT |
                                ISC_REQ_CONFIDENTIALITY | ISC_REQ_ALLOCATE_MEMORY | ISC_REQ_STREAM |
                                ISC_REQ_EXTENDED_ERROR | ISC_REQ_MANUAL_CRED_VALIDATION;
constexpr uint32_t kHandshakeWaitMs = 30000;
constexpr unsigned char kAlertRecord = 21;

std::string HexCode(long code) {
  char text[16];
  snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(code));
  return text;
}

std::wstring Widen(const std::string& text) {
  int length = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
  if (length <= 0) return std::wstring();
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide.data(), length);
  wide.resize(static_cast<size_t>(length - 1));
  return wide;
}

std::string ChainError(DWORD code) {
  switch (code) {
    case static_cast<DWORD>(CERT_E_UNTRUSTEDROOT):
      return "certificate not trusted: unknown certificate authority";
    case static_cast<DWORD>(CERT_E_CN_NO_MATCH):
      return "certificate not trusted: it names another host";
    case static_cast<DWORD>(CERT_E_EXPIRED):
      return "certificate not trusted: expired or not yet valid";
    case static_cast<DWORD>(CERT_E_CHAINING):
      return "certificate not trusted: incomplete chain";
    case static_cast<DWORD>(CERT_E_REVOKED):
      return "certificate not trusted: revoked";
    case static_cast<DWORD>(CERT_E_WRONG_USAGE):
      return "certificate not trusted: not for server authentication";
    default:
      return "certificate not trusted: " + HexCode(static_cast<long>(code));
  }
}

// Checks the chain against the machine's roots and the name of the server.
bool VerifyServer(CtxtHandle& context, const std::string& serverName, std::string& error) {
  PCCERT_CONTEXT certificate = nullptr;
  SECURITY_STATUS status =
      QueryContextAttributesA(&context, SECPKG_ATTR_REMOTE_CERT_CONTEXT, &certificate);
  if (status != SEC_E_OK || !certificate) {
    error = "the server sent no certificate";
    return false;
  }
  char serverAuth[] = szOID_PKIX_KP_SERVER_AUTH;
  LPSTR usages[] = {serverAuth};
  CERT_CHAIN_PARA chainPara{};
  chainPara.cbSize = sizeof chainPara;
  chainPara.RequestedUsage.dwType = USAGE_MATCH_TYPE_AND;
  chainPara.RequestedUsage.Usage.cUsageIdentifier = 1;
  chainPara.RequestedUsage.Usage.rgpszUsageIdentifier = usages;
  PCCERT_CHAIN_CONTEXT chain = nullptr;
  bool trusted = false;
  if (!CertGetCertificateChain(nullptr, certificate, nullptr, certificate->hCertStore, &chainPara,
                               0, nullptr, &chain)) {
    error = "certificate chain cannot be built: " + HexCode(static_cast<long>(GetLastError()));
  } else {
    std::wstring name = Widen(serverName);
    SSL_EXTRA_CERT_CHAIN_POLICY_PARA extra{};
    extra.cbSize = sizeof extra;
    extra.dwAuthType = AUTHTYPE_SERVER;
    extra.pwszServerName = name.data();
    CERT_CHAIN_POLICY_PARA policy{};
    policy.cbSize = sizeof policy;
    policy.pvExtraPolicyPara = &extra;
    CERT_CHAIN_POLICY_STATUS verdict{};
    verdict.cbSize = sizeof verdict;
    if (!CertVerifyCertificateChainPolicy(CERT_CHAIN_POLICY_SSL, chain, &policy, &verdict)) {
      error = "certificate cannot be checked: " + HexCode(static_cast<long>(GetLastError()));
    } else if (verdict.dwError != 0) {
      error = ChainError(verdict.dwError);
    } else if (chain->TrustStatus.dwErrorStatus != CERT_TRUST_NO_ERROR) {
      error = "certificate not trusted: chain status " +
              HexCode(static_cast<long>(chain->TrustStatus.dwErrorStatus));
    } else {
      trusted = true;
    }
    CertFreeCertificateChain(chain);
  }
  CertFreeCertificateContext(certificate);
  return trusted;
}

class SchannelSession final : public TlsSession {
 public:
  explicit SchannelSession(TcpSocket& socket) : socket_(socket) {}
  ~SchannelSession() override {
    if (hasContext_) DeleteSecurityContext(&context_);
    if (hasCredentials_) FreeCredentialsHandle(&credentials_);
  }

  bool Start(const std::string& serverName, std::string& error);

  bool SendAll(std::string_view data) override {
    while (!data.empty()) {
      size_t piece = std::min<size_t>(data.size(), sizes_.cbMaximumMessage);
      std::vector<char> message(sizes_.cbHeader + piece + sizes_.cbTrailer);
      std::memcpy(message.data() + sizes_.cbHeader, data.data(), piece);
      SecBuffer buffers[4] = {
          {sizes_.cbHeader, SECBUFFER_STREAM_HEADER, message.data()},
          {static_cast<unsigned long>(piece), SECBUFFER_DATA, message.data() + sizes_.cbHeader},
          {sizes_.cbTrailer, SECBUFFER_STREAM_TRAILER, message.data() + sizes_.cbHeader + piece},
          {0, SECBUFFER_EMPTY, nullptr}};
      SecBufferDesc description{SECBUFFER_VERSION, 4, buffers};
      if (EncryptMessage(&context_, 0, &description, 0) != SEC_E_OK) return false;
      size_t total = buffers[0].cbBuffer + buffers[1].cbBuffer + buffers[2].cbBuffer;
      if (!socket_.SendAll(std::string_view(message.data(), total))) return false;
      data.remove_prefix(piece);
    }
    return true;
  }

  ReceiveResult Receive(char* buffer, size_t size, uint32_t waitMs) override {
    ReceiveResult result;
    while (plain_.size() == plainUsed_) {
      if (ended_) {
        result.Status = ReceiveStatus::Closed;
        return result;
      }
      if (!encrypted_.empty()) {
        Decrypted step = DecryptOne();
        if (step == Decrypted::Failed) return result;
        if (step == Decrypted::Progress) continue;
      }
      // A record is incomplete: more bytes from the socket.
      char block[16384];
      ReceiveResult raw = socket_.Receive(block, sizeof block, waitMs);
      if (raw.Status == ReceiveStatus::Closed) {
        // A TCP close without close_notify could be a truncation.
        result.Status = ReceiveStatus::Failed;
        return result;
      }
      if (raw.Status != ReceiveStatus::Data) {
        result.Status = raw.Status;
        return result;
      }
      encrypted_.insert(encrypted_.end(), block, block + raw.Size);
    }
    size_t count = std::min(size, plain_.size() - plainUsed_);
    std::memcpy(buffer, plain_.data() + plainUsed_, count);
    plainUsed_ += count;
    result.Status = ReceiveStatus::Data;
    result.Size = count;
    return result;
  }

  void Shutdown() override {
    DWORD type = SCHANNEL_SHUTDOWN;
    SecBuffer token{sizeof type, SECBUFFER_TOKEN, &type};
    SecBufferDesc tokenDescription{SECBUFFER_VERSION, 1, &token};
    if (ApplyControlToken(&context_, &tokenDescription) != SEC_E_OK) return;
    SecBuffer out{0, SECBUFFER_TOKEN, nullptr};
    SecBufferDesc outDescription{SECBUFFER_VERSION, 1, &out};
    DWORD flags = 0;
    TimeStamp expiry;
    SECURITY_STATUS status =
        InitializeSecurityContextA(&credentials_, &context_, nullptr, kContextFlags, 0, 0, nullptr,
                                   0, nullptr, &outDescription, &flags, &expiry);
    if ((status == SEC_E_OK || status == SEC_I_CONTEXT_EXPIRED) && out.pvBuffer) {
      socket_.SendAll(std::string_view(static_cast<char*>(out.pvBuffer), out.cbBuffer));
    }
    if (out.pvBuffer) FreeContextBuffer(out.pvBuffer);
  }

 private:
  enum class Decrypted { Progress, NeedMore, Failed };

  // Decrypts the first record of encrypted_ into plain_.
  Decrypted DecryptOne() {
    const bool alert = static_cast<unsigned char>(encrypted_[0]) == kAlertRecord;
    SecBuffer buffers[4] = {
        {static_cast<unsigned long>(encrypted_.size()), SECBUFFER_DATA, encrypted_.data()},
        {0, SECBUFFER_EMPTY, nullptr},
        {0, SECBUFFER_EMPTY, nullptr},
        {0, SECBUFFER_EMPTY, nullptr}};
    SecBufferDesc description{SECBUFFER_VERSION, 4, buffers};
    SECURITY_STATUS status = DecryptMessage(&context_, &description, 0, nullptr);
    if (status == SEC_E_INCOMPLETE_MESSAGE) return Decrypted::NeedMore;
    if (status == SEC_I_CONTEXT_EXPIRED) {
      ended_ = true;
      encrypted_.clear();
      return Decrypted::Progress;
    }
    if (status != SEC_E_OK) return Decrypted::Failed;
    plain_.clear();
    plainUsed_ = 0;
    std::vector<char> extra;
    for (SecBuffer& buffer : buffers) {
      if (buffer.BufferType == SECBUFFER_DATA && buffer.pvBuffer) {
        const char* data = static_cast<const char*>(buffer.pvBuffer);
        plain_.assign(data, data + buffer.cbBuffer);
      } else if (buffer.BufferType == SECBUFFER_EXTRA && buffer.cbBuffer > 0) {
        extra.assign(encrypted_.end() - buffer.cbBuffer, encrypted_.end());
      }
    }
    encrypted_.swap(extra);
    // Some Schannel implementations report the peer's close_notify as an
    // empty record rather than as the end of the context; an alert record
    // that yields no data ends the stream.
    if (alert && plain_.empty()) ended_ = true;
    return Decrypted::Progress;
  }

  TcpSocket& socket_;
  CredHandle credentials_{};
  CtxtHandle context_{};
  bool hasCredentials_ = false;
  bool hasContext_ = false;
  bool ended_ = false;
  SecPkgContext_StreamSizes sizes_{};
  std::vector<char> encrypted_;
  std::vector<char> plain_;
  size_t plainUsed_ = 0;
};

bool SchannelSession::Start(const std::string& serverName, std::string& error) {
  SCHANNEL_CRED settings{};
  settings.dwVersion = SCHANNEL_CRED_VERSION;
  settings.grbitEnabledProtocols = SP_PROT_TLS1_2_CLIENT;
  settings.dwFlags = SCH_CRED_MANUAL_CRED_VALIDATION | SCH_CRED_NO_DEFAULT_CREDS;
  TimeStamp expiry;
  char package[] = UNISP_NAME_A;
  SECURITY_STATUS status =
      AcquireCredentialsHandleA(nullptr, package, SECPKG_CRED_OUTBOUND, nullptr, &settings, nullptr,
                                nullptr, &credentials_, &expiry);
  if (status != SEC_E_OK) {
    error = "TLS credentials: " + HexCode(status);
    return false;
  }
  hasCredentials_ = true;

  std::string target = serverName;
  DWORD flags = 0;
  bool first = true;
  while (true) {
    SecBuffer in[2] = {
        {static_cast<unsigned long>(encrypted_.size()), SECBUFFER_TOKEN, encrypted_.data()},
        {0, SECBUFFER_EMPTY, nullptr}};
    SecBufferDesc inDescription{SECBUFFER_VERSION, 2, in};
    SecBuffer out[1] = {{0, SECBUFFER_TOKEN, nullptr}};
    SecBufferDesc outDescription{SECBUFFER_VERSION, 1, out};
    status =
        InitializeSecurityContextA(&credentials_, first ? nullptr : &context_, target.data(),
                                   kContextFlags, 0, 0, first ? nullptr : &inDescription, 0,
                                   first ? &context_ : nullptr, &outDescription, &flags, &expiry);
    if (first) hasContext_ = status == SEC_E_OK || status == SEC_I_CONTINUE_NEEDED;
    first = false;
    if (status == SEC_E_OK || status == SEC_I_CONTINUE_NEEDED) {
      if (out[0].pvBuffer && out[0].cbBuffer > 0) {
        bool sent = socket_.SendAll(
            std::string_view(static_cast<const char*>(out[0].pvBuffer), out[0].cbBuffer));
        FreeContextBuffer(out[0].pvBuffer);
        if (!sent) {
          error = "TLS handshake: the connection broke";
          return false;
        }
      }
      if (in[1].BufferType == SECBUFFER_EXTRA && in[1].cbBuffer > 0) {
        encrypted_.erase(encrypted_.begin(), encrypted_.end() - in[1].cbBuffer);
      } else {
        encrypted_.clear();
      }
      if (status == SEC_E_OK) break;
      if (!encrypted_.empty()) continue;
    } else if (status != SEC_E_INCOMPLETE_MESSAGE) {
      if (out[0].pvBuffer) FreeContextBuffer(out[0].pvBuffer);
      error = "TLS handshake failed: " + HexCode(status);
      return false;
    }
    char block[16384];
    ReceiveResult raw = socket_.Receive(block, sizeof block, kHandshakeWaitMs);
    if (raw.Status != ReceiveStatus::Data) {
      error = raw.Status == ReceiveStatus::TimedOut ? "TLS handshake: no answer"
                                                    : "TLS handshake: the server closed";
      return false;
    }
    encrypted_.insert(encrypted_.end(), block, block + raw.Size);
  }

  if (!VerifyServer(context_, serverName, error)) return false;
  status = QueryContextAttributesA(&context_, SECPKG_ATTR_STREAM_SIZES, &sizes_);
  if (status != SEC_E_OK) {
    error = "TLS stream sizes: " + HexCode(status);
    return false;
  }
  return true;
}

}  // namespace

std::unique_ptr<TlsSession> StartTlsSession(TcpSocket& socket, const std::string& serverName,
                                            std::string& error) {
  auto session = std::make_unique<SchannelSession>(socket);
  if (!session->Start(serverName, error)) return nullptr;
  return session;
}

}  // namespace platform
