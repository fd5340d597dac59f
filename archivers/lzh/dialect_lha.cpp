// SPDX-License-Identifier: MIT
// The LHA command dialect (UNLHA32.DLL, and UNARJ32J.DLL which is driven
// with the same line):  x|e|l|v|t [switches] archive [dest/] [files...]
// ("l" and "v" list the entries to the output buffer, "t" tests them).
//
// Switches are recognised before the archive name, case-insensitively.
// Every switch the LHA command builder can send is accepted:
//
//   switch           UNLHA32 meaning                    here
//   -+               ignore the registry settings       accepted; there are none
//   -x0 / -x1 / -x   drop / keep the archive's folders  honoured
//   -jx<pattern>     exclude matching files             honoured
//   -c#              skip the timestamp comparison      ignored: files are always replaced
//   -m# -n#          dialogs and the progress window    ignored: progress goes to the owner window
//   -w<dir>          folder for temporary files         ignored: none are made
//   -a# -e# -f# -h# -i# -l# -o# -p# -r# -s# -t# -u# -y# -z#
//                    attributes, creation and display   ignored
//   -jc# -jd# -je# -jf# -jh# -ji# -jm# -jn# -jp# -jr# -jss# -jw#
//   -jyc# -jyd# -jyk# -jyn# -jyo#
//   -ga# -gd# -ge# -gf# -gj# -gm# -gn# -go# -gp# -gs# -gu# -gw#
//                    creation, display and code options ignored
//   -jo<text> -job<text> -jz<text> -gr<text>
//                    comments and creation texts        ignored
//
// Any other switch gives ERROR_COMMAND_NAME. "#" is an optional signed
// number. Command "e" extracts without folders whatever -x says. The
// creating commands (a, u, f, d, s) are taken by ParseLhaCreateCommand
// first; the other commands of LHA (m, p, c...) answer ERROR_NOT_SUPPORT.
#include "archiver_api.h"
#include "archivers/shared/dialects.h"
#include "archivers/lzh/lha_switches.h"
#include "platform/cp932.h"
#include "archivers/lzh/lzh_format.h"

namespace arc {

namespace {
// LHA commands that exist but only make or change archives, or print them.
bool IsOtherLhaCommand(const std::string& c) {
  static const char* const kCommands[] = {"a", "u", "f", "m", "d", "s", "p", "c", "j", "y", "o"};
  for (const char* k : kCommands)
    if (c == k) return true;
  return false;
}
}  // namespace

int ParseLhaCommand(const std::vector<CmdToken>& tokens, ExtractRequest& req) {
  if (tokens.empty()) return ERROR_COMMAND_NAME;
  std::string command = platform::AsciiLower(tokens[0].text);
  if (command == "l" || command == "v") req.kind = CommandKind::list;
  else if (command == "t") req.kind = CommandKind::test;
  else if (command != "x" && command != "e") return IsOtherLhaCommand(command) ? ERROR_NOT_SUPPORT : ERROR_COMMAND_NAME;
  bool junk = command == "e";
  PositionalArgs args(req);
  int read = ReadLhaWords(tokens, args, [&](LhaSwitchEffect effect, std::string_view value) {
    if (effect == kLhaFolders) req.keepFolders = SwitchNumber(value) != 0;
    if (effect == kLhaExclude && !value.empty()) req.exclude.emplace_back(value);
  });
  if (read != 0) return read;
  if (junk) req.keepFolders = false;
  return args.Finish();
}

}  // namespace arc
