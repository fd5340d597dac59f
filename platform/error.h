// SPDX-License-Identifier: MIT
#pragma once
// The one base of the failures the system expects and reports: a text to
// show (CP932) and a code that says what failed, numbered by the layer that
// raises it:
//   platform::EInOutError  the I/O error number (2 file not found, 5 access
//                          denied, 101 disk full...);
//   arc::ArcError          the archiver libraries' result code (ERROR_...);
//   EArchiver              kNoCode: the driver's message says it all;
//   EIniWriteError         kNoCode: the settings file could not be written.
// Code catches platform::Error (or one of these) where a failure is expected
// and has an answer; anything else (a logic error, a broken invariant) is a
// bug and is left to end the program where it shows.
#include <stdexcept>
#include <string>

namespace platform {

class Error : public std::runtime_error {
 public:
  static constexpr int kNoCode = 0;

  Error(int code, const std::string& message) : std::runtime_error(message), code_(code) {}
  ~Error() override;  // defined in error.cpp: one type identity for every library
  int Code() const noexcept { return code_; }

 private:
  int code_;
};

}  // namespace platform
