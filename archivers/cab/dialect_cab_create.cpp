// SPDX-License-Identifier: MIT
// The creating commands of CAB32.DLL:
//   -a [switches] archive [basedir/] [files...]   make an MSZIP cabinet
//   -f ...                                        ERROR_NOT_SUPPORT: no
//                                                 self-extractor stub here
//   -r   recurse into folders                honoured
//   -j   store names without folders         honoured
//   -o -i -q                                 accepted, ignored
// An existing cabinet keeps its entries; files of the same name replace them.
#include "archiver_api.h"
#include "archivers/shared/creating_dialects.h"
#include "archivers/shared/dialects.h"
#include "archivers/cab/cab_format.h"

namespace arc {

int ParseCabCreateCommand(const std::vector<CmdToken>& tokens, CreateRequest& req) {
  if (tokens.empty()) return kNotCreating;
  if (tokens[0].text == "-f") {
    req.refusal = "self-extracting cabinets cannot be made: no self-extractor stub exists on this system";
    return ERROR_NOT_SUPPORT;
  }
  if (tokens[0].text != "-a") return kNotCreating;
  req.mode = CreateMode::Add;
  ExtractRequest parsed;
  PositionalArgs args(parsed);
  bool switches = true;
  for (std::size_t i = 1; i < tokens.size(); ++i) {
    const std::string& t = tokens[i].text;
    if (switches && t.size() >= 2 && t[0] == '-' && !tokens[i].quoted) {
      if (t == "-r") req.source.recurse = true;
      else if (t == "-j") req.source.keepFolders = false;
      else if (t != "-o" && t != "-i" && t != "-q") return ERROR_COMMAND_NAME;
      continue;
    }
    if (!t.empty()) switches = false;
    if (int r = args.Add(tokens[i])) return r;
  }
  if (int r = args.Finish()) return r;
  TakePositional(parsed, req);
  return 0;
}

}  // namespace arc
