// SPDX-License-Identifier: MIT
#pragma once
// Writing a whole file at once, as a replacement of whatever was there.
#include <string_view>

#include "platform/paths.h"

namespace platform {

// Replaces the content of the file `path` (CP932) with `bytes`, creating it
// when missing; throws EInOutError. A read-only file is refused untouched
// (also when running as root), and a write that fails part-way, say on a
// full disk, leaves the old content intact: the bytes go to a temporary file
// beside the target that takes its place only once complete, with the
// target's permissions. Where no temporary file can be made in the folder
// (a folder without write permission, a device), the file is written in place,
// and there too a failure leaves the old content as it was.
void WriteWholeFile(std::string_view path, std::string_view bytes);
// The same for a name exactly as the file system holds it.
void WriteWholeFile(const FsPath& path, std::string_view bytes);

}  // namespace platform
