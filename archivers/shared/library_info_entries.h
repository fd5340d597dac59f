// SPDX-License-Identifier: MIT
#pragma once
// The getters of an open archive handle (the archive's totals and stamps,
// the entry the last FindFirst/FindNext found) and GetFileCount, exported
// by ARC_EXPORT_INFO under each library's prefix. Answers as
// archiver_api.h describes them; nothing thrown crosses the interface.
#include <cstdint>

#include "archivers/shared/library_entries.h"

namespace arc {

int RunGetFileCount(const LibraryDef& lib, const char* fileName) noexcept;

// The archive's.
int RunGetArcFileName(HARC harc, char* buffer, int size) noexcept;
std::uint32_t RunGetArcFileSize(HARC harc) noexcept;
std::uint32_t RunGetArcOriginalSize(HARC harc) noexcept;
std::uint32_t RunGetArcCompressedSize(HARC harc) noexcept;
std::uint16_t RunGetArcRatio(HARC harc) noexcept;
std::uint16_t RunGetArcDate(HARC harc) noexcept;
std::uint16_t RunGetArcTime(HARC harc) noexcept;
std::uint32_t RunGetArcOSType(HARC harc) noexcept;
int RunIsSFXFile(HARC harc) noexcept;
int RunGetArcTimeEx(HARC harc, ARC_FILETIME* time) noexcept;
int RunGetArcFileSizeEx(HARC harc, std::uint64_t* size) noexcept;
int RunGetArcOriginalSizeEx(HARC harc, std::uint64_t* size) noexcept;
int RunGetArcCompressedSizeEx(HARC harc, std::uint64_t* size) noexcept;

// The current entry's.
int RunGetFileName(HARC harc, char* buffer, int size) noexcept;
int RunGetMethod(HARC harc, char* buffer, int size) noexcept;
std::uint32_t RunGetOriginalSize(HARC harc) noexcept;
std::uint32_t RunGetCompressedSize(HARC harc) noexcept;
std::uint16_t RunGetRatio(HARC harc) noexcept;
std::uint16_t RunGetDate(HARC harc) noexcept;
std::uint16_t RunGetTime(HARC harc) noexcept;
std::uint32_t RunGetWriteTime(HARC harc) noexcept;
std::uint32_t RunGetCRC(HARC harc) noexcept;
int RunGetAttribute(HARC harc) noexcept;
std::uint32_t RunGetOSType(HARC harc) noexcept;
int RunGetWriteTimeEx(HARC harc, ARC_FILETIME* time) noexcept;
int RunGetOriginalSizeEx(HARC harc, std::uint64_t* size) noexcept;
int RunGetCompressedSizeEx(HARC harc, std::uint64_t* size) noexcept;

}  // namespace arc
