// SPDX-License-Identifier: MIT
#include "archivers/tar/tar_command_word.h"

namespace arc {

bool ReadTarCommandWord(std::string_view word, TarCommandWord& out) {
  out = {};
  if (word.starts_with('-')) word.remove_prefix(1);
  if (word.empty()) return false;
  for (char c : word) {
    switch (c) {
      case 'c':
      case 'x':
      case 't':
        if (out.command) return false;
        out.command = c;
        break;
      case 'z':
      case 'j':
      case 'Z':
        if (out.filter) return false;
        out.filter = c;
        break;
      // The archive is the first word that is no switch wherever "f"
      // stands, so it changes nothing.
      case 'v':
      case 'f':
      case 'p':
        break;
      default: return false;
    }
  }
  return out.command != 0;
}

}  // namespace arc
