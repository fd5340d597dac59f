// SPDX-License-Identifier: MIT
#include "archivers/shared/info_records.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "archivers/shared/unicode_mode.h"
#include "platform/cp932.h"
#include "platform/file_time.h"

namespace arc {

void ToDosDateTime(std::time_t t, std::uint16_t& date, std::uint16_t& time) {
  date = time = 0;
  if (t == 0) return;
  // The offset in force now, the inverse of DosDateTimeToUnix, so that a
  // stored stamp is listed and written back as stored.
  std::int64_t local = 0;
  if (!platform::UtcToLocalNow(static_cast<std::int64_t>(t), local)) return;
  platform::CivilTime c = platform::SecondsToCivil(local);
  if (c.year < 1980 || c.year > 2107) return;
  date = static_cast<std::uint16_t>((c.year - 1980) << 9 | c.month << 5 | c.day);
  time = static_cast<std::uint16_t>(c.hour << 11 | c.minute << 5 | c.second / 2);
}

std::string AttributeText(const EntryInfo& info) {
  std::string s = "------";
  std::uint32_t a = info.attributes;
  if (info.isDirectory || (a & 0x10)) s[0] = 'd';
  if (a & 0x20) s[1] = 'a';
  if (a & 0x02) s[2] = 'h';
  if (a & 0x04) s[3] = 's';
  if (info.isSymlink) s[4] = 'l';
  s[5] = (a & 0x01) ? '-' : 'w';
  return s;
}

void CopyField(char* field, std::size_t fieldSize, const std::string& text) {
  std::memset(field, 0, fieldSize);
  if (fieldSize == 0) return;
  std::size_t end = 0;
  if (UnicodeMode()) {
    // UTF-8: cut before a continuation byte, never inside a character.
    end = std::min(text.size(), fieldSize - 1);
    if (end < text.size())
      while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
  }
  while (!UnicodeMode() && end < text.size()) {
    std::size_t next = platform::NextCharPos(text, end);
    if (next > fieldSize - 1) break;
    end = next;
  }
  std::memcpy(field, text.data(), end);
}

std::uint32_t Clamp32(std::uint64_t v) { return static_cast<std::uint32_t>(std::min<std::uint64_t>(v, 0xFFFFFFFFu)); }

std::uint16_t RatioPerMille(std::uint64_t packed, std::uint64_t original) {
  if (original == 0) return 0;
  if (packed / original >= 0xFFFF / 1000 + 1) return 0xFFFF;
  // packed * 1000 passes 64 bits only past 18 PB, where a ratio of doubles is as good.
  std::uint64_t r = packed <= UINT64_MAX / 1000 ? packed * 1000 / original
                                                : static_cast<std::uint64_t>(static_cast<double>(packed) / original * 1000);
  return static_cast<std::uint16_t>(std::min<std::uint64_t>(r, 0xFFFF));
}

namespace {
std::uint16_t Ratio(const EntryInfo& info) { return RatioPerMille(info.compressedSize, info.size); }
}  // namespace

void FillIndividualInfo(const EntryInfo& info, const std::string& displayName, INDIVIDUALINFO& out) {
  std::memset(&out, 0, sizeof out);
  out.dwOriginalSize = Clamp32(info.size);
  out.dwCompressedSize = Clamp32(info.compressedSize);
  out.dwCRC = info.crc;
  out.uOSType = info.osType;
  out.wRatio = Ratio(info);
  ToDosDateTime(info.mtime, out.wDate, out.wTime);
  CopyField(out.szFileName, sizeof out.szFileName, displayName);
  CopyField(out.szAttribute, sizeof out.szAttribute, AttributeText(info));
  CopyField(out.szMode, sizeof out.szMode, info.method);
}

void FillExtractingInfo(const EntryInfo& info, const std::string& archive, const std::string& destName,
                        EXTRACTINGINFOEX& out) {
  std::memset(&out, 0, sizeof out);
  out.exinfo.dwFileSize = Clamp32(info.size);
  CopyField(out.exinfo.szSourceFileName, sizeof out.exinfo.szSourceFileName, ForCaller(archive));
  CopyField(out.exinfo.szDestFileName, sizeof out.exinfo.szDestFileName, destName);
  out.dwCompressedSize = Clamp32(info.compressedSize);
  out.dwCRC = info.crc;
  out.uOSType = info.osType;
  out.wRatio = Ratio(info);
  ToDosDateTime(info.mtime, out.wDate, out.wTime);
  CopyField(out.szAttribute, sizeof out.szAttribute, AttributeText(info));
  CopyField(out.szMode, sizeof out.szMode, info.method);
}

}  // namespace arc
