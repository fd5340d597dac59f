// SPDX-License-Identifier: MIT
#pragma once
// MD5 and SHA-256 of a chart file's bytes, as difficulty tables and players
// identify charts: lower-case hex. Not copied (its digests are not).
#include <memory>
#include <string>
#include <string_view>

class ChartHasher {
 public:
  ChartHasher();
  ~ChartHasher();

  void Update(std::string_view bytes);
  // Ends both digests; call once, after the last Update.
  void Finish(std::string& md5Hex, std::string& sha256Hex);

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};
