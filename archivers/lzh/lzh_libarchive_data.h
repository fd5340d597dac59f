// SPDX-License-Identifier: MIT
#pragma once
// The data of -lh5-, -lh6- and -lh7- entries through libarchive, whose
// decoder is several times faster than liblhasa's. The LZH reader still
// walks the headers with liblhasa; for each entry it wants decoded it names
// the entry's place in the file, and a libarchive handle positioned at that
// header decodes it (and checks its CRC-16, so it is computed only once).
#include <cstdint>
#include <functional>
#include <vector>

struct archive;

namespace arc {

class LzhLibarchiveData {
 public:
  using Sink = std::function<bool(const void* data, std::size_t size)>;

  // Where an entry lies and what its header declares.
  struct Entry {
    std::uint64_t headerOffset = 0;
    std::uint64_t dataOffset = 0;
    std::uint64_t dataEnd = 0;
    std::uint64_t size = 0;  // original length
  };

  enum class Result {
    kDone,     // all of the data went to the sink, length and CRC right
    kStopped,  // the sink asked to stop
    kRefused,  // libarchive does not read this header alike; nothing was sent
  };

  // Borrows `fd`, which must stay open while this lives.
  LzhLibarchiveData(int fd, std::uint64_t fileSize);
  ~LzhLibarchiveData();
  LzhLibarchiveData(const LzhLibarchiveData&) = delete;
  LzhLibarchiveData& operator=(const LzhLibarchiveData&) = delete;

  // True for the methods libarchive decodes.
  static bool Decodes(const char* method);

  // Streams the entry's data to `sink`. Throws ArcError: ERROR_BROKEN_DATA
  // for damaged, short or overlong data, ERROR_FILE_CRC for a CRC mismatch.
  Result Read(const Entry& entry, const Sink& sink);

  // What libarchive's read callbacks serve: the file from `base` on.
  struct Input {
    int fd = -1;
    std::uint64_t fileSize = 0;
    std::uint64_t base = 0;    // file offset the handle's stream starts at
    std::uint64_t pos = 0;     // file offset of the next read
    std::uint64_t readTo = 0;  // reads reach for this offset (the entry's end)
    std::vector<unsigned char> buf;
  };

 private:
  bool Open(std::uint64_t at);
  void Close();

  Input in_;
  struct archive* a_ = nullptr;
  std::uint64_t next_ = 0;  // file offset of the header the handle reads next
};

}  // namespace arc
