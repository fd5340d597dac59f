// SPDX-License-Identifier: MIT
#pragma once
// Installing a song archive into the song library folder: unpacked once,
// with its folders, into one folder per song. When every entry sits under
// one top folder, that folder lands in the library as it is; otherwise a
// folder named after the archive (without its extension) holds the
// entries. A file already in the library is never overwritten: the same
// bytes need nothing, other bytes are kept and the archive's file is
// reported. A second install of the same archive changes nothing.
#include <cstddef>
#include <string>
#include <vector>

#include "drivers/archive_file.h"

struct InstallResult {
  std::size_t written = 0;  // files new to the library
  std::size_t same = 0;     // files the library held with the same bytes
  std::size_t kept = 0;     // files the library held with other bytes: left as they were
  std::size_t failed = 0;   // files that could not be moved in
  bool cancelled = false;
  std::string songFolder;             // where the song went (file system form)
  std::vector<std::string> problems;  // UTF-8, one per file or failure
};

// Unpacks `archivePath` (CP932) with `component` (its drivers, progress and
// options as the caller set them) and moves the files into `libraryDir`
// (the file system's form). The archive is first unpacked into a hidden
// folder inside the library, so the files move in by renaming, never by
// copying, and nothing half-written ever stands under a song's name.
InstallResult InstallSong(TArchiveFile& component, WindowHandle window, const std::string& archivePath,
                          const std::string& libraryDir);

// The song folder's name for an archive whose entries are not under one
// folder: its name without the extension ("song.tar.gz" gives "song").
std::string SongFolderName(const std::string& archiveFileName);
