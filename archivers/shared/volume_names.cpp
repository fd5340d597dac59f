// SPDX-License-Identifier: MIT
#include "archivers/shared/volume_names.h"

#include <cctype>
#include <cstdio>
#include <set>

#include "platform/error.h"
#include "platform/input_file.h"
#include "platform/paths.h"

namespace arc {

namespace {

std::string Lower(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return s;
}

// `made` (lower case) in the letter case of `like`: upper case when the
// first letter of `like` is.
std::string CasedLike(const std::string& like, std::string made) {
  for (char c : like) {
    if (std::isalpha(static_cast<unsigned char>(c))) {
      if (c >= 'A' && c <= 'Z')
        for (char& m : made) m = static_cast<char>(std::toupper(static_cast<unsigned char>(m)));
      break;
    }
  }
  return made;
}

bool AllDigits(const std::string& s, std::size_t from = 0) {
  if (s.size() <= from) return false;
  for (std::size_t i = from; i < s.size(); ++i)
    if (s[i] < '0' || s[i] > '9') return false;
  return true;
}

// Digits as a number, at most nine of them (longer runs are no volume number).
int Number(const std::string& digits) { return digits.size() > 9 ? -1 : std::stoi(digits); }

std::string Padded(int n, std::size_t width) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%0*d", static_cast<int>(width), n);
  return buf;
}

bool IsFile(const std::string& path) { return platform::RegularFileSize(path).has_value(); }

// "x.part7.rar": the stem "x", the digits "7" and the word "part" as written.
struct PartName {
  std::string stem, word, digits, ext;
};
bool SplitPartName(const std::string& path, PartName& out) {
  std::string ext = platform::ExtractFileExt(path);
  if (Lower(ext) != ".rar") return false;
  std::string rest = path.substr(0, path.size() - ext.size());
  std::string inner = platform::ExtractFileExt(rest);  // ".part7"
  if (inner.size() < 6 || Lower(inner.substr(0, 5)) != ".part" || !AllDigits(inner, 5)) return false;
  out = {rest.substr(0, rest.size() - inner.size()), inner.substr(1, 4), inner.substr(5), ext};
  return Number(out.digits) >= 0;
}

// ".r00", ".s12": a letter and two digits.
bool LetterAndDigits(const std::string& ext, char from, char to, int& number, std::size_t minDigits = 2,
                     std::size_t maxDigits = 2) {
  if (ext.size() < 2 + minDigits || ext.size() > 2 + maxDigits) return false;
  char letter = static_cast<char>(std::tolower(static_cast<unsigned char>(ext[1])));
  if (letter < from || letter > to || !AllDigits(ext, 2)) return false;
  number = Number(ext.substr(2));
  return number >= 0;
}

std::string Base(const std::string& path, const std::string& ext) { return path.substr(0, path.size() - ext.size()); }

std::string CabinetPath(const std::string& beside, const std::string& name) {
  return platform::ExtractFilePath(beside) + name;
}

std::string FirstCabinet(const std::string& path) {
  CabinetLinks links = ReadCabinetLinks(path);
  if (links.previous.empty()) return {};
  std::string first = CabinetPath(path, links.previous);
  std::set<std::string> seen{path, first};
  // Back as far as the cabinets are there; a loop of names ends it.
  while (IsFile(first)) {
    std::string before = ReadCabinetLinks(first).previous;
    if (before.empty()) break;
    std::string earlier = CabinetPath(first, before);
    if (!seen.insert(earlier).second || !IsFile(earlier)) break;
    first = earlier;
  }
  return first;
}

std::uint16_t Le16(const std::string& s, std::size_t at) {
  return static_cast<std::uint16_t>(static_cast<unsigned char>(s[at]) | static_cast<unsigned char>(s[at + 1]) << 8);
}

// A stored name up to its NUL; its last part only, so a hostile header
// cannot point outside the folder.
bool TakeName(const std::string& head, std::size_t& at, std::string& out) {
  std::size_t end = head.find('\0', at);
  if (end == std::string::npos || end - at > 255) return false;
  std::string name = head.substr(at, end - at);
  at = end + 1;
  std::size_t slash = name.find_last_of("/\\");
  if (slash != std::string::npos) name = name.substr(slash + 1);
  out = name == "." || name == ".." ? std::string() : name;
  return true;
}

}  // namespace

