// SPDX-License-Identifier: MIT
// The two collators the program shares, on every system (the comparison
// itself is text_collator.cpp's, or win32/text_collator.cpp's).
#include "charts/text_collator.h"

const TextCollator& TextCollator::Japanese() {
  static const TextCollator collator;
  return collator;
}

const TextCollator& TextCollator::JapaneseIgnoringCase() {
  static const TextCollator collator(true);
  return collator;
}
