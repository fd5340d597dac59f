// SPDX-License-Identifier: MIT
// The tar32 dialect:  x [switches] [-f archive] [-o dest] [files...]
// (without -f the first word is the archive, and a following word ending in
// "/" the destination). The command word may be tar's cluster, with or
// without "-": "-xvf a.tar", "xvf", "-zxvf", "-jxvf"; "t" ("-tvf", "tvf")
// lists the entries to the output buffer. Switches are case-sensitive:
//
//   --use-directory=0|1     drop / keep the archive's folders    honoured
//   -f <archive>            the archive                          honoured
//   -o <dir>                the destination                      honoured
//   -z[#] -B[#] -Z[#]       gzip / bzip2 / compress (level)      accepted; the
//                           compression is recognised from the data itself
//   --display-dialog=#      progress dialog                      accepted; none exists
//   --check-all-path=#      path checks                          accepted; paths are always checked
//   -AH  -I  -g             attributes, creation options         accepted, ignored
// Command "c" is taken by ParseTarCreateCommand first (called directly,
// this parser answers ERROR_NOT_SUPPORT for it); other commands and
// switches give ERROR_COMMAND_NAME.
#include <array>

#include "archiver_api.h"
#include "archivers/shared/dialects.h"
#include "archivers/shared/switch_table.h"
#include "archivers/tar/tar_command_word.h"
#include "archivers/tar/tar_format.h"

namespace arc {

namespace {
enum Effect { kIgnore, kFolders, kArchive, kDest };

constexpr std::array kTarSwitches = {
    SwitchSpec{"-use-directory=", SwitchKind::Number, kFolders},
    SwitchSpec{"-display-dialog=", SwitchKind::Number, kIgnore},
    SwitchSpec{"-check-all-path=", SwitchKind::Number, kIgnore},
    SwitchSpec{"f", SwitchKind::Flag, kArchive},
    SwitchSpec{"o", SwitchKind::Flag, kDest},
    SwitchSpec{"z", SwitchKind::Number, kIgnore},
    SwitchSpec{"B", SwitchKind::Number, kIgnore},
    SwitchSpec{"Z", SwitchKind::Number, kIgnore},
    SwitchSpec{"AH", SwitchKind::Flag, kIgnore},
    SwitchSpec{"I", SwitchKind::Flag, kIgnore},
    SwitchSpec{"g", SwitchKind::Flag, kIgnore},
};
}  // namespace

int ParseTarCommand(const std::vector<CmdToken>& tokens, ExtractRequest& req) {
  TarCommandWord word;
  if (tokens.empty() || !ReadTarCommandWord(tokens[0].text, word)) return ERROR_COMMAND_NAME;
  if (word.command == 'c') return ERROR_NOT_SUPPORT;
  if (word.command == 't') req.kind = CommandKind::list;
  bool archiveGiven = false, destGiven = false;
  std::vector<const CmdToken*> positional;
  for (std::size_t i = 1; i < tokens.size(); ++i) {
    const std::string& t = tokens[i].text;
    if (t.size() >= 2 && t[0] == '-' && !tokens[i].quoted) {
      std::string_view value;
      const SwitchSpec* entry = MatchSwitch(kTarSwitches, std::string_view(t).substr(1), false, value);
      if (!entry) return ERROR_COMMAND_NAME;
      if (entry->effect == kFolders) req.keepFolders = SwitchNumber(value) != 0;
      if (entry->effect == kArchive || entry->effect == kDest) {
        if (i + 1 >= tokens.size()) return ERROR_COMMAND_NAME;
        const std::string& v = tokens[++i].text;
        if (entry->effect == kArchive) {
          req.archive = v;
          archiveGiven = !v.empty();
        } else {
          req.destDir = v;
          destGiven = true;
        }
      }
      continue;
    }
    positional.push_back(&tokens[i]);
  }
  PositionalArgs args(req, archiveGiven, destGiven);
  for (const CmdToken* t : positional)
    if (int r = args.Add(*t)) return r;
  return args.Finish();
}

}  // namespace arc
