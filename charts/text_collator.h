#pragma once
// Linguistic comparison of CP932 texts in the user's locale, the order the
// list sorts by: letter case distinguished with lower case first, digits
// compared as characters (so "120" < "95"), the empty text first.
#include <memory>
#include <string>
#include <string_view>

struct UCollator;

class TextCollator {
 public:
  // `icuLocale` such as "ja_JP"; "" is the root order. With `ignoreCase`
  // texts that differ only in letter case compare equal.
  explicit TextCollator(const std::string& icuLocale, bool ignoreCase = false);
  ~TextCollator();
  TextCollator(const TextCollator&) = delete;
  TextCollator& operator=(const TextCollator&) = delete;

  // The collator of the user's locale, opened on first use.
  static const TextCollator& User();
  // The same, letter case ignored (the order of file lists).
  static const TextCollator& UserIgnoringCase();

  // Negative, zero or positive.
  int Compare(std::string_view a, std::string_view b) const;
  // A byte string whose plain byte order is the order of Compare: build it
  // once per text when one text is compared many times.
  std::string SortKey(std::string_view text) const;

 private:
  UCollator* collator_ = nullptr;
};

// The ICU locale for the collation category of the environment: the first
// set of LC_ALL, LC_COLLATE and LANG, without codeset or modifier; "" (root)
// for none, "C" and "POSIX".
std::string CollationLocaleFor(const char* lcAll, const char* lcCollate, const char* lang);
