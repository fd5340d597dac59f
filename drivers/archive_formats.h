// SPDX-License-Identifier: MIT
#pragma once
// The format axis: one row per archive format the program lists, with all
// the host needs to know about it. Adding a format is one row here (and a
// TArchiverType name after atAutoDetect, since those ordinals are stored)
// plus the format's own folder under archivers/ and its driver class.
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "archives/archiver.h"
#include "archives/archiver_type.h"

struct ArchiveFormat {
  TArchiverType type;
  const char* displayName;  // for dialogs and messages: "LZH", "ZIP"...
  const char* extensions;   // lower case, with the dot, separated by spaces
  const char* library;      // the archiver library's file name (the first one asked)
  // Asks the library whether it can open the file: the type found, or
  // atNone. Null where another row's probe tells this type as well (TAR).
  // Never raises.
  TArchiverType (*probe)(const std::string& fileName);
  // A driver for the type; construction loads the library and may raise.
  std::unique_ptr<TArchiver> (*makeDriver)();
};

// Every row, the most trusted content probe first: when several libraries
// open the same file (a self-extractor), the highest row wins.
std::span<const ArchiveFormat> ArchiveFormats();

// The row of `type`, or null for atNone, atAutoDetect and unknown ordinals.
const ArchiveFormat* FindArchiveFormat(TArchiverType type);

// The row's extensions, one string each.
std::vector<std::string> FormatExtensions(const ArchiveFormat& format);
