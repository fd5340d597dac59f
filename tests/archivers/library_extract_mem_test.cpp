// SPDX-License-Identifier: MIT
// ...ExtractMem and ...ListExtractMem: entries read into memory, their
// times as an unpacking sets them, and the refusals (too small a buffer,
// no such entry, an unsafe name).
#include <sys/stat.h>

#include <cstring>

#include <gtest/gtest.h>

#include "tests/support/arc_library.h"
#include "tests/support/archive_maker.h"
#include "tests/support/files.h"

namespace {

using test_support::ArcLibrary;
using test_support::RawEntry;

constexpr std::time_t kWhen = 1700000000;  // 2023-11-14 22:13:20 UTC

std::vector<RawEntry> Entries() {
  return {{"song/", "", '5', "", kWhen},
          {"song/a.bms", test_support::TextBytes(5000, 1), '0', "", kWhen},
          {"song/kick.wav", test_support::NoiseBytes(3000, 2), '0', "", kWhen},
          {"top.bms", "#TITLE top\r\n", '0', "", kWhen}};
}

struct Library {
  const char* label;
  const char* file;
  const char* prefix;
  std::string (*make)(std::vector<RawEntry>);
  const char* extension;
};

std::string Zip(std::vector<RawEntry> e) { return test_support::MakeStoredZip(e, false); }
std::string Tar(std::vector<RawEntry> e) { return test_support::MakeTar(e); }
// The LZH maker writes files only.
std::string Lzh(std::vector<RawEntry> e) {
  std::erase_if(e, [](const RawEntry& r) { return r.type != '0'; });
  return test_support::MakeStoredLzh(e, 2);
}

class ExtractMem : public ::testing::TestWithParam<Library> {
 protected:
  int Call(const std::string& line, unsigned char* buffer, std::uint32_t size, std::int64_t* time = nullptr,
           std::uint32_t* written = nullptr) {
    auto fn = lib_.Entry<ARC_EXTRACTMEM_FN>("ExtractMem");
    EXPECT_NE(fn, nullptr);
    std::uint16_t attributes = 0;
    return fn ? fn(0, line.c_str(), buffer, size, time, &attributes, written) : -1;
  }
  std::string Archive() { return dir_.Write(std::string("a.") + GetParam().extension, GetParam().make(Entries())); }

