#pragma once
// A C stdio file that closes itself, for the readers that walk headers
// with fread/fseeko.
#include <cstdio>
#include <memory>

namespace arc {

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using StdioFile = std::unique_ptr<std::FILE, FileCloser>;

}  // namespace arc
