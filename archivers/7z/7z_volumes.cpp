// SPDX-License-Identifier: MIT
#include "archivers/7z/7z_volumes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

#include "archiver_api.h"
#include "archivers/shared/archive_reader.h"
#include "archivers/shared/le_bytes.h"
#include "platform/paths.h"

namespace arc {

namespace {

bool IsRegularFile(const std::string& path) {
  struct stat st{};
  return stat(platform::FsName(path).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

}  // namespace

std::vector<std::string> SevenZipVolumes(const std::string& path) {
  std::vector<std::string> out{path};
  if (platform::ExtractFileExt(path) != ".001") return out;
  std::string base = path.substr(0, path.size() - 4);
  for (int n = 2; n <= 999; ++n) {
    char suffix[8];
    std::snprintf(suffix, sizeof suffix, ".%03d", n);
    if (!IsRegularFile(base + suffix)) break;
    out.push_back(base + suffix);
  }
  return out;
}

std::uint64_t DeclaredSevenZipSize(const std::string& firstVolume) {
  int fd = open(platform::FsName(firstVolume).c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return 0;
  unsigned char h[32] = {};
  ssize_t n = read(fd, h, sizeof h);
  close(fd);
  if (n != sizeof h) return 0;
  std::uint64_t offset = Le64(h + 12), size = Le64(h + 20);
  // Sums that overflow are no size at all.
  if (offset > UINT64_MAX / 2 || size > UINT64_MAX / 4) return 0;
  return 32 + offset + size;
}

}  // namespace arc
