// SPDX-License-Identifier: MIT
#include "archivers/arj/arj_bits.h"

#include "archiver_api.h"
#include "archivers/shared/archive_reader.h"

namespace arc::arj {

void BitReader::Refill() {
  while (count_ <= 56) {
    if (pos_ == end_ && !eof_) {
      end_ = source_(buf_, sizeof buf_);
      pos_ = 0;
      if (end_ == 0) eof_ = true;
    }
    std::uint64_t byte = 0;
    if (pos_ < end_) {
      byte = buf_[pos_++];
    } else {
      padBits_ += 8;
    }
    acc_ |= byte << (56 - count_);
    count_ += 8;
  }
}

void BitReader::ThrowEnded() { throw ArcError(ERROR_BROKEN_DATA, "compressed data ends early"); }

}  // namespace arc::arj
