// SPDX-License-Identifier: MIT
// Hostile archives through the real libraries: a fault inside one archive
// costs that archive (or that entry) alone, never the program or the
// archives around it.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>
#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <functional>

#include "tests/support/arc_library.h"
#include "tests/support/archive_maker.h"
#include "tests/support/rar_writer.h"

namespace {

using test_support::ArcLibrary;
using test_support::FilesUnder;
using test_support::RarEntry;
using test_support::TempDir;
using Files = std::map<std::string, std::string>;

std::string RarX(const std::string& archive, const std::string& dest) {
  return "-x \"" + archive + "\" \"" + dest + "\"";
}

std::string ZipX(const std::string& archive, const std::string& dest) {
  return "-x \"" + archive + "\" \"" + dest + "\"";
}

// A RAR 5 archive of `entries` in which the entry named "x.bms" is packed
// (method 1) but holds only three bytes of a four-byte block header:
// libarchive takes the fourth from the next header, counts the entry's
// remaining bytes below zero and asks for SIZE_MAX bytes, which fails and
// leaves errno at ENOMEM.
std::string Rar5WithBlockPastItsData(std::vector<RarEntry> entries) {
  for (RarEntry& e : entries) {
    if (e.name != "x.bms") continue;
    e.data = std::string(3, '\0');
    e.method = 1;
    e.unpackedSize = 100;
  }
  std::string bytes = test_support::WriteRar5(entries);
  // The header stores no extra area: the data follows the name.
  std::size_t block = bytes.find("x.bms") + 5;
  unsigned flags = 0xC0 | (1 << 3) | 7;  // last block, tables, two size bytes
  unsigned low = 0x10, high = static_cast<unsigned char>(bytes[block + 3]);
  bytes[block] = static_cast<char>(flags);
  bytes[block + 1] = static_cast<char>(0x5A ^ flags ^ low ^ high);  // the header's check byte
  bytes[block + 2] = static_cast<char>(low);
  return bytes;
}

TEST(HostileRar5, DamagedPairEndsNeitherTheProgramNorTheirNeighbours) {
  TempDir dir;
  std::string first = dir.Write("under.rar", Rar5WithBlockPastItsData({{"a.bms", {}, "#TITLE a\r\n"},
                                                                        {"x.bms", {}, {}}}));
  // A name RAR 5 says is UTF-8 but is not: libarchive's conversion fails.
  std::string second = dir.Write("badname.rar", test_support::WriteRar5({{"b.bms", {}, "#TITLE b\r\n"},
                                                                         {"bad\xFF\xFE.bms", {}, "#TITLE bad\r\n"},
                                                                         {"c.bms", {}, "#TITLE c\r\n"}}));
  std::string zip = dir.Write("good.zip", test_support::MakeStoredZip({{"z.bms", "#TITLE z\r\n"}}, false));
  // The folders exist, as the working folder does: a failed look for one
  // would reset errno.
  ASSERT_EQ(test_support::Shell(dir.Path(), "mkdir d0 d1 d2 d3"), 0);
  // In a child: before the fix libarchive ended the process with exit(1).
  auto run = [&] {
    ArcLibrary unrar("UNRAR32.DLL", "Unrar");
    ArcLibrary unzip("UNZIP32.DLL", "UnZip");
    unzip.Command(ZipX(zip, dir.Path() + "d0/"));
    int a = unrar.Command(RarX(first, dir.Path() + "d1/"));
    int b = unrar.Command(RarX(second, dir.Path() + "d2/"));
    unzip.Command(ZipX(zip, dir.Path() + "d3/"));
    std::exit(a == ERROR_BROKEN_DATA && b == 0 ? 0 : 2);
  };
  EXPECT_EXIT(run(), ::testing::ExitedWithCode(0), "");
  EXPECT_EQ(FilesUnder(dir.Path() + "d0").size(), 1u);
  EXPECT_EQ(FilesUnder(dir.Path() + "d1"), (std::map<std::string, std::string>{{"a.bms", "#TITLE a\r\n"}}));
  // The bad name costs nothing: its bytes are kept as "%XX".
  EXPECT_EQ(FilesUnder(dir.Path() + "d2"), (std::map<std::string, std::string>{{"b.bms", "#TITLE b\r\n"},
                                                                              {"bad%FF%FE.bms", "#TITLE bad\r\n"},
                                                                              {"c.bms", "#TITLE c\r\n"}}));
  EXPECT_EQ(FilesUnder(dir.Path() + "d3").size(), 1u);
}

// Whether the reference extractors on this system unpack `name` of the
// zip at `zip` with the bytes `data`; each one found must.
void ExpectReferencesUnpack(const TempDir& dir, const std::string& zip, const std::string& name,
                            const std::string& data) {
  struct Reference {
    const char* tool;
    const char* command;  // %A the archive, %D the folder
  } references[] = {
      {"bsdtar", "bsdtar -xf %A -C %D"},
      {"7zz", "7zz x -y -o%D %A"},
      {"unar", "unar -q -f -D -o %D %A"},
  };
  for (const auto& r : references) {
    if (!test_support::HaveTool(r.tool)) continue;
    std::string out = dir.Path() + "ref-" + r.tool + "/";
    std::string command = std::string("mkdir -p ") + test_support::ShellQuote(out) + " && " + r.command;
    for (auto [key, value] : {std::pair{"%A", zip}, std::pair{"%D", out}})
      command.replace(command.find(key), 2, test_support::ShellQuote(value));
    test_support::Shell(dir.Path(), command);
    EXPECT_EQ(test_support::ReadBytes(out + name), data) << r.tool;
  }
}

TEST(HostileZip, NameFlaggedUtf8ThatIsNotCostsThatEntryNothing) {
  TempDir dir;
  // A Japanese tool that sets the UTF-8 flag over code page 932 bytes.
  std::string zip = dir.Write("n.zip", test_support::MakeStoredZip({{"a.bms", "#TITLE a\r\n"},
                                                                     {test_support::Sjis("譜面.bms"), "#TITLE s\r\n"},
                                                                     {"c.bms", "#TITLE c\r\n"}},
                                                                    true));
  ArcLibrary unzip("UNZIP32.DLL", "UnZip");
  EXPECT_EQ(unzip.Command(ZipX(zip, dir.Path() + "dest/")), 0);
  EXPECT_EQ(FilesUnder(dir.Path() + "dest"),
            (Files{{"a.bms", "#TITLE a\r\n"}, {"譜面.bms", "#TITLE s\r\n"}, {"c.bms", "#TITLE c\r\n"}}));
  ExpectReferencesUnpack(dir, zip, "c.bms", "#TITLE c\r\n");
}

// Stored entries; the one at `liar` declares `claimed` bytes in a ZIP64
// field, in its local header and in the directory alike.
std::string ZipWithLyingZip64(const Files& files, std::size_t liar, std::uint64_t claimed) {
  std::string out, dir;
  std::size_t index = 0;
  for (const auto& [name, data] : files) {
    bool lies = index++ == liar;
    auto crc = static_cast<std::uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(data.data()),
                                                static_cast<uInt>(data.size())));
    std::string extra;
    if (lies) {
      test_support::Put16(extra, 0x0001);
      test_support::Put16(extra, 16);
      test_support::Put32(extra, static_cast<std::uint32_t>(claimed));
      test_support::Put32(extra, static_cast<std::uint32_t>(claimed >> 32));
      test_support::Put32(extra, static_cast<std::uint32_t>(data.size()));
      test_support::Put32(extra, 0);
    }
    auto common = [&](std::string& s) {
      test_support::Put16(s, 45);
      test_support::Put16(s, 0);  // flags
      test_support::Put16(s, 0);  // stored
      test_support::Put32(s, 0x5A2C6000);
      test_support::Put32(s, crc);
      test_support::Put32(s, lies ? 0xFFFFFFFFu : static_cast<std::uint32_t>(data.size()));
      test_support::Put32(s, lies ? 0xFFFFFFFFu : static_cast<std::uint32_t>(data.size()));
      test_support::Put16(s, static_cast<unsigned>(name.size()));
      test_support::Put16(s, static_cast<unsigned>(extra.size()));
    };
    auto offset = static_cast<std::uint32_t>(out.size());
    test_support::Put32(out, 0x04034b50);
    common(out);
    out += name + extra + data;
    test_support::Put32(dir, 0x02014b50);
    test_support::Put16(dir, 0x0300 | 45);
    common(dir);
    test_support::Put16(dir, 0);  // comment
    test_support::Put16(dir, 0);  // disk
    test_support::Put16(dir, 0);  // internal attributes
    test_support::Put32(dir, 0100644u << 16);
    test_support::Put32(dir, offset);
    dir += name + extra;
  }
  auto dirOffset = static_cast<std::uint32_t>(out.size());
  out += dir;
  test_support::Put32(out, 0x06054b50);
  test_support::Put32(out, 0);
  test_support::Put16(out, static_cast<unsigned>(files.size()));
  test_support::Put16(out, static_cast<unsigned>(files.size()));
  test_support::Put32(out, static_cast<std::uint32_t>(dir.size()));
  test_support::Put32(out, dirOffset);
  test_support::Put16(out, 0);
  return out;
}

