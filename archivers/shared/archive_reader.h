// SPDX-License-Identifier: MIT
#pragma once
// One reader interface over the format libraries. Each format has an opener;
// the engine drives extraction, listing and checks through this interface.
#include <cstdint>
#include <ctime>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>

#include "platform/error.h"

namespace arc {

// A failure with one of the archiver result codes (archiver_api.h).
class ArcError : public platform::Error {
 public:
  using platform::Error::Error;
};

struct EntryInfo {
  std::string name;       // CP932, "/" between folders, as stored (not yet made safe)
  bool nameIsUtf8 = false;  // the archive stored the name as UTF-8 (name then holds UTF-8)
  bool isDirectory = false;
  bool isSymlink = false;
  bool isHardlink = false;  // linkTarget names an earlier entry of the archive
  std::string linkTarget;   // encoded like name
  std::uint64_t size = 0;         // full length of the data, holes included
  bool sizeKnown = true;           // false: the archive declares no size to trust (a single .gz)
  std::uint64_t holeSize = 0;      // bytes of `size` that are holes of a sparse entry
  std::uint64_t compressedSize = 0;  // 0 when the format keeps no per-entry figure
  std::uint32_t crc = 0;
  bool crcKnown = false;  // crc is the stored value (readers that check it themselves)
  std::time_t mtime = 0;  // UTC seconds; 0 when unknown
  std::uint32_t attributes = 0;  // DOS attribute bits when known
  std::uint32_t osType = 0;
  std::string method;  // e.g. "-lh5-", "deflate"
  bool encrypted = false;
  // Why the stored name could not be read; such an entry is reported, not
  // written, and the entries after it are read as usual.
  std::string nameUnreadable;
};

class ArchiveReader {
 public:
  virtual ~ArchiveReader() = default;
  // Moves to the next entry; false at the end. Throws ArcError on damage.
  virtual bool Next(EntryInfo& info) = 0;
  // Streams the current entry's data in chunks to `sink`; a false answer from
  // the sink stops early. Throws ArcError on damage or a checksum mismatch.
  // Entries whose data was not read are skipped by the next Next().
  virtual void ReadData(const std::function<bool(const void* data, std::size_t size)>& sink) = 0;
  // ReadData for writers that can leave holes: runs of zeros that a sparse
  // entry does not store go to `hole` as lengths (a false answer stops
  // too). Readers of formats without holes pass everything to `sink`.
  virtual void ReadSparseData(const std::function<bool(const void* data, std::size_t size)>& sink,
                              const std::function<bool(std::uint64_t length)>& hole) {
    (void)hole;
    ReadData(sink);
  }
  // True when walking the entries with Next() alone costs little (headers
  // found by seeking), so sizes can be added up before anything is
  // written; false for streams, where skipping means decoding.
  virtual bool ListsCheaply() const { return true; }
  // A reader for a walk over the headers alone of the same archive, built
  // from what this one has already read; null when the walk must open the
  // archive afresh.
  virtual std::unique_ptr<ArchiveReader> HeaderWalk() const { return nullptr; }
  // The current entry's time once its data was read: `listed` (what Next()
  // gave), unless the reader learns the time only from the data's own
  // header.
  virtual std::time_t TimeOfReadEntry(std::time_t listed) const { return listed; }
};

// While one lives, readers opened on this thread serve a walk over the
// headers alone (Next() without ReadData()): they may read less ahead.
class HeaderWalkScope {
 public:
  HeaderWalkScope() : outer_(active_) { active_ = true; }
  ~HeaderWalkScope() { active_ = outer_; }
  HeaderWalkScope(const HeaderWalkScope&) = delete;
  HeaderWalkScope& operator=(const HeaderWalkScope&) = delete;
  static bool Active() { return active_; }

 private:
  static inline thread_local bool active_ = false;
  bool outer_;
};

}  // namespace arc
