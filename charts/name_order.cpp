#include "charts/name_order.h"

#include <unicode/coll.h>
#include <unicode/locid.h>
#include <unicode/unistr.h>

#include <algorithm>
#include <clocale>
#include <cstdlib>
#include <memory>

#include "platform/cp932.h"

namespace {

std::string UserCollationLocale() {
  for (const char* var : {"LC_ALL", "LC_COLLATE", "LANG"}) {
    const char* v = std::getenv(var);
    if (v && *v) {
      std::string s(v);
      s = s.substr(0, s.find_first_of(".@"));
      if (s == "C" || s == "POSIX") return "root";
      return s;
    }
  }
  return "root";
}

}  // namespace

void SortNamesIgnoreCase(std::vector<std::string>& names) {
  UErrorCode status = U_ZERO_ERROR;
  std::unique_ptr<icu::Collator> coll(
      icu::Collator::createInstance(icu::Locale(UserCollationLocale().c_str()), status));
  if (U_FAILURE(status) || !coll) {
    // Without a collator, fall back to an ASCII case-insensitive byte order.
    std::stable_sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
      return platform::AsciiUpper(a) < platform::AsciiUpper(b);
    });
    return;
  }
  coll->setStrength(icu::Collator::SECONDARY);  // letter case ignored
  struct Keyed {
    std::string key;
    std::string name;
  };
  std::vector<Keyed> keyed;
  keyed.reserve(names.size());
  for (auto& n : names) {
    icu::UnicodeString u = icu::UnicodeString::fromUTF8(platform::Cp932ToUtf8(n));
    int32_t len = coll->getSortKey(u, nullptr, 0);
    std::string key(static_cast<std::size_t>(len), '\0');
    coll->getSortKey(u, reinterpret_cast<uint8_t*>(key.data()), len);
    keyed.push_back({std::move(key), std::move(n)});
  }
  // Names equal under the collation still get a fixed order: by bytes.
  std::sort(keyed.begin(), keyed.end(), [](const Keyed& a, const Keyed& b) {
    return a.key != b.key ? a.key < b.key : a.name < b.name;
  });
  for (std::size_t i = 0; i < names.size(); ++i) names[i] = std::move(keyed[i].name);
}
