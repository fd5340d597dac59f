// SPDX-License-Identifier: MIT
// The engine's one CRC-32 gives the values the formats store, whole or fed
// in pieces of any size.
#include <gtest/gtest.h>

#include <string>

#include "archivers/shared/crc32.h"
#include "tests/support/files.h"

namespace {

TEST(Crc32, MatchesTheStoredValuesInAnyPieces) {
  EXPECT_EQ(arc::Crc32(0, "", 0), 0u);
  EXPECT_EQ(arc::Crc32(0, "123456789", 9), 0xCBF43926u);
  std::string noise = test_support::NoiseBytes(100000, 7);
  std::uint32_t whole = arc::Crc32(0, noise.data(), noise.size());
  for (std::size_t piece : {1u, 3u, 64u, 4097u, 65536u}) {
    std::uint32_t crc = 0;
    for (std::size_t at = 0; at < noise.size(); at += piece)
      crc = arc::Crc32(crc, noise.data() + at, std::min(piece, noise.size() - at));
    EXPECT_EQ(crc, whole) << piece;
  }
}

}  // namespace
