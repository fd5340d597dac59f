// SPDX-License-Identifier: MIT
// The list's order on Windows: the system's own collation (CompareStringW /
// LCMapStringW with LCMAP_SORTKEY) for Japanese (0x0411), whatever the
// user's locale. Its word sort is the order described in the header: lower
// case first, kana and widths kept apart, digits as characters, hyphens and
// apostrophes of almost no weight. Texts are decoded from code page 932
// explicitly.
#include "charts/text_collator.h"

#include <windows.h>

#include "platform/win32/wide.h"

// The opaque collator of the header: the locale and the comparison flags.
struct UCollator {
  LCID locale;
  DWORD flags;
};

namespace {
constexpr LCID kJapanese = MAKELCID(MAKELANGID(LANG_JAPANESE, SUBLANG_JAPANESE_JAPAN), SORT_DEFAULT);
}

TextCollator::TextCollator(bool ignoreCase) : ignoreCase_(ignoreCase) {
  collator_ = new UCollator{kJapanese, static_cast<DWORD>(ignoreCase ? NORM_IGNORECASE : 0)};
}

TextCollator::~TextCollator() { delete collator_; }

std::u16string TextCollator::Prepare(std::string_view cp932) const {
  std::wstring w = platform::win32::Cp932ToWide(cp932);
  return std::u16string(w.begin(), w.end());
}

int TextCollator::Compare(std::string_view a, std::string_view b) const {
  if (a == b) return 0;
  std::wstring wa = platform::win32::Cp932ToWide(a), wb = platform::win32::Cp932ToWide(b);
  int r = CompareStringW(collator_->locale, collator_->flags, wa.c_str(), static_cast<int>(wa.size()), wb.c_str(),
                         static_cast<int>(wb.size()));
  return r == 0 ? 0 : r - CSTR_EQUAL;
}

std::string TextCollator::SortKey(std::string_view text) const { return SortKeyOf(Prepare(text)); }

std::string TextCollator::SortKeyUtf8(std::string_view utf8) const {
  std::wstring w = platform::win32::Utf8ToWide(utf8);
  return SortKeyOf(std::u16string(w.begin(), w.end()));
}

std::string TextCollator::SortKeyOf(const std::u16string& text) const {
  std::wstring w(text.begin(), text.end());
  DWORD flags = LCMAP_SORTKEY | collator_->flags;
  int n = LCMapStringW(collator_->locale, flags, w.c_str(), static_cast<int>(w.size()), nullptr, 0);
  if (n <= 0) return {};
  std::string key(static_cast<std::size_t>(n), '\0');
  LCMapStringW(collator_->locale, flags, w.c_str(), static_cast<int>(w.size()), reinterpret_cast<LPWSTR>(key.data()), n);
  key.resize(static_cast<std::size_t>(n) - 1);  // without the closing zero
  return key;
}
