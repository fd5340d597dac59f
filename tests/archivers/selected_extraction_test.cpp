// SPDX-License-Identifier: MIT
// Extracting a selection (the charts of a song archive) skips the other
// entries without decoding them and, where the format can seek, without
// reading their data: damage in a skipped entry goes unnoticed, and the
// bytes read stay far below the archive's size.
#include <gtest/gtest.h>
#include <zlib.h>

#include <fstream>
#include <functional>
#include <string>

#include "archiver_api.h"
#include "archivers/shared/extractor.h"
#include "tests/support/archive_maker.h"
#include "tests/support/files.h"
#include "tests/support/rar_writer.h"
#include "archivers/arj/arj_format.h"
#include "archivers/cab/cab_format.h"
#include "archivers/rar/rar_format.h"
#include "archivers/tar/tar_format.h"
#include "archivers/zip/zip_format.h"

namespace {

using namespace test_support;

const std::string kMarker = "<-- damage goes here -->";
constexpr std::size_t kSoundSize = 4u << 20;

// Sound-like bytes with the marker in the middle, where a flip of one byte
// spoils the entry's CRC (or its compressed stream).
std::string Sound(unsigned seed) {
  std::string s = NoiseBytes(kSoundSize, seed);
  s.replace(kSoundSize / 2, kMarker.size(), kMarker);
  return s;
}

const std::string& Chart() {
  static const std::string chart = "#PLAYER 1\r\n#TITLE skip\r\n#BPM 150\r\n#00111:01010101\r\n";
  return chart;
}

// Both sounds damaged.
std::string Damaged(std::string archive) {
  int found = 0;
  for (std::size_t at = archive.find(kMarker); at != std::string::npos; at = archive.find(kMarker, at + 1), ++found)
    archive[at + kMarker.size() / 2] ^= 0x20;
  EXPECT_EQ(found, 2) << "the sounds are not stored as they are";
  return archive;
}

// Bytes this process has read so far, page cache included.
std::uint64_t BytesRead() {
  std::ifstream io("/proc/self/io");
  std::string key;
  std::uint64_t value = 0;
  while (io >> key >> value)
    if (key == "rchar:") return value;
  return 0;
}

struct Result {
  int code;
  std::uint64_t bytesRead;
  std::map<std::string, std::string> files;
};

Result ExtractInto(const TempDir& dir, arc::ReaderOpener open, const std::string& archive, const std::string& dest,
                   std::vector<std::string> include) {
  arc::ExtractRequest req;
  req.archive = archive;
  req.destDir = dir / dest;
  req.include = std::move(include);
  std::string message;
  std::uint64_t before = BytesRead();
  int code = arc::Extract(req, {open}, message);
  std::uint64_t read = BytesRead() - before;
  return {code, read, FilesUnder(dir / dest)};
}

// An archive made by a reference tool from snd1.wav, a.bms and snd2.wav (in
// that order); empty when the tool is missing.
std::string MadeBy(const std::string& tool, const std::string& command, const std::string& name) {
  if (!HaveTool(tool)) return {};
  TempDir dir;
  dir.Write("src/snd1.wav", Sound(1));
  dir.Write("src/a.bms", Chart());
  dir.Write("src/snd2.wav", Sound(2));
  if (Shell(dir / "src", command) != 0) return {};
  return ReadBytes(dir / name);
}

std::vector<RawEntry> RawSong() { return {{"snd1.wav", Sound(1)}, {"a.bms", Chart()}, {"snd2.wav", Sound(2)}}; }

std::vector<RarEntry> RarSong() {
  std::vector<RarEntry> entries(3);
  entries[0].name = "snd1.wav";
  entries[0].data = Sound(1);
  entries[1].name = "a.bms";
  entries[1].data = Chart();
  entries[2].name = "snd2.wav";
  entries[2].data = Sound(2);
  return entries;
}

// A cabinet of two folders: snd1.wav alone in the first, MSZIP-compressed,
// whose second block has a block type deflate does not know; a.bms stored
// in the second.
std::string TwoFolderCabinet() {
  const std::string sound = NoiseBytes(3 * 32768, 3);
  std::vector<std::string> soundBlocks;
  for (std::size_t at = 0; at < sound.size(); at += 32768) {
    std::string block = "CK" + RawDeflate(sound.substr(at, 32768));
    if (soundBlocks.size() == 1) block[2] = 0x07;  // final block of type 3: no such type
    soundBlocks.push_back(block);
  }
  auto fileRecord = [](std::uint32_t size, std::uint16_t folder, const std::string& name) {
    std::string r;
    Put32(r, size);
    Put32(r, 0);  // offset in its folder
    Put16(r, folder);
    Put16(r, 0x5A21), Put16(r, 0x6000), Put16(r, 0x20);
    return r + name + '\0';
  };
  std::string files = fileRecord(static_cast<std::uint32_t>(sound.size()), 0, "snd1.wav") +
                      fileRecord(static_cast<std::uint32_t>(Chart().size()), 1, "a.bms");
  std::uint32_t filesAt = 36 + 2 * 8;
  std::uint32_t dataAt = filesAt + static_cast<std::uint32_t>(files.size());
  std::string data;
  for (std::size_t i = 0; i < soundBlocks.size(); ++i) {
    Put32(data, 0);  // no checksum
    Put16(data, static_cast<std::uint32_t>(soundBlocks[i].size()));
    Put16(data, 32768);
    data += soundBlocks[i];
  }
  std::uint32_t chartAt = dataAt + static_cast<std::uint32_t>(data.size());
  Put32(data, 0);
  Put16(data, static_cast<std::uint32_t>(Chart().size()));
  Put16(data, static_cast<std::uint32_t>(Chart().size()));
  data += Chart();
  std::string cab = "MSCF";
  Put32(cab, 0);
  Put32(cab, dataAt + static_cast<std::uint32_t>(data.size()));
  Put32(cab, 0);
  Put32(cab, filesAt);
  Put32(cab, 0);
  cab += '\x03', cab += '\x01';
  Put16(cab, 2), Put16(cab, 2), Put16(cab, 0), Put16(cab, 0x1234), Put16(cab, 0);
  Put32(cab, dataAt), Put16(cab, static_cast<std::uint32_t>(soundBlocks.size())), Put16(cab, 1);  // MSZIP
  Put32(cab, chartAt), Put16(cab, 1), Put16(cab, 0);                                                // stored
  return cab + files + data;
}

struct Case {
  const char* what;
  arc::ReaderOpener open;
  std::function<std::string()> make;
  // The full extraction's result once both sounds are damaged: proves the
  // damage is there to be found.
  int fullResult;
  // Whether the charts alone come out clean: false where the format
  // makes every entry before the last chart be decoded.
  bool skipsDamage;
  // Whether the skipped sounds' data is never read.
  bool seeksPast;
  // The maker damaged the sounds itself.
  bool damagedAlready = false;
};

TEST(SelectedExtraction, SkippedEntriesAreNeitherDecodedNorRead) {
  const Case cases[] = {
      {"stored zip", arc::OpenZipReader, [] { return MakeStoredZip(RawSong(), false); }, ERROR_FILE_CRC, true, true},
      // Noise deflates to stored blocks, so the marker is in the stream as is.
      {"deflated zip", arc::OpenZipReader,
       [] { return MadeBy("zip", "zip -q -9 ../s.zip snd1.wav a.bms snd2.wav", "s.zip"); }, ERROR_FILE_CRC, true,
       true},
      {"arj", arc::OpenArjReader, [] { return MadeBy("arj", "arj a -y -m0 ../s.arj snd1.wav a.bms snd2.wav", "s.arj"); },
       ERROR_FILE_CRC, true, true},
      // One folder holds all three, so it is decoded up to the chart; what
      // follows the chart is never touched.
      {"cabinet", arc::OpenCabReader, [] { return MadeBy("gcab", "gcab -c ../s.cab a.bms snd1.wav snd2.wav", "s.cab"); },
       ERROR_FILE_CRC, true, true},
      {"cabinet of two folders", arc::OpenCabReader, TwoFolderCabinet, ERROR_BROKEN_DATA, true, true, true},
      {"rar 4", arc::OpenRarReader, [] { return WriteRar4(RarSong()); }, ERROR_FILE_CRC, true, true},
      {"rar 5", arc::OpenRarReader, [] { return WriteRar5(RarSong()); }, ERROR_FILE_CRC, true, true},
      // A solid archive's entries continue one another: every one before
      // the chart is decoded; its damage is that entry's own and is not
      // reported for the chart.
      {"solid rar 4", arc::OpenRarReader, [] { return WriteRar4(RarSong(), 0x0008); }, ERROR_FILE_CRC, true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::string archive = c.make();
    if (archive.empty()) {
      ADD_FAILURE() << "the reference tool could not make it";
      continue;
    }
    TempDir dir;
    std::string path = dir.Write("song", c.damagedAlready ? archive : Damaged(archive));

    Result full = ExtractInto(dir, c.open, path, "full", {});
    EXPECT_EQ(full.code, c.fullResult);
    EXPECT_EQ(full.files.count("snd1.wav") + full.files.count("snd2.wav"), 0u) << "a damaged file was kept";

    Result charts = ExtractInto(dir, c.open, path, "charts", {"*.bms"});
    EXPECT_EQ(charts.code, c.skipsDamage ? 0 : c.fullResult);
    EXPECT_EQ(charts.files, (std::map<std::string, std::string>{{"a.bms", Chart()}}));
    if (c.seeksPast) {
      EXPECT_LT(charts.bytesRead, archive.size() / 8) << "the skipped data was read";
    }
  }
}

// Plain tar has no checksum over data, so what shows the skip is how little
// is read; a compressed tar must decode everything up to its end, but
// writes only the chart.
TEST(SelectedExtraction, TarSeeksPastDataAndCompressedTarOnlyDecodes) {
  TempDir dir;
  std::string tar = MakeTar(RawSong());
  std::string plain = dir.Write("song.tar", tar);
  Result charts = ExtractInto(dir, arc::OpenTarReader, plain, "plain", {"*.bms"});
  EXPECT_EQ(charts.code, 0);
  EXPECT_EQ(charts.files, (std::map<std::string, std::string>{{"a.bms", Chart()}}));
  EXPECT_LT(charts.bytesRead, tar.size() / 8);

  ASSERT_EQ(Shell(dir.Path(), "gzip -1 -k song.tar"), 0);
  Result gz = ExtractInto(dir, arc::OpenTarReader, dir / "song.tar.gz", "gz", {"*.bms"});
  EXPECT_EQ(gz.code, 0);
  EXPECT_EQ(gz.files, (std::map<std::string, std::string>{{"a.bms", Chart()}}));
}

}  // namespace
