// SPDX-License-Identifier: MIT
// 7z through libarchive's reader: LZMA, LZMA2, PPMd, deflate, bzip2 and
// zstd data behind the BCJ, BCJ2, ARM and other branch filters and delta.
// libarchive checks each entry's CRC itself. 7z stores names as UTF-16,
// which libarchive hands out in the engine's locale (UTF-8; the wide form
// on Windows, where that locale is code page 932). A first volume ".001"
// is read with the volumes that follow it.
#include <archive.h>
#include <archive_entry.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <memory>

#include "archiver_api.h"
#include "archivers/7z/7z_format.h"
#include "archivers/7z/7z_volumes.h"
#include "archivers/shared/volume_chain.h"
#include "archivers/shared/libarchive_reader.h"
#include "platform/paths.h"
#ifdef _WIN32
#include "platform/win32/wide.h"
#endif

namespace arc {

namespace {

constexpr unsigned char kSignature[6] = {'7', 'z', 0xBC, 0xAF, 0x27, 0x1C};

// Only a file that starts as a 7z archive is one here: libarchive would
// also look for an archive inside a self-extractor, which is a program.
bool StartsAsSevenZip(const std::string& path) {
  int fd = open(platform::FsName(path).c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) throw ArcError(ERROR_ARC_FILE_OPEN, "cannot open " + path);
  unsigned char head[sizeof kSignature] = {};
  ssize_t n = read(fd, head, sizeof head);
  close(fd);
  return n == sizeof head && std::memcmp(head, kSignature, sizeof head) == 0;
}

std::uint64_t FileSize(const std::string& path) {
  struct stat st{};
  return stat(platform::FsName(path).c_str(), &st) == 0 ? static_cast<std::uint64_t>(st.st_size) : 0;
}

}  // namespace

std::unique_ptr<ArchiveReader> OpenSevenZipReader(const std::string& path) {
  RequireReadableFile(path);
  if (!StartsAsSevenZip(path)) throw ArcError(ERROR_NOT_ARC_FILE, "not a 7z archive");
  // The archive's start header says how long it is: a cut file or a set
  // short of a volume is told apart here, naming what is missing.
  std::vector<std::string> volumes = SevenZipVolumes(path);
  std::uint64_t have = 0;
  for (const std::string& v : volumes) have += FileSize(v);
  std::uint64_t declared = DeclaredSevenZipSize(path);
  if (declared > have) {
    if (platform::ExtractFileExt(path) != ".001") throw ArcError(ERROR_UNEXPECTED_EOF, "the archive is cut short");
    char next[8];
    std::snprintf(next, sizeof next, ".%03zu", volumes.size() + 1);
    throw ArcError(ERROR_UNEXPECTED_EOF, "missing volume " + path.substr(0, path.size() - 4) + next);
  }
  auto formats = [](struct archive* h) { archive_read_support_format_7zip(h); };
  struct archive* a = volumes.size() > 1 ? OpenVolumeSet(volumes, formats) : OpenLibarchive(path, formats);
  auto hook = [](struct archive*, [[maybe_unused]] struct archive_entry* e, EntryInfo& info) {
#ifdef _WIN32
    if (const wchar_t* wide = archive_entry_pathname_w(e)) info.name = platform::win32::WideToUtf8(wide);
#endif
    info.nameIsUtf8 = true;
    info.method = "7z";
    // 7z keeps no per-entry packed size: folders of a solid archive hold many.
    info.compressedSize = 0;
  };
  // Skipping an entry of a solid folder decodes it.
  return std::make_unique<LibarchiveReader>(a, hook, false);
}

}  // namespace arc
