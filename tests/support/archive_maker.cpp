// SPDX-License-Identifier: MIT
#include "tests/support/archive_maker.h"

#include <dirent.h>
#include <algorithm>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <random>
#include <sstream>
#include <stdexcept>

#include "archivers/lzh/crc16.h"
#include "platform/cp932.h"

namespace test_support {

std::string Sjis(const std::string& utf8) { return platform::Utf8ToCp932(utf8); }

// --- writers ---------------------------------------------------------------

void Put16(std::string& s, unsigned v) {
  s += static_cast<char>(v & 0xFF);
  s += static_cast<char>((v >> 8) & 0xFF);
}
void Put32(std::string& s, std::uint32_t v) {
  Put16(s, v & 0xFFFF);
  Put16(s, v >> 16);
}

void PutZipEnd(std::string& s, std::size_t entries, std::size_t dirSize, std::size_t dirOffset) {
  Put32(s, 0x06054b50);
  Put16(s, 0);  // this disk
  Put16(s, 0);  // the directory's disk
  Put16(s, static_cast<unsigned>(entries));
  Put16(s, static_cast<unsigned>(entries));
  Put32(s, static_cast<std::uint32_t>(dirSize));
  Put32(s, static_cast<std::uint32_t>(dirOffset));
  Put16(s, 0);  // comment
}

std::string RawDeflate(const std::string& data) {
  z_stream z{};
  deflateInit2(&z, 6, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY);
  std::string out(deflateBound(&z, static_cast<uLong>(data.size())), '\0');
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  z.avail_in = static_cast<uInt>(data.size());
  z.next_out = reinterpret_cast<Bytef*>(out.data());
  z.avail_out = static_cast<uInt>(out.size());
  deflate(&z, Z_FINISH);
  out.resize(z.total_out);
  deflateEnd(&z);
  return out;
}

namespace {

std::uint32_t DosTime(std::time_t t) {
  std::tm tm{};
  localtime_r(&t, &tm);
  return static_cast<std::uint32_t>((tm.tm_year - 80) << 25 | (tm.tm_mon + 1) << 21 | tm.tm_mday << 16 |
                                    tm.tm_hour << 11 | tm.tm_min << 5 | tm.tm_sec / 2);
}

void Octal(char* field, std::size_t width, std::uint64_t v) {
  std::snprintf(field, width, "%0*llo", static_cast<int>(width - 1), static_cast<unsigned long long>(v));
}

std::string Backslashed(std::string s) {
  for (std::size_t i = 0; i < s.size(); i = platform::NextCharPos(s, i))
    if (s[i] == '/') s[i] = '\\';
  return s;
}
}  // namespace

std::string MakeTar(const std::vector<RawEntry>& entries) {
  std::string out;
  for (const auto& e : entries) {
    char h[512] = {};
    std::memcpy(h, e.name.data(), std::min<std::size_t>(e.name.size(), 100));
    Octal(h + 100, 8, e.type == '5' ? 0755 : 0644);
    Octal(h + 108, 8, 0);
    Octal(h + 116, 8, 0);
    Octal(h + 124, 12, e.type == '0' ? e.data.size() : 0);
    Octal(h + 136, 12, static_cast<std::uint64_t>(e.mtime));
    h[156] = e.type;
    std::memcpy(h + 157, e.link.data(), std::min<std::size_t>(e.link.size(), 100));
    std::memcpy(h + 257, "ustar", 6);
    std::memcpy(h + 263, "00", 2);
    std::memset(h + 148, ' ', 8);
    unsigned sum = 0;
    for (unsigned char c : h) sum += c;
    std::snprintf(h + 148, 8, "%06o", sum);
    out.append(h, 512);
    if (e.type == '0') {
      out += e.data;
      out.append((512 - e.data.size() % 512) % 512, '\0');
    }
  }
  out.append(1024, '\0');
  return out;
}

std::string MakeStoredZip(const std::vector<RawEntry>& entries, bool utf8Flag) {
  std::string out, dir;
  for (const auto& e : entries) {
    std::uint32_t crc = static_cast<std::uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(e.data.data()), static_cast<uInt>(e.data.size())));
    std::uint32_t offset = static_cast<std::uint32_t>(out.size());
    unsigned flags = utf8Flag ? 0x0800 : 0;
    std::uint32_t dt = DosTime(e.mtime);
    auto common = [&](std::string& s) {
      Put16(s, 20);
      Put16(s, flags);
      Put16(s, 0);  // stored
      Put16(s, dt & 0xFFFF);
      Put16(s, dt >> 16);
      Put32(s, crc);
      Put32(s, static_cast<std::uint32_t>(e.data.size()));
      Put32(s, static_cast<std::uint32_t>(e.data.size()));
      Put16(s, static_cast<unsigned>(e.name.size()));
      Put16(s, 0);
    };
    Put32(out, 0x04034b50);
    common(out);
    out += e.name;
    out += e.data;
    Put32(dir, 0x02014b50);
    Put16(dir, 20);
    common(dir);
    Put16(dir, 0);
    Put16(dir, 0);
    Put16(dir, 0);
    Put32(dir, e.name.back() == '/' ? 0x10 : 0x20);
    Put32(dir, offset);
    dir += e.name;
  }
  std::uint32_t dirOffset = static_cast<std::uint32_t>(out.size());
  out += dir;
  PutZipEnd(out, entries.size(), dir.size(), dirOffset);
  return out;
}

