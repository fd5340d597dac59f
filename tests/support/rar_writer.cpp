// SPDX-License-Identifier: MIT
#include "tests/support/rar_writer.h"

#include <zlib.h>

#include <algorithm>
#include <map>
#include <vector>

namespace test_support {

namespace {

std::uint32_t Crc32(const std::string& bytes, std::size_t from = 0) {
  return static_cast<std::uint32_t>(
      crc32(0, reinterpret_cast<const Bytef*>(bytes.data() + from), static_cast<uInt>(bytes.size() - from)));
}

void Put16(std::string& s, std::uint32_t v) {
  s += static_cast<char>(v & 0xFF);
  s += static_cast<char>((v >> 8) & 0xFF);
}
void Put32(std::string& s, std::uint32_t v) {
  Put16(s, v & 0xFFFF);
  Put16(s, v >> 16);
}

// RAR 4 header: CRC16 over everything after it, then the fields given.
std::string Rar4Header(std::uint8_t type, std::uint16_t flags, const std::string& rest) {
  std::string h;
  h += static_cast<char>(type);
  Put16(h, flags);
  Put16(h, static_cast<std::uint32_t>(rest.size() + 7));
  h += rest;
  std::string out;
  Put16(out, Crc32(h) & 0xFFFF);
  return out + h;
}

// The packed Unicode form RAR 4 puts after the name's zero byte: a high
// byte, then per four operations a flag byte of four two-bit codes:
// 0 a character below U+0100, 1 a low byte with the shared high byte,
// 2 a whole character, 3 a run of 2 to 129 characters copied from the
// ANSI name. Every code is used, as WinRAR does.
std::string PackUnicode(const std::string& ansi, const std::u16string& name) {
  // The high byte most characters above U+00FF share.
  std::map<unsigned, unsigned> highs;
  for (char16_t c : name)
    if (c > 0xFF) ++highs[c >> 8];
  unsigned high = 0;
  for (auto [h, n] : highs)
    if (n > highs[high]) high = h;
  std::string out(1, static_cast<char>(high));
  std::vector<std::pair<unsigned, std::string>> ops;
  for (std::size_t i = 0; i < name.size();) {
    std::size_t run = 0;
    while (i + run < name.size() && i + run < ansi.size() && run < 129 &&
           name[i + run] == static_cast<unsigned char>(ansi[i + run]))
      ++run;
    if (run >= 2) {
      ops.push_back({3, std::string(1, static_cast<char>(run - 2))});
      i += run;
      continue;
    }
    char16_t c = name[i++];
    if (c <= 0xFF) {
      ops.push_back({0, std::string(1, static_cast<char>(c))});
    } else if ((c >> 8) == high) {
      ops.push_back({1, std::string(1, static_cast<char>(c & 0xFF))});
    } else {
      std::string two;
      Put16(two, c);
      ops.push_back({2, two});
    }
  }
  for (std::size_t i = 0; i < ops.size(); i += 4) {
    std::uint8_t flags = 0;
    for (std::size_t k = 0; k < 4; ++k)
      flags = static_cast<std::uint8_t>(flags << 2 | (i + k < ops.size() ? ops[i + k].first : 0));
    out += static_cast<char>(flags);
    for (std::size_t k = i; k < std::min(i + 4, ops.size()); ++k) out += ops[k].second;
  }
  return out;
}

void PutVint(std::string& s, std::uint64_t v) {
  do {
    std::uint8_t b = v & 0x7F;
    v >>= 7;
    s += static_cast<char>(v ? b | 0x80 : b);
  } while (v);
}

// RAR 5 header: CRC32 of the size and body, the body's size as a vint, body.
std::string Rar5Header(const std::string& body) {
  std::string sized;
  PutVint(sized, body.size());
  sized += body;
  std::string out;
  Put32(out, Crc32(sized));
  return out + sized;
}

// One entry's data cut into the parts the volumes take.
struct Part {
  std::size_t entry;
  std::string data;
  bool before, after;  // continued from the previous volume / in the next
};

std::vector<std::vector<Part>> CutIntoVolumes(const std::vector<RarEntry>& entries, std::size_t perVolume) {
  std::vector<std::vector<Part>> volumes(1);
  std::size_t room = perVolume;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const std::string& data = entries[i].data;
    std::size_t at = 0;
    do {
      if (room == 0) {
        volumes.emplace_back();
        room = perVolume;
      }
      std::size_t take = std::min(room, data.size() - at);
      bool after = at + take < data.size();
      volumes.back().push_back({i, data.substr(at, take), at > 0, after});
      at += take;
      room -= take;
      if (after) room = 0;
    } while (at < data.size());
  }
  return volumes;
}

std::string Rar4FileHeader(const RarEntry& e, const std::string& data, std::uint16_t extraFlags, std::uint32_t crc) {
  std::string name = e.name;
  std::uint16_t flags = 0x8000 | extraFlags;  // a data size follows the header
  if (!e.unicode.empty()) {
    name += '\0' + PackUnicode(e.name, e.unicode);
    flags |= 0x0200;
  }
  if (e.encrypted) flags |= 0x0004;
  if (e.directory) flags |= 0x00E0;
  std::string rest;
  Put32(rest, static_cast<std::uint32_t>(data.size()));    // packed size
  Put32(rest, static_cast<std::uint32_t>(e.data.size()));  // unpacked size
  rest += static_cast<char>(e.host);
  Put32(rest, crc);
  Put32(rest, e.dosTime);
  rest += static_cast<char>(29);    // version needed: 2.9
  rest += static_cast<char>(0x30);  // stored
  Put16(rest, static_cast<std::uint32_t>(name.size()));
  Put32(rest, e.attributes ? e.attributes : e.directory ? 0x10 : 0x20);
  rest += name;
  return Rar4Header(0x74, flags, rest) + data;
}

std::string Rar5FileHeader(const RarEntry& e, const std::string& data, std::uint64_t splitFlags, std::uint32_t crc) {
  std::string extra;
  if (e.encrypted) {
    // Encryption record: version 0 (AES-256), no flags, KDF count, salt, IV.
    std::string rec;
    PutVint(rec, 1);
    PutVint(rec, 0);
    PutVint(rec, 0);
    rec += static_cast<char>(15);
    rec += std::string(32, '\x5A');
    PutVint(extra, rec.size());
    extra += rec;
  }
  std::string body;
  PutVint(body, 2);                                                   // file header
  PutVint(body, 0x0002 | (extra.empty() ? 0 : 0x0001) | splitFlags);  // data area, extra area, split
  if (!extra.empty()) PutVint(body, extra.size());
  PutVint(body, data.size());                          // data size
  PutVint(body, (e.directory ? 0x0001 : 0) | 0x0004);  // file flags: directory, CRC present
  PutVint(body, e.unpackedSize < 0 ? e.data.size() : static_cast<std::uint64_t>(e.unpackedSize));
  PutVint(body, e.directory ? 0x10 : 0x20);  // Windows attributes
  Put32(body, crc);
  PutVint(body, e.method << 7);  // version 0, method, smallest dictionary
  PutVint(body, 0);              // Windows
  PutVint(body, e.name.size());
  body += e.name + extra;
  return Rar5Header(body) + data;
}

std::string Rar5Main(std::uint64_t archiveFlags, std::uint64_t volumeNumber) {
  std::string mainBody;
  PutVint(mainBody, 1);  // main archive header
  PutVint(mainBody, 0);  // header flags
  PutVint(mainBody, archiveFlags);
  if (archiveFlags & 0x0002) PutVint(mainBody, volumeNumber);
  return Rar5Header(mainBody);
}

std::string Rar5End(bool more) {
  std::string endBody;
  PutVint(endBody, 5);
  PutVint(endBody, 0);
  PutVint(endBody, more ? 1 : 0);
  return Rar5Header(endBody);
}

// The stored CRC of a part: its own bytes while the entry goes on, the
// whole entry's in its last part.
std::uint32_t PartCrc(const RarEntry& e, const Part& p) { return p.after ? Crc32(p.data) : Crc32(e.data); }

}  // namespace

