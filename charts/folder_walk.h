// SPDX-License-Identifier: MIT
#pragma once
// What a dropped folder holds for the list: its charts at any depth, read
// where they lie (nothing is copied or unpacked), and the archives in it,
// which the drop then handles one by one as if they had been dropped after
// the folder. The walk goes folder by folder in the file list's order
// (Japanese, letter case ignored): a folder's own charts, then each of its
// folders in turn. Hidden entries are passed over, links to folders are
// not followed, and names code page 932 cannot hold are reported.
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "platform/files.h"

// One folder of the walk that holds charts, or names to report.
struct ChartFolder {
  std::string path;   // CP932, absolute, with a trailing delimiter
  std::string shown;  // the archive-name column: the path below the dropped folder, or its own name at its top
  std::vector<platform::FoundFile> charts;  // in row order
  // File-system (UTF-8) names CP932 cannot hold: charts, archives, and
  // folders (with a delimiter after them), whose charts go unread.
  std::vector<std::string> unlisted;
  std::size_t unlistedFolders = 0;
};

struct FolderContents {
  std::vector<ChartFolder> folders;   // in walk order
  std::vector<std::string> archives;  // CP932, absolute, in walk order
  std::size_t chartCount = 0;
  std::size_t archivesLeft = 0;        // archives found but not asked for
  std::vector<std::string> otherKinds;  // chart kinds left out by the options that the folder holds
  bool tooDeep = false;                 // folders past kMaxFolderDepth were left out
  bool stopped = false;                 // onFolder asked to stop: the rest is unknown
};

// Deeper than this no song folder lies; a bind mount looping back would
// otherwise go on for ever.
inline constexpr int kMaxFolderDepth = 40;

// `folder` is CP932 and absolute; `extensions` the chart kinds without the
// dot; `withArchives` whether archives are collected. `onFolder` is told
// each folder (CP932, with a trailing delimiter) before it is listed;
// answering false ends the walk there.
FolderContents WalkDroppedFolder(const std::string& folder, const std::vector<std::string>& extensions,
                                 bool withArchives,
                                 const std::function<bool(const std::string&)>& onFolder = nullptr);

// Whether a file of this name is an archive a drop would open: an
// extension of the format table, or ".001" of a split set. Later volumes of
// a set (".002", ".r00", ".z01", ".part2.rar") are not: their first volume
// reads them.
bool IsArchiveName(const std::string& name);
