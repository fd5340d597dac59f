// SPDX-License-Identifier: MIT
// A charts-only drop gives the rows of a full drop, byte for byte, on every
// format and on hostile archives; only a full unpacking that a skipped entry
// would stop early lists fewer.
#include <optional>
#include <unistd.h>

#include <filesystem>
#include <functional>

#include <gtest/gtest.h>

#include "charts/chart_list.h"
#include "charts/csv_export.h"
#include "charts/drop_pipeline.h"
#include "charts/working_folder.h"
#include "drivers/archive_file.h"
#include "platform/cp932.h"
#include "platform/dynlib.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "tests/support/program_folder.h"
#include "tests/support/archive_maker.h"
#include "tests/support/files.h"
#include "tests/support/rar_writer.h"
#include "tests/support/song_archives.h"

namespace fs = std::filesystem;
using test_support::RawEntry;
using test_support::SongFile;

namespace {

std::string Chart(const std::string& title) { return "#TITLE " + title + "\r\n#ARTIST a\r\n#BPM 120\r\n#WAV01 k.wav\r\n"; }

// Charts in folders of every depth, in several kinds and letter cases, two
// with one name in different folders (the later one is what stays), a
// folder named like a chart, and sounds and images around them.
std::vector<SongFile> RichSong() {
  return {
      {"song/kick.wav", test_support::NoiseBytes(40000, 1)},
      {"song/a.bms", Chart("first a")},
      {"song/sub/B.BMS", Chart("upper")},
      {"song/c.bme", Chart("seven keys")},
      {"song/back.bmp", test_support::NoiseBytes(30000, 2)},
      {"song/d.pms", Chart("nine buttons")},
      {"song/e.bml", Chart("long notes")},
      {"song/fake.bms/inside.txt", "not a chart"},
      {"song/x.bms.ogg", test_support::NoiseBytes(5000, 3)},
      {"song/sub/a.bms", Chart("second a")},
      {"top.bms", Chart("top")},
      {"readme.txt", "read me\r\n"},
  };
}

// Japanese names in a folder whose name ends in the byte of "\", and twins
// (〜 U+301C and ～ U+FF5E share one CP932 form).
std::vector<SongFile> JapaneseSong() {
  const std::string title = platform::Utf8ToCp932("曲");
  return {{"曲ソ表/音.wav", test_support::NoiseBytes(20000, 4)},
          {"曲ソ表/譜面ガ.bms", Chart(title)},
          {"曲ソ表/曲〜.bms", Chart("wave")},
          {"曲ソ表/曲～.bms", Chart("tilde")},
          {"曲ソ表/画像.bmp", test_support::NoiseBytes(10000, 5)}};
}

class ChartsOnlyTest : public ::testing::Test {
 protected:
  void SetUp() override {
    program_.emplace(tmp_.Path() + "app", true);
    CreateWorkingFolder();
    window_ = platform::CreateMessageWindow([](std::uint32_t, std::uintptr_t, std::intptr_t) { return 0; });
  }
  void TearDown() override {
    platform::DestroyMessageWindow(window_);
    program_.reset();
  }

  struct Drop {
    std::string csv;          // with the hash columns: the chart files' bytes count too
    std::size_t rows = 0;
    // The last command line asked for every entry (none is sent when the
    // charts were read into memory).
    bool unpackedInFull = false;
  };

  // Drops `archive` (a name in the scratch folder) on a fresh list.
  Drop DropOnce(const std::string& archive, std::vector<std::string> extensions, bool chartsOnly) {
    ChartList list;
    TArchiveFile af;
    ApplyMainWindowSettings(af);
    DropPipeline pipeline(list, af, window_);
    pipeline.options.extensions = std::move(extensions);
    pipeline.options.hashes = true;
    pipeline.options.chartsOnly = chartsOnly;
    pipeline.WMDropFiles({platform::Utf8ToCp932(tmp_.Path() + archive)});
    EXPECT_TRUE(TopOfWork().empty()) << archive;
    return {ChartCsvText(list, CsvOptions{CsvFormat::kClassic, true}), list.Count(),
            !af.CmdLine().empty() && af.CmdLine().find("\"*.") == std::string::npos};
  }

  std::vector<std::string> TopOfWork() { return test_support::FileNamesAt(tmp_.Path() + "app/work/"); }

