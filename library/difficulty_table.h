// SPDX-License-Identifier: MIT
#pragma once
// A BMS difficulty table as its site publishes it: a header JSON (name,
// symbol, data_url relative to the header) and a body JSON array of entries
// (md5, sha256, level, title...), or an HTML page naming its header in
// <meta name="bmstable" content="...">. Read from disk only: a URL names the
// file of that name beside the page or header.
#include <cstddef>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace library {

class TableError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct TableEntry {
  std::string md5, sha256;  // lower-case hex; empty when the entry has none
  std::string level, title;
};

struct DifficultyTable {
  std::string name, symbol;
  std::string source;  // the file read (UTF-8)
  std::vector<TableEntry> entries;
  std::size_t skipped = 0;  // entries with neither a valid md5 nor a valid sha256
};

// Reads the table that `file` (a header JSON or an HTML page) stands for;
// throws TableError saying which file and what is wrong.
DifficultyTable ReadDifficultyTable(const std::filesystem::path& file);

// The parts, for tests and fuzzing: the header's content from an HTML page
// (empty when it has none), and the entries of a body's JSON text.
std::string BmstableMetaContent(std::string_view html);
std::vector<TableEntry> ParseTableBody(std::string_view json, std::size_t& skipped);

}  // namespace library
