// SPDX-License-Identifier: MIT
#pragma once
// The log shared by every copy of the recording archiver library and the
// tests: each library call is recorded here, and the answers the libraries
// give come from here.
#include <cstdint>
#include <string>
#include <vector>

namespace recorder {

struct Call {
  std::string lib;    // file name of the library that was called
  std::string entry;  // export name as called
  std::uint32_t wnd = 0;
  std::string text;  // command line, file name or wildcard
  bool nullBuffer = true;
  std::uint32_t size = 0;
  int firstByte = -1;  // of the output buffer, -1 without one
  std::uint32_t mode = 0;
  std::uint32_t handle = 0;
  bool nullProc = true;
  std::intptr_t progressAnswer = -1;  // the owner window's answer, -1 when none was asked
};

void Clear();
void Record(const Call& call);
std::vector<Call> Calls();

// What `entry` of `lib` answers (its fallback until set).
void SetAnswer(const std::string& lib, const std::string& entry, int value);
int Answer(const std::string& lib, const std::string& entry, int fallback);

// The window each library was given by ...SetOwnerWindowEx (0: none).
void SetOwner(const std::string& lib, std::uint32_t wnd);
std::uint32_t Owner(const std::string& lib);

// When >= 0, command entries report this progress state to their owner
// window before doing anything else.
void SetProgressState(int state);
int ProgressState();

}  // namespace recorder
