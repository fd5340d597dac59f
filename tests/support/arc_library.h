// SPDX-License-Identifier: MIT
#pragma once
// One of the real archiver libraries, loaded from the bin folder the way
// the drivers load it, with its entries looked up by export name.
#include <gtest/gtest.h>

#include <string>

#include "archiver_api.h"
#include "platform/dynlib.h"

namespace test_support {

class ArcLibrary {
 public:
  ArcLibrary(const std::string& fileName, const std::string& prefix)
      : module_(platform::LoadLibrary(fileName)), prefix_(prefix) {}
  bool Loaded() const { return module_ != nullptr; }

  template <class F>
  F Entry(const std::string& suffix) const {
    return reinterpret_cast<F>(platform::GetProcAddress(module_, (prefix_ + suffix).c_str()));
  }

  // The command entry with a CP932 line.
  int Command(const std::string& line, std::string* output = nullptr) const {
    auto fn = Entry<ARC_COMMAND_FN>("");
    if (!fn) return -1;
    char buf[512] = {};
    int r = fn(0, line.c_str(), buf, sizeof buf);
    if (output) *output = buf;
    return r;
  }

 private:
  platform::ModuleHandle module_;
  std::string prefix_;
};

// `line` with the archive put in place of %A and the destination of %D.
inline std::string FillCommandLine(std::string line, const std::string& archive, const std::string& dest) {
  line.replace(line.find("%A"), 2, archive);
  line.replace(line.find("%D"), 2, dest);
  return line;
}

}  // namespace test_support
