#include "platform/crypto.h"

#include <openssl/evp.h>

#include <stdexcept>

namespace platform {

Sha1Digest Sha1(std::string_view data) {
  Sha1Digest digest{};
  unsigned int size = 0;
  if (EVP_Digest(data.data(), data.size(), digest.data(), &size, EVP_sha1(), nullptr) != 1 ||
      size != digest.size())
    throw std::runtime_error("SHA-1 failed");
  return digest;
}

}  // namespace platform
