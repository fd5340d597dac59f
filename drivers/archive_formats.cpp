// SPDX-License-Identifier: MIT
#include "drivers/archive_formats.h"

#include "drivers/arj32.h"
#include "drivers/cab32.h"
#include "drivers/lha32.h"
#include "drivers/rar32.h"
#include "drivers/sevenzip.h"
#include "drivers/tar32.h"
#include "drivers/zip32.h"

namespace {

template <class Driver>
std::unique_ptr<TArchiver> Make() {
  return std::make_unique<Driver>();
}

template <bool (*recognises)(const std::string&), TArchiverType type>
TArchiverType ProbeBy(const std::string& fileName) {
  return recognises(fileName) ? type : atNone;
}

constexpr ArchiveFormat kFormats[] = {
    {atLha, "LZH", ".lzh", TLha32::kLibrary.fileName, &ProbeBy<IsLhaArchive, atLha>, &Make<TLha32>},
    {atZip, "ZIP", ".zip", "UNZIP32.DLL", &ProbeBy<IsZipArchive, atZip>, &Make<TZip32>},
    {atCab, "CAB", ".cab", TCab32::kLibrary.fileName, &ProbeBy<IsCabArchive, atCab>, &Make<TCab32>},
    {atArj, "ARJ", ".arj", TArj32::kLibrary.fileName, &ProbeBy<IsArjArchive, atArj>, &Make<TArj32>},
    {atRar, "RAR", ".rar", TRar32::kLibrary.fileName, &ProbeBy<IsRarArchive, atRar>, &Make<TRar32>},
    // tar32.dll tells all three of its kinds at once.
    {atTar, "TAR", ".tar .txz .xz .tzst .zst .tlz .lzma", TTar32::kLibrary.fileName, &GetTarType, &Make<TTar32>},
    {atTgz, "TAR+gzip", ".tgz .taz .gz .z", TTar32::kLibrary.fileName, nullptr, &Make<TTgz32>},
    {atBZ2, "TAR+bzip2", ".bz2", TTar32::kLibrary.fileName, nullptr, &Make<TBZ232>},
    // Only a file that starts as a 7z archive: no self-extractor overlap.
    {at7Zip, "7z", ".7z", TSevenZip::kLibrary.fileName, &ProbeBy<IsSevenZipArchive, at7Zip>, &Make<TSevenZip>},
};

}  // namespace

std::span<const ArchiveFormat> ArchiveFormats() { return kFormats; }

const ArchiveFormat* FindArchiveFormat(TArchiverType type) {
  for (const ArchiveFormat& f : kFormats)
    if (f.type == type) return &f;
  return nullptr;
}

std::vector<std::string> FormatExtensions(const ArchiveFormat& format) {
  std::vector<std::string> out;
  std::string all = format.extensions;
  std::size_t start = 0;
  while (start < all.size()) {
    std::size_t end = all.find(' ', start);
    if (end == std::string::npos) end = all.size();
    if (end > start) out.push_back(all.substr(start, end - start));
    start = end + 1;
  }
  return out;
}
