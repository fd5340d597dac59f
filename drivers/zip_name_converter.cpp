// SPDX-License-Identifier: MIT
#include "drivers/zip_name_converter.h"

#include "platform/cp932.h"

std::string ZipNameConverter(const std::string& name) {
  std::string out;
  out.reserve(name.size());
  for (std::size_t i = 0; i < name.size();) {
    std::size_t next = platform::NextCharPos(name, i);
    if (next - i == 1 && name[i] == '\\')
      out += '/';
    else if (next - i == 1 && name[i] == '[')
      out += "[[]";
    else
      out.append(name, i, next - i);
    i = next;
  }
  return out;
}
