// SPDX-License-Identifier: MIT
// Extraction keeps what is sound: a failing entry costs only itself, bombs
// stop early without filling the disk, and single compressed files, sparse
// and zero-leading streams come out as the reference tools give them.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <zlib.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <set>
#include <tuple>

#include "tests/support/arc_library.h"
#include "tests/support/archive_maker.h"
#include "tests/support/same_files.h"
#include "archivers/shared/extractor.h"
#include "archivers/tar/tar_family.h"
#include "archivers/arj/arj_format.h"
#include "archivers/cab/cab_format.h"
#include "archivers/lzh/lzh_format.h"
#include "archivers/tar/tar_format.h"
#include "archivers/zip/zip_format.h"

namespace {

using test_support::ArcLibrary;
using test_support::FilesUnder;
using test_support::RawEntry;
using test_support::TempDir;
using test_support::Shell;
const auto& ShellQuoted = test_support::ShellQuote;

using test_support::ExpectSameFiles;
using test_support::Files;

int ExtractWith(arc::ReaderOpener open, const std::string& archive, const std::string& dest,
                const arc::ExtractLimits& limits = {}) {
  arc::ExtractRequest req;
  req.archive = archive;
  req.destDir = dest;
  req.limits = limits;
  std::string message;
  return arc::Extract(req, {open}, message);
}

std::string FlipByteOf(std::string archive, const std::string& marker) {
  std::size_t at = archive.find(marker);
  EXPECT_NE(at, std::string::npos) << "marker not stored as is";
  if (at != std::string::npos) archive[at + marker.size() / 2] ^= 0x20;
  return archive;
}

std::string FirstEntryName(arc::ReaderOpener open, const std::string& archive) {
  auto reader = open(archive);
  arc::EntryInfo info;
  return reader->Next(info) ? info.name : "";
}

// A cabinet of stored folders, one per file, so that a damaged block
// belongs to one file only. A zero block checksum means "none".
std::string StoredCabinet(const std::vector<std::pair<std::string, std::string>>& files, std::size_t badChecksum) {
  auto put = [](std::string& s, std::uint32_t v, int n) {
    for (int i = 0; i < n; ++i) s += static_cast<char>(v >> (8 * i) & 0xFF);
  };
  std::size_t n = files.size();
  std::string fileTable;
  for (std::size_t i = 0; i < n; ++i) {
    put(fileTable, static_cast<std::uint32_t>(files[i].second.size()), 4);
    put(fileTable, 0, 4);
    put(fileTable, static_cast<std::uint32_t>(i), 2);
    put(fileTable, 0x5A21, 2);  // 2025-01-01
    put(fileTable, 0x6000, 2);  // 12:00:00
    put(fileTable, 0x20, 2);
    fileTable += files[i].first + '\0';
  }
  std::size_t filesAt = 36 + 8 * n, dataAt = filesAt + fileTable.size();
  std::string folders, data;
  for (std::size_t i = 0; i < n; ++i) {
    put(folders, static_cast<std::uint32_t>(dataAt + data.size()), 4);
    put(folders, 1, 2);
    put(folders, 0, 2);  // stored
    put(data, i == badChecksum ? 0xDEADBEEF : 0, 4);
    put(data, static_cast<std::uint32_t>(files[i].second.size()), 2);
    put(data, static_cast<std::uint32_t>(files[i].second.size()), 2);
    data += files[i].second;
  }
  std::string head = "MSCF";
  put(head, 0, 4);
  put(head, static_cast<std::uint32_t>(dataAt + data.size()), 4);
  put(head, 0, 4);
  put(head, static_cast<std::uint32_t>(filesAt), 4);
  put(head, 0, 4);
  head += '\x03';
  head += '\x01';
  put(head, static_cast<std::uint32_t>(n), 2);
  put(head, static_cast<std::uint32_t>(n), 2);
  put(head, 0, 6);
  return head + folders + fileTable + data;
}

// --- One bad entry never costs the others -------------------------------

struct DamagedCase {
  const char* format;
  const char* library;
  const char* prefix;
  const char* archive;
  // Makes `archive` in `dir` from src/ (readme.txt first, then the
  // charts); the readme's data is stored as is, so it can be damaged.
  std::function<void(const TempDir& dir, const std::string& archive)> make;
  std::function<std::string(const std::string& archive, const std::string& dest)> line;
  arc::ReaderOpener open;
  int expected;
};

void PrintTo(const DamagedCase& c, std::ostream* os) { *os << c.format; }

const std::string kReadme = "README-" + std::string(3000, 'r') + "-README";

Files Charts() {
  return {{"a.bms", test_support::TextBytes(4000, 11)},
          {"b.bms", test_support::TextBytes(5000, 12)},
          {"c.bme", test_support::TextBytes(6000, 13)}};
}

void MakeSources(const TempDir& dir) {
  dir.Write("src/readme.txt", kReadme);
  for (auto& [name, bytes] : Charts()) dir.Write("src/" + name, bytes);
}

std::vector<RawEntry> RawSong() {
  std::vector<RawEntry> entries = {{"readme.txt", kReadme}};
  for (auto& [name, bytes] : Charts()) entries.emplace_back(name, bytes);
  return entries;
}

void Damaged(const std::string& archive, const std::string& bytes) {
  test_support::WriteBytes(archive, FlipByteOf(bytes, kReadme));
}

std::string LhaX(const std::string& a, const std::string& d) { return "x -+ -x1 \"" + a + "\" \"" + d + "\""; }
std::string ZipX(const std::string& a, const std::string& d) { return "-x \"" + a + "\" \"" + d + "\""; }
std::string TarX(const std::string& a, const std::string& d) {
  return "x --use-directory=1 -f \"" + a + "\" -o \"" + d + "\"";
}
std::string CabX(const std::string& a, const std::string& d) { return "-x \"" + a + "\" \"" + d + "\""; }

class DamagedEntry : public ::testing::TestWithParam<DamagedCase> {};

TEST_P(DamagedEntry, CostsOnlyItselfAndIsReported) {
  const DamagedCase& c = GetParam();
  TempDir dir;
  MakeSources(dir);
  std::string archive = dir.Path() + c.archive;
  c.make(dir, archive);
  ASSERT_EQ(FirstEntryName(c.open, archive), "readme.txt") << c.format;

  ArcLibrary lib(c.library, c.prefix);
  ASSERT_TRUE(lib.Loaded()) << c.library;
  EXPECT_EQ(lib.Command(c.line(archive, dir.Path() + "dest/")), c.expected) << c.format;
  // Every chart is there and whole; nothing of the readme is left.
  ExpectSameFiles(FilesUnder(dir.Path() + "dest"), Charts(), c.format);
}

INSTANTIATE_TEST_SUITE_P(
    Formats, DamagedEntry,
    ::testing::Values(
        DamagedCase{"zip", "UNZIP32.DLL", "UnZip", "s.zip",
                    [](const TempDir& dir, const std::string& a) {
                      ASSERT_EQ(Shell(dir.Path() + "src", "zip -q -0 -X ../s.zip readme.txt a.bms b.bms c.bme"), 0);
                      Damaged(a, test_support::ReadBytes(a));
                    },
                    ZipX, &arc::OpenZipReader, ERROR_FILE_CRC},
        DamagedCase{"zip, encrypted", "UNZIP32.DLL", "UnZip", "e.zip",
                    [](const TempDir& dir, const std::string&) {
                      ASSERT_EQ(Shell(dir.Path() + "src", "zip -q -X -P secret ../e.zip readme.txt && "
                                                          "zip -q -X ../e.zip a.bms b.bms c.bme"),
                                0);
                    },
                    ZipX, &arc::OpenZipReader, ERROR_PASSWORD_FILE},
        DamagedCase{"lzh", "UNLHA32.DLL", "Unlha", "s.lzh",
                    [](const TempDir&, const std::string& a) { Damaged(a, test_support::MakeStoredLzh(RawSong(), 2)); },
                    LhaX, &arc::OpenLzhReader, ERROR_FILE_CRC},
        DamagedCase{"cab", "CAB32.DLL", "Cab", "s.cab",
                    [](const TempDir&, const std::string& a) {
                      std::vector<std::pair<std::string, std::string>> files = {{"readme.txt", kReadme}};
                      for (auto& [name, bytes] : Charts()) files.emplace_back(name, bytes);
                      test_support::WriteBytes(a, StoredCabinet(files, 0));
                    },
                    CabX, &arc::OpenCabReader, ERROR_FILE_CRC},
        DamagedCase{"arj", "UNARJ32J.DLL", "Unarj", "s.arj",
                    [](const TempDir& dir, const std::string& a) {
                      ASSERT_EQ(Shell(dir.Path() + "src", "arj a -m0 -y ../s.arj readme.txt a.bms b.bms c.bme"), 0);
                      Damaged(a, test_support::ReadBytes(a));
                    },
                    LhaX, &arc::OpenArjReader, ERROR_FILE_CRC}),
    [](const auto& info) {
      std::string n;
      for (char ch : std::string(info.param.format)) n += std::isalnum(static_cast<unsigned char>(ch)) ? ch : '_';
      return n;
    });

TEST(DamagedTarHeader, IsSkippedAndReportedAsBsdtarDoes) {
  TempDir dir;
  std::vector<RawEntry> entries = RawSong();
  entries.insert(entries.begin(), RawEntry{"x.txt", "first"});
  std::string tar = test_support::MakeTar(entries);
  tar[512 + 512 + 3] ^= 0x20;  // the readme's name: its header checksum fails
  std::string archive = dir.Write("s.tar", tar);
  ASSERT_EQ(Shell(dir.Path(), "mkdir ref && bsdtar -xf s.tar -C ref"), 0);
  Files expected = Charts();
  expected["x.txt"] = "first";
  ExpectSameFiles(FilesUnder(dir.Path() + "ref"), expected, "bsdtar");

  ArcLibrary tar32("tar32.dll", "Tar");
  EXPECT_EQ(tar32.Command(TarX(archive, dir.Path() + "dest/")), ERROR_HEADER_BROKEN);
  ExpectSameFiles(FilesUnder(dir.Path() + "dest"), expected, "tar32");
}

// --- Bombs ---------------------------------------------------------------

// Limits small enough that a bomb of a few MB shows the behaviour of one of
// gigabytes: expansion stopped past 1 MiB and 100 times the compressed size.
arc::ExtractLimits SmallLimits() {
  arc::ExtractLimits limits;
  limits.outputFloor = 1 << 20;
  return limits;
}

// Sets the uncompressed size of every entry (local header and directory)
// of a ZIP that `zip` made without data descriptors.
std::string DeclareZipSizes(std::string zip, std::uint32_t size) {
  auto put32 = [&](std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) zip[at + i] = static_cast<char>(v >> (8 * i) & 0xFF);
  };
  for (std::size_t at = zip.find("PK\x03\x04"); at != std::string::npos; at = zip.find("PK\x03\x04", at + 4))
    put32(at + 22, size);
  for (std::size_t at = zip.find("PK\x01\x02"); at != std::string::npos; at = zip.find("PK\x01\x02", at + 4))
    put32(at + 24, size);
  return zip;
}

