// SPDX-License-Identifier: MIT
// The early rejection of names by extension: it may only ever rule out
// names the full match would not select, whatever the bytes before the
// extension, the case, the coding of the name or the other patterns.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "archivers/shared/entry_path.h"
#include "archivers/shared/file_patterns.h"

namespace {

bool FullySelected(const std::string& stored, bool utf8, const std::vector<std::string>& include,
                   const std::vector<std::string>& exclude) {
  return arc::EntrySelected(arc::DisplayName(stored, utf8), include, exclude);
}

TEST(EntrySelection, RulesOutByExtensionOnlyWhatCannotMatch) {
  struct Case {
    const char* what;
    std::string stored;
    bool utf8;
    std::vector<std::string> include;
    bool ruledOut;
    bool selected;
  } cases[] = {
      {"another extension", "song/a.wav", false, {"*.bms"}, true, false},
      {"the extension", "song/a.bms", false, {"*.bms"}, false, true},
      {"upper case name", "SONG/A.BMS", false, {"*.bms"}, false, true},
      {"upper case mask", "song/a.bms", false, {"*.BMS"}, false, true},
      {"mixed case both", "a.BmS", false, {"*.bMs"}, false, true},
      {"one of several masks", "a.bme", false, {"*.bms", "*.bme"}, false, true},
      {"none of several masks", "a.ogg", false, {"*.bms", "*.bme"}, true, false},
      {"a mask of another form among them", "a.ogg", false, {"*.bms", "a.*"}, false, true},
      {"every name", "a.ogg", false, {"*.*"}, false, true},
      {"a wildcard in the extension", "a.bmx", false, {"*.bm?"}, false, true},
      {"a mask with a folder", "sub/a.ogg", false, {"sub/*.bms"}, false, false},
      {"a mask with a backslash folder", "sub/a.bms", false, {"sub\\*.bms"}, false, true},
      {"a dotted extension", "a.gz", false, {"*.tar.gz"}, false, false},
      {"a trailing dot in the mask", "a.bms", false, {"*.bms."}, false, true},
      {"no extension in the mask", "a", false, {"*."}, false, true},
      // "\x83\x62" is one character whose second byte is "b".
      {"trail byte b before ms", "\x83\x62ms", false, {"*.bms"}, true, false},
      {"trail byte b after a dot", "a.\x83\x62ms", false, {"*.bms"}, true, false},
      {"lead byte before the dot", "\x83.bms", false, {"*.bms"}, false, false},
      {"kanji then the extension", "\x95\x5C.bms", false, {"*.bms"}, false, true},
      {"name that is the extension", ".bms", false, {"*.bms"}, false, true},
      {"too short", "ms", false, {"*.bms"}, true, false},
      {"empty", "", false, {"*.bms"}, false, false},
      {"a trailing slash", "fake.bms/", false, {"*.bms"}, false, true},
      {"a trailing backslash", "fake.bms\\", false, {"*.bms"}, false, true},
      {"a trailing dot part", "a.bms/.", false, {"*.bms"}, false, true},
      {"the extension inside", "a.bms.ogg", false, {"*.bms"}, true, false},
      {"UTF-8 with an ASCII tail", "\xE6\x9B\xB2/a.ogg", true, {"*.bms"}, true, false},
      {"UTF-8 chart", "\xE6\x9B\xB2.bms", true, {"*.bms"}, false, true},
      {"UTF-8 ending in a full-width letter", "a.bm\xEF\xBD\x93", true, {"*.bms"}, false, false},
      {"no list selects everything", "a.ogg", false, {}, false, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    arc::EntrySelection selection(c.include, {});
    EXPECT_EQ(selection.RuledOut(c.stored, c.utf8), c.ruledOut);
    EXPECT_EQ(FullySelected(c.stored, c.utf8, c.include, {}), c.selected);
    EXPECT_EQ(selection.Selects(arc::DisplayName(c.stored, c.utf8)), c.selected);
  }
}

TEST(EntrySelection, ExcludesStillApplyToWhatIsNotRuledOut) {
  arc::EntrySelection selection({"*.bms"}, {"x.*"});
  EXPECT_FALSE(selection.RuledOut("x.bms", false));
  EXPECT_FALSE(selection.Selects("x.bms"));
  EXPECT_TRUE(selection.Selects("y.bms"));
  EXPECT_TRUE(selection.RuledOut("y.wav", false));
}

// Every short name made of pieces chosen to confuse a byte-wise test:
// letters of the extension in both cases, dots, separators, lead bytes and
// characters whose second byte is an ASCII letter or a backslash.
TEST(EntrySelection, NeverRulesOutASelectedName) {
  const std::vector<std::string> pieces = {"b", "M", "s", ".", "/", "\\", "\x83", "\x83\x62", "\x95\x5C", "\xE6\x9B\xB2"};
  const std::vector<std::vector<std::string>> lists = {{"*.bms"}, {"*.BMS", "*.s"}, {"*.b"}, {"*.bms", "*.mb"}};
  std::vector<std::string> names = {""};
  for (int length = 0; length < 4; ++length) {
    std::vector<std::string> longer;
    for (const auto& n : names)
      for (const auto& p : pieces) longer.push_back(n + p);
    names.insert(names.end(), longer.begin(), longer.end());
  }
  int ruledOut = 0;
  for (const auto& include : lists) {
    arc::EntrySelection selection(include, {});
    for (const auto& name : names)
      for (bool utf8 : {false, true}) {
        if (!selection.RuledOut(name, utf8)) continue;
        ++ruledOut;
        ASSERT_FALSE(FullySelected(name, utf8, include, {})) << include[0] << " ~ " << name << " utf8 " << utf8;
      }
  }
  EXPECT_GT(ruledOut, 1000);  // the shortcut does take most names
}

}  // namespace
