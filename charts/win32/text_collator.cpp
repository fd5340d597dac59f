// The Windows collation: CompareStringW / LCMapStringW(LCMAP_SORTKEY) in
// the user's locale, the order the list sorts by on Windows (lower case
// before upper case, digits as characters). The texts are decoded from
// code page 932 explicitly.
#include "charts/text_collator.h"

#include <windows.h>

#include "platform/win32/wide.h"

// The opaque collator of the header: the locale and the comparison flags.
struct UCollator {
  LCID locale;
  DWORD flags;
};

TextCollator::TextCollator(const std::string& localeName, bool ignoreCase) {
  LCID lcid = LOCALE_USER_DEFAULT;
  if (!localeName.empty()) {
    // "ja_JP" -> "ja-JP"; an unknown name keeps the user's locale.
    std::wstring w = platform::win32::Utf8ToWide(localeName);
    for (auto& c : w)
      if (c == L'_') c = L'-';
    if (LCID l = LocaleNameToLCID(w.c_str(), 0)) lcid = l;
  }
  collator_ = new UCollator{lcid, static_cast<DWORD>(ignoreCase ? NORM_IGNORECASE : 0)};
}

TextCollator::~TextCollator() { delete collator_; }

const TextCollator& TextCollator::User() {
  static const TextCollator user("");
  return user;
}

const TextCollator& TextCollator::UserIgnoringCase() {
  static const TextCollator user("", true);
  return user;
}

int TextCollator::Compare(std::string_view a, std::string_view b) const {
  if (a == b) return 0;
  std::wstring wa = platform::win32::Cp932ToWide(a), wb = platform::win32::Cp932ToWide(b);
  int r = CompareStringW(collator_->locale, collator_->flags, wa.c_str(), static_cast<int>(wa.size()), wb.c_str(),
                         static_cast<int>(wb.size()));
  return r == 0 ? 0 : r - CSTR_EQUAL;
}

std::string TextCollator::SortKey(std::string_view text) const {
  std::wstring w = platform::win32::Cp932ToWide(text);
  DWORD flags = LCMAP_SORTKEY | collator_->flags;
  int n = LCMapStringW(collator_->locale, flags, w.c_str(), static_cast<int>(w.size()), nullptr, 0);
  if (n <= 0) return {};
  std::string key(static_cast<std::size_t>(n), '\0');
  LCMapStringW(collator_->locale, flags, w.c_str(), static_cast<int>(w.size()), reinterpret_cast<LPWSTR>(key.data()), n);
  key.resize(static_cast<std::size_t>(n) - 1);  // without the closing zero
  return key;
}
