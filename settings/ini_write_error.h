// SPDX-License-Identifier: MIT
#pragma once
// The settings layer's error: a write to the settings file was refused.
#include <string>

#include "platform/error.h"

class EIniWriteError : public platform::Error {
 public:
  // "%s に書き込めません" (CP932) with the file's path in place of %s.
  explicit EIniWriteError(const std::string& path)
      : platform::Error(kNoCode, path + "\x20\x82\xc9\x8f\x91\x82\xab\x8d\x9e\x82\xdf\x82\xdc\x82\xb9\x82\xf1"),
        path_(path) {}
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};