std::vector<std::string> WriteRar4Volumes(const std::vector<RarEntry>& entries, std::size_t dataPerVolume,
                                          bool partNames) {
  std::vector<std::vector<Part>> cut = CutIntoVolumes(entries, dataPerVolume);
  std::vector<std::string> out;
  for (std::size_t v = 0; v < cut.size(); ++v) {
    std::string vol("Rar!\x1A\x07\x00", 7);
    // Volume, the naming, and on the first one "first volume".
    vol += Rar4Header(0x73, static_cast<std::uint16_t>(0x0001 | (partNames ? 0x0010 : 0) | (v == 0 ? 0x0100 : 0)),
                      std::string(6, '\0'));
    for (const Part& p : cut[v]) {
      const RarEntry& e = entries[p.entry];
      vol += Rar4FileHeader(e, p.data, static_cast<std::uint16_t>((p.before ? 0x0001 : 0) | (p.after ? 0x0002 : 0)),
                            PartCrc(e, p));
    }
    bool more = v + 1 < cut.size();
    vol += Rar4Header(0x7B, static_cast<std::uint16_t>(0x4000 | (more ? 0x0001 : 0)), "");
    out.push_back(std::move(vol));
  }
  return out;
}

std::vector<std::string> WriteRar5Volumes(const std::vector<RarEntry>& entries, std::size_t dataPerVolume) {
  std::vector<std::vector<Part>> cut = CutIntoVolumes(entries, dataPerVolume);
  std::vector<std::string> out;
  for (std::size_t v = 0; v < cut.size(); ++v) {
    std::string vol("Rar!\x1A\x07\x01\x00", 8);
    vol += Rar5Main(v == 0 ? 0x0001 : 0x0003, v);
    for (const Part& p : cut[v]) {
      const RarEntry& e = entries[p.entry];
      vol += Rar5FileHeader(e, p.data, (p.before ? 0x0008 : 0) | (p.after ? 0x0010 : 0), PartCrc(e, p));
    }
    vol += Rar5End(v + 1 < cut.size());
    out.push_back(std::move(vol));
  }
  return out;
}

