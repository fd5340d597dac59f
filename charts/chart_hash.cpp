// SPDX-License-Identifier: MIT
#include "charts/chart_hash.h"

#include <openssl/evp.h>

#include <stdexcept>

namespace {

struct MdCtxDeleter {
  void operator()(EVP_MD_CTX* c) const { EVP_MD_CTX_free(c); }
};
using MdCtx = std::unique_ptr<EVP_MD_CTX, MdCtxDeleter>;

MdCtx NewDigest(const EVP_MD* md) {
  MdCtx ctx(EVP_MD_CTX_new());
  if (!ctx || EVP_DigestInit_ex(ctx.get(), md, nullptr) != 1) throw std::runtime_error("digest unavailable");
  return ctx;
}

std::string FinishHex(EVP_MD_CTX* ctx) {
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int size = 0;
  if (EVP_DigestFinal_ex(ctx, digest, &size) != 1) throw std::runtime_error("digest failed");
  static constexpr char kHex[] = "0123456789abcdef";
  std::string hex;
  hex.reserve(size * 2);
  for (unsigned int i = 0; i < size; ++i) {
    hex += kHex[digest[i] >> 4];
    hex += kHex[digest[i] & 15];
  }
  return hex;
}

}  // namespace

struct ChartHasher::Impl {
  MdCtx md5 = NewDigest(EVP_md5());
  MdCtx sha256 = NewDigest(EVP_sha256());
};

ChartHasher::ChartHasher() : impl_(new Impl) {}
ChartHasher::~ChartHasher() = default;

void ChartHasher::Update(std::string_view bytes) {
  if (EVP_DigestUpdate(impl_->md5.get(), bytes.data(), bytes.size()) != 1 ||
      EVP_DigestUpdate(impl_->sha256.get(), bytes.data(), bytes.size()) != 1)
    throw std::runtime_error("digest failed");
}

void ChartHasher::Finish(std::string& md5Hex, std::string& sha256Hex) {
  md5Hex = FinishHex(impl_->md5.get());
  sha256Hex = FinishHex(impl_->sha256.get());
}
