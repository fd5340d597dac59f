// The UnZip dialect (UNZIP32.DLL, LMZIP32.DLL):  -x [switches] archive [dest/] [files...]
//
//   -j   junk the archive's folders     honoured
//   -o   overwrite without asking       accepted; files are always replaced
//   --i  no dialogs                     accepted; there are none
//   -q   quiet                          accepted
// Any other switch gives ERROR_COMMAND_NAME; commands other than -x too.
#include <array>

#include "archiver_api.h"
#include "archivers/engine/dialects.h"
#include "archivers/engine/switch_table.h"

namespace arc {

namespace {
enum Effect { kIgnore, kJunk };

constexpr std::array kZipSwitches = {
    SwitchSpec{"j", SwitchKind::Flag, kJunk},
    SwitchSpec{"o", SwitchKind::Flag, kIgnore},
    SwitchSpec{"-i", SwitchKind::Flag, kIgnore},
    SwitchSpec{"q", SwitchKind::Flag, kIgnore},
};
}  // namespace

int ParseZipCommand(const std::vector<CmdToken>& tokens, ExtractRequest& req) {
  if (tokens.empty() || tokens[0].text != "-x") return ERROR_COMMAND_NAME;
  PositionalArgs args(req);
  bool switches = true;
  for (std::size_t i = 1; i < tokens.size(); ++i) {
    const std::string& t = tokens[i].text;
    if (switches && t.size() >= 2 && t[0] == '-' && !tokens[i].quoted) {
      std::string_view value;
      const SwitchSpec* entry = MatchSwitch(kZipSwitches, std::string_view(t).substr(1), false, value);
      if (!entry) return ERROR_COMMAND_NAME;
      if (entry->effect == kJunk) req.keepFolders = false;
      continue;
    }
    if (!t.empty()) switches = false;
    if (int r = args.Add(tokens[i])) return r;
  }
  return args.Finish();
}

}  // namespace arc
