// SPDX-License-Identifier: MIT
// Any bytes as a table's page and as its body. The page's header name must
// be text of the page; the body gives entries whose hashes are lower-case
// hex of their length, or a TableError, never another failure.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "library/difficulty_table.h"

namespace {

bool LowerHexOf(const std::string& s, std::size_t length) {
  if (s.empty()) return true;
  if (s.size() != length) return false;
  for (char c : s)
    if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const std::string content = library::BmstableMetaContent(text);
  if (!content.empty() && text.find(content) == std::string_view::npos) std::abort();
  try {
    std::size_t skipped = 0;
    for (const library::TableEntry& e : library::ParseTableBody(text, skipped)) {
      if (!LowerHexOf(e.md5, 32) || !LowerHexOf(e.sha256, 64) || (e.md5.empty() && e.sha256.empty())) std::abort();
    }
  } catch (const library::TableError&) {
  }
  return 0;
}
