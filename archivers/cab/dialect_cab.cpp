// SPDX-License-Identifier: MIT
// The CAB32 dialect:  -x|-l|-t [switches] archive [dest/] [files...]
// ("-l" lists the entries to the output buffer, "-t" tests them).
//
//   -j   junk the cabinet's folders     honoured
//   -o   overwrite without asking       accepted; files are always replaced
//   -i   no dialogs                     accepted; there are none
//   -r   recurse (creation)             accepted, ignored
//   -q   quiet                          accepted
// -a (add) and -f (self-extractor) are taken by ParseCabCreateCommand
// first (called directly, this parser answers ERROR_NOT_SUPPORT for them);
// anything else gives ERROR_COMMAND_NAME.
#include <array>

#include "archiver_api.h"
#include "archivers/shared/dialects.h"
#include "archivers/shared/switch_table.h"
#include "archivers/cab/cab_format.h"

namespace arc {

namespace {

constexpr std::array kCabSwitches = {
    SwitchSpec{"j", SwitchKind::Flag, kJunkFolders}, SwitchSpec{"o", SwitchKind::Flag, 0},
    SwitchSpec{"i", SwitchKind::Flag, 0}, SwitchSpec{"r", SwitchKind::Flag, 0},
    SwitchSpec{"q", SwitchKind::Flag, 0},
};
}  // namespace

int ParseCabCommand(const std::vector<CmdToken>& tokens, ExtractRequest& req) {
  if (tokens.empty()) return ERROR_COMMAND_NAME;
  if (tokens[0].text == "-a" || tokens[0].text == "-f") return ERROR_NOT_SUPPORT;
  if (tokens[0].text == "-l") req.kind = CommandKind::list;
  else if (tokens[0].text == "-t") req.kind = CommandKind::test;
  else if (tokens[0].text != "-x") return ERROR_COMMAND_NAME;
  return ParseSwitchesThenNames(tokens, kCabSwitches, req);
}

}  // namespace arc
