// SPDX-License-Identifier: MIT
#include "charts/text_collator.h"

#include <unicode/ucol.h>
#include <unicode/ustring.h>

#include "charts/japanese_collation.h"
#include "platform/cp932.h"

namespace {

// UTF-8 to UTF-16, the form ICU collates; invalid bytes become U+FFFD.
std::u16string FromUtf8(std::string_view utf8) {
  std::u16string out(utf8.size(), u'\0');  // never more UTF-16 units than UTF-8 bytes
  int32_t length = 0;
  UErrorCode status = U_ZERO_ERROR;
  u_strFromUTF8WithSub(reinterpret_cast<UChar*>(out.data()), static_cast<int32_t>(out.size()), &length,
                       utf8.data(), static_cast<int32_t>(utf8.size()), 0xFFFD, nullptr, &status);
  out.resize(U_SUCCESS(status) ? static_cast<std::size_t>(length) : 0);
  return out;
}

// CP932 to UTF-16. Bytes that are no CP932 character become U+FFFD.
std::u16string Decode(std::string_view cp932) { return FromUtf8(platform::Cp932ToUtf8(cp932)); }

std::u16string FoldCase(const std::u16string& s) {
  std::u16string out(s.size() * 3 + 1, u'\0');  // folding at most triples a text
  UErrorCode status = U_ZERO_ERROR;
  int32_t n = u_strFoldCase(reinterpret_cast<UChar*>(out.data()), static_cast<int32_t>(out.size()),
                            reinterpret_cast<const UChar*>(s.data()), static_cast<int32_t>(s.size()),
                            U_FOLD_CASE_DEFAULT, &status);
  if (U_FAILURE(status)) return s;
  out.resize(static_cast<std::size_t>(n));
  return out;
}

}  // namespace

TextCollator::TextCollator(bool ignoreCase) : ignoreCase_(ignoreCase) {
  collator_ = OpenJapaneseCollation();
  UErrorCode status = U_ZERO_ERROR;
  // Identical strength keeps apart what the Japanese tailoring leaves equal
  // below it, such as full- and half-width katakana; case is folded away
  // beforehand when it is to be ignored.
  ucol_setStrength(collator_, UCOL_IDENTICAL);
  ucol_setAttribute(collator_, UCOL_CASE_FIRST, UCOL_LOWER_FIRST, &status);
  ucol_setAttribute(collator_, UCOL_NUMERIC_COLLATION, UCOL_OFF, &status);
}

TextCollator::~TextCollator() { ucol_close(collator_); }

std::u16string TextCollator::Prepare(std::string_view cp932) const {
  std::u16string u = Decode(cp932);
  return ignoreCase_ ? FoldCase(u) : u;
}

int TextCollator::Compare(std::string_view a, std::string_view b) const {
  if (a == b) return 0;
  std::u16string ua = Prepare(a), ub = Prepare(b);
  return ucol_strcoll(collator_, reinterpret_cast<const UChar*>(ua.data()), static_cast<int32_t>(ua.size()),
                      reinterpret_cast<const UChar*>(ub.data()), static_cast<int32_t>(ub.size()));
}

std::string TextCollator::SortKey(std::string_view text) const { return SortKeyOf(Prepare(text)); }

std::string TextCollator::SortKeyUtf8(std::string_view utf8) const {
  std::u16string u = FromUtf8(utf8);
  return SortKeyOf(ignoreCase_ ? FoldCase(u) : u);
}

std::string TextCollator::SortKeyOf(const std::u16string& u) const {
  const UChar* src = reinterpret_cast<const UChar*>(u.data());
  int32_t srcLength = static_cast<int32_t>(u.size());
  std::string key(u.size() * 8 + 16, '\0');
  int32_t need = ucol_getSortKey(collator_, src, srcLength, reinterpret_cast<uint8_t*>(key.data()),
                                 static_cast<int32_t>(key.size()));
  if (need > static_cast<int32_t>(key.size())) {
    key.assign(static_cast<std::size_t>(need), '\0');
    need = ucol_getSortKey(collator_, src, srcLength, reinterpret_cast<uint8_t*>(key.data()), need);
  }
  key.resize(need > 0 ? static_cast<std::size_t>(need) - 1 : 0);  // without the closing zero
  return key;
}