TEST(Bomb, ZipEntryPassingItsDeclaredSizeIsRemovedAndTheRestExtracted) {
  TempDir dir;
  MakeSources(dir);
  dir.Write("src/bomb.wav", std::string(3 << 20, '\0'));
  ASSERT_EQ(Shell(dir.Path() + "src", "zip -q -X ../b.zip bomb.wav a.bms b.bms c.bme"), 0);
  // It declares 64 KiB and inflates to 3 MiB.
  std::string archive = dir.Write("lying.zip", DeclareZipSizes(test_support::ReadBytes(dir.Path() + "b.zip"), 65536));
  // The charts declare the same size and are shorter: libarchive then
  // reports their length as wrong, so only the bomb is looked at here.
  EXPECT_EQ(ExtractWith(&arc::OpenZipReader, archive, dir.Path() + "dest/"), ERROR_BROKEN_DATA);
  EXPECT_EQ(FilesUnder(dir.Path() + "dest").count("bomb.wav"), 0u);
}

TEST(Bomb, HonestButImplausibleExpansionIsStoppedPerEntry) {
  TempDir dir;
  MakeSources(dir);
  dir.Write("src/bomb.wav", std::string(8 << 20, '\0'));
  ASSERT_EQ(Shell(dir.Path() + "src", "zip -q -X ../b.zip bomb.wav a.bms b.bms c.bme"), 0);
  std::string archive = dir.Path() + "b.zip";
  EXPECT_EQ(ExtractWith(&arc::OpenZipReader, archive, dir.Path() + "dest/", SmallLimits()), ERROR_EXPANDS_TOO_FAR);
  ExpectSameFiles(FilesUnder(dir.Path() + "dest"), Charts(), "zip");
  // Under the real limits the same archive is just data.
  EXPECT_EQ(ExtractWith(&arc::OpenZipReader, archive, dir.Path() + "real/"), 0);
  EXPECT_EQ(FilesUnder(dir.Path() + "real").size(), 4u);
}

