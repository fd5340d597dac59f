// SPDX-License-Identifier: MIT
// The names of split archives' volumes: which names are later volumes, the
// first volume they point back to, and the volume after each.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "archivers/shared/volume_names.h"
#include "tests/support/files.h"

namespace {

struct NameCase {
  std::string name, first, next;
};

TEST(VolumeNames, FirstAndNextByName) {
  const std::vector<NameCase> cases = {
      // name               first volume        next volume
      {"d/s.7z.001", "", "d/s.7z.002"},
      {"d/s.7z.002", "d/s.7z.001", "d/s.7z.003"},
      {"d/s.zip.010", "d/s.zip.001", "d/s.zip.011"},
      {"d/s.7z.999", "d/s.7z.001", ""},
      {"d/s.000", "", "d/s.001"},
      {"d/s.part1.rar", "", "d/s.part2.rar"},
      {"d/s.part2.rar", "d/s.part1.rar", "d/s.part3.rar"},
      {"d/s.part09.rar", "d/s.part01.rar", "d/s.part10.rar"},
      {"d/s.part099.rar", "d/s.part001.rar", "d/s.part100.rar"},
      {"d/S.PART3.RAR", "d/S.PART1.RAR", "d/S.PART4.RAR"},
      {"d/s.rar", "", "d/s.r00"},
      {"d/s.r00", "d/s.rar", "d/s.r01"},
      {"d/s.r99", "d/s.rar", "d/s.s00"},
      {"d/S.R05", "d/S.RAR", "d/S.R06"},
      {"d/s.zip", "", ""},
      {"d/s.z01", "d/s.zip", "d/s.z02"},
      {"d/s.z99", "d/s.zip", "d/s.z100"},
      {"d/s.Z02", "d/s.ZIP", "d/s.Z03"},
      {"d/s.arj", "", "d/s.a01"},
      {"d/s.a01", "d/s.arj", "d/s.a02"},
      {"d/s.a99", "d/s.arj", ""},
      // Names that only look alike.
      {"d/s.bms", "", ""},
      {"d/s.apart2.rar", "", "d/s.apart2.r00"},
      {"d/s.part.rar", "", "d/s.part.r00"},
      {"d/s.a1", "", ""},
      {"d/s.z00", "", "d/s.z01"},
      {"d/s.rxx", "", ""},
      {"d/s.0001", "", ""},
  };
  for (const NameCase& c : cases) {
    EXPECT_EQ(arc::FirstVolumeName(c.name), c.first) << c.name;
    EXPECT_EQ(arc::IsLaterVolume(c.name), !c.first.empty()) << c.name;
    EXPECT_EQ(arc::NextVolumeName(c.name), c.next) << c.name;
  }
}

TEST(VolumeNames, ZipSplitEndsWithTheZip) {
  test_support::TempDir dir;
  dir.Write("s.z01", "1");
  dir.Write("s.z02", "2");
  dir.Write("s.z04", "4");  // past a gap: not the set's
  dir.Write("s.zip", "z");
  EXPECT_EQ(arc::ZipSplitVolumes(dir.Path() + "s.zip"),
            (std::vector<std::string>{dir.Path() + "s.z01", dir.Path() + "s.z02", dir.Path() + "s.zip"}));
  EXPECT_EQ(arc::ZipSplitVolumes(dir.Path() + "t.zip"), std::vector<std::string>{dir.Path() + "t.zip"});
}

// A cabinet header: fixed part, optional reserve, then the names.
std::string CabinetHead(std::uint16_t flags, const std::string& names, std::uint16_t reserve = 0) {
  std::string h = "MSCF" + std::string(26, '\0');
  h += static_cast<char>(flags & 0xFF);
  h += static_cast<char>(flags >> 8);
  h += std::string(4, '\0');
  if (flags & 4) {
    h += static_cast<char>(reserve & 0xFF);
    h += static_cast<char>(reserve >> 8);
    h += std::string(2 + reserve, '\0');
  }
  return h + names;
}

TEST(VolumeNames, CabinetLinksFromTheHeader) {
  using std::string_literals::operator""s;
  struct Case {
    std::string head, previous, next;
  };
  const std::vector<Case> cases = {
      {CabinetHead(0, ""), "", ""},
      {CabinetHead(1, "a.cab\0disk 1\0"s), "a.cab", ""},
      {CabinetHead(2, "c.cab\0disk 3\0"s), "", "c.cab"},
      {CabinetHead(3, "a.cab\0d1\0c.cab\0d3\0"s), "a.cab", "c.cab"},
      {CabinetHead(7, "a.cab\0d1\0c.cab\0d3\0"s, 20), "a.cab", "c.cab"},
      // Folders in a stored name are dropped: the set lies in one folder.
      {CabinetHead(1, "..\\..\\x.cab\0d\0"s), "x.cab", ""},
      {CabinetHead(1, "..\0d\0"s), "", ""},
      // Cut or unterminated names, a reserve past the end, no signature.
      {CabinetHead(3, "a.cab\0d1\0c.c"s), "", ""},
      {CabinetHead(1, std::string(300, 'n') + "\0d\0"s), "", ""},
      {CabinetHead(4, "", 60000).substr(0, 100), "", ""},
      {"MSCX" + CabinetHead(1, "a.cab\0d\0"s).substr(4), "", ""},
      {"MSCF", "", ""},
  };
  for (std::size_t i = 0; i < cases.size(); ++i) {
    arc::CabinetLinks links = arc::ParseCabinetLinks(cases[i].head);
    EXPECT_EQ(links.previous, cases[i].previous) << i;
    EXPECT_EQ(links.next, cases[i].next) << i;
  }
}

// A later cabinet points back through every cabinet still there.
TEST(VolumeNames, FirstCabinetIsTheEarliestFound) {
  using std::string_literals::operator""s;
  test_support::TempDir dir;
  dir.Write("one.cab", CabinetHead(2, "two.cab\0d\0"s));
  dir.Write("two.cab", CabinetHead(3, "one.cab\0d\0three.cab\0d\0"s));
  dir.Write("three.cab", CabinetHead(1, "two.cab\0d\0"s));
  EXPECT_EQ(arc::FirstVolumeName(dir.Path() + "three.cab"), dir.Path() + "one.cab");
  EXPECT_EQ(arc::FirstVolumeName(dir.Path() + "two.cab"), dir.Path() + "one.cab");
  EXPECT_EQ(arc::FirstVolumeName(dir.Path() + "one.cab"), "");
  // Missing earlier ones: the one named is the one to open.
  dir.Write("lone.cab", CabinetHead(1, "gone.cab\0d\0"s));
  EXPECT_EQ(arc::FirstVolumeName(dir.Path() + "lone.cab"), dir.Path() + "gone.cab");
  // Cabinets naming each other end the walk.
  dir.Write("p.cab", CabinetHead(1, "q.cab\0d\0"s));
  dir.Write("q.cab", CabinetHead(1, "p.cab\0d\0"s));
  EXPECT_FALSE(arc::FirstVolumeName(dir.Path() + "p.cab").empty());
}

}  // namespace
