// SPDX-License-Identifier: MIT
#pragma once
// The main window's stored layout, for both windows: the settings file
// named after the executable, column widths, placement, the options and
// the folder of the last export. Only the keys of settings_keys.h are used.
#include <string>
#include <vector>

#include "platform/placement.h"
#include "session/session_options.h"
#include "settings/inigt.h"

class WindowSettings {
 public:
  // Locates the settings file; a settings write cut short by a kill leaves
  // its temporary file behind, removed here.
  WindowSettings();

  TIniGT ini;

  // The stored width of `column`, or its designed width when none is stored
  // (no such thing as a negative width).
  int ColumnWidth(int column) const;
  void LoadPlacement(platform::PlacementWindow& window) const;
  // What a close writes, as one write of the file: the widths of the
  // thirteen columns and the placement; the optional columns' widths go with
  // the options, once those columns have been asked for. Throws
  // EIniWriteError, writing nothing.
  void SaveLayout(const std::vector<int>& widths, const platform::PlacementWindow& window,
                  const SessionOptions& options);

  SessionOptions ReadOptions() const { return ReadSessionOptions(ini); }
  // Throws EIniWriteError.
  void WriteOptions(const SessionOptions& options) { WriteSessionOptions(ini, options); }
  // The same for a window: "" when written, else why not (CP932), which the
  // window shows; the options hold for this run all the same.
  std::string StoreOptions(const SessionOptions& options);

  // The folder an export is first offered in (CP932, trailing delimiter
  // optional): the last export's while it exists and is not a working
  // folder, else "" (the front end offers the user's home).
  std::string ExportFolder() const;
  // Remembers the folder of a finished export (`csvPath`, CP932). The export
  // itself succeeded, so a refused write is not an error here: an
  // unwritable settings file is reported when the window closes.
  void RememberExportFolder(const std::string& csvPath);
};
