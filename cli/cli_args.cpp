// SPDX-License-Identifier: MIT
#include "cli/cli_args.h"

const char* const kCliUsage =
    "Usage: bmslist-cli [--csv FILE] [--ext LIST] [--hash] [--facts]\n"
    "                   [--csv-format FORMAT] [--charts-only] [--jobs N]\n"
    "                   [--no-folder-archives]\n"
    "                   [--install-to DIR] [--library DIR]... [--table FILE]...\n"
    "                   PATH...\n"
    "\n"
    "Lists the BMS charts in song archives, as the bmslist window does when the\n"
    "archives are dropped onto it together: each archive is unpacked into the\n"
    "working folder through its archiver library, one row is listed per chart\n"
    "file at the top of that folder, and the folder is emptied again.\n"
    "Archives whose name ends in .exe are skipped. A folder lists the charts in\n"
    "it at any depth where they lie, folder by folder, and then the archives in\n"
    "it, as if they had been given one by one.\n"
    "\n"
    "The list is written as CSV (code page 932, CR LF, thirteen quoted fields:\n"
    "file name, artist, genre, title, difficulty, player, BPM, MIDI, WAV, BGA,\n"
    "date, archive name, archive folder) to FILE, or to standard output.\n"
    "With --library or --table, the utf8 CSV ends with three more: Library (the\n"
    "chart's path in a song folder), Table (symbol and level in each table that\n"
    "lists it) and Duplicate (the archive of an earlier row with the same chart).\n"
    "\n"
    "Options:\n"
    "  --csv FILE           write the list to FILE instead of standard output\n"
    "  --ext LIST           the chart files listed, a comma list of bms, bme, bml,\n"
    "                       pms and bmson (default: bms), e.g. --ext bms,bme,bmson\n"
    "  --hash               add two columns after the thirteen: the MD5 and the\n"
    "                       SHA-256 of each chart file (lower-case hex)\n"
    "  --facts              add eight columns computed from the whole chart, after\n"
    "                       the thirteen (and the hash columns): Keys, Notes,\n"
    "                       Total, BpmMin, BpmMax, Length (m:ss), Missing (files\n"
    "                       the chart names that the archive lacks) and Random\n"
    "  --csv-format FORMAT  classic (default): the bytes as the charts hold them,\n"
    "                       quotes inside a field not escaped; utf8: UTF-8 with a\n"
    "                       byte-order mark, each field decoded from its chart's\n"
    "                       encoding (Shift-JIS, UTF-8 or EUC-KR), quotes doubled\n"
    "  --charts-only        unpack only the chart files: faster, since sounds and\n"
    "                       images are skipped, and the same rows; an archive\n"
    "                       that fails so is unpacked in full\n"
    "  --jobs N             1: one archive at a time; 2: two archives are\n"
    "                       unpacked at once while the charts of one are read\n"
    "                       (the default on two cores or more); the list is\n"
    "                       the same\n"
    "  --no-folder-archives leave the archives inside a folder given as PATH\n"
    "                       unopened: only its charts are listed\n"
    "  --install-to DIR     after writing the list, install every archive that\n"
    "                       holds a chart into the song folder DIR: one folder\n"
    "                       per song, never overwriting a file already there\n"
    "  --library DIR        a song folder: its charts (of the --ext kinds) are\n"
    "                       indexed (only new or changed files are read again)\n"
    "                       and each listed chart is looked up there; repeatable\n"
    "  --table FILE         import a difficulty table saved on disk (its header\n"
    "                       JSON or its HTML page) into the library index, where\n"
    "                       it stays; repeatable\n"
    "  --help               show this text\n"
    "  --version            show the version\n"
    "\n"
    "Exit status: 0 when the archives were handled (an archive that cannot be\n"
    "read adds no rows), 1 when the CSV could not be written or an archive could\n"
    "not be installed, or a song folder or table could not be read, 2 for a\n"
    "usage error.\n";

namespace {

// "--name VALUE" or "--name=VALUE": true with the value, moving `i` past a
// separate one. A missing value sets `error` and answers false.
bool OptionValue(const std::vector<std::string>& args, std::size_t& i, const std::string& name, std::string& value,
                 std::string& error) {
  const std::string& a = args[i];
  if (a == name) {
    if (i + 1 >= args.size()) {
      error = name + " needs a value";
      return false;
    }
    value = args[++i];
    return true;
  }
  if (a.rfind(name + "=", 0) != 0) return false;
  value = a.substr(name.size() + 1);
  return true;
}

}  // namespace

CliArgs ParseCliArgs(const std::vector<std::string>& args) {
  CliArgs out;
  std::string value;
  bool optionsDone = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (!optionsDone && a == "--") {
      optionsDone = true;
    } else if (!optionsDone && (a == "--help" || a == "-h")) {
      out.help = true;
    } else if (!optionsDone && a == "--version") {
      out.version = true;
    } else if (!optionsDone && a == "--csv") {
      if (i + 1 >= args.size()) {
        out.error = "--csv needs a file name";
        return out;
      }
      out.csvPath = args[++i];
    } else if (!optionsDone && a.rfind("--csv=", 0) == 0) {
      out.csvPath = a.substr(6);
      if (out.csvPath.empty()) {
        out.error = "--csv needs a file name";
        return out;
      }
    } else if (!optionsDone && a == "--hash") {
      out.hashes = true;
    } else if (!optionsDone && a == "--facts") {
      out.facts = true;
    } else if (!optionsDone && a == "--charts-only") {
      out.chartsOnly = true;
    } else if (!optionsDone && a == "--no-folder-archives") {
      out.folderArchives = false;
    } else if (!optionsDone && OptionValue(args, i, "--ext", value, out.error)) {
      std::string bad;
      if (!ParseChartExtensions(value, out.extensions, bad)) {
        out.error = "--ext: unknown chart extension \"" + bad + "\" (known: bms, bme, bml, pms, bmson)";
        return out;
      }
    } else if (!optionsDone && OptionValue(args, i, "--csv-format", value, out.error)) {
      if (value == "classic") {
        out.csvFormat = CsvFormat::kClassic;
      } else if (value == "utf8") {
        out.csvFormat = CsvFormat::kUtf8;
      } else {
        out.error = "--csv-format: \"" + value + "\" is neither classic nor utf8";
        return out;
      }
    } else if (!optionsDone && OptionValue(args, i, "--install-to", value, out.error)) {
      out.installTo = value;
    } else if (!optionsDone && OptionValue(args, i, "--library", value, out.error)) {
      out.libraries.push_back(value);
    } else if (!optionsDone && OptionValue(args, i, "--table", value, out.error)) {
      out.tables.push_back(value);
    } else if (!optionsDone && OptionValue(args, i, "--jobs", value, out.error)) {
      if (value == "1" || value == "2") {
        out.jobs = value[0] - '0';
      } else {
        out.error = "--jobs: \"" + value + "\" is neither 1 nor 2";
        return out;
      }
    } else if (!out.error.empty()) {
      return out;
    } else if (!optionsDone && a.size() > 1 && a[0] == '-') {
      out.error = "unknown option " + a;
      return out;
    } else {
      out.paths.push_back(a);
    }
  }
  if (!out.help && !out.version && out.paths.empty()) out.error = "no archive given";
  return out;
}
