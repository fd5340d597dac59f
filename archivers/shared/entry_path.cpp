// SPDX-License-Identifier: MIT
#include "archivers/shared/entry_path.h"

#include <cstdio>
#include <cstring>

#include "archivers/shared/crc32.h"
#include "archivers/shared/unicode_mode.h"
#include "platform/cp932.h"
#include "platform/nfc.h"

namespace arc {

namespace {

constexpr std::size_t kMaxNameBytes = 255;      // NAME_MAX of Linux file systems
constexpr std::size_t kMaxExtensionBytes = 16;  // longer "extensions" are part of the name

bool IsHex(char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f'); }
bool IsHighHex(char c) { return (c >= '8' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f'); }

void AppendEscaped(std::string& out, unsigned char b) {
  static const char* hex = "0123456789ABCDEF";
  out += '%';
  out += hex[b >> 4];
  out += hex[b & 15];
}

// ASCII byte at i of s, with the "%" rule applied.
void AppendAscii(std::string& out, const std::string& s, std::size_t i) {
  if (s[i] == '%' && i + 2 < s.size() &&
      ((IsHighHex(s[i + 1]) && IsHex(s[i + 2])) || (s[i + 1] == '2' && s[i + 2] == '5'))) {
    out += "%25";
    return;
  }
  out += s[i];
}

std::size_t Utf8SequenceLength(const std::string& s, std::size_t i) {
  unsigned char c = static_cast<unsigned char>(s[i]);
  std::size_t len = c >= 0xC2 && c <= 0xDF ? 2 : c >= 0xE0 && c <= 0xEF ? 3 : c >= 0xF0 && c <= 0xF4 ? 4 : 0;
  if (len == 0 || i + len > s.size()) return 0;
  for (std::size_t k = 1; k < len; ++k)
    if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return 0;
  unsigned char c1 = static_cast<unsigned char>(s[i + 1]);
  if ((c == 0xE0 && c1 < 0xA0) || (c == 0xED && c1 >= 0xA0) || (c == 0xF0 && c1 < 0x90) || (c == 0xF4 && c1 >= 0x90)) return 0;
  return len;
}

// One CP932 character: a lead byte pairs only with a byte that can follow
// it, so "/" after a stray lead byte still separates folders.
std::size_t NextNameChar(const std::string& s, std::size_t i) {
  unsigned char c = static_cast<unsigned char>(s[i]);
  if (platform::IsLeadByte(c) && i + 1 < s.size()) {
    unsigned char t = static_cast<unsigned char>(s[i + 1]);
    if ((t >= 0x40 && t <= 0x7E) || (t >= 0x80 && t <= 0xFC)) return i + 2;
  }
  return i + 1;
}

// Splits at "/" and "\" (whole characters for CP932).
std::vector<std::string> SplitParts(const std::string& name, bool isUtf8) {
  std::vector<std::string> parts;
  std::string cur;
  for (std::size_t i = 0; i < name.size();) {
    std::size_t next = isUtf8 ? i + 1 : NextNameChar(name, i);
    if (next == i + 1 && (name[i] == '/' || name[i] == '\\')) {
      parts.push_back(cur);
      cur.clear();
    } else {
      cur.append(name, i, next - i);
    }
    i = next;
  }
  parts.push_back(cur);
  // A drive letter in front ("C:" or "C:name") belongs to another machine.
  if (!parts.empty() && parts[0].size() >= 2 && parts[0][1] == ':' &&
      ((parts[0][0] >= 'A' && parts[0][0] <= 'Z') || (parts[0][0] >= 'a' && parts[0][0] <= 'z')))
    parts[0].erase(0, 2);
  return parts;
}


// A name the file system cannot hold for its length: cut at a character
// boundary, with a hash of the whole name for uniqueness and the extension
// kept, so "<84 kanji>.bms" is still found as a chart.
std::string Shortened(const std::string& name) {
  std::size_t dot = name.rfind('.');
  std::string ext = dot != std::string::npos && dot > 0 && name.size() - dot <= kMaxExtensionBytes ? name.substr(dot) : "";
  char tag[16];
  std::snprintf(tag, sizeof tag, "~%08lX",
                static_cast<unsigned long>(Crc32(0, name.data(), name.size())));
  std::size_t cut = kMaxNameBytes - ext.size() - std::strlen(tag);
  while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80) --cut;
  return name.substr(0, cut) + tag + ext;
}

}  // namespace

std::string FsComponent(const std::string& given, bool isUtf8) {
  // One form of each name: decomposed names (macOS) are composed.
  const std::string part = isUtf8 ? platform::ToNfc(given) : given;
  std::string out;
  for (std::size_t i = 0; i < part.size();) {
    unsigned char c = static_cast<unsigned char>(part[i]);
    if (c < 0x80) {
      AppendAscii(out, part, i);
      ++i;
      continue;
    }
    if (isUtf8) {
      std::size_t len = Utf8SequenceLength(part, i);
      if (len == 0) {
        AppendEscaped(out, c);
        ++i;
      } else {
        out.append(part, i, len);
        i += len;
      }
      continue;
    }
    std::size_t next = NextNameChar(part, i);
    std::string utf8;
    if (platform::TryCp932ToUtf8(std::string_view(part).substr(i, next - i), utf8) && !utf8.empty()) {
      out += utf8;
      i = next;
    } else {
      // Not a character: keep the byte, escaped; the next byte starts over.
      AppendEscaped(out, c);
      ++i;
    }
  }
  return out.size() > kMaxNameBytes ? Shortened(out) : out;
}

EntryPath MakeEntryPath(const std::string& name, bool isUtf8) {
  EntryPath p;
  std::vector<std::string> kept;
  for (auto& part : SplitParts(name, isUtf8)) {
    if (part.empty() || part == ".") continue;
    if (part == "..") {
      p.unsafe = true;
      return p;
    }
    kept.push_back(FsComponent(part, isUtf8));
  }
  if (kept.empty()) return p;
  p.leaf = kept.back();
  kept.pop_back();
  p.dirs = std::move(kept);
  return p;
}

std::string DisplayName(const std::string& name, bool isUtf8) {
  std::string out;
  auto parts = SplitParts(name, isUtf8);
  for (auto& part : parts) {
    if (part.empty() || part == ".") continue;
    if (!out.empty()) out += '/';
    out += isUtf8 ? platform::Utf8ToCp932(platform::ToNfc(part)) : part;
  }
  return out;
}

std::string ReportedName(const std::string& name, bool isUtf8) {
  return UnicodeMode() ? Utf8DisplayName(name, isUtf8) : DisplayName(name, isUtf8);
}

std::string Utf8DisplayName(const std::string& name, bool isUtf8) {
  std::string out;
  for (auto& part : SplitParts(name, isUtf8)) {
    if (part.empty() || part == ".") continue;
    if (!out.empty()) out += '/';
    out += isUtf8 ? platform::ToNfc(part) : platform::Cp932ToUtf8(part);
  }
  return out;
}

std::string SafeLinkTarget(const std::string& target, bool isUtf8, const EntryPath& linkPath) {
  if (target.empty() || target[0] == '/' || target[0] == '\\') return {};
  if (target.size() >= 2 && target[1] == ':') return {};
  auto parts = SplitParts(target, isUtf8);
  long depth = static_cast<long>(linkPath.dirs.size());
  std::string out;
  for (auto& part : parts) {
    if (part.empty() || part == ".") continue;
    if (part == "..") {
      if (--depth < 0) return {};
    } else {
      ++depth;
    }
    if (!out.empty()) out += '/';
    out += part == ".." ? part : FsComponent(part, isUtf8);
  }
  return out;
}

}  // namespace arc
