// SPDX-License-Identifier: MIT
// Stamps that formats store in local time (ZIP, LZH levels 0 and 1, RAR 4,
// and through the same conversion CAB and ARJ) come back as stored when the
// extracted file's UTC time is read in local time with the offset in force
// now, whatever the stamp's own daylight-saving state and the time zone.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

#include "archivers/lzh/crc16.h"
#include "archivers/shared/dos_fields.h"
#include "archivers/shared/info_records.h"
#include "platform/file_time.h"
#include "tests/formats/format_fixture.h"
#include "tests/support/time_zone.h"
#include "tests/support/rar_writer.h"
#include "archivers/lzh/lzh_format.h"
#include "archivers/rar/rar_format.h"
#include "archivers/zip/zip_format.h"

using namespace fmt_test;

namespace {

using TimeZone = test_support::ScopedTimeZone;

const char* const kZones[] = {"UTC", "Europe/Berlin", "America/New_York", "Australia/Sydney", "Asia/Tokyo"};

struct Stamp {
  int year, month, day, hour, minute, second;
  std::uint32_t Dos() const {
    return static_cast<std::uint32_t>((year - 1980) << 25 | month << 21 | day << 16 | hour << 11 | minute << 5 |
                                      second / 2);
  }
};

// Near midnight in summer and in winter, in a spring-forward gap and a
// fall-back overlap (Berlin and New York), and the ends of the DOS range.
const Stamp kStamps[] = {
    {1999, 5, 3, 0, 30, 0},  {1999, 5, 3, 23, 30, 0}, {1999, 12, 31, 23, 59, 58}, {2021, 3, 28, 2, 30, 0},
    {2021, 10, 31, 2, 30, 0}, {2021, 3, 14, 2, 30, 0}, {2021, 11, 7, 1, 30, 0},  {1980, 1, 1, 0, 0, 0},
    {2107, 12, 31, 23, 59, 58},
};

// What the date column shows for an extracted file: its UTC time read in
// local time with the offset in force now.
Stamp Shown(std::time_t utc) {
  std::int64_t local = 0;
  EXPECT_TRUE(platform::UtcToLocalNow(utc, local));
  platform::CivilTime c = platform::SecondsToCivil(local);
  return {static_cast<int>(c.year), c.month, c.day, c.hour, c.minute, c.second};
}

void ExpectSame(const Stamp& a, const Stamp& b, const std::string& where) {
  EXPECT_EQ(a.Dos(), b.Dos()) << where << ": " << a.year << "-" << a.month << "-" << a.day << " " << a.hour << ":"
                              << a.minute << " came back as " << b.year << "-" << b.month << "-" << b.day << " "
                              << b.hour << ":" << b.minute;
}

TEST(LocalTimeStamps, ComeBackAsStoredInEveryZone) {
  for (const char* zone : kZones) {
    TimeZone tz(zone);
    for (const Stamp& s : kStamps) {
      std::time_t utc = arc::DosDateTimeToUnix(s.Dos());
      ExpectSame(s, Shown(utc), zone);
      std::uint16_t date = 0, time = 0;
      arc::ToDosDateTime(utc, date, time);  // listing and writing go the other way
      EXPECT_EQ(static_cast<std::uint32_t>(date) << 16 | time, s.Dos()) << zone;
    }
  }
}

TEST(LocalTimeStamps, ImpossibleFieldsGiveNoTime) {
  for (std::uint32_t dos : {0u, 0x00200000u /* month 1, day 0 */, 0x01A10000u /* month 13 */,
                            0x00216000u | (24u << 11) /* hour 24 */}) {
    EXPECT_EQ(arc::DosDateTimeToUnix(dos), 0) << std::hex << dos;
  }
}

// A one-entry level-0 LZH, method -lh0-, with the given DOS stamp.
std::string Level0Lzh(const std::string& name, const std::string& data, std::uint32_t dos) {
  std::string h;
  auto put32 = [&h](std::uint32_t v) {
    for (int i = 0; i < 4; ++i) h += static_cast<char>(v >> (8 * i) & 0xFF);
  };
  h += "-lh0-";
  put32(static_cast<std::uint32_t>(data.size()));
  put32(static_cast<std::uint32_t>(data.size()));
  put32(dos);
  h += '\x20';  // attribute
  h += '\0';    // level 0
  h += static_cast<char>(name.size());
  h += name;
  std::uint16_t crc = arc::Crc16Update(0, data.data(), data.size());
  h += static_cast<char>(crc & 0xFF);
  h += static_cast<char>(crc >> 8);
  unsigned sum = 0;
  for (unsigned char c : h) sum += c;
  std::string out;
  out += static_cast<char>(h.size());
  out += static_cast<char>(sum & 0xFF);
  return out + h + data + std::string(1, '\0');
}

TEST(LocalTimeStamps, ReadersGiveTheStoredStamp) {
  TempDir dir;
  const Stamp early{1999, 5, 3, 0, 30, 0}, late{1999, 5, 3, 23, 30, 0};
  std::string lzh = dir.Write("t.lzh", Level0Lzh("a.bms", "#TITLE a\r\n", early.Dos()));
  std::string rar = dir.Write("t.rar", WriteRar4({{"a.bms", {}, "#TITLE a\r\n", false, false, late.Dos()}}));
  bool zip = HaveTool("python3") &&
             Shell(dir.Path(),
                   "python3 -c \"import zipfile\n"
                   "z = zipfile.ZipFile('t.zip', 'w')\n"
                   "z.writestr(zipfile.ZipInfo('a.bms', (1999, 5, 3, 0, 30, 0)), 'x')\n"
                   "z.writestr(zipfile.ZipInfo('b.bms', (1999, 5, 3, 23, 30, 0)), 'y')\n"
                   "z.close()\"") == 0;
  for (const char* zone : kZones) {
    TimeZone tz(zone);
    auto lzhEntries = ReadAllEntries(*arc::OpenLzhReader(lzh));
    ASSERT_EQ(lzhEntries.size(), 1u);
    ExpectSame(early, Shown(lzhEntries[0].info.mtime), std::string("LZH ") + zone);
    auto rarEntries = ReadAllEntries(*arc::OpenRarReader(rar));
    ASSERT_EQ(rarEntries.size(), 1u);
    ExpectSame(late, Shown(rarEntries[0].info.mtime), std::string("RAR ") + zone);
    if (!zip) continue;
    auto zipEntries = ReadAllEntries(*arc::OpenZipReader(dir.Path() + "t.zip"));
    ASSERT_EQ(zipEntries.size(), 2u);
    ExpectSame(early, Shown(zipEntries[0].info.mtime), std::string("ZIP ") + zone);
    ExpectSame(late, Shown(zipEntries[1].info.mtime), std::string("ZIP ") + zone);
  }
}

TEST(LocalTimeStamps, UtcTimesOfZipEntriesStayAsStored) {
  if (!HaveTool("python3")) GTEST_SKIP() << "python3 missing";
  TempDir dir;
  // An extended timestamp field (0x5455) holds UTC: 1999-05-03 00:30 UTC,
  // whatever the DOS fields beside it say.
  ASSERT_EQ(Shell(dir.Path(),
                  "python3 -c \"import struct, zipfile\n"
                  "z = zipfile.ZipFile('t.zip', 'w')\n"
                  "i = zipfile.ZipInfo('a.bms', (2001, 1, 1, 12, 0, 0))\n"
                  "i.extra = struct.pack('<HHBi', 0x5455, 5, 1, 925691400)\n"
                  "z.writestr(i, 'x')\n"
                  "z.close()\""),
            0);
  for (const char* zone : kZones) {
    TimeZone tz(zone);
    auto entries = ReadAllEntries(*arc::OpenZipReader(dir.Path() + "t.zip"));
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].info.mtime, 925691400) << zone;
  }
}

}  // namespace
