#pragma once
// A compressed stream decoded on its own, to tell one that truly holds
// nothing from one whose decoder failed before its first output: libarchive
// takes both for an empty stream.
#include <cstddef>
#include <string>

namespace arc {

enum class StreamEnd { Clean, CutShort, Damaged };

struct DecodedStream {
  StreamEnd end = StreamEnd::Clean;
  // The decoded bytes, up to the limit asked for; what a cut stream still
  // gives before its cut.
  std::string prefix;
  bool overLimit = false;  // more came out than the limit
};

// `filter` is an ARCHIVE_FILTER_* (gzip, bzip2 or compress). Concatenated
// gzip members and bzip2 streams are decoded in turn; bytes after a clean
// end that start no further member are ignored, as libarchive does.
DecodedStream DecodeStream(const std::string& path, int filter, std::size_t keep);

}  // namespace arc
