// SPDX-License-Identifier: MIT
// MD5 and SHA-256 on Windows through the system's CNG (BCrypt) providers;
// the Linux build uses OpenSSL, which is not among the Windows libraries.
#include "charts/chart_hash.h"

#include <windows.h>
#include <bcrypt.h>

#include <stdexcept>

namespace {

class Digest {
 public:
  explicit Digest(LPCWSTR algorithm) {
    if (BCryptOpenAlgorithmProvider(&alg_, algorithm, nullptr, 0) != 0 ||
        BCryptCreateHash(alg_, &hash_, nullptr, 0, nullptr, 0, 0) != 0)
      throw std::runtime_error("digest unavailable");
  }
  ~Digest() {
    if (hash_) BCryptDestroyHash(hash_);
    if (alg_) BCryptCloseAlgorithmProvider(alg_, 0);
  }
  Digest(const Digest&) = delete;
  Digest& operator=(const Digest&) = delete;

  void Update(std::string_view bytes) {
    while (!bytes.empty()) {
      ULONG n = bytes.size() > 0x40000000 ? 0x40000000 : static_cast<ULONG>(bytes.size());
      if (BCryptHashData(hash_, reinterpret_cast<PUCHAR>(const_cast<char*>(bytes.data())), n, 0) != 0)
        throw std::runtime_error("digest failed");
      bytes.remove_prefix(n);
    }
  }

  std::string FinishHex() {
    DWORD size = 0, got = 0;
    if (BCryptGetProperty(alg_, BCRYPT_HASH_LENGTH, reinterpret_cast<PUCHAR>(&size), sizeof size, &got, 0) != 0)
      throw std::runtime_error("digest failed");
    std::string digest(size, '\0');
    if (BCryptFinishHash(hash_, reinterpret_cast<PUCHAR>(digest.data()), size, 0) != 0)
      throw std::runtime_error("digest failed");
    static constexpr char kHex[] = "0123456789abcdef";
    std::string hex;
    for (unsigned char c : digest) {
      hex += kHex[c >> 4];
      hex += kHex[c & 15];
    }
    return hex;
  }

 private:
  BCRYPT_ALG_HANDLE alg_ = nullptr;
  BCRYPT_HASH_HANDLE hash_ = nullptr;
};

}  // namespace

struct ChartHasher::Impl {
  Digest md5{BCRYPT_MD5_ALGORITHM};
  Digest sha256{BCRYPT_SHA256_ALGORITHM};
};

ChartHasher::ChartHasher() : impl_(new Impl) {}
ChartHasher::~ChartHasher() = default;

void ChartHasher::Update(std::string_view bytes) {
  impl_->md5.Update(bytes);
  impl_->sha256.Update(bytes);
}

void ChartHasher::Finish(std::string& md5Hex, std::string& sha256Hex) {
  md5Hex = impl_->md5.FinishHex();
  sha256Hex = impl_->sha256.FinishHex();
}
