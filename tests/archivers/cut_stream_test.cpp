// SPDX-License-Identifier: MIT
// Compressed tars and single files cut short or damaged: never a success,
// the entries that were whole before the cut come out as the reference
// decompressor piped into bsdtar gives them, and no half-written file stays.
#include <gtest/gtest.h>
#include <zlib.h>

#include <map>
#include <string>

#include "archiver_api.h"
#include "tests/support/arc_library.h"
#include "tests/support/files.h"

namespace {

using test_support::ArcLibrary;
using test_support::FilesUnder;
using test_support::Shell;
using test_support::TempDir;

using Files = std::map<std::string, std::string>;

struct CutCase {
  const char* what;
  const char* compress;    // compressor command reading stdin
  const char* decompress;  // the reference decompressor, stdin to stdout
  bool tar;                // a tar inside, else one file
  std::size_t soundSize;   // noise, so the stream is about this long
  long cut;                // bytes kept; negative: bytes cut off the end
};

void PrintTo(const CutCase& c, std::ostream* os) { *os << c.what; }

std::string TarX(const std::string& a, const std::string& d) {
  return "x --use-directory=1 -f \"" + a + "\" -o \"" + d + "\"";
}

class CutStream : public ::testing::TestWithParam<CutCase> {};

TEST_P(CutStream, FailsAndKeepsOnlyWholeEntries) {
  const CutCase& c = GetParam();
  TempDir dir;
  dir.Write("src/a.bms", test_support::TextBytes(3000, 1));
  dir.Write("src/b.wav", test_support::NoiseBytes(c.soundSize, 2));
  dir.Write("src/c.bms", test_support::TextBytes(2000, 3));
  std::string pack = c.tar ? "tar -cf - a.bms b.wav c.bms | " : "cat b.wav | ";
  ASSERT_EQ(Shell(dir.Path() + "src", pack + c.compress + " > ../whole"), 0);
  std::string whole = test_support::ReadBytes(dir.Path() + "whole");
  std::size_t keep = c.cut >= 0 ? static_cast<std::size_t>(c.cut) : whole.size() - static_cast<std::size_t>(-c.cut);
  ASSERT_LT(keep, whole.size());
  std::string archive = dir.Write("cut.arc", whole.substr(0, keep));
  // The reference: what decodes before the cut, unpacked by bsdtar.
  std::string unpack = c.tar ? " | bsdtar -xf - -C ref" : " > ref/b.wav";
  Shell(dir.Path(), std::string("mkdir ref && ") + c.decompress + " < cut.arc 2>/dev/null" + unpack + " 2>/dev/null");
  // bsdtar leaves the entry it was writing at the cut: only whole ones count
  // (bzip2 -dc may hold back the end of a stream whose last bytes are cut).
  Files reference = FilesUnder(dir.Path() + "ref");
  std::erase_if(reference, [&](const auto& f) { return test_support::ReadBytes(dir.Path() + "src/" + f.first) != f.second; });

  ArcLibrary tar32("tar32.dll", "Tar");
  ASSERT_TRUE(tar32.Loaded());
  int result = tar32.Command(TarX(archive, dir.Path() + "dest/"));
  EXPECT_TRUE(result == ERROR_UNEXPECTED_EOF || result == ERROR_BROKEN_DATA || result == ERROR_HEADER_BROKEN)
      << c.what << ": result " << std::hex << result;
  Files got = FilesUnder(dir.Path() + "dest");
  // Only whole files are written...
  for (auto& [name, bytes] : got) {
    EXPECT_TRUE(bytes == test_support::ReadBytes(dir.Path() + "src/" + name)) << c.what << ": " << name << " is not whole";
  }
  // ...and at least every one the reference gets. A single file cut short
  // is none.
  if (c.tar) {
    for (auto& [name, bytes] : reference) EXPECT_EQ(got.count(name), 1u) << c.what << ": " << name << " is missing";
  } else {
    EXPECT_TRUE(got.empty()) << c.what;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Streams, CutStream,
    ::testing::Values(
        CutCase{"tgz small, in the first block", "gzip -n", "gzip -dc", true, 20000, 40},
        CutCase{"tgz small, mid data", "gzip -n", "gzip -dc", true, 20000, 12000},
        CutCase{"tgz small, last 4 bytes", "gzip -n", "gzip -dc", true, 20000, -4},
        CutCase{"tgz small, last 8 bytes", "gzip -n", "gzip -dc", true, 20000, -8},
        CutCase{"tgz large, mid data", "gzip -n", "gzip -dc", true, 400000, 200000},
        CutCase{"tgz large, last 4 bytes", "gzip -n", "gzip -dc", true, 400000, -4},
        CutCase{"tbz2 small, in the first block", "bzip2", "bzip2 -dc", true, 20000, 40},
        CutCase{"tbz2 small, mid data", "bzip2", "bzip2 -dc", true, 20000, 12000},
        CutCase{"tbz2 small, last 4 bytes", "bzip2", "bzip2 -dc", true, 20000, -4},
        CutCase{"tbz2 large, mid data", "bzip2", "bzip2 -dc", true, 400000, 200000},
        CutCase{"tbz2 large, last 4 bytes", "bzip2", "bzip2 -dc", true, 400000, -4},
        CutCase{"gz small, last 4 bytes", "gzip -n", "gzip -dc", false, 20000, -4},
        CutCase{"gz small, mid data", "gzip -n", "gzip -dc", false, 20000, 10000},
        CutCase{"gz large, last 8 bytes", "gzip -n", "gzip -dc", false, 400000, -8},
        CutCase{"bz2 small, last 4 bytes", "bzip2", "bzip2 -dc", false, 20000, -4},
        CutCase{"bz2 large, mid data", "bzip2", "bzip2 -dc", false, 400000, 200000},
        CutCase{"txz small, mid data", "xz", "xz -dc", true, 20000, 12000},
        CutCase{"txz large, mid data", "xz", "xz -dc", true, 400000, 200000},
        CutCase{"txz large, last 4 bytes", "xz", "xz -dc", true, 400000, -4},
        CutCase{"tzst large, mid data", "zstd -q", "zstd -dcq", true, 400000, 200000},
        CutCase{"tzst large, last 4 bytes", "zstd -q", "zstd -dcq", true, 400000, -4},
        CutCase{"tlz large, mid data", "lzma", "lzma -dc", true, 400000, 200000},
        CutCase{"xz large, last 4 bytes", "xz", "xz -dc", false, 400000, -4},
        CutCase{"zst small, mid data", "zstd -q", "zstd -dcq", false, 20000, 10000}),
    [](const auto& info) {
      std::string n;
      for (char ch : std::string(info.param.what)) n += std::isalnum(static_cast<unsigned char>(ch)) ? ch : '_';
      return n;
    });

// Streams that end cleanly come out whole, as gzip -dc / bzip2 -dc give
// them; a wrong gzip CRC is damage, not data.
TEST(CompressedStream, WholeMembersDecodeAndAWrongCrcFails) {
  struct Case {
    const char* what;
    const char* make;  // from src/ (a and b) into ../s.gz
    int result;
  } cases[] = {
      {"two gzip members", "gzip -nc a > ../s.gz && gzip -nc b >> ../s.gz", 0},
      {"two bzip2 streams", "bzip2 -c a > ../s.gz && bzip2 -c b >> ../s.gz", 0},
      {"an empty member first", ": | gzip -nc > ../s.gz && gzip -nc b >> ../s.gz", 0},
      {"bytes after the last member", "gzip -nc a > ../s.gz && printf junk >> ../s.gz", 0},
      // The stored CRC is the trailer's first word.
      {"wrong CRC", "gzip -nc a > ../s.gz && printf '\\377' | "
                    "dd of=../s.gz bs=1 seek=$(($(stat -c %s ../s.gz) - 8)) conv=notrunc 2>/dev/null",
       ERROR_BROKEN_DATA},
      {"damaged deflate data", "gzip -nc a > ../s.gz && printf '\\377\\377\\377' | "
                               "dd of=../s.gz bs=1 seek=20 conv=notrunc 2>/dev/null",
       ERROR_BROKEN_DATA},
  };
  for (const auto& c : cases) {
    TempDir dir;
    dir.Write("src/a", test_support::TextBytes(50000, 4));
    dir.Write("src/b", test_support::NoiseBytes(30000, 5));
    ASSERT_EQ(Shell(dir.Path() + "src", c.make), 0) << c.what;
    std::string expected;
    if (c.result == 0) {
      ASSERT_EQ(Shell(dir.Path(), "{ gzip -dc s.gz || bzip2 -dc s.gz; } > ref; test -s ref"), 0) << c.what;
      expected = test_support::ReadBytes(dir.Path() + "ref");
    }
    ArcLibrary tar32("tar32.dll", "Tar");
    EXPECT_EQ(tar32.Command(TarX(dir.Path() + "s.gz", dir.Path() + "dest/")), c.result) << c.what;
    Files got = FilesUnder(dir.Path() + "dest");
    if (c.result == 0) {
      EXPECT_TRUE(got == (Files{{"s", expected}})) << c.what;
    } else {
      EXPECT_TRUE(got.empty()) << c.what;
    }
  }
}

// A gzip member with every optional header field (extra, name, comment,
// header CRC), as zlib writes it.
std::string GzipWithAllFields(const std::string& data) {
  z_stream z{};
  EXPECT_EQ(deflateInit2(&z, 6, Z_DEFLATED, 16 + MAX_WBITS, 8, Z_DEFAULT_STRATEGY), Z_OK);
  std::string extra(300, 'e');
  gz_header h{};
  h.extra = reinterpret_cast<Bytef*>(extra.data());
  h.extra_len = static_cast<uInt>(extra.size());
  h.name = reinterpret_cast<Bytef*>(const_cast<char*>("song.bms"));
  h.comment = reinterpret_cast<Bytef*>(const_cast<char*>("a comment"));
  h.hcrc = 1;
  deflateSetHeader(&z, &h);
  std::string out(data.size() + 1024, '\0');
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  z.avail_in = static_cast<uInt>(data.size());
  z.next_out = reinterpret_cast<Bytef*>(out.data());
  z.avail_out = static_cast<uInt>(out.size());
  EXPECT_EQ(deflate(&z, Z_FINISH), Z_STREAM_END);
  out.resize(z.total_out);
  deflateEnd(&z);
  return out;
}

// Every optional header field is passed over; a cut anywhere in the
// header, the data or the trailer is an error that writes nothing.
TEST(CompressedStream, HeaderFieldsArePassedOverAndACutAnywhereFails) {
  std::string data = test_support::TextBytes(20000, 6);
  std::string gz = GzipWithAllFields(data);
  TempDir dir;
  std::string whole = dir.Write("whole.gz", gz);
  ArcLibrary tar32("tar32.dll", "Tar");
  ASSERT_EQ(tar32.Command(TarX(whole, dir.Path() + "whole/")), 0);
  EXPECT_TRUE(FilesUnder(dir.Path() + "whole") == (Files{{"song.bms", data}}));
  // The header: 10 fixed bytes, 2 + 300 of extra field, the name to 321,
  // the comment to 331, its CRC to 333. Cuts in each, in the data, in the
  // trailer.
  for (std::size_t keep : std::initializer_list<std::size_t>{100, 315, 325, 332, 340, gz.size() / 2, gz.size() - 1}) {
    std::string dest = dir.Path() + "cut" + std::to_string(keep) + "/";
    std::string cut = dir.Write("cut.gz", gz.substr(0, keep));
    int result = tar32.Command(TarX(cut, dest));
    EXPECT_TRUE(result == ERROR_UNEXPECTED_EOF || result == ERROR_BROKEN_DATA) << keep << ": " << std::hex << result;
    EXPECT_TRUE(FilesUnder(dest).empty()) << keep;
  }
}

// compress has no end mark: only a stream without a whole first code is
// empty; a bad code, first or later, is damage, not an empty file.
TEST(CompressedStream, CompressIsEmptyOnlyWithoutAWholeCode) {
  struct Case {
    std::string bytes;
    bool empty;
  } cases[] = {
      {std::string("\x1f\x9d\x90", 3), true},
      {std::string("\x1f\x9d\x90\x00", 4), true},
      {std::string("\x1f\x9d\x90\xff\xff\xff", 6), false},
      {std::string("\x1f\x9d\x90\x61\xfe\x03", 6), false},  // 'a', then a code not yet defined
  };
  for (const auto& c : cases) {
    TempDir dir;
    std::string archive = dir.Write("s.Z", c.bytes);
    ArcLibrary tar32("tar32.dll", "Tar");
    int result = tar32.Command(TarX(archive, dir.Path() + "dest/"));
    Files got = FilesUnder(dir.Path() + "dest");
    if (c.empty) {
      EXPECT_EQ(result, 0) << c.bytes.size();
      EXPECT_TRUE(got == (Files{{"s", ""}})) << c.bytes.size();
    } else {
      EXPECT_NE(result, 0) << c.bytes.size();
      EXPECT_TRUE(got.empty()) << c.bytes.size();
    }
  }
}

}  // namespace