TEST(Bomb, StreamsWithoutReliableSizesAreStoppedAndRemoved) {
  TempDir dir;
  dir.Write("src/zeros", std::string(8 << 20, '\0'));
  dir.Write("src/ones", std::string(8 << 20, '\x01'));
  ASSERT_EQ(Shell(dir.Path() + "src", "gzip -c zeros > ../z.gz && bzip2 -c ones > ../o.bz2 && "
                                      "tar -czf ../t.tar.gz zeros ones"),
            0);
  for (const char* name : {"z.gz", "o.bz2", "t.tar.gz"}) {
    std::string dest = dir.Path() + "dest_" + name + "/";
    EXPECT_EQ(ExtractWith(&arc::OpenTarReader, dir.Path() + name, dest, SmallLimits()), ERROR_EXPANDS_TOO_FAR) << name;
    EXPECT_EQ(test_support::NamesOf(FilesUnder(dest)), std::set<std::string>{}) << name;
  }
}

// Passing over an entry of a stream means decoding it: a bomb among the
// entries not asked for stops the extraction as it would if asked for, and
// what came before it stays.
TEST(Bomb, SkippedEntriesOfStreamsAreWeighedAsIfWritten) {
  TempDir dir;
  MakeSources(dir);
  dir.Write("src/zeros.wav", std::string(8 << 20, '\0'));
  ASSERT_EQ(Shell(dir.Path() + "src", "tar -czf ../s.tgz a.bms zeros.wav b.bms c.bme && "
                                      "tar -czf ../plain.tgz readme.txt a.bms b.bms c.bme"),
            0);
  auto extract = [&](const std::string& name, const arc::ExtractLimits& limits) {
    arc::ExtractRequest req;
    req.archive = dir.Path() + name;
    req.destDir = dir.Path() + "dest_" + name + "/";
    req.include = {"*.bms"};
    req.limits = limits;
    std::string message;
    return arc::Extract(req, {&arc::OpenTarReader}, message);
  };
  EXPECT_EQ(extract("s.tgz", SmallLimits()), ERROR_EXPANDS_TOO_FAR);
  EXPECT_EQ(test_support::NamesOf(FilesUnder(dir.Path() + "dest_s.tgz")), std::set<std::string>{"a.bms"});
  // Under the real limits the sound is passed over and nothing of it written.
  std::filesystem::remove_all(dir.Path() + "dest_s.tgz");
  EXPECT_EQ(extract("s.tgz", {}), 0);
  EXPECT_EQ(test_support::NamesOf(FilesUnder(dir.Path() + "dest_s.tgz")), (std::set<std::string>{"a.bms", "b.bms"}));
  // Data nobody asked for is weighed, not written: small entries pass.
  EXPECT_EQ(extract("plain.tgz", SmallLimits()), 0);
  EXPECT_EQ(test_support::NamesOf(FilesUnder(dir.Path() + "dest_plain.tgz")), (std::set<std::string>{"a.bms", "b.bms"}));
}

