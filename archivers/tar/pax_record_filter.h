// SPDX-License-Identifier: MIT
#pragma once
// A tar stream passed on block by block to libarchive with the extended
// (pax) header records it misreads taken out:
//  - a record with an empty key makes libarchive give up the whole archive;
//  - a record with an empty value ("size=", "mtime=") is read as zero, so
//    an entry loses its data and the tar its block alignment. An empty value
//    means "no value": the ustar header's field stands, as other tools read it.
// Entry data passes through untouched (and skips stay skips); a header that
// does not check out ends the filtering, and the rest passes as it is.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace arc {

class PaxRecordFilter {
 public:
  // `read` gives the next bytes of the tar (valid until its next call), 0 at
  // the end; `skip` passes over up to n bytes, answering how many it did
  // (0 when it cannot).
  using ReadFn = std::function<std::size_t(const void** out)>;
  using SkipFn = std::function<std::uint64_t(std::uint64_t n)>;
  PaxRecordFilter(ReadFn read, SkipFn skip);

  // The next bytes for libarchive (valid until the next call); 0 at the end.
  std::size_t Read(const void** out);
  // Skips up to n bytes inside entry data; how many it skipped.
  std::uint64_t Skip(std::uint64_t n);

  // The records of one extended header's data without those libarchive
  // misreads; the data as it is when none was taken out.
  static std::string CleanRecords(const std::string& data);

 private:
  bool FillInput();
  void TakeHeader();
  void TakeExtendedHeader();

  ReadFn read_;
  SkipFn skip_;
  const unsigned char* in_ = nullptr;  // input not yet passed on
  std::size_t inLeft_ = 0;
  std::string gathered_;        // a header block (with its extended data) being put together
  std::uint64_t gatherWant_ = 0;  // how many bytes gathered_ must reach
  std::string out_;             // a block ready to pass on
  bool outPending_ = false;
  std::uint64_t passLeft_ = 0;   // entry data (with padding) to pass untouched
  bool sparseExtensions_ = false;  // old GNU sparse extension blocks follow
  std::uint64_t dataAfterExtensions_ = 0;
  std::int64_t nextSize_ = -1;     // "size" of the next entry's extended header
  bool inSync_ = true;
};

}  // namespace arc
