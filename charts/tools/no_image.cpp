// SPDX-License-Identifier: MIT
// The tool itself builds the collation from its rules: it has no image yet.
#include "charts/japanese_collation_image.h"

const char kJapaneseCollationIcuVersion[] = "";
const std::size_t kJapaneseCollationImageSize = 0;
const std::uint8_t kJapaneseCollationImage[] = {0};
