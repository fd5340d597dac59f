// SPDX-License-Identifier: MIT
#pragma once
// The Japanese collation as built by charts/tools/make_collation, and the
// ICU version that built it (empty image: none was made).
#include <cstddef>
#include <cstdint>

extern const std::uint8_t kJapaneseCollationImage[];
extern const std::size_t kJapaneseCollationImageSize;
extern const char kJapaneseCollationIcuVersion[];
