// SPDX-License-Identifier: MIT
#pragma once
// Every section and key of the settings file, and the designed sizes they
// fall back to: the windows and the options read them from here only.
#include <cstddef>
#include <string>

namespace settings_keys {

// Column widths, "Width0"... (the section is spelt so in every settings file).
inline constexpr char kColumnsSection[] = "Clumns";
// The window placement as eight keys "Property.Flags"... "Property.YSize".
inline constexpr char kFormsSection[] = "Forms";
inline constexpr char kPlacementPrefix[] = "Property";
// The folder of the last CSV export (CP932 text).
inline constexpr char kExportSection[] = "Export";
inline constexpr char kExportFolderKey[] = "Folder";
// The options window's choices, 0 or 1 each, and the extra columns' widths.
inline constexpr char kOptionsSection[] = "Options";
inline constexpr char kChartFilesKey[] = "ChartFiles";
inline constexpr char kHashColumnsKey[] = "HashColumns";
inline constexpr char kChartsOnlyKey[] = "ChartsOnly";
inline constexpr char kCsvFormatKey[] = "CsvFormat";
inline constexpr char kDisplayEncodingKey[] = "DisplayEncoding";
inline constexpr char kOneArchiveAtATimeKey[] = "OneArchiveAtATime";
inline constexpr char kNumericSortKey[] = "NumericSort";
inline constexpr char kChartFactsKey[] = "ChartFacts";
inline constexpr char kSongLibraryKey[] = "SongLibrary";        // CP932 text
inline constexpr char kPreviewCommandKey[] = "PreviewCommand";  // CP932 text
// Archives inside a dropped folder are opened too: 1, the default, or 0.
inline constexpr char kFolderArchivesKey[] = "FolderArchives";

// The collection: the columns' choice, and the song folders as a count
// "LibraryFolders" and "LibraryFolder1"... (CP932 text).
inline constexpr char kLibraryColumnsKey[] = "LibraryColumns";
inline constexpr char kLibraryFolderCountKey[] = "LibraryFolders";
inline std::string LibraryFolderKey(std::size_t n) { return "LibraryFolder" + std::to_string(n); }

inline std::string WidthKey(int column) { return "Width" + std::to_string(column); }

}  // namespace settings_keys

// The designed layout: the outer size of the main window, placed at (10, 10).
inline constexpr int kDesignedWindowWidth = 633;
inline constexpr int kDesignedWindowHeight = 378;
inline constexpr int kDesignedWindowLeft = 10;
inline constexpr int kDesignedWindowTop = 10;

// The name an export is first offered under.
inline constexpr char kDefaultCsvName[] = "bmslist.csv";
