// SPDX-License-Identifier: MIT
#include "archivers/shared/library_info_entries.h"

#include <cstring>
#include <new>
#include <string>

#include "archivers/shared/archive_listing.h"
#include "archivers/shared/info_records.h"
#include "archivers/shared/library_diagnostics.h"
#include "platform/file_time.h"
#include "platform/input_file.h"

namespace arc {

namespace {
constexpr std::uint32_t kNoDword = 0xFFFFFFFFu;
constexpr std::uint16_t kNoWord = 0xFFFF;

// `f(entry, displayName)` for the handle's current entry, `failure` when
// there is none or it cannot be had.
template <class T, class F>
T WithEntry(HARC harc, T failure, F f) noexcept {
  LibraryDiagnosticsScope diagnostics;
  try {
    EntryInfo info;
    std::string name;
    if (CurrentEntry(harc, info, name) != 0) return failure;
    return f(info, name);
  } catch (const platform::Error&) {
    return failure;
  } catch (const std::bad_alloc&) {
    return failure;
  }
}

// `f(path, totals)` for the handle's archive; totals only when asked for,
// since they cost a walk over the headers.
template <class T, class F>
T WithArchive(HARC harc, bool needTotals, T failure, F f) noexcept {
  LibraryDiagnosticsScope diagnostics;
  try {
    std::string path;
    ArchiveTotals totals;
    if (ArchiveOf(harc, path, needTotals ? &totals : nullptr) != 0) return failure;
    return f(path, totals);
  } catch (const platform::Error&) {
    return failure;
  } catch (const std::bad_alloc&) {
    return failure;
  }
}

// 0 with the whole text copied, ERROR_LONG_FILE_NAME (and an empty buffer)
// when it does not fit: a cut name would name another file.
int CopyText(const std::string& text, char* buffer, int size) {
  if (!buffer || size <= 0) return ERROR_LONG_FILE_NAME;
  if (text.size() >= static_cast<std::size_t>(size)) {
    buffer[0] = '\0';
    return ERROR_LONG_FILE_NAME;
  }
  std::memcpy(buffer, text.data(), text.size());
  buffer[text.size()] = '\0';
  return 0;
}

// A text of the current entry into the caller's buffer: CopyText's
// answers, -1 when there is no entry, ERROR_HARC_ISNOT_OPENED for an
// unknown handle.
template <class F>
int EntryText(HARC harc, char* buffer, int size, F text) noexcept {
  LibraryDiagnosticsScope diagnostics;
  try {
    EntryInfo info;
    std::string name;
    if (int r = CurrentEntry(harc, info, name)) return r;
    return CopyText(text(info, name), buffer, size);
  } catch (const std::bad_alloc&) {
    return ERROR_ENOUGH_MEMORY;
  }
}

bool ToFileTime(std::time_t t, ARC_FILETIME* out) {
  constexpr std::int64_t kEpochDifference = 11644473600;  // 1601-01-01 to 1970-01-01, in seconds
  if (!out || t == 0 || static_cast<std::int64_t>(t) < -kEpochDifference) return false;
  std::uint64_t ticks = static_cast<std::uint64_t>(static_cast<std::int64_t>(t) + kEpochDifference) * 10000000u;
  out->dwLowDateTime = static_cast<std::uint32_t>(ticks);
  out->dwHighDateTime = static_cast<std::uint32_t>(ticks >> 32);
  return true;
}

std::time_t ArchiveStamp(const std::string& path) {
  std::int64_t t = 0;
  return platform::GetFileLastWriteTime(std::string_view(path), t) ? static_cast<std::time_t>(t) : 0;
}

bool StartsLikeAnExecutable(const std::string& path) {
  platform::InputFile file{std::string_view(path)};
  char head[2] = {};
  return file.Read(head, 2) == 2 && head[0] == 'M' && head[1] == 'Z';
}

int PutSize(std::uint64_t value, std::uint64_t* out) {
  if (!out) return 0;
  *out = value;
  return 1;
}
}  // namespace

int RunGetFileCount(const LibraryDef& lib, const char* fileName) noexcept {
  LibraryDiagnosticsScope diagnostics;
  try {
    return fileName ? CountEntries(lib.openers, fileName) : -1;
  } catch (const platform::Error&) {
    return -1;
  } catch (const std::bad_alloc&) {
    return -1;
  }
}

int RunGetArcFileName(HARC harc, char* buffer, int size) noexcept {
  LibraryDiagnosticsScope diagnostics;
  try {
    std::string path;
    if (int r = ArchiveOf(harc, path, nullptr)) return r;
    return CopyText(path, buffer, size);
  } catch (const std::bad_alloc&) {
    return ERROR_ENOUGH_MEMORY;
  }
}

std::uint32_t RunGetArcFileSize(HARC harc) noexcept {
  return WithArchive(harc, false, kNoDword, [](const std::string& path, const ArchiveTotals&) {
    auto size = platform::RegularFileSize(path);
    return size ? Clamp32(*size) : kNoDword;
  });
}

std::uint32_t RunGetArcOriginalSize(HARC harc) noexcept {
  return WithArchive(harc, true, kNoDword, [](const std::string&, const ArchiveTotals& t) { return Clamp32(t.originalSize); });
}

std::uint32_t RunGetArcCompressedSize(HARC harc) noexcept {
  return WithArchive(harc, true, kNoDword,
                     [](const std::string&, const ArchiveTotals& t) { return Clamp32(t.compressedSize); });
}

std::uint16_t RunGetArcRatio(HARC harc) noexcept {
  return WithArchive(harc, true, kNoWord, [](const std::string&, const ArchiveTotals& t) {
    return RatioPerMille(t.compressedSize, t.originalSize);
  });
}

std::uint16_t RunGetArcDate(HARC harc) noexcept {
  return WithArchive(harc, false, kNoWord, [](const std::string& path, const ArchiveTotals&) {
    std::uint16_t date = 0, time = 0;
    ToDosDateTime(ArchiveStamp(path), date, time);
    return date;
  });
}

std::uint16_t RunGetArcTime(HARC harc) noexcept {
  return WithArchive(harc, false, kNoWord, [](const std::string& path, const ArchiveTotals&) {
    std::uint16_t date = 0, time = 0;
    ToDosDateTime(ArchiveStamp(path), date, time);
    return time;
  });
}

std::uint32_t RunGetArcOSType(HARC harc) noexcept {
  return WithArchive(harc, true, kNoDword, [](const std::string&, const ArchiveTotals& t) { return t.osType; });
}

int RunIsSFXFile(HARC harc) noexcept {
  return WithArchive(harc, false, -1, [](const std::string& path, const ArchiveTotals&) {
    return StartsLikeAnExecutable(path) ? SFX_EXECUTABLE : SFX_NOT;
  });
}

int RunGetArcTimeEx(HARC harc, ARC_FILETIME* time) noexcept {
  return WithArchive(harc, false, 0, [&](const std::string& path, const ArchiveTotals&) {
    return ToFileTime(ArchiveStamp(path), time) ? 1 : 0;
  });
}

int RunGetArcFileSizeEx(HARC harc, std::uint64_t* size) noexcept {
  return WithArchive(harc, false, 0, [&](const std::string& path, const ArchiveTotals&) {
    auto bytes = platform::RegularFileSize(path);
    return bytes ? PutSize(*bytes, size) : 0;
  });
}

int RunGetArcOriginalSizeEx(HARC harc, std::uint64_t* size) noexcept {
  return WithArchive(harc, true, 0, [&](const std::string&, const ArchiveTotals& t) { return PutSize(t.originalSize, size); });
}

int RunGetArcCompressedSizeEx(HARC harc, std::uint64_t* size) noexcept {
  return WithArchive(harc, true, 0,
                     [&](const std::string&, const ArchiveTotals& t) { return PutSize(t.compressedSize, size); });
}

int RunGetFileName(HARC harc, char* buffer, int size) noexcept {
  return EntryText(harc, buffer, size, [](const EntryInfo&, const std::string& name) { return name; });
}

int RunGetMethod(HARC harc, char* buffer, int size) noexcept {
  return EntryText(harc, buffer, size, [](const EntryInfo& e, const std::string&) { return e.method; });
}

std::uint32_t RunGetOriginalSize(HARC harc) noexcept {
  return WithEntry(harc, kNoDword, [](const EntryInfo& e, const std::string&) { return Clamp32(e.size); });
}

std::uint32_t RunGetCompressedSize(HARC harc) noexcept {
  return WithEntry(harc, kNoDword, [](const EntryInfo& e, const std::string&) { return Clamp32(e.compressedSize); });
}

std::uint16_t RunGetRatio(HARC harc) noexcept {
  return WithEntry(harc, kNoWord,
                   [](const EntryInfo& e, const std::string&) { return RatioPerMille(e.compressedSize, e.size); });
}

std::uint16_t RunGetDate(HARC harc) noexcept {
  return WithEntry(harc, kNoWord, [](const EntryInfo& e, const std::string&) {
    std::uint16_t date = 0, time = 0;
    ToDosDateTime(e.mtime, date, time);
    return date;
  });
}

std::uint16_t RunGetTime(HARC harc) noexcept {
  return WithEntry(harc, kNoWord, [](const EntryInfo& e, const std::string&) {
    std::uint16_t date = 0, time = 0;
    ToDosDateTime(e.mtime, date, time);
    return time;
  });
}

std::uint32_t RunGetWriteTime(HARC harc) noexcept {
  return WithEntry(harc, kNoDword, [](const EntryInfo& e, const std::string&) {
    // A stamp before 1970 or past 2106 has no DWORD form.
    return e.mtime > 0 && static_cast<std::uint64_t>(e.mtime) < kNoDword ? static_cast<std::uint32_t>(e.mtime) : kNoDword;
  });
}

std::uint32_t RunGetCRC(HARC harc) noexcept {
  return WithEntry(harc, kNoDword, [](const EntryInfo& e, const std::string&) { return e.crc; });
}

int RunGetAttribute(HARC harc) noexcept {
  return WithEntry(harc, -1, [](const EntryInfo& e, const std::string&) {
    return static_cast<int>((e.attributes & 0x3F) | (e.isDirectory ? FA_DIREC : 0));
  });
}

std::uint32_t RunGetOSType(HARC harc) noexcept {
  return WithEntry(harc, kNoDword, [](const EntryInfo& e, const std::string&) { return e.osType; });
}

int RunGetWriteTimeEx(HARC harc, ARC_FILETIME* time) noexcept {
  return WithEntry(harc, 0, [&](const EntryInfo& e, const std::string&) { return ToFileTime(e.mtime, time) ? 1 : 0; });
}

int RunGetOriginalSizeEx(HARC harc, std::uint64_t* size) noexcept {
  return WithEntry(harc, 0, [&](const EntryInfo& e, const std::string&) { return PutSize(e.size, size); });
}

int RunGetCompressedSizeEx(HARC harc, std::uint64_t* size) noexcept {
  return WithEntry(harc, 0, [&](const EntryInfo& e, const std::string&) { return PutSize(e.compressedSize, size); });
}

}  // namespace arc