std::string MakeStoredLzh(const std::vector<RawEntry>& entries, int level) {
  std::string out;
  for (const auto& e : entries) {
    std::uint16_t crc = arc::Crc16Update(0, e.data.data(), e.data.size());
    std::size_t slash = e.name.find_last_of('/');
    std::string dirPart = slash == std::string::npos ? "" : e.name.substr(0, slash + 1);
    std::string filePart = slash == std::string::npos ? e.name : e.name.substr(slash + 1);
    std::string h;
    if (level == 0 || level == 1) {
      std::string name = level == 0 ? Backslashed(e.name) : filePart;
      std::string base;
      base += "-lh0-";
      std::string extBody;
      if (level == 1 && !dirPart.empty()) {
        std::string d = dirPart;
        for (auto& c : d)
          if (c == '/') c = static_cast<char>(0xFF);
        extBody += '\x02';
        extBody += d;
        Put16(extBody, 0);
      }
      Put32(base, static_cast<std::uint32_t>(e.data.size() + extBody.size()));
      Put32(base, static_cast<std::uint32_t>(e.data.size()));
      Put32(base, DosTime(e.mtime));
      base += '\x20';
      base += static_cast<char>(level);
      base += static_cast<char>(name.size());
      base += name;
      Put16(base, crc);
      if (level == 1) {
        base += 'M';
        Put16(base, static_cast<unsigned>(extBody.size()));  // size of the first extension, 0 for none
      }
      unsigned sum = 0;
      for (unsigned char c : base) sum += c;
      h += static_cast<char>(base.size());
      h += static_cast<char>(sum & 0xFF);
      h += base;
      h += extBody;
    } else {
      std::string exts;
      auto addExt = [&](char type, const std::string& data) {
        std::string x;
        x += type;
        x += data;
        Put16(exts, static_cast<unsigned>(x.size() + 2));  // size of this header, in the previous slot
        exts += x;
      };
      // Level 2 keeps each header's size in the two bytes before it.
      addExt('\x01', filePart);
      if (!dirPart.empty()) {
        std::string d = dirPart;
        for (auto& c : d)
          if (c == '/') c = static_cast<char>(0xFF);
        addExt('\x02', d);
      }
      Put16(exts, 0);
      std::string base;
      base += "-lh0-";
      Put32(base, static_cast<std::uint32_t>(e.data.size()));
      Put32(base, static_cast<std::uint32_t>(e.data.size()));
      Put32(base, static_cast<std::uint32_t>(e.mtime));
      base += '\x20';
      base += '\x02';
      Put16(base, crc);
      base += 'U';
      std::size_t total = 2 + base.size() + exts.size();
      Put16(h, static_cast<unsigned>(total));
      h += base;
      h += exts;
    }
    out += h;
    out += e.data;
  }
  out += '\0';
  return out;
}

}  // namespace test_support
