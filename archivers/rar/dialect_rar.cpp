// SPDX-License-Identifier: MIT
// The UNRAR32 dialect:  -x|-e|-l|-v|-t [switches] archive [dest/] [files...]
// (the command word with or without its "-"):
//
//   x    extract with the archive's folders
//   e    extract every file into the destination itself
//   l v  list the entries to the output buffer
//   t    test them
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
  if (tokens.empty()) return ERROR_COMMAND_NAME;
  std::string_view command = tokens[0].text;
  if (command.size() == 2 && command[0] == '-') command.remove_prefix(1);
  if (command == "l" || command == "v") req.kind = CommandKind::list;
  else if (command == "t") req.kind = CommandKind::test;
  else if (command != "x" && command != "e") return ERROR_COMMAND_NAME;
  req.keepFolders = command != "e";
  return ParseSwitchesThenNames(tokens, kRarSwitches, req);
}

}  // namespace arc