TEST(Bomb, DeclaredSizesBeyondTheFreeSpaceWriteNothing) {
  TempDir dir;
  MakeSources(dir);
  ASSERT_EQ(Shell(dir.Path() + "src", "zip -q -X ../s.zip readme.txt a.bms b.bms c.bme && "
                                      "tar -czf ../s.tgz readme.txt a.bms b.bms c.bme"),
            0);
  // A reserve larger than any disk: nothing fits.
  arc::ExtractLimits full;
  full.diskReserve = ~0ull;
  for (auto [name, open] : {std::pair{"s.zip", &arc::OpenZipReader}, std::pair{"s.tgz", &arc::OpenTarReader}}) {
    std::string dest = dir.Path() + "dest_" + name + "/";
    EXPECT_EQ(ExtractWith(open, dir.Path() + name, dest, full), ERROR_DISK_SPACE) << name;
    EXPECT_EQ(test_support::NamesOf(FilesUnder(dest)), std::set<std::string>{}) << name;
  }
  // A declared size is a claim that counts only as far as the packed bytes
  // can expand: a ZIP declaring 4 GiB for each of a few small entries is
  // not turned away for want of room.
  std::string huge = dir.Write("huge.zip", DeclareZipSizes(test_support::ReadBytes(dir.Path() + "s.zip"), 0xFFFFFFF0u));
  EXPECT_NE(ExtractWith(&arc::OpenZipReader, huge, dir.Path() + "huge/"), ERROR_DISK_SPACE);
}

