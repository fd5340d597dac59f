// SPDX-License-Identifier: MIT
#include "archivers/shared/output_budget.h"

#include <algorithm>
#include <limits>
#include <string_view>

#include "archiver_api.h"

namespace arc {

namespace {
constexpr std::uint64_t kUnlimited = std::numeric_limits<std::uint64_t>::max();

// Methods that store the data as it is (ZIP, LZH, ARJ and RAR 1.5-4 names).
bool StoredMethod(std::string_view method) {
  return method == "store" || method == "-lh0-" || method == "-lz4-" || method == "-m0-";
}
}  // namespace

std::uint64_t ExpansionCap(const ExtractLimits& limits, std::uint64_t compressed) {
  std::uint64_t scaled = limits.outputRatio != 0 && compressed > kUnlimited / limits.outputRatio
                             ? kUnlimited
                             : compressed * limits.outputRatio;
  return std::max(limits.outputFloor, scaled);
}

bool FitsOnDisk(const ExtractLimits& limits, std::uint64_t need, std::uint64_t freeBytes) {
  std::uint64_t room = freeBytes > limits.diskReserve ? freeBytes - limits.diskReserve : 0;
  return need <= room;
}

std::uint64_t PlausibleOutput(const ExtractLimits& limits, const EntryInfo& info) {
  if (info.compressedSize == 0) return kUnlimited;
  return StoredMethod(info.method) ? info.compressedSize : ExpansionCap(limits, info.compressedSize);
}

std::uint64_t DeclaredNeed(const ExtractLimits& limits, const EntryInfo& info) {
  if (!info.sizeKnown || info.isDirectory || info.isSymlink || info.isHardlink) return 0;
  std::uint64_t declared = info.size > info.holeSize ? info.size - info.holeSize : 0;
  return std::min(declared, PlausibleOutput(limits, info));
}

EntryBudget::EntryBudget(const ExtractLimits& limits, const EntryInfo& info, std::uint64_t archiveSize,
                         std::uint64_t keptBefore)
    : info_(info),
      entryCap_(info.compressedSize > 0 ? ExpansionCap(limits, info.compressedSize) : kUnlimited),
      archiveCap_(ExpansionCap(limits, archiveSize)),
      keptBefore_(keptBefore) {}

void EntryBudget::Add(std::uint64_t data, std::uint64_t hole) {
  written_ += data;
  length_ += data + hole;
  if (info_.sizeKnown && length_ > info_.size)
    throw ArcError(ERROR_BROKEN_DATA, "data longer than declared (damaged or hostile)");
  if (written_ > entryCap_) throw ArcError(ERROR_EXPANDS_TOO_FAR, "data expands past any plausible size");
  if (keptBefore_ + written_ > archiveCap_) {
    stopsArchive_ = true;
    throw ArcError(ERROR_EXPANDS_TOO_FAR, "archive expands past any plausible size");
  }
}

}  // namespace arc
