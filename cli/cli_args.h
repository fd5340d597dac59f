// SPDX-License-Identifier: MIT
#pragma once
// Command line of bmslist-cli.
#include <string>
#include <vector>

#include "charts/chart_extensions.h"
#include "charts/csv_export.h"

struct CliArgs {
  std::string csvPath;             // file system (UTF-8) form; empty: standard output
  std::vector<std::string> paths;  // as given, file system form
  std::vector<std::string> extensions = ClassicChartExtensions();  // --ext
  bool hashes = false;                                             // --hash
  bool chartsOnly = false;                                         // --charts-only
  bool facts = false;                                              // --facts
  bool folderArchives = true;                                      // off by --no-folder-archives
  CsvFormat csvFormat = CsvFormat::kClassic;                       // --csv-format
  std::string installTo;  // --install-to: the song library folder (file system form)
  std::vector<std::string> libraries;  // --library: song folders to scan and look charts up in
  std::vector<std::string> tables;     // --table: difficulty tables to import
  int jobs = 0;  // --jobs: 1 one archive at a time, 2 the next unpacked meanwhile; 0 as the machine allows
  bool help = false;
  bool version = false;
  std::string error;               // a usage error, when not empty
};

CliArgs ParseCliArgs(const std::vector<std::string>& args);
extern const char* const kCliUsage;