  test_support::TempDir tmp_;
  std::optional<test_support::ProgramFolder> program_;
  platform::WindowHandle window_ = 0;
};

// --- Every format -----------------------------------------------------------

struct FormatCase {
  const char* archive;
  bool japanese;  // the format's maker stores the Japanese names as such
};

class EveryFormatChartsOnly : public ChartsOnlyTest, public ::testing::WithParamInterface<FormatCase> {};

TEST_P(EveryFormatChartsOnly, ListsTheRowsOfAFullUnpackingWithoutTheRest) {
  const FormatCase& c = GetParam();
  std::vector<SongFile> song = RichSong();
  if (c.japanese)
    for (auto& f : JapaneseSong()) song.push_back(f);
  const std::string name = c.archive;
  if (name == "song5.rar") {
    std::vector<test_support::RarEntry> entries;
    for (const auto& f : song) entries.push_back({f.name, {}, f.bytes});
    test_support::WriteBytes(tmp_.Path() + name, test_support::WriteRar5(entries));
  } else {
    ASSERT_TRUE(test_support::MakeArchive(tmp_.Path(), name, song)) << "cannot make " << name;
  }
  struct Kinds {
    std::vector<std::string> extensions;
    std::size_t rows;  // of the rich song; the Japanese one adds three
  } kinds[] = {{{"bms"}, 3}, {{"bms", "bme", "pms"}, 5}};
  for (const Kinds& k : kinds) {
    SCOPED_TRACE(k.extensions.size());
    Drop full = DropOnce(name, k.extensions, false);
    Drop only = DropOnce(name, k.extensions, true);
    EXPECT_EQ(full.rows, k.rows + (c.japanese ? 3 : 0));
    EXPECT_EQ(only.csv, full.csv);
    EXPECT_FALSE(only.unpackedInFull);
  }
}

INSTANTIATE_TEST_SUITE_P(Formats, EveryFormatChartsOnly,
                         ::testing::Values(FormatCase{"song.lzh", true}, FormatCase{"song.zip", true},
                                           FormatCase{"song.cab", false}, FormatCase{"song.arj", false},
                                           FormatCase{"song.tar", true}, FormatCase{"song.tgz", true},
                                           FormatCase{"song.bz2", true}, FormatCase{"song.rar", false},
                                           FormatCase{"song5.rar", true}, FormatCase{"song.7z", true},
                                           FormatCase{"song.tar.xz", true}, FormatCase{"song.tar.zst", true}),
    [](const auto& info) { return test_support::TestNameOf(info.param.archive); });

// --- Hostile archives -------------------------------------------------------

// Flips a byte in the middle of `marker`, which must be stored as is.
std::string Flip(std::string bytes, const std::string& marker) {
  std::size_t at = bytes.find(marker);
  EXPECT_NE(at, std::string::npos);
  if (at != std::string::npos) bytes[at + marker.size() / 2] ^= 0x20;
  return bytes;
}

const std::string kReadme = "README-" + std::string(3000, 'r') + "-README";
const std::string kChartA = Chart("a-" + std::string(2000, 'a') + "-a");

std::vector<RawEntry> RawSong() {
  return {{"readme.txt", kReadme}, {"song/a.bms", kChartA}, {"song/b.bms", Chart("b")}, {"c.bme", Chart("c")}};
}

// Sets the 64-bit uncompressed size of `name` in its ZIP64 fields (local
// header and directory) of a ZIP made with "zip -fz".
std::string DeclareZip64Size(std::string zip, const std::string& name, std::uint64_t size) {
  const std::string at = name + std::string("\x01\x00", 2);
  for (std::size_t p = zip.find(at); p != std::string::npos; p = zip.find(at, p + 1))
    for (int i = 0; i < 8; ++i) zip[p + at.size() + 2 + i] = static_cast<char>(size >> (8 * i) & 0xFF);
  return zip;
}

struct HostileCase {
  const char* what;
  const char* archive;
  std::function<void(const test_support::TempDir& dir, const std::string& path)> make;
  std::size_t fullRows;
  // Rows the charts-only drop lists beyond the full one's (then the full
  // CSV is a prefix of it), and whether it had to unpack in full after all.
  std::size_t extraRows;
  bool unpackedInFull;
};

void PrintTo(const HostileCase& c, std::ostream* os) { *os << c.what; }

void Sh(const test_support::TempDir& dir, const std::string& command) {
  ASSERT_EQ(test_support::Shell(dir.Path(), command), 0) << command;
}

void Sources(const test_support::TempDir& dir) {
  for (const RawEntry& e : RawSong()) dir.Write("src/" + e.name, e.data);
}

// Writes the raw song as a tar with `extra` entries after it.
std::function<void(const test_support::TempDir&, const std::string&)> SongTarWith(std::vector<RawEntry> extra) {
  return [extra](const test_support::TempDir&, const std::string& path) {
    std::vector<RawEntry> entries = RawSong();
    entries.insert(entries.end(), extra.begin(), extra.end());
    test_support::WriteBytes(path, test_support::MakeTar(entries));
  };
}

class HostileChartsOnly : public ChartsOnlyTest, public ::testing::WithParamInterface<HostileCase> {};

TEST_P(HostileChartsOnly, ListsTheRowsOfAFullUnpacking) {
  const HostileCase& c = GetParam();
  c.make(tmp_, tmp_.Path() + c.archive);
  if (HasFatalFailure()) return;
  const std::vector<std::string> kinds = {"bms", "bme"};
  Drop full = DropOnce(c.archive, kinds, false);
  Drop only = DropOnce(c.archive, kinds, true);
  EXPECT_EQ(full.rows, c.fullRows);
  EXPECT_EQ(only.rows, c.fullRows + c.extraRows);
  if (c.extraRows == 0)
    EXPECT_EQ(only.csv, full.csv);
  else
    EXPECT_EQ(only.csv.substr(0, full.csv.size()), full.csv);
  EXPECT_EQ(only.unpackedInFull, c.unpackedInFull);
}

INSTANTIATE_TEST_SUITE_P(
    Archives, HostileChartsOnly,
    ::testing::Values(
        // A damaged sound is passed over unread; a damaged chart makes the
        // charts-only run fail, so the archive is unpacked in full.
        HostileCase{"damaged_readme_lzh", "d.lzh",
                    [](const auto&, const std::string& a) {
                      test_support::WriteBytes(a, Flip(test_support::MakeStoredLzh(RawSong(), 2), kReadme));
                    },
                    3, 0, false},
        HostileCase{"damaged_chart_lzh", "dc.lzh",
                    [](const auto&, const std::string& a) {
                      test_support::WriteBytes(a, Flip(test_support::MakeStoredLzh(RawSong(), 1), kChartA));
                    },
                    2, 0, true},
        HostileCase{"damaged_readme_zip", "d.zip",
                    [](const auto&, const std::string& a) {
                      test_support::WriteBytes(a, Flip(test_support::MakeStoredZip(RawSong(), false), kReadme));
                    },
                    3, 0, false},
        HostileCase{"damaged_stream_tgz", "dc.tgz",
                    [](const auto& dir, const std::string&) {
                      // A damaged gzip stream ends both runs at the same place.
                      test_support::WriteBytes(dir.Path() + "dc.tar", test_support::MakeTar(RawSong()));
                      Sh(dir, "gzip -c dc.tar > dc.tgz && printf 'XXXX' | dd of=dc.tgz bs=1 seek=200 conv=notrunc 2>/dev/null");
                    },
                    1, 0, true},
        HostileCase{"encrypted_readme_zip", "e.zip",
                    [](const auto& dir, const std::string&) {
                      Sources(dir);
                      Sh(dir, "cd src && zip -q -X -P secret ../e.zip readme.txt && zip -q -X -r ../e.zip song c.bme");
                    },
                    3, 0, false},
        HostileCase{"encrypted_chart_zip", "ec.zip",
                    [](const auto& dir, const std::string&) {
                      Sources(dir);
                      Sh(dir, "cd src && zip -q -X -P secret ../ec.zip song/a.bms && zip -q -X ../ec.zip readme.txt song/b.bms c.bme");
                    },
                    2, 0, true},
        HostileCase{"encrypted_chart_rar", "ec.rar",
                    [](const auto&, const std::string& a) {
                      std::vector<test_support::RarEntry> entries = {{"readme.txt", {}, kReadme},
                                                                     {"a.bms", {}, kChartA},
                                                                     {"b.bms", {}, Chart("b")}};
                      entries[1].encrypted = true;
                      test_support::WriteBytes(a, test_support::WriteRar4(entries));
                    },
                    1, 0, true},
        // Unsafe names: the refused chart sends the charts-only run to a
        // full one; absolute names are made relative in both.
        HostileCase{"unsafe_names_tar", "u.tar",
                    SongTarWith({{"../evil.bms", Chart("evil")}, {"/abs/rooted.bms", Chart("rooted")}, {"../evil.wav", "x"}}),
                    4, 0, true},
        // Charts that are links to sounds: the full run lists the sound's
        // bytes under the chart's name, so the charts-only run, whose
        // links find nothing, unpacks in full.
        HostileCase{"symlinked_chart_tar", "s.tar", SongTarWith({{"song/link.bms", "", '2', "readme.txt"}}), 4, 0, true},
        HostileCase{"hardlinked_chart_tar", "h.tar", SongTarWith({{"song/hard.bms", "", '1', "readme.txt"}}), 4, 0, true},
        // Cut archives: what comes before the cut, where the format can
        // be read without its end (a ZIP cannot: its directory is gone).
        HostileCase{"cut_zip", "cut.zip",
                    [](const auto&, const std::string& a) {
                      std::string zip = test_support::MakeStoredZip(RawSong(), false);
                      test_support::WriteBytes(a, zip.substr(0, zip.find("#TITLE b")));
                    },
                    0, 0, true},
        HostileCase{"cut_lzh", "cut.lzh",
                    [](const auto&, const std::string& a) {
                      std::string lzh = test_support::MakeStoredLzh(RawSong(), 2);
                      test_support::WriteBytes(a, lzh.substr(0, lzh.find("#TITLE b")));
                    },
                    1, 0, true},
        HostileCase{"cut_tgz", "cut.tgz",
                    [](const auto& dir, const std::string&) {
                      // Cut inside the sound, which does not compress.
                      test_support::WriteBytes(
                          dir.Path() + "c.tar",
                          test_support::MakeTar({{"a.bms", kChartA},
                                                 {"big.wav", test_support::NoiseBytes(400000, 8)},
                                                 {"b.bms", Chart("b")}}));
                      Sh(dir, "gzip -c c.tar | head -c 200000 > cut.tgz");
                    },
                    1, 0, true},
        // A sound inflating past its declared size is removed by the full
        // run, which goes on; the charts-only run never reads it.
        HostileCase{"lying_sound_zip", "l.zip",
                    [](const auto& dir, const std::string&) {
                      Sources(dir);
                      dir.Write("src/big.wav", std::string(3 << 20, '\0'));
                      Sh(dir, "cd src && zip -q -X ../l0.zip big.wav song/a.bms song/b.bms c.bme");
                      std::string zip = test_support::ReadBytes(dir.Path() + "l0.zip");
                      std::size_t at = zip.find("PK\x03\x04");
                      for (int i = 0; i < 4; ++i) zip[at + 22 + i] = "\x00\x00\x01\x00"[i];  // 64 KiB
                      at = zip.find("PK\x01\x02");
                      for (int i = 0; i < 4; ++i) zip[at + 24 + i] = "\x00\x00\x01\x00"[i];
                      test_support::WriteBytes(dir.Path() + "l.zip", zip);
                    },
                    3, 0, false},
        // A sound declaring a terabyte in 1000 packed bytes: a claim its
        // data cannot make good does not stop the full run, which lists the
        // three charts as the charts-only run does.
        HostileCase{"terabyte_sound_zip", "t.zip",
                    [](const auto& dir, const std::string&) {
                      Sources(dir);
                      dir.Write("src/big.wav", test_support::NoiseBytes(1000, 9));
                      Sh(dir, "cd src && zip -q -X -fz ../t0.zip big.wav song/a.bms song/b.bms c.bme");
                      test_support::WriteBytes(
                          dir.Path() + "t.zip",
                          DeclareZip64Size(test_support::ReadBytes(dir.Path() + "t0.zip"), "big.wav", 1ull << 40));
                    },
                    3, 0, false}),
    [](const auto& info) { return std::string(info.param.what); });

}  // namespace
