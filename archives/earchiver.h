// SPDX-License-Identifier: MIT
#pragma once
// The exception of the archive layer: a message (CP932) and no code.
#include <string>

#include "platform/error.h"

class EArchiver : public platform::Error {
 public:
  explicit EArchiver(const std::string& message) : platform::Error(kNoCode, message) {}
};

// Messages are written here in UTF-8 for reading; the layer speaks CP932.
std::string Cp932Text(const char* utf8);
[[noreturn]] void RaiseArchiver(const char* utf8Message);
