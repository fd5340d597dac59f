// SPDX-License-Identifier: MIT
// The UNRAR32 dialect:  -x|-e [switches] archive [dest/] [files...]
//
//   -x   extract with the archive's folders
//   -e   extract every file into the destination itself
//   -u   update only newer files    accepted; files are always replaced
//   -y   answer yes to questions    accepted; there are none
//   -s   no progress dialog         accepted
// Any other command or switch gives ERROR_COMMAND_NAME.
#include <array>

#include "archiver_api.h"
#include "archivers/shared/dialects.h"
#include "archivers/shared/switch_table.h"
#include "archivers/rar/rar_format.h"

namespace arc {

namespace {
constexpr std::array kRarSwitches = {
    SwitchSpec{"u", SwitchKind::Flag, 0}, SwitchSpec{"y", SwitchKind::Flag, 0}, SwitchSpec{"s", SwitchKind::Flag, 0},
};
}  // namespace

int ParseRarCommand(const std::vector<CmdToken>& tokens, ExtractRequest& req) {
  if (tokens.empty() || (tokens[0].text != "-x" && tokens[0].text != "-e")) return ERROR_COMMAND_NAME;
  req.keepFolders = tokens[0].text == "-x";
  return ParseSwitchesThenNames(tokens, kRarSwitches, req);
}

}  // namespace arc