// --- Single compressed files and tar streams ---------------------------

TEST(TarFamily, SingleFilesComeOutAsTheReferenceDecompressorGivesThem) {
  TempDir dir;
  struct Case {
    const char* archive;
    std::string make;       // in src/
    std::string reference;  // in ref/, writes the expected file(s)
    int type;
  };
  dir.Write("src/lead", std::string(512, '\0') + test_support::TextBytes(3000, 1));
  dir.Write("src/song.bms", test_support::TextBytes(2000, 2));
  std::vector<Case> cases = {
      // Data that begins like a tar's end mark is still data.
      {"lead.gz", "gzip -c lead > ../lead.gz", "gzip -dc ../lead.gz > lead", ARCHIVETYPE_GZ},
      {"empty.gz", ": | gzip -c > ../empty.gz", "gzip -dc ../empty.gz > empty", ARCHIVETYPE_GZ},
      {"empty.bz2", ": | bzip2 -c > ../empty.bz2", "bzip2 -dc ../empty.bz2 > empty", ARCHIVETYPE_BZ2},
      // One layer is undone, as bunzip2 would.
      {"song.bms.bz2", "bzip2 -c song.bms > ../in.bz2 && bzip2 -c < ../in.bz2 > ../song.bms.bz2",
       "bzip2 -dc ../song.bms.bz2 > song.bms", ARCHIVETYPE_BZ2},
      {"twice.tgz.gz", "tar -czf ../in.tgz song.bms && gzip -nc < ../in.tgz > ../twice.tgz.gz",
       "gzip -dc ../twice.tgz.gz > twice.tgz", ARCHIVETYPE_GZ},
      // A tar without entries stays a tar.
      {"none.tgz", "tar -czf ../none.tgz -T /dev/null", "true", ARCHIVETYPE_TARGZ},
  };
  for (const Case& c : cases) {
    ASSERT_EQ(Shell(dir.Path() + "src", c.make), 0) << c.make;
    std::string ref = dir.Path() + "ref_" + c.archive;
    ASSERT_EQ(Shell(dir.Path() + "src", "mkdir " + ShellQuoted(ref) + " && cd " + ShellQuoted(ref) + " && " + c.reference), 0);
    std::string archive = dir.Path() + c.archive;
    EXPECT_EQ(arc::DetectTarArchiveType(archive), c.type) << c.archive;
    ArcLibrary tar("tar32.dll", "Tar");
    std::string dest = dir.Path() + "dest_" + c.archive + "/";
    EXPECT_EQ(tar.Command(TarX(archive, dest)), 0) << c.archive;
    ExpectSameFiles(FilesUnder(dest), FilesUnder(ref), c.archive);
  }
}

