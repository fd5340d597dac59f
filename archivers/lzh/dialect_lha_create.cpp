// SPDX-License-Identifier: MIT
// The creating commands of the LHA syntax (UNLHA32.DLL):
//   a|u|f|d [switches] archive [basedir/] [files...]
//
//   a   add the files, replacing entries of the same name
//   u   add the files, replacing entries only by newer files
//   f   replace entries by newer files of the same name; add nothing
//   d   delete the entries that match the files
//   s   (make a self-extractor) ERROR_NOT_SUPPORT: no stub exists here
//
// Files are taken relative to basedir (else the current folder); no file
// list means every file there. "@name" reads names from a response file.
//
//   switch     here
//   -x0 / -x1  store file names only / with their folders below basedir (default)
//   -r#        a non-zero value also searches every subfolder for the patterns
//   -a#        a non-zero value also takes hidden files ("."-names)
//   -jx<pat>   leave out files whose stored name matches
//   -w<dir>    accepted, not used: the new archive is always written beside
//              the old one so that replacing it is a single rename
//   every other switch of the LHA table (lha_switches.cpp): accepted and
//   ignored; the archive is always -lh5- (or -lh0- for data that does not
//   shrink) with level 2 headers.
#include "archiver_api.h"
#include "archivers/shared/creating_dialects.h"
#include "archivers/shared/dialects.h"
#include "archivers/lzh/lha_switches.h"
#include "platform/cp932.h"
#include "archivers/lzh/lzh_format.h"

namespace arc {

int ParseLhaCreateCommand(const std::vector<CmdToken>& tokens, CreateRequest& req) {
  if (tokens.empty()) return kNotCreating;
  std::string command = platform::AsciiLower(tokens[0].text);
  if (command == "s") {
    req.refusal = "self-extracting archives cannot be made: no self-extractor stub exists on this system";
    return ERROR_NOT_SUPPORT;
  }
  if (command == "a") req.mode = CreateMode::Add;
  else if (command == "u") req.mode = CreateMode::Update;
  else if (command == "f") req.mode = CreateMode::Freshen;
  else if (command == "d") req.mode = CreateMode::Delete;
  else return kNotCreating;
  req.source.includeHidden = false;
  ExtractRequest parsed;
  PositionalArgs args(parsed);
  int read = ReadLhaWords(tokens, args, [&](LhaSwitchEffect effect, std::string_view value) {
    switch (effect) {
      case kLhaFolders: req.source.keepFolders = SwitchNumber(value) != 0; break;
      case kLhaExclude:
        if (!value.empty()) req.source.exclude.emplace_back(value);
        break;
      case kLhaRecurse: req.source.recurse = SwitchNumber(value) != 0; break;
      case kLhaAttributes: req.source.includeHidden = SwitchNumber(value) != 0; break;
      default: break;
    }
  });
  if (read != 0) return read;
  if (int r = args.Finish()) return r;
  TakePositional(parsed, req);
  if (req.mode == CreateMode::Delete && req.source.patterns.empty()) return ERROR_NOT_FILENAME;
  return 0;
}

}  // namespace arc
