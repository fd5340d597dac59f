// SPDX-License-Identifier: MIT
#pragma once
// Linguistic comparison of CP932 texts in the order of a Japanese system,
// whatever the process's locale: kanji in Japanese reading order, letter
// case distinguished with lower case first, hiragana, katakana and their
// widths kept apart, digits compared as characters (so "120" < "95"), the
// empty text first, and hyphens and apostrophes of almost no weight
// ("coom" < "co-op" < "coop").
#include <memory>
#include <string>
#include <string_view>

struct UCollator;

class TextCollator {
 public:
  // With `ignoreCase` texts that differ only in letter case compare equal.
  explicit TextCollator(bool ignoreCase = false);
  ~TextCollator();
  TextCollator(const TextCollator&) = delete;
  TextCollator& operator=(const TextCollator&) = delete;

  // The list's order, opened on first use.
  static const TextCollator& Japanese();
  // The same, letter case ignored (the order of file lists).
  static const TextCollator& JapaneseIgnoringCase();

  // Negative, zero or positive.
  int Compare(std::string_view a, std::string_view b) const;
  // A byte string whose plain byte order is the order of Compare: build it
  // once per text when one text is compared many times.
  std::string SortKey(std::string_view text) const;
  // The same for a text given as UTF-8 (a chart's header values that are
  // not in CP932), so it sorts as the characters shown, not as their bytes.
  std::string SortKeyUtf8(std::string_view utf8) const;

 private:
  std::u16string Prepare(std::string_view cp932) const;
  std::string SortKeyOf(const std::u16string& text) const;

  UCollator* collator_ = nullptr;
  bool ignoreCase_ = false;
};
