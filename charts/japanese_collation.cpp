// SPDX-License-Identifier: MIT
#include "charts/japanese_collation.h"

#include <unicode/uversion.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "charts/japanese_collation_image.h"

UCollator* BuildJapaneseCollation() {
  UErrorCode status = U_ZERO_ERROR;
  UCollator* base = ucol_open("ja", &status);
  if (U_FAILURE(status)) std::abort();  // ICU without its data cannot run at all
  int32_t baseLength = 0;
  const UChar* baseRules = ucol_getRules(base, &baseLength);
  std::u16string rules(reinterpret_cast<const char16_t*>(baseRules), static_cast<std::size_t>(baseLength));
  rules += u"&[last tertiary ignorable]='-'=''";
  UParseError parseError;
  status = U_ZERO_ERROR;
  UCollator* tailored = ucol_openRules(reinterpret_cast<const UChar*>(rules.data()), static_cast<int32_t>(rules.size()),
                                       UCOL_DEFAULT, UCOL_DEFAULT, &parseError, &status);
  if (U_FAILURE(status)) return base;
  ucol_close(base);
  return tailored;
}

UCollator* OpenJapaneseCollation() {
  char version[U_MAX_VERSION_STRING_LENGTH];
  UVersionInfo info;
  u_getVersion(info);
  u_versionToString(info, version);
  if (kJapaneseCollationImageSize > 0 && std::strcmp(version, kJapaneseCollationIcuVersion) == 0) {
    // The image holds only the tailoring: the root stays open beneath it
    // for as long as the program runs.
    static UCollator* const root = [] {
      UErrorCode status = U_ZERO_ERROR;
      UCollator* r = ucol_open("", &status);
      return U_SUCCESS(status) ? r : nullptr;
    }();
    UErrorCode status = U_ZERO_ERROR;
    UCollator* image =
        root ? ucol_openBinary(kJapaneseCollationImage, static_cast<int32_t>(kJapaneseCollationImageSize), root, &status)
             : nullptr;
    if (image && U_SUCCESS(status)) return image;
    if (image) ucol_close(image);
  }
  return BuildJapaneseCollation();
}
