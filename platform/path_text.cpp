// SPDX-License-Identifier: MIT
#include "platform/path_text.h"

#include "platform/cp932.h"

namespace platform {

bool IsUtf8Path(std::string_view path) { return !path.empty() && path[0] == kUtf8PathMark; }

std::string PathFromUtf8(std::string_view utf8) {
  std::string cp932;
  if (TryUtf8ToCp932AllowingTwins(utf8, cp932)) return cp932;
  return kUtf8PathMark + std::string(utf8);
}

std::string PathUtf8(std::string_view path) {
  return IsUtf8Path(path) ? std::string(path.substr(1)) : Cp932ToUtf8(path);
}

std::string_view WithoutUtf8Mark(std::string_view path) { return IsUtf8Path(path) ? path.substr(1) : path; }

}  // namespace platform
