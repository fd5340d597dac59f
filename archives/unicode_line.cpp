// SPDX-License-Identifier: MIT
#include "archives/unicode_line.h"

#include "platform/cp932.h"
#include "platform/path_text.h"

bool NeedsUnicode(std::string_view text) { return text.find(platform::kUtf8PathMark) != std::string_view::npos; }

std::string Utf8CommandText(std::string_view text) {
  std::string out;
  while (!text.empty()) {
    std::size_t mark = text.find(platform::kUtf8PathMark);
    out += platform::Cp932ToUtf8(text.substr(0, mark));
    if (mark == std::string_view::npos) break;
    text.remove_prefix(mark + 1);
    std::size_t end = text.find_first_of("\"\r\n");
    if (end == std::string_view::npos) end = text.size();
    out += text.substr(0, end);
    text.remove_prefix(end);
  }
  return out;
}
