#include "charts/text_collator.h"

#include <unicode/ucol.h>
#include <unicode/ustring.h>

#include <cstdlib>
#include <vector>

#include "platform/cp932.h"

namespace {

// CP932 to UTF-16, the form ICU collates. Bytes that are no CP932
// character become U+FFFD.
std::u16string Decode(std::string_view cp932) {
  std::string utf8 = platform::Cp932ToUtf8(cp932);
  std::u16string out(utf8.size(), u'\0');  // never more UTF-16 units than UTF-8 bytes
  int32_t length = 0;
  UErrorCode status = U_ZERO_ERROR;
  u_strFromUTF8WithSub(reinterpret_cast<UChar*>(out.data()), static_cast<int32_t>(out.size()), &length,
                       utf8.data(), static_cast<int32_t>(utf8.size()), 0xFFFD, nullptr, &status);
  out.resize(U_SUCCESS(status) ? static_cast<std::size_t>(length) : 0);
  return out;
}

}  // namespace

TextCollator::TextCollator(const std::string& icuLocale, bool ignoreCase) {
  UErrorCode status = U_ZERO_ERROR;
  collator_ = ucol_open(icuLocale.c_str(), &status);
  if (U_FAILURE(status)) {
    status = U_ZERO_ERROR;
    collator_ = ucol_open("", &status);
  }
  if (U_FAILURE(status)) std::abort();  // ICU without its data cannot run at all
  status = U_ZERO_ERROR;
  ucol_setStrength(collator_, ignoreCase ? UCOL_SECONDARY : UCOL_TERTIARY);
  ucol_setAttribute(collator_, UCOL_CASE_FIRST, UCOL_LOWER_FIRST, &status);
  ucol_setAttribute(collator_, UCOL_NUMERIC_COLLATION, UCOL_OFF, &status);
}

TextCollator::~TextCollator() { ucol_close(collator_); }

const TextCollator& TextCollator::User() {
  static const TextCollator user(
      CollationLocaleFor(std::getenv("LC_ALL"), std::getenv("LC_COLLATE"), std::getenv("LANG")));
  return user;
}

const TextCollator& TextCollator::UserIgnoringCase() {
  static const TextCollator user(
      CollationLocaleFor(std::getenv("LC_ALL"), std::getenv("LC_COLLATE"), std::getenv("LANG")), true);
  return user;
}

int TextCollator::Compare(std::string_view a, std::string_view b) const {
  if (a == b) return 0;
  std::u16string ua = Decode(a), ub = Decode(b);
  return ucol_strcoll(collator_, reinterpret_cast<const UChar*>(ua.data()), static_cast<int32_t>(ua.size()),
                      reinterpret_cast<const UChar*>(ub.data()), static_cast<int32_t>(ub.size()));
}

std::string TextCollator::SortKey(std::string_view text) const {
  std::u16string u = Decode(text);
  const UChar* src = reinterpret_cast<const UChar*>(u.data());
  int32_t srcLength = static_cast<int32_t>(u.size());
  std::string key(u.size() * 4 + 16, '\0');
  int32_t need = ucol_getSortKey(collator_, src, srcLength, reinterpret_cast<uint8_t*>(key.data()),
                                 static_cast<int32_t>(key.size()));
  if (need > static_cast<int32_t>(key.size())) {
    key.assign(static_cast<std::size_t>(need), '\0');
    need = ucol_getSortKey(collator_, src, srcLength, reinterpret_cast<uint8_t*>(key.data()), need);
  }
  key.resize(need > 0 ? static_cast<std::size_t>(need) - 1 : 0);  // without the closing zero
  return key;
}
