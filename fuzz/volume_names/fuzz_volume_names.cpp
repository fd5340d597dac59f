// SPDX-License-Identifier: MIT
// The input is a cabinet header: the names of the cabinets before and after
// it must come out as plain file names (no folder, never "." or ".."),
// whatever the flags, reserve sizes and cut names say. Its first 64 bytes
// also serve as a file name whose volume names are made: a later volume's
// first volume and a volume's next name stay in the same folder and are
// never the name itself.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "archivers/shared/volume_names.h"

namespace {

void CheckPlainName(const std::string& name) {
  if (name.find_first_of("/\\") != std::string::npos || name == "." || name == "..") std::abort();
  if (name.size() > 255 || name.find('\0') != std::string::npos) std::abort();
}

void CheckSameFolder(const std::string& from, const std::string& made) {
  if (made.empty()) return;
  if (made == from) std::abort();
  std::size_t a = from.find_last_of('/'), b = made.find_last_of('/');
  if (from.substr(0, a == std::string::npos ? 0 : a) != made.substr(0, b == std::string::npos ? 0 : b)) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  arc::CabinetLinks links = arc::ParseCabinetLinks(bytes);
  CheckPlainName(links.previous);
  CheckPlainName(links.next);
  std::string name = "/nonexistent-folder/" + bytes.substr(0, 64);
  if (name.find('\0') != std::string::npos || name.size() <= 20) return 0;
  // Never a ".cab": that one reads the file.
  if (name.size() >= 4 && (name.substr(name.size() - 4) == ".cab" || name.substr(name.size() - 4) == ".CAB")) return 0;
  CheckSameFolder(name, arc::FirstVolumeName(name));
  CheckSameFolder(name, arc::NextVolumeName(name));
  return 0;
}
