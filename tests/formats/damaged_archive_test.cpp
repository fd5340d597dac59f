// SPDX-License-Identifier: MIT
// Cut and bit-flipped archives of every format: reading them gives an
// error or, where the format protects it, exactly the original data; it
// never crashes, hangs or reports damaged data as sound.
#include <gtest/gtest.h>

#include "archiver_api.h"
#include "tests/formats/format_fixture.h"
#include "tests/support/rar_writer.h"
#include "archivers/arj/arj_format.h"
#include "archivers/cab/cab_format.h"
#include "archivers/rar/rar_format.h"

using namespace fmt_test;

namespace {

using Opener = std::unique_ptr<arc::ArchiveReader> (*)(const std::string&);

struct Format {
  const char* what;
  Opener open;
  // Checksums cover every name and byte (ARJ, RAR), so a damaged archive
  // that reads without error must read exactly as the original. Cabinets
  // leave names and sizes unprotected.
  bool fullyChecked;
};

// Name -> data, or nullopt when reading threw an ArcError.
std::optional<std::map<std::string, std::string>> TryRead(Opener open, const std::string& path) {
  try {
    auto reader = open(path);
    return FilesOf(ReadAllEntries(*reader));
  } catch (const arc::ArcError&) {
    return std::nullopt;
  }
}

void CheckDamage(const Format& format, const std::string& original) {
  TempDir dir;
  std::string path = dir.Write("good", original);
  auto good = TryRead(format.open, path);
  ASSERT_TRUE(good.has_value()) << format.what;
  ASSERT_FALSE(good->empty());

  // Every cut short of the whole archive loses something, so it must not
  // read as complete.
  for (std::size_t cut = 0; cut < original.size(); cut += 1 + original.size() / 200) {
    WriteBytes(path, original.substr(0, cut));
    auto read = TryRead(format.open, path);
    if (!read) continue;
    EXPECT_NE(*read, *good) << format.what << " cut at " << cut;
    // What was read without complaint is as it was.
    for (const auto& [name, data] : *read) {
      if (good->count(name)) {
        EXPECT_EQ(data, good->at(name)) << format.what << " cut at " << cut << " " << name;
      }
    }
  }

  for (std::size_t at = 0; at < original.size(); at += 1 + original.size() / 600) {
    std::string bad = original;
    bad[at] ^= static_cast<char>(1 << (at % 8));
    WriteBytes(path, bad);
    auto read = TryRead(format.open, path);
    if (read && format.fullyChecked) {
      EXPECT_EQ(*read, *good) << format.what << " flip at " << at;
    }
  }
}

std::string MadeBy(const std::string& tool, const std::string& command, const std::string& archive) {
  if (!HaveTool(tool)) return {};
  static TempDir dir;
  dir.Write("src/a.bms", SampleText(6000, 31));
  dir.Write("src/sub/b.txt", SampleText(20000, 32));
  dir.Write("src/c.bin", NoiseBytes(3000, 33));
  if (Shell(dir.Path() + "src", command) != 0) return {};
  return ReadBytes(dir.Path() + archive);
}

TEST(DamagedArchives, ArjOfEveryMethod) {
  for (const char* method : {"-m0", "-m1", "-m4"}) {
    std::string arj = MadeBy("arj", std::string("arj a -r -y ") + method + " ../d.arj '*'", "d.arj");
    if (arj.empty()) GTEST_SKIP() << "arj not installed";
    CheckDamage({"arj", arc::OpenArjReader, true}, arj);
  }
}

TEST(DamagedArchives, Cabinets) {
  for (const char* options : {"", "-z"}) {
    std::string cab = MadeBy("gcab", std::string("gcab -c ") + options + " ../d.cab a.bms sub/b.txt c.bin", "d.cab");
    if (cab.empty()) GTEST_SKIP() << "gcab not installed";
    CheckDamage({"cab", arc::OpenCabReader, false}, cab);
  }
}

TEST(DamagedArchives, Rar4) {
  CheckDamage({"rar4", arc::OpenRarReader, true},
              WriteRar4({{"a.bms", {}, SampleText(3000, 34)}, {"sub\\b.txt", {}, NoiseBytes(2000, 35)}}));
}

}  // namespace