// xz, lzma and zstd, as tars and as single files: told by content whatever
// the name, and unpacked as the reference decompressor piped into bsdtar
// gives them. Concatenated xz streams and zstd frames are read in turn.
TEST(TarFamily, XzLzmaAndZstdStreamsMatchTheReference) {
  TempDir dir;
  dir.Write("src/a.bms", test_support::TextBytes(3000, 1));
  dir.Write("src/b.wav", test_support::NoiseBytes(300000, 2));
  dir.Write("src/sub/c.bms", test_support::TextBytes(2000, 3));
  struct Case {
    const char* archive;
    const char* compress;    // stdin to stdout
    const char* decompress;  // the reference, stdin to stdout
    int type;
  } cases[] = {
      {"s.tar.xz", "xz", "xz -dc", ARCHIVETYPE_TARXZ},
      {"s.txz.bin", "xz -9e", "xz -dc", ARCHIVETYPE_TARXZ},
      {"s.tar.zst", "zstd -q", "zstd -dcq", ARCHIVETYPE_TARZSTD},
      {"s.tzst", "zstd -q --long=27", "zstd -dcq --long=27", ARCHIVETYPE_TARZSTD},
      {"s.tlz", "lzma", "lzma -dc", ARCHIVETYPE_TARLZMA},
      {"two.tar.xz", "{ head -c 10240 | xz; xz; }", "xz -dc", ARCHIVETYPE_TARXZ},
      {"two.tar.zst", "{ head -c 10240 | zstd -q; zstd -q; }", "zstd -dcq", ARCHIVETYPE_TARZSTD},
  };
  for (const Case& c : cases) {
    std::string archive = dir.Path() + c.archive;
    ASSERT_EQ(Shell(dir.Path() + "src", std::string("tar -cf - a.bms b.wav sub | ") + c.compress + " > " + ShellQuoted(archive)), 0);
    std::string ref = dir.Path() + "ref_" + c.archive;
    ASSERT_EQ(Shell(dir.Path(), "mkdir " + ShellQuoted(ref) + " && " + c.decompress + " < " + ShellQuoted(archive) +
                                    " | bsdtar -xf - -C " + ShellQuoted(ref)), 0) << c.archive;
    EXPECT_EQ(arc::DetectTarArchiveType(archive), c.type) << c.archive;
    ArcLibrary tar("tar32.dll", "Tar");
    std::string dest = dir.Path() + "dest_" + c.archive + "/";
    EXPECT_EQ(tar.Command(TarX(archive, dest)), 0) << c.archive;
    ExpectSameFiles(FilesUnder(dest), FilesUnder(ref), c.archive);
  }
  // A single file keeps its name without the suffix.
  for (auto [name, make, type] : {std::tuple{"song.bms.xz", "xz -c song.bms", ARCHIVETYPE_XZ},
                                  std::tuple{"song.bms.lzma", "lzma -c song.bms", ARCHIVETYPE_LZMA},
                                  std::tuple{"song.bms.zst", "zstd -qc song.bms", ARCHIVETYPE_ZSTD}}) {
    dir.Write("one/song.bms", test_support::TextBytes(5000, 4));
    ASSERT_EQ(Shell(dir.Path() + "one", std::string(make) + " > ../" + name), 0);
    EXPECT_EQ(arc::DetectTarArchiveType(dir.Path() + name), type) << name;
    ArcLibrary tar("tar32.dll", "Tar");
    std::string dest = dir.Path() + "dest_" + name + "/";
    EXPECT_EQ(tar.Command(TarX(dir.Path() + name, dest)), 0) << name;
    EXPECT_TRUE(FilesUnder(dest) == (std::map<std::string, std::string>{{"song.bms", test_support::TextBytes(5000, 4)}})) << name;
  }
}

off_t AllocatedBytes(const std::string& path) {
  struct stat st{};
  return stat(path.c_str(), &st) == 0 ? st.st_blocks * 512 : -1;
}

std::string Region(const std::string& path, off_t at, std::size_t size) {
  std::string out(size, '\0');
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return {};
  std::size_t got = fseeko(f, at, SEEK_SET) == 0 ? std::fread(out.data(), 1, size, f) : 0;
  std::fclose(f);
  out.resize(got);
  return out;
}