std::string WriteRar4(const std::vector<RarEntry>& entries, std::uint16_t archiveFlags) {
  std::string out("Rar!\x1A\x07\x00", 7);
  out += Rar4Header(0x73, archiveFlags, std::string(6, '\0'));
  for (const auto& e : entries) {
    std::string name = e.name;
    std::uint16_t flags = 0x8000;  // a data size follows the header
    if (!e.unicode.empty()) {
      name += '\0' + PackUnicode(e.name, e.unicode);
      flags |= 0x0200;
    }
    if (e.encrypted) flags |= 0x0004;
    if (e.directory) flags |= 0x00E0;
    std::string rest;
    Put32(rest, static_cast<std::uint32_t>(e.data.size()));  // packed size
    Put32(rest, static_cast<std::uint32_t>(e.data.size()));  // unpacked size
    rest += static_cast<char>(e.host);
    Put32(rest, Crc32(e.data));
    Put32(rest, e.dosTime);
    rest += static_cast<char>(29);    // version needed: 2.9
    rest += static_cast<char>(0x30);  // stored
    Put16(rest, static_cast<std::uint32_t>(name.size()));
    Put32(rest, e.attributes ? e.attributes : e.directory ? 0x10 : 0x20);
    rest += name;
    out += Rar4Header(0x74, flags, rest) + e.data;
  }
  out += Rar4Header(0x7B, 0x4000, "");
  return out;
}

std::string WriteRar5(const std::vector<RarEntry>& entries) {
  std::string out("Rar!\x1A\x07\x01\x00", 8);
  std::string mainBody;
  PutVint(mainBody, 1);  // main archive header
  PutVint(mainBody, 0);  // header flags
  PutVint(mainBody, 0);  // archive flags
  out += Rar5Header(mainBody);
  for (const auto& e : entries) {
    std::string extra;
    if (e.encrypted) {
      // Encryption record: version 0 (AES-256), no flags, KDF count, salt, IV.
      std::string rec;
      PutVint(rec, 1);
      PutVint(rec, 0);
      PutVint(rec, 0);
      rec += static_cast<char>(15);
      rec += std::string(32, '\x5A');
      PutVint(extra, rec.size());
      extra += rec;
    }
    std::string body;
    PutVint(body, 2);                            // file header
    PutVint(body, 0x0002 | (extra.empty() ? 0 : 0x0001));  // data area, extra area
    if (!extra.empty()) PutVint(body, extra.size());
    PutVint(body, e.data.size());                // data size
    PutVint(body, (e.directory ? 0x0001 : 0) | 0x0004);  // file flags: directory, CRC present
    PutVint(body, e.unpackedSize < 0 ? e.data.size() : static_cast<std::uint64_t>(e.unpackedSize));
    PutVint(body, e.directory ? 0x10 : 0x20);    // Windows attributes
    Put32(body, Crc32(e.data));
    PutVint(body, e.method << 7);                // version 0, method, smallest dictionary
    PutVint(body, 0);                            // Windows
    PutVint(body, e.name.size());
    body += e.name + extra;
    out += Rar5Header(body) + e.data;
  }
  std::string endBody;
  PutVint(endBody, 5);
  PutVint(endBody, 0);
  PutVint(endBody, 0);
  out += Rar5Header(endBody);
  return out;
}

}  // namespace test_support
