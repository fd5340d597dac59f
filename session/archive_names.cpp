// SPDX-License-Identifier: MIT
#include "session/archive_names.h"

#include <array>

#include "platform/cp932.h"
#include "session/song_installer.h"

namespace {

// Room for " (99)" and the longest extension within the 255 bytes most
// file systems allow.
constexpr std::size_t kMaxStemBytes = 200;

std::size_t Utf8Length(unsigned char lead) {
  if (lead < 0x80) return 1;
  if ((lead & 0xE0) == 0xC0) return 2;
  if ((lead & 0xF0) == 0xE0) return 3;
  if ((lead & 0xF8) == 0xF0) return 4;
  return 1;
}

bool IsDeviceName(const std::string& name) {
  std::string upper;
  for (char c : name.substr(0, name.find('.'))) upper += (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
  static const std::array<const char*, 4> plain = {"CON", "PRN", "AUX", "NUL"};
  for (const char* d : plain)
    if (upper == d) return true;
  return upper.size() == 4 && (upper.starts_with("COM") || upper.starts_with("LPT")) && upper[3] >= '1' &&
         upper[3] <= '9';
}

}  // namespace

std::string SafeFileName(const std::string& wanted) {
  std::string out;
  for (std::size_t i = 0; i < wanted.size();) {
    const std::size_t n = std::min(Utf8Length(static_cast<unsigned char>(wanted[i])), wanted.size() - i);
    const std::string ch = wanted.substr(i, n);
    i += n;
    const unsigned char c = static_cast<unsigned char>(ch[0]);
    std::string cp932;
    if ((n == 1 && (c < 0x20 || c == 0x7F || std::string("\\/:*?\"<>|").find(ch[0]) != std::string::npos)) ||
        !platform::TryUtf8ToCp932(ch, cp932)) {
      out += '_';
    } else {
      if (out.size() + ch.size() > kMaxStemBytes) break;
      out += ch;
    }
  }
  while (!out.empty() && (out.back() == ' ' || out.back() == '.')) out.pop_back();
  std::size_t lead = out.find_first_not_of(' ');
  out = lead == std::string::npos ? std::string() : out.substr(lead);
  if (!out.empty() && IsDeviceName(out)) out += '_';
  return out;
}

std::string ArchiveExtension(const std::string& fileName) {
  const std::string stem = SongFolderName(fileName);
  return stem.size() < fileName.size() ? fileName.substr(stem.size()) : std::string();
}
