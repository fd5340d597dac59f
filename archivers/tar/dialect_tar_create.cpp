// SPDX-License-Identifier: MIT
// The creating command of tar32.dll:
//   c [switches] [-f archive] [-o basedir] [files...]
// (the command word may be tar's cluster: "-cvf", "czvf", "-cjvf").
// (without -f the first word is the archive, and a following word ending in
// "/" the base folder). Named folders are always taken with their contents.
//
//   -z[#]                  gzip, level # (default 6)             honoured
//   -B[#]                  bzip2, level # (default 9)            honoured
//   -Z[#]                  compress (.Z)                         ERROR_NOT_SUPPORT
//   (neither)              by the archive's extension: .tgz/.gz gzip,
//                          .tbz/.bz2 bzip2, else plain tar
//   --use-directory=0      store names without folders           honoured
//   --display-dialog=#  --check-all-path=#  -AH  -I  -g          accepted, ignored
#include "archiver_api.h"
#include "archivers/shared/creating_dialects.h"
#include "archivers/shared/dialects.h"
#include "platform/cp932.h"
#include "platform/paths.h"
#include "archivers/tar/tar_command_word.h"
#include "archivers/tar/tar_format.h"

namespace arc {

namespace {
bool EndsWith(const std::string& s, const char* suffix) {
  std::string tail(suffix);
  return s.size() >= tail.size() && platform::SameTextAscii(s.substr(s.size() - tail.size()), tail);
}

int Level(const std::string& t) {
  if (t.size() <= 2) return -1;
  int v = 0;
  for (std::size_t i = 2; i < t.size(); ++i) {
    if (t[i] < '0' || t[i] > '9' || v > 9) return -2;
    v = v * 10 + (t[i] - '0');
  }
  return v > 9 ? 9 : v;
}
}  // namespace

int ParseTarCreateCommand(const std::vector<CmdToken>& tokens, CreateRequest& req) {
  TarCommandWord word;
  if (tokens.empty() || !ReadTarCommandWord(tokens[0].text, word) || word.command != 'c') return kNotCreating;
  req.source.recurse = true;
  req.source.folderEntries = true;
  ExtractRequest parsed;
  bool archiveGiven = false, destGiven = false, filterGiven = word.filter != 0;
  if (word.filter == 'Z') {
    req.refusal = "compress (.Z) archives cannot be created";
    return ERROR_NOT_SUPPORT;
  }
  if (word.filter) req.filter = word.filter == 'z' ? StreamFilter::Gzip : StreamFilter::Bzip2;
  std::vector<const CmdToken*> positional;
  for (std::size_t i = 1; i < tokens.size(); ++i) {
    const std::string& t = tokens[i].text;
    if (t.size() < 2 || t[0] != '-' || tokens[i].quoted) {
      positional.push_back(&tokens[i]);
      continue;
    }
    if (t == "-f" || t == "-o") {
      if (i + 1 >= tokens.size()) return ERROR_COMMAND_NAME;
      const std::string& v = tokens[++i].text;
      if (t == "-f") {
        parsed.archive = v;
        archiveGiven = !v.empty();
      } else {
        parsed.destDir = v;
        destGiven = true;
      }
    } else if (t[1] == 'z' || t[1] == 'B') {
      int level = Level(t);
      if (level == -2) return ERROR_COMMAND_NAME;
      req.filter = t[1] == 'z' ? StreamFilter::Gzip : StreamFilter::Bzip2;
      req.level = level;
      filterGiven = true;
    } else if (t[1] == 'Z') {
      req.refusal = "compress (.Z) archives cannot be created";
      return ERROR_NOT_SUPPORT;
    } else if (t.rfind("--use-directory=", 0) == 0) {
      req.source.keepFolders = t.substr(16) != "0";
    } else if (t.rfind("--display-dialog=", 0) != 0 && t.rfind("--check-all-path=", 0) != 0 && t != "-AH" &&
               t != "-I" && t != "-g") {
      return ERROR_COMMAND_NAME;
    }
  }
  PositionalArgs args(parsed, archiveGiven, destGiven);
  for (const CmdToken* t : positional)
    if (int r = args.Add(*t)) return r;
  if (int r = args.Finish()) return r;
  TakePositional(parsed, req);
  if (!filterGiven) {
    if (EndsWith(req.archive, ".tgz") || EndsWith(req.archive, ".gz")) req.filter = StreamFilter::Gzip;
    if (EndsWith(req.archive, ".tbz") || EndsWith(req.archive, ".bz2")) req.filter = StreamFilter::Bzip2;
  }
  return 0;
}

}  // namespace arc