TEST(HostileZip, SizeFieldClaimingMoreThanTheDiskHoldsBlocksNothing) {
  TempDir dir;
  // 10 real bytes that claim a pebibyte, more than any test disk has free.
  Files files{{"a.bms", "#TITLE a\r\n"}, {"b.bms", "#TITLE b\r\n"}, {"c.bms", "#TITLE c\r\n"}};
  std::string zip = dir.Write("l.zip", ZipWithLyingZip64(files, 1, 1ull << 50));
  ArcLibrary unzip("UNZIP32.DLL", "UnZip");
  EXPECT_NE(unzip.Command(ZipX(zip, dir.Path() + "dest/")), ERROR_DISK_SPACE);
  // The references unpack the liar's real bytes, as we do.
  ExpectReferencesUnpack(dir, zip, "b.bms", "#TITLE b\r\n");
  EXPECT_EQ(FilesUnder(dir.Path() + "dest"), files);
}

// What the process writes to its stderr (fd 2) while `action` runs.
std::string StderrOf(const std::function<void()>& action) {
  TempDir dir;
  std::fflush(stderr);
  int saved = dup(2);
  int file = open((dir.Path() + "stderr").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  dup2(file, 2);
  close(file);
  action();
  std::fflush(stderr);
  dup2(saved, 2);
  close(saved);
  return test_support::ReadBytes(dir.Path() + "stderr");
}

TEST(HostileRar4, LibraryDiagnosticsStayOffStderr) {
  TempDir dir;
  std::vector<RarEntry> entries;
  for (const char* name : {"a.bms", "b.bms", "c.bms"}) entries.push_back({name, {}, std::string("#TITLE ") + name});
  std::string good = test_support::WriteRar4(entries);
  ArcLibrary unrar("UNRAR32.DLL", "Unrar");
  std::string err = StderrOf([&] {
    std::fprintf(stderr, "host line\n");
    // Every header byte flipped in turn: libunarr warns about most.
    for (std::size_t at = 7; at < good.size(); ++at) {
      std::string bad = good;
      bad[at] ^= 0x10;
      std::string archive = dir.Write("d.rar", bad);
      unrar.Command(RarX(archive, dir.Path() + "dest/"));
    }
    std::fprintf(stderr, "host line\n");
  });
  EXPECT_EQ(err, "host line\nhost line\n");
}

}  // namespace
