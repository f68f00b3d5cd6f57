#include "platform/crypto.h"

#include <windows.h>
// bcrypt.h needs the types of windows.h.
#include <bcrypt.h>

#include <stdexcept>

namespace platform {
namespace {

bool Succeeded(NTSTATUS status) {
  return status >= 0;
}

class AlgorithmHandle {
 public:
  AlgorithmHandle() {
    if (!Succeeded(BCryptOpenAlgorithmProvider(&handle_, BCRYPT_SHA1_ALGORITHM, nullptr, 0)))
      handle_ = nullptr;
  }
  ~AlgorithmHandle() {
    if (handle_) BCryptCloseAlgorithmProvider(handle_, 0);
  }
  AlgorithmHandle(const AlgorithmHandle&) = delete;
  AlgorithmHandle& operator=(const AlgorithmHandle&) = delete;
  BCRYPT_ALG_HANDLE Get() const { return handle_; }

 private:
  BCRYPT_ALG_HANDLE handle_ = nullptr;
};

class HashHandle {
 public:
  explicit HashHandle(BCRYPT_ALG_HANDLE algorithm) {
    if (!Succeeded(BCryptCreateHash(algorithm, &handle_, nullptr, 0, nullptr, 0, 0)))
      handle_ = nullptr;
  }
  ~HashHandle() {
    if (handle_) BCryptDestroyHash(handle_);
  }
  HashHandle(const HashHandle&) = delete;
  HashHandle& operator=(const HashHandle&) = delete;
  BCRYPT_HASH_HANDLE Get() const { return handle_; }

 private:
  BCRYPT_HASH_HANDLE handle_ = nullptr;
};

}  // namespace

Sha1Digest Sha1(std::string_view data) {
  AlgorithmHandle algorithm;
  if (!algorithm.Get()) throw std::runtime_error("SHA-1 is not available");
  HashHandle hash(algorithm.Get());
  if (!hash.Get()) throw std::runtime_error("SHA-1 is not available");
  // BCryptHashData takes at most 4 GiB - 1 per call.
  const char* bytes = data.data();
  size_t left = data.size();
  while (left > 0) {
    ULONG piece = left > 0x40000000 ? 0x40000000 : static_cast<ULONG>(left);
    if (!Succeeded(BCryptHashData(hash.Get(), reinterpret_cast<PUCHAR>(const_cast<char*>(bytes)),
                                  piece, 0)))
      throw std::runtime_error("SHA-1 failed");
    bytes += piece;
    left -= piece;
  }
  Sha1Digest digest{};
  if (!Succeeded(BCryptFinishHash(hash.Get(), digest.data(), static_cast<ULONG>(digest.size()), 0)))
    throw std::runtime_error("SHA-1 failed");
  return digest;
}

}  // namespace platform
