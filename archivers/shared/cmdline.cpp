// SPDX-License-Identifier: MIT
#include "archivers/shared/cmdline.h"

#include "archiver_api.h"
#include "archivers/shared/archive_reader.h"
#include "archivers/shared/unicode_mode.h"
#include "platform/error.h"
#include "platform/input_file.h"
#include "platform/paths.h"

namespace arc {

namespace {
constexpr std::size_t kMaxResponseFile = 16 << 20;

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
}  // namespace

std::vector<CmdToken> TokenizeCommandLine(std::string_view line) {
  std::vector<CmdToken> out;
  CmdToken cur;
  bool inWord = false, inQuotes = false;
  for (char c : line) {
    if (c == '\0') break;
    if (c == '"') {
      inQuotes = !inQuotes;
      inWord = true;
      cur.quoted = true;
    } else if (!inQuotes && IsBlank(c)) {
      if (inWord) out.push_back(std::move(cur));
      cur = CmdToken{};
      inWord = false;
    } else {
      cur.text += c;
      inWord = true;
    }
  }
  if (inWord) out.push_back(std::move(cur));
  return out;
}

std::vector<std::string> ParseResponseText(std::string_view text) {
  std::vector<std::string> names;
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(pos, end - pos);
    pos = end + 1;
    while (!line.empty() && IsBlank(line.back())) line.remove_suffix(1);
    while (!line.empty() && IsBlank(line.front())) line.remove_prefix(1);
    if (line.empty()) continue;
    if (line.front() == '"') {
      line.remove_prefix(1);
      std::size_t close = line.find('"');
      if (close != std::string_view::npos) line = line.substr(0, close);
      if (line.empty()) continue;
    }
    names.emplace_back(line);
  }
  return names;
}

std::vector<std::string> ReadResponseFile(const std::string& cp932Path) {
  // Only a regular file is read (a FIFO would block), and no more of it
  // than a response file can sensibly hold.
  std::string text;
  try {
    platform::InputFile file(FromCaller(cp932Path));
    char buf[1 << 16];
    while (std::size_t n = file.Read(buf, sizeof buf)) {
      text.append(buf, n);
      if (text.size() > kMaxResponseFile) throw ArcError(ERROR_RESPONSE_READ, "unusable response file " + cp932Path);
    }
  } catch (const ArcError&) {
    throw;
  } catch (const platform::Error&) {
    throw ArcError(ERROR_RESPONSE_READ, "cannot read response file " + cp932Path);
  }
  return ParseResponseText(text);
}

}  // namespace arc
