// SPDX-License-Identifier: MIT
// The UnZip dialect (UNZIP32.DLL, LMZIP32.DLL):  -x [switches] archive [dest/] [files...]
// ("-l" and "-v" list the entries to the output buffer, "-t" tests them).
//
//   -j   junk the archive's folders     honoured
//   -o   overwrite without asking       accepted; files are always replaced
//   --i  no dialogs                     accepted; there are none
//   -q   quiet                          accepted
// Any other switch or command gives ERROR_COMMAND_NAME.
#include <array>

#include "archiver_api.h"
#include "archivers/shared/dialects.h"
#include "archivers/shared/switch_table.h"
#include "archivers/zip/zip_format.h"

namespace arc {

namespace {

constexpr std::array kZipSwitches = {
    SwitchSpec{"j", SwitchKind::Flag, kJunkFolders},
    SwitchSpec{"o", SwitchKind::Flag, 0},
    SwitchSpec{"-i", SwitchKind::Flag, 0},
    SwitchSpec{"q", SwitchKind::Flag, 0},
};
}  // namespace

int ParseZipCommand(const std::vector<CmdToken>& tokens, ExtractRequest& req) {
  if (tokens.empty()) return ERROR_COMMAND_NAME;
  const std::string& command = tokens[0].text;
  if (command == "-l" || command == "-v") req.kind = CommandKind::list;
  else if (command == "-t") req.kind = CommandKind::test;
  else if (command != "-x") return ERROR_COMMAND_NAME;
  return ParseSwitchesThenNames(tokens, kZipSwitches, req);
}

}  // namespace arc