TEST(TarFamily, SparseEntriesKeepTheirHolesAndFullLength) {
  TempDir dir;
  // 10 GB declared, 64 KiB stored in the middle, a hole at the end.
  ASSERT_EQ(Shell(dir.Path(), "mkdir src && truncate -s 10G src/big.wav && "
                              "head -c 65536 /dev/urandom | dd of=src/big.wav bs=65536 seek=16 conv=notrunc status=none"),
            0);
  dir.Write("src/a.bms", test_support::TextBytes(3000, 3));
  for (const char* format : {"gnu", "posix"}) {
    std::string name = std::string("s_") + format + ".tgz";
    ASSERT_EQ(Shell(dir.Path() + "src", std::string("tar --sparse --format=") + format + " -czf ../" + name + " big.wav a.bms"), 0);
    std::string dest = dir.Path() + "dest_" + format + "/";
    ArcLibrary tar("tar32.dll", "Tar");
    ASSERT_EQ(tar.Command(TarX(dir.Path() + name, dest)), 0) << format;
    struct stat st{};
    ASSERT_EQ(stat((dest + "big.wav").c_str(), &st), 0);
    EXPECT_EQ(st.st_size, 10ll << 30) << format;
    EXPECT_LT(AllocatedBytes(dest + "big.wav"), 4 << 20) << format;
    EXPECT_EQ(Region(dest + "big.wav", 1 << 20, 65536), Region(dir.Path() + "src/big.wav", 1 << 20, 65536)) << format;
    EXPECT_EQ(Region(dest + "big.wav", (10ll << 30) - 4096, 4096), std::string(4096, '\0')) << format;
    EXPECT_EQ(test_support::ReadBytes(dest + "a.bms"), test_support::TextBytes(3000, 3));
  }
}

// --- MacLHA ----------------------------------------------------------------

// `data` wrapped the way MacLHA stores a file: a MacBinary header naming
// the file, the data fork, zeros up to a multiple of 128 bytes.
std::string MacBinary(const std::string& name, const std::string& data, std::time_t mtime) {
  std::string h(128, '\0');
  h[1] = static_cast<char>(name.size());
  h.replace(2, name.size(), name);
  h.replace(0x41, 8, "TEXTttxt");
  auto putBe = [&](std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) h[at + i] = static_cast<char>(v >> (24 - 8 * i) & 0xFF);
  };
  putBe(0x53, static_cast<std::uint32_t>(data.size()));
  putBe(0x5f, static_cast<std::uint32_t>(mtime + 2082844800));  // seconds since 1904
  std::string out = h + data;
  out.resize((out.size() + 127) / 128 * 128, '\0');
  return out;
}

TEST(MacLha, MacBinaryWrappedEntriesComeOutAsTheReferenceGivesThem) {
  TempDir dir;
  std::string data = test_support::TextBytes(1000, 7);
  std::vector<RawEntry> entries = {{"song.bms", MacBinary("song.bms", data, 946684800)}, {"b.bms", "#TITLE b"}};
  std::string lzh = test_support::MakeStoredLzh(entries, 1);
  // The first header's OS byte sits before its extension size; the header
  // sum covers it.
  std::size_t size = static_cast<unsigned char>(lzh[0]);
  ASSERT_EQ(lzh[size - 1], 'M');
  lzh[size - 1] = 'm';
  unsigned sum = 0;
  for (std::size_t i = 2; i < 2 + size; ++i) sum += static_cast<unsigned char>(lzh[i]);
  lzh[1] = static_cast<char>(sum & 0xFF);
  std::string archive = dir.Write("mac.lzh", lzh);
  ASSERT_EQ(Shell(dir.Path(), "mkdir ref && cd ref && lhasa xq ../mac.lzh"), 0);
  ASSERT_EQ(test_support::ReadBytes(dir.Path() + "ref/song.bms"), data);

  ArcLibrary lha("UNLHA32.DLL", "Unlha");
  EXPECT_EQ(lha.Command(LhaX(archive, dir.Path() + "dest/")), 0);
  ExpectSameFiles(FilesUnder(dir.Path() + "dest"), FilesUnder(dir.Path() + "ref"), "mac");

  // A damaged wrapped entry is still caught.
  std::string bad = lzh;
  bad[bad.find(data) + 10] ^= 0x01;
  std::string badArchive = dir.Write("bad.lzh", bad);
  EXPECT_EQ(lha.Command(LhaX(badArchive, dir.Path() + "bad/")), ERROR_FILE_CRC);
  EXPECT_EQ(FilesUnder(dir.Path() + "bad"), (Files{{"b.bms", "#TITLE b"}}));
}

}  // namespace
