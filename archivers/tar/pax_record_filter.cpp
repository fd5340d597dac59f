// SPDX-License-Identifier: MIT
#include "archivers/tar/pax_record_filter.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace arc {

namespace {

constexpr std::size_t kBlock = 512;
// libarchive refuses longer extended headers itself; past this the stream
// is passed on as it is.
constexpr std::uint64_t kLongestExtendedHeader = 1 << 20;

std::uint64_t Padded(std::uint64_t n) { return (n + kBlock - 1) / kBlock * kBlock; }

// An octal field (spaces and NULs around the digits) or a base-256 one
// (high bit set); -1 when it is neither or too large.
std::int64_t NumberField(const unsigned char* p, std::size_t len) {
  std::uint64_t v = 0;
  if (p[0] & 0x80) {
    if (p[0] & 0x40) return -1;  // negative
    v = p[0] & 0x3F;
    for (std::size_t i = 1; i < len; ++i) {
      if (v >> 55) return -1;
      v = v << 8 | p[i];
    }
    return static_cast<std::int64_t>(v);
  }
  std::size_t i = 0;
  while (i < len && p[i] == ' ') ++i;
  for (; i < len && p[i] >= '0' && p[i] <= '7'; ++i) {
    if (v >> 60) return -1;
    v = v << 3 | static_cast<unsigned>(p[i] - '0');
  }
  for (; i < len; ++i)
    if (p[i] != ' ' && p[i] != 0) return -1;
  return static_cast<std::int64_t>(v);
}

unsigned HeaderSum(const unsigned char* h) {
  unsigned sum = 0;
  for (std::size_t i = 0; i < kBlock; ++i) sum += (i >= 148 && i < 156) ? ' ' : h[i];
  return sum;
}

// Old tools summed signed bytes; libarchive takes either.
bool ChecksumHolds(const unsigned char* h) {
  std::int64_t stored = NumberField(h + 148, 8);
  if (stored < 0) return false;
  int signedSum = 0;
  for (std::size_t i = 0; i < kBlock; ++i)
    signedSum += (i >= 148 && i < 156) ? ' ' : static_cast<signed char>(h[i]);
  return static_cast<unsigned>(stored) == HeaderSum(h) || stored == signedSum;
}

bool AllZero(const std::string& block) {
  return std::all_of(block.begin(), block.end(), [](char c) { return c == 0; });
}

// `c` in [from, to) of `s`, npos when absent: searches stay inside one
// record, so a header of many records is read in one pass.
std::size_t FindIn(const std::string& s, char c, std::size_t from, std::size_t to) {
  if (from >= to || to > s.size()) return std::string::npos;
  const void* at = std::memchr(s.data() + from, c, to - from);
  return at ? static_cast<std::size_t>(static_cast<const char*>(at) - s.data()) : std::string::npos;
}

// The decimal "size" record of cleaned extended data; -1 when there is none
// or it is no plain number.
std::int64_t SizeRecord(const std::string& records, bool& unreadable) {
  std::int64_t size = -1;
  std::size_t p = 0;
  while (p < records.size()) {
    std::size_t space = FindIn(records, ' ', p, std::min(records.size(), p + 21));
    if (space == std::string::npos) break;
    std::uint64_t len = std::strtoull(records.c_str() + p, nullptr, 10);
    if (len == 0 || len > records.size() - p) break;
    std::size_t eq = FindIn(records, '=', space, p + len);
    if (eq != std::string::npos && records.compare(space + 1, eq - space - 1, "size") == 0) {
      std::string value = records.substr(eq + 1, p + len - 1 - (eq + 1));
      bool digits = !value.empty() && value.size() < 19 &&
                    std::all_of(value.begin(), value.end(), [](char c) { return c >= '0' && c <= '9'; });
      if (digits) size = std::stoll(value);
      unreadable = !digits;
    }
    p += len;
  }
  return size;
}

}  // namespace

PaxRecordFilter::PaxRecordFilter(ReadFn read, SkipFn skip) : read_(std::move(read)), skip_(std::move(skip)) {}

std::string PaxRecordFilter::CleanRecords(const std::string& data) {
  std::string kept;
  bool dropped = false;
  std::size_t p = 0;
  while (p < data.size()) {
    std::size_t q = p;
    std::uint64_t len = 0;
    while (q < data.size() && data[q] >= '0' && data[q] <= '9' && len <= data.size()) len = len * 10 + static_cast<unsigned>(data[q++] - '0');
    bool framed = q > p && q < data.size() && data[q] == ' ' && len > q - p + 1 && len <= data.size() - p;
    std::size_t eq = framed ? FindIn(data, '=', q, p + len - 1) : std::string::npos;
    bool wellFormed = framed && data[p + len - 1] == '\n' && eq != std::string::npos;
    if (!wellFormed) {  // libarchive reports the rest itself
      kept.append(data, p, std::string::npos);
      break;
    }
    bool emptyKey = eq == q + 1;
    bool emptyValue = eq + 1 == p + len - 1;
    if (emptyKey || emptyValue) dropped = true;
    else kept.append(data, p, len);
    p += len;
  }
  return dropped ? kept : data;
}

