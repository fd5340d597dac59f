// SPDX-License-Identifier: MIT
// The Zip entry of ZIP32J.DLL and LMZIP32.DLL:
//   [-d|-f|-A] [switches] archive [basedir/] [files...]
// Switches may be clustered ("-ru", "-rj9"). File names come with "[" as
// "[[]" (the drivers' escape for zip wildcards) and are matched the
// Windows way once unescaped.
//
//   switch   meaning                                     here
//   (none)   add or replace the files                    honoured
//   -u       add new files, replace only by newer ones   honoured
//   -f       replace entries by newer files; add nothing honoured
//   -d       delete the entries matching the files       honoured
//   -A       fix a self-extractor's offsets (archive is the .EXE)  honoured
//   -r       recurse into folders                        honoured
//   -j       store names without folders                 honoured
//   -D       no entries for folders                      honoured
//   -0..-9   compression level (0 stores)                honoured
//   -S       also take hidden files ("."-names)          honoured
//   -o       archive gets the time of its newest entry   honoured
//   -k       MS-DOS style names                          accepted, ignored: names are kept
//   -v -q    verbosity                                   accepted, ignored
//   -FF -J   repair / strip a prefix                     accepted, ignored
// Anything else gives ERROR_COMMAND_NAME; -m (move) ERROR_NOT_SUPPORT.
#include "archiver_api.h"
#include "archivers/shared/creating_dialects.h"
#include "archivers/shared/dialects.h"
#include "archivers/zip/zip_format.h"

namespace arc {

namespace {
std::string UnescapeBracket(const std::string& s) {
  std::string out;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s.compare(i, 3, "[[]") == 0) {
      out += '[';
      i += 2;
    } else {
      out += s[i];
    }
  }
  return out;
}

// One switch word; 0 or a result code.
int ApplySwitch(const std::string& word, CreateRequest& req) {
  if (word == "-FF" || word == "-J") return 0;
  if (word == "-A") {
    req.mode = CreateMode::AdjustSfx;
    return 0;
  }
  for (std::size_t i = 1; i < word.size(); ++i) {
    char c = word[i];
    if (c >= '0' && c <= '9') {
      req.level = c - '0';
      continue;
    }
    switch (c) {
      case 'r': req.source.recurse = true; break;
      case 'j': req.source.keepFolders = false; break;
      case 'D': req.source.folderEntries = false; break;
      case 'u': req.mode = CreateMode::Update; break;
      case 'f': req.mode = CreateMode::Freshen; break;
      case 'd': req.mode = CreateMode::Delete; break;
      case 'S': req.source.includeHidden = true; break;
      case 'o': req.archiveTimeFromNewest = true; break;
      case 'k': case 'v': case 'q': break;
      case 'm':
        req.refusal = "moving files into the archive is not supported";
        return ERROR_NOT_SUPPORT;
      default: return ERROR_COMMAND_NAME;
    }
  }
  return 0;
}
}  // namespace

int ParseZipCreateCommand(const std::vector<CmdToken>& tokens, CreateRequest& req) {
  req.source.folderEntries = true;
  req.source.includeHidden = false;
  ExtractRequest parsed;
  PositionalArgs args(parsed);
  bool switches = true;
  for (const auto& token : tokens) {
    const std::string& t = token.text;
    if (switches && t.size() >= 2 && t[0] == '-' && !token.quoted) {
      if (int r = ApplySwitch(t, req)) return r;
      continue;
    }
    if (!t.empty()) switches = false;
    if (int r = args.Add(token)) return r;
  }
  if (int r = args.Finish()) return r;
  if (req.mode == CreateMode::AdjustSfx) {
    // The self-extractor's name comes unquoted: blanks in it split it into
    // several words, which belong together.
    if (!parsed.destDir.empty()) parsed.archive += " " + parsed.destDir;
    for (const auto& word : parsed.include) parsed.archive += " " + word;
    parsed.include.clear();
    parsed.destDir.clear();
  }
  for (auto& p : parsed.include) p = UnescapeBracket(p);
  TakePositional(parsed, req);
  if (req.mode == CreateMode::Delete && req.source.patterns.empty()) return ERROR_NOT_FILENAME;
  return 0;
}

}  // namespace arc
