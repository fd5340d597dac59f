// SPDX-License-Identifier: MIT
#pragma once
// gzip, bzip2, xz, lzma and zstd streams decoded here rather than by
// libarchive's filters:
// libarchive drops what it decoded last when a stream fails (up to 64 KiB,
// whole entries among it), takes a stream failing before its first output
// for an empty one, and checks no gzip CRC. Concatenated gzip members, bzip2
// and xz streams and zstd frames are decoded in turn; bytes after a clean end that start no
// further member are ignored, as libarchive does.
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace arc {

enum class StreamEnd { Clean, CutShort, Damaged };

class CompressedStream {
 public:
  // Whether `filter` is one decoded here.
  static bool Decodes(int filter);

  // `filter` is one that Decodes() takes. Throws ArcError
  // (ERROR_ARC_FILE_OPEN) when the file cannot be opened.
  CompressedStream(const std::string& path, int filter);
  ~CompressedStream();  // not copied: its input and decoder are not

  // The next decoded bytes (valid until the next call); 0 once the stream
  // has ended, how it ended then in End().
  std::size_t Read(const void** out);
  bool Ended() const { return ended_; }
  StreamEnd End() const { return end_; }

  class Decoder;
  class Input;

 private:
  std::size_t Finish(StreamEnd end);

  std::unique_ptr<Input> in_;
  std::unique_ptr<Decoder> decoder_;
  std::vector<unsigned char> out_;
  bool inMember_ = true;
  bool damaged_ = false;  // shown by the last step, after its output
  bool ended_ = false;
  StreamEnd end_ = StreamEnd::Clean;
};

}  // namespace arc
