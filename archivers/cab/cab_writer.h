// SPDX-License-Identifier: MIT
#pragma once
// Writing a cabinet: one folder compressed with MSZIP, each 32 KiB block a
// deflate stream of its own behind the "CK" signature (valid for every
// MSZIP decoder, whether or not it keeps history between blocks).
#include <cstdint>
#include <ctime>
#include <functional>
#include <string>
#include <vector>

namespace arc {

class ReplacingFile;

struct CabInput {
  std::string name;  // CP932 with "/" between folders, or UTF-8 when utf8
  bool utf8 = false;
  std::time_t mtime = 0;
  std::uint64_t size = 0;
  // Hands the entry's bytes to the sink, `size` bytes in all.
  std::function<void(const std::function<void(const void*, std::size_t)>& sink)> produce;
};

// Throws ArcError: ERROR_TOO_MANY_FILES beyond 65535 files,
// ERROR_ADD_TO_LARGE beyond what one folder can hold, ERROR_CANNOT_READ when
// an entry produces a different number of bytes than announced.
void WriteCabinet(ReplacingFile& out, const std::vector<CabInput>& files);

}  // namespace arc
