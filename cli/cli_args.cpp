#include "cli/cli_args.h"

const char* const kCliUsage =
    "Usage: bmslist-cli [--csv FILE] PATH...\n"
    "\n"
    "Lists the BMS charts in song archives, as the bmslist window does when the\n"
    "archives are dropped onto it together: each archive is unpacked into the\n"
    "working folder through its archiver library, one row is listed per chart\n"
    "file at the top of that folder, and the folder is emptied again.\n"
    "Archives whose name ends in .exe are skipped.\n"
    "\n"
    "The list is written as CSV (code page 932, CR LF, thirteen quoted fields:\n"
    "file name, artist, genre, title, difficulty, player, BPM, MIDI, WAV, BGA,\n"
    "date, archive name, archive folder) to FILE, or to standard output.\n"
    "\n"
    "Options:\n"
    "  --csv FILE   write the list to FILE instead of standard output\n"
    "  --help       show this text\n"
    "  --version    show the version\n"
    "\n"
    "Exit status: 0 when the archives were handled (an archive that cannot be\n"
    "read adds no rows), 1 when the CSV could not be written, 2 for a usage error.\n";

CliArgs ParseCliArgs(const std::vector<std::string>& args) {
  CliArgs out;
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