  ArcLibrary lib_{GetParam().file, GetParam().prefix};
  test_support::TempDir dir_;
};

TEST_P(ExtractMem, ReadsTheFirstEntryTheMaskNames) {
  const std::string archive = Archive();
  std::string buffer(10000, '\0');
  std::uint32_t written = 0;
  std::int64_t time = 0;
  ASSERT_EQ(Call("\"" + archive + "\" \"*.bms\"", reinterpret_cast<unsigned char*>(buffer.data()), 10000, &time, &written), 0);
  EXPECT_EQ(buffer.substr(0, written), Entries()[1].data);
  // Tar and LZH level 2 keep UTC; a stored ZIP's DOS stamp is shown as stored.
  if (std::string(GetParam().label) != "zip") {
    EXPECT_EQ(time, kWhen);
  }
  ASSERT_EQ(Call("-x \"" + archive + "\" top.bms", reinterpret_cast<unsigned char*>(buffer.data()), 10000, &time, &written), 0);
  EXPECT_EQ(buffer.substr(0, written), "#TITLE top\r\n");
}

TEST_P(ExtractMem, RefusesWhatItCannotHandOver) {
  const std::string archive = Archive();
  std::string buffer(100, 'x');
  auto* bytes = reinterpret_cast<unsigned char*>(buffer.data());
  std::uint32_t written = 0;
  // Too small: nothing written, the room needed told.
  EXPECT_EQ(Call("\"" + archive + "\" song/a.bms", bytes, 100, nullptr, &written), ERROR_MORE_HEAP_MEMORY);
  EXPECT_EQ(written, 5000u);
  EXPECT_EQ(buffer, std::string(100, 'x'));
  EXPECT_EQ(Call("\"" + archive + "\" nothing.bms", bytes, 100, nullptr, &written), ERROR_NOT_FIND_FILE);
  EXPECT_EQ(written, 0u);
  EXPECT_EQ(Call("\"" + archive + "\"", bytes, 100), ERROR_NOT_FIND_FILE);
  EXPECT_EQ(Call("\"" + dir_.Path() + "none.arc\" a.bms", bytes, 100), ERROR_ARC_FILE_OPEN);
  EXPECT_EQ(Call("", bytes, 100), ERROR_NOT_FIND_ARC_FILE);
}

TEST_P(ExtractMem, RefusesAnUnsafeName) {
  const std::string archive = dir_.Write(std::string("evil.") + GetParam().extension, GetParam().make({{"../evil.bms", "#TITLE evil\r\n"}}));
  unsigned char buffer[100];
  EXPECT_EQ(Call("\"" + archive + "\" *.bms", buffer, sizeof buffer), ERROR_UNSAFE_PATH);
}

INSTANTIATE_TEST_SUITE_P(Libraries, ExtractMem,
                         ::testing::Values(Library{"zip", "UNZIP32.DLL", "UnZip", &Zip, "zip"},
                                           Library{"lmzip", "LMZIP32.DLL", "Unzip", &Zip, "zip"},
                                           Library{"lzh", "UNLHA32.DLL", "Unlha", &Lzh, "lzh"},
                                           Library{"tar", "tar32.dll", "Tar", &Tar, "tar"}),
                         [](const auto& info) { return std::string(info.param.label); });

// --- ListExtractMem ----------------------------------------------------------

struct Seen {
  std::vector<std::string> listed;                       // every entry's listed name
  std::vector<std::pair<std::string, std::string>> chosen;  // leaf, bytes
  std::vector<std::int64_t> times;
  int stopAfter = -1;
};

int ARC_API Record(void* context, const ENTRYMEMINFO* e) {
  Seen& s = *static_cast<Seen*>(context);
  s.listed.push_back(e->info.szFileName);
  if (e->chosen) {
    s.chosen.emplace_back(e->leafName, std::string(reinterpret_cast<const char*>(e->data), e->size));
    s.times.push_back(e->time);
  }
  return static_cast<int>(s.listed.size()) == s.stopAfter ? 1 : 0;
}

int ListMem(const ArcLibrary& lib, const std::string& line, Seen& seen) {
  auto fn = lib.Entry<ARC_LISTEXTRACTMEM_FN>("ListExtractMem");
  EXPECT_NE(fn, nullptr);
  return fn ? fn(line.c_str(), &Record, &seen) : -1;
}

TEST(ListExtractMem, ListsEverythingAndHandsOverTheChosen) {
  test_support::TempDir dir;
  const std::string archive = dir.Write("a.tar", test_support::MakeTar(Entries()));
  ArcLibrary tar("tar32.dll", "Tar");
  Seen seen;
  ASSERT_EQ(ListMem(tar, "\"" + archive + "\" \"*.bms\"", seen), 0);
  EXPECT_EQ(seen.listed, (std::vector<std::string>{"song", "song/a.bms", "song/kick.wav", "top.bms"}));
  ASSERT_EQ(seen.chosen.size(), 2u);
  EXPECT_EQ(seen.chosen[0], std::make_pair(std::string("a.bms"), Entries()[1].data));
  EXPECT_EQ(seen.chosen[1].first, "top.bms");
  EXPECT_EQ(seen.times, (std::vector<std::int64_t>{kWhen, kWhen}));

  // -n: the chosen entries alone.
  Seen chosenOnly;
  ASSERT_EQ(ListMem(tar, "-n \"" + archive + "\" \"*.bms\"", chosenOnly), 0);
  EXPECT_EQ(chosenOnly.listed, (std::vector<std::string>{"song/a.bms", "top.bms"}));
  EXPECT_EQ(chosenOnly.chosen, seen.chosen);

  Seen stopped;
  stopped.stopAfter = 2;
  EXPECT_EQ(ListMem(tar, "\"" + archive + "\" \"*.bms\"", stopped), ERROR_USER_CANCEL);
  EXPECT_EQ(stopped.listed.size(), 2u);

  const std::string evil = dir.Write("evil.tar", test_support::MakeTar({{"ok.bms", "ok"}, {"../evil.bms", "evil"}}));
  Seen refused;
  EXPECT_EQ(ListMem(tar, "\"" + evil + "\" \"*.bms\"", refused), ERROR_UNSAFE_PATH);
  EXPECT_EQ(refused.chosen.size(), 1u);
}

// The ZIP reader serves the chosen entries from the central directory and
// their local headers; times must be those an unpacking gives the files,
// extended timestamps included (Info-ZIP's zip writes them).
TEST(ListExtractMem, ZipTimesAreThoseOfAnUnpacking) {
  if (!test_support::HaveTool("zip")) GTEST_SKIP() << "no zip";
  test_support::TempDir dir;
  dir.Write("src/song/a.bms", "#TITLE a\r\n#BPM 120\r\n");
  dir.Write("src/song/b.bms", std::string(100000, '#'));
  dir.Write("src/song/kick.wav", test_support::NoiseBytes(5000, 1));
  ASSERT_EQ(test_support::Shell(dir.Path() + "src",
                                "touch -d '2019-03-31 01:30:00 UTC' song/a.bms && "
                                "touch -d '2011-11-11 11:11:11 UTC' song/b.bms && zip -qr ../a.zip song && "
                                "zip -qr -X ../nox.zip song"),
            0);
  for (const char* name : {"a.zip", "nox.zip"}) {
    SCOPED_TRACE(name);
    ArcLibrary unzip("UNZIP32.DLL", "UnZip");
    Seen seen;
    ASSERT_EQ(ListMem(unzip, "\"" + dir.Path() + name + "\" \"*.bms\"", seen), 0);
    ASSERT_EQ(seen.chosen.size(), 2u);
    EXPECT_EQ(seen.chosen[1].second, std::string(100000, '#'));
    const std::string out = dir.Path() + std::string(name) + ".out/";
    ASSERT_EQ(unzip.Command("-x -j \"" + dir.Path() + name + "\" \"" + out + "\" \"*.bms\""), 0);
    for (std::size_t i = 0; i < 2; ++i) {
      struct stat st{};
      ASSERT_EQ(stat((out + seen.chosen[i].first).c_str(), &st), 0);
      EXPECT_EQ(seen.times[i], st.st_mtime) << seen.chosen[i].first;
    }
  }
}

}  // namespace
