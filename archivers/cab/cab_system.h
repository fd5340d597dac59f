// SPDX-License-Identifier: MIT
#pragma once
// The I/O that libmspack does through us: the cabinet is read from its
// file-system path, and the one "output file" an extraction opens is the
// reader's sink, so no entry is ever held whole in memory or put on disk.
#include <mspack.h>

#include <cstddef>
#include <exception>
#include <functional>

namespace arc::cab {

// Name passed to extract() for the sink; any other name is a file to read.
inline constexpr char kSinkName[] = "\x01sink";

struct SinkSystem {
  mspack_system sys;  // first, so that the library's pointer is ours
  const std::function<bool(const void*, std::size_t)>* sink = nullptr;
  bool sinkStopped = false;  // the sink, not damage, ended the extraction
  std::exception_ptr sinkError;  // what the sink threw; it may not cross C code
};

// Fills in the callbacks: open() takes kSinkName to be the sink and any
// other name to be a file-system (UTF-8) path to read.
void InitSinkSystem(SinkSystem& s);

}  // namespace arc::cab