bool PaxRecordFilter::FillInput() {
  const void* p = nullptr;
  std::size_t n = read_(&p);
  if (n == 0) return false;
  in_ = static_cast<const unsigned char*>(p);
  inLeft_ = n;
  return true;
}

std::size_t PaxRecordFilter::Read(const void** out) {
  for (;;) {
    if (outPending_) {
      outPending_ = false;
      *out = out_.data();
      return out_.size();
    }
    if (inLeft_ == 0 && !FillInput()) {
      if (gathered_.empty()) return 0;
      // A block cut short at the end goes on as it was, for libarchive to judge.
      out_.swap(gathered_);
      gathered_.clear();
      inSync_ = false;
      outPending_ = true;
      continue;
    }
    if (!inSync_ || passLeft_ > 0) {
      std::size_t n = inSync_ ? static_cast<std::size_t>(std::min<std::uint64_t>(inLeft_, passLeft_)) : inLeft_;
      *out = in_;
      in_ += n;
      inLeft_ -= n;
      if (inSync_) passLeft_ -= n;
      return n;
    }
    if (gathered_.empty()) gatherWant_ = kBlock;
    std::size_t take = static_cast<std::size_t>(std::min<std::uint64_t>(inLeft_, gatherWant_ - gathered_.size()));
    gathered_.append(reinterpret_cast<const char*>(in_), take);
    in_ += take;
    inLeft_ -= take;
    if (gathered_.size() < gatherWant_) continue;
    if (gatherWant_ > kBlock) {
      TakeExtendedHeader();
    } else if (sparseExtensions_) {
      sparseExtensions_ = gathered_[504] != 0;
      if (!sparseExtensions_) passLeft_ = dataAfterExtensions_;
      out_.swap(gathered_);
      gathered_.clear();
      outPending_ = true;
    } else {
      TakeHeader();
    }
  }
}

void PaxRecordFilter::TakeHeader() {
  const auto* h = reinterpret_cast<const unsigned char*>(gathered_.data());
  std::int64_t size = NumberField(h + 124, 12);
  char type = static_cast<char>(h[156]);
  bool zero = AllZero(gathered_);
  if (!zero && (!ChecksumHolds(h) || size < 0)) {
    inSync_ = false;
  } else if (!zero && (type == 'x' || type == 'X' || type == 'g')) {
    if (static_cast<std::uint64_t>(size) > kLongestExtendedHeader) {
      inSync_ = false;
    } else {
      gatherWant_ = kBlock + Padded(static_cast<std::uint64_t>(size));
      if (gatherWant_ == kBlock) TakeExtendedHeader();
      return;  // passed on once its data is here
    }
  } else if (!zero) {
    bool longName = type == 'L' || type == 'K';
    if (!longName && nextSize_ >= 0) size = nextSize_;
    if (!longName) nextSize_ = -1;
    if (type >= '2' && type <= '6') size = 0;
    // Whether a hard link's size means data is libarchive's guess: ours
    // could differ, so filtering stops there.
    if (type == '1' && size > 0) inSync_ = false;
    if (type == 'S' && h[482] != 0) {
      sparseExtensions_ = true;
      dataAfterExtensions_ = Padded(static_cast<std::uint64_t>(size));
    } else if (inSync_) {
      passLeft_ = Padded(static_cast<std::uint64_t>(size));
    }
  }
  out_.swap(gathered_);
  gathered_.clear();
  outPending_ = true;
}

void PaxRecordFilter::TakeExtendedHeader() {
  auto* h = reinterpret_cast<unsigned char*>(gathered_.data());
  auto size = static_cast<std::size_t>(NumberField(h + 124, 12));
  std::string data = gathered_.substr(kBlock, size);
  std::string cleaned = CleanRecords(data);
  if (h[156] != 'g') {
    bool unreadable = false;
    nextSize_ = SizeRecord(cleaned, unreadable);
    if (unreadable) inSync_ = false;  // libarchive's reading of it is its own
  }
  if (cleaned.size() != data.size()) {
    std::snprintf(reinterpret_cast<char*>(h + 124), 12, "%011llo", static_cast<unsigned long long>(cleaned.size()));
    std::snprintf(reinterpret_cast<char*>(h + 148), 8, "%06o", HeaderSum(h));
    h[155] = ' ';
    gathered_.resize(kBlock);
    gathered_ += cleaned;
    gathered_.resize(kBlock + Padded(cleaned.size()), '\0');
  }
  out_.swap(gathered_);
  gathered_.clear();
  outPending_ = true;
}

std::uint64_t PaxRecordFilter::Skip(std::uint64_t n) {
  if (outPending_ || !gathered_.empty() || (inSync_ && passLeft_ == 0)) return 0;
  std::uint64_t allowed = inSync_ ? std::min(n, passLeft_) : n;
  std::uint64_t done = std::min<std::uint64_t>(allowed, inLeft_);
  in_ += done;
  inLeft_ -= static_cast<std::size_t>(done);
  if (done < allowed) done += std::min(skip_(allowed - done), allowed - done);
  if (inSync_) passLeft_ -= done;
  return done;
}

}  // namespace arc
