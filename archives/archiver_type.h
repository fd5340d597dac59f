// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>

// The archive kinds, one byte; the ordinals are stored with the settings.
enum TArchiverType : std::uint8_t {
  atLha,
  atZip,
  atCab,
  atArj,
  atTar,
  atTgz,
  atBZ2,
  atRar,
  atNone,
  atAutoDetect,
  at7Zip,  // formats added later take the next ordinals
};
