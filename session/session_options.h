// SPDX-License-Identifier: MIT
#pragma once
// The options of the options window (and, through its flags, of
// bmslist-cli), and where the settings file keeps them: a section of their
// own, written only when the user applies the window, so a settings file of
// someone who never opens it stays as it was. Every default is the classic
// behaviour.
#include <cstdint>
#include <string>
#include <vector>

#include "charts/column_text.h"
#include "charts/csv_export.h"
#include "charts/drop_pipeline.h"
#include "settings/inigt.h"

struct SessionOptions {
  bool allChartExtensions = false;  // .bme, .bml and .pms besides .bms
  bool hashColumns = false;         // MD5 and SHA-256 after the thirteen columns
  bool chartsOnly = false;          // unpack only the chart files
  CsvFormat csvFormat = CsvFormat::kClassic;
  DisplayEncoding displayEncoding = DisplayEncoding::kDetected;
  bool oneArchiveAtATime = false;  // no unpacking ahead on a second core
  bool numericSort = false;        // 難易度, Player and BPM sorted by value
  bool chartFacts = false;         // the facts columns, computed from the whole chart
  std::string songLibrary;         // where songs are installed (file system form); asked for on first use
  std::string previewCommand;      // the player or viewer a chart is previewed with; "%f" is the chart
  // A dropped folder's archives are opened after its charts (on by default).
  bool folderArchives = true;

  // The collection: the song folders looked in (file system form, absolute)
  // and the Library, Table and Duplicate columns after the others.
  std::vector<std::string> libraryFolders;
  bool libraryColumns = false;

  bool operator==(const SessionOptions&) const = default;

  // What a drop lists and reads. Hashes are always taken, so that showing
  // the columns later fills them for the rows already listed; the facts
  // cost more and are read only while their columns are shown.
  ChartScanOptions ScanOptions() const;
  CsvOptions Csv() const { return {csvFormat, hashColumns, chartFacts}; }
  // Whether a drop unpacks two archives at once, on two cores.
  bool BothCores() const { return !oneArchiveAtATime && DropPipeline::BothCoresByDefault(); }
};

// Missing keys and values out of range give the defaults.
SessionOptions ReadSessionOptions(const TIniGT& ini);
// Throws EIniWriteError when the settings file refuses the write.
void WriteSessionOptions(TIniGT& ini, const SessionOptions& options);
