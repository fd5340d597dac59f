// SPDX-License-Identifier: MIT
// The collation image the build makes sorts exactly as the rules it was
// made from, and is the one this ICU opens (else every start pays for
// building the rules again).
#include "charts/japanese_collation.h"

#include <unicode/uversion.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "charts/japanese_collation_image.h"

namespace {

std::vector<std::uint8_t> Key(const UCollator* c, const std::u16string& s) {
  std::vector<std::uint8_t> key(1024);
  int32_t n = ucol_getSortKey(c, reinterpret_cast<const UChar*>(s.data()), static_cast<int32_t>(s.size()), key.data(),
                              static_cast<int32_t>(key.size()));
  key.resize(static_cast<std::size_t>(n));
  return key;
}

TEST(JapaneseCollation, TheBuildsImageIsTheRulesCollation) {
  char version[U_MAX_VERSION_STRING_LENGTH];
  UVersionInfo info;
  u_getVersion(info);
  u_versionToString(info, version);
  ASSERT_GT(kJapaneseCollationImageSize, 0u);
  EXPECT_STREQ(kJapaneseCollationIcuVersion, version);

  UCollator* opened = OpenJapaneseCollation();
  UCollator* built = BuildJapaneseCollation();
  for (UCollator* c : {opened, built}) {
    UErrorCode status = U_ZERO_ERROR;
    ucol_setStrength(c, UCOL_IDENTICAL);
    ucol_setAttribute(c, UCOL_CASE_FIRST, UCOL_LOWER_FIRST, &status);
  }
  const std::u16string texts[] = {u"coop", u"co-op", u"coom", u"it's", u"its", u"カタカナ", u"ｶﾀｶﾅ", u"かたかな",
                                  u"ー", u"カー", u"カア", u"譜面", u"Ａ", u"A", u"a", u"〜", u"～", u"10", u"9"};
  for (const auto& t : texts) EXPECT_EQ(Key(opened, t), Key(built, t));
  ucol_close(opened);
  ucol_close(built);
}

}  // namespace