std::string FirstVolumeName(const std::string& path) {
  std::string ext = platform::ExtractFileExt(path);
  std::string lower = Lower(ext);
  int n = 0;
  if (ext.size() == 4 && AllDigits(ext, 1)) return Number(ext.substr(1)) >= 2 ? Base(path, ext) + ".001" : "";
  if (PartName p; SplitPartName(path, p)) {
    if (Number(p.digits) < 2) return {};
    return p.stem + "." + p.word + Padded(1, p.digits.size()) + p.ext;
  }
  if (LetterAndDigits(ext, 'r', 'y', n)) return Base(path, ext) + CasedLike(ext, ".rar");
  if (LetterAndDigits(ext, 'z', 'z', n, 2, 3) && n >= 1) return Base(path, ext) + CasedLike(ext, ".zip");
  if (LetterAndDigits(ext, 'a', 'a', n) && n >= 1) return Base(path, ext) + CasedLike(ext, ".arj");
  if (lower == ".cab") return FirstCabinet(path);
  return {};
}

std::string NextVolumeName(const std::string& path) {
  std::string ext = platform::ExtractFileExt(path);
  std::string lower = Lower(ext);
  int n = 0;
  if (ext.size() == 4 && AllDigits(ext, 1)) {
    int next = Number(ext.substr(1)) + 1;
    return next <= 999 ? Base(path, ext) + "." + Padded(next, 3) : "";
  }
  if (PartName p; SplitPartName(path, p)) return p.stem + "." + p.word + Padded(Number(p.digits) + 1, p.digits.size()) + p.ext;
  if (lower == ".rar") return Base(path, ext) + CasedLike(ext, ".r00");
  if (LetterAndDigits(ext, 'r', 'y', n)) {
    char letter = ext[1];
    if (n == 99) {
      if (std::tolower(static_cast<unsigned char>(letter)) == 'y') return {};
      return Base(path, ext) + "." + static_cast<char>(letter + 1) + "00";
    }
    return Base(path, ext) + "." + letter + Padded(n + 1, 2);
  }
  if (lower == ".arj") return Base(path, ext) + CasedLike(ext, ".a01");
  if (LetterAndDigits(ext, 'a', 'a', n)) return n < 99 ? Base(path, ext) + "." + ext[1] + Padded(n + 1, 2) : "";
  if (LetterAndDigits(ext, 'z', 'z', n, 2, 3)) return Base(path, ext) + "." + ext[1] + Padded(n + 1, 2);
  return {};
}

std::vector<std::string> ZipSplitVolumes(const std::string& zipPath) {
  std::string ext = platform::ExtractFileExt(zipPath);
  std::vector<std::string> out;
  std::string volume = Base(zipPath, ext) + CasedLike(ext, ".z01");
  while (IsFile(volume) && out.size() < 999) {
    out.push_back(volume);
    volume = NextVolumeName(volume);
  }
  out.push_back(zipPath);
  return out;
}

CabinetLinks ParseCabinetLinks(const std::string& head) {
  constexpr std::uint16_t kPrevious = 0x0001, kNext = 0x0002, kReserve = 0x0004;
  CabinetLinks links;
  if (head.size() < 36 || head.compare(0, 4, "MSCF") != 0) return links;
  std::uint16_t flags = Le16(head, 30);
  std::size_t at = 36;
  if (flags & kReserve) {
    if (head.size() < 40) return links;
    at = 40 + Le16(head, 36);
  }
  if (at > head.size()) return {};
  std::string disk;
  if ((flags & kPrevious) && !(TakeName(head, at, links.previous) && TakeName(head, at, disk))) return {};
  if ((flags & kNext) && !(TakeName(head, at, links.next) && TakeName(head, at, disk))) return {};
  return links;
}

CabinetLinks ReadCabinetLinks(const std::string& path) {
  // The fixed header, the largest reserve and four names of 256 bytes.
  constexpr std::size_t kMost = 40 + 65535 + 4 * 256;
  std::string head(kMost, '\0');
  std::size_t have = 0;
  try {
    platform::InputFile file(path);
    while (have < kMost) {
      std::size_t n = file.Read(head.data() + have, kMost - have);
      if (n == 0) break;
      have += n;
    }
  } catch (const platform::Error&) {
    return {};  // no cabinet to read: no links
  }
  head.resize(have);
  return ParseCabinetLinks(head);
}

}  // namespace arc
