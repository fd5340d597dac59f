// SPDX-License-Identifier: MIT
// The 7-Zip dialect (7-ZIP32.DLL):  x|e|l|t [switches] archive [masks...]
// ("l" lists the entries to the output buffer, "t" tests them)
// Switches may come anywhere after the command, case-insensitively, quoted
// or not, up to "--" (after which every word is a name, as in 7-Zip).
//
//   x / e            extract with / without the archive's folders   honoured
//   -o<dir>          destination, right after -o (quoted or not,
//                    with or without a trailing separator)          honoured
//   -i!<mask> -x!<mask>  include / exclude (also -ir!, -xr!...)      honoured
//   -y               yes to every question                           accepted; none are asked
//   -ao[a|s|t|u]     overwrite mode                                  accepted; files are replaced
//   -r -r- -r0       recursion                                       accepted; a mask without a
//                                                                    folder matches in every folder
//   -bd -bb# -bso# -bse# -bsp#  progress and output streams          accepted, ignored
//   -p<password>     password                                        refused: ERROR_NOT_SUPPORT
// Masks and "@listfile" words follow the archive. Commands that make or
// change archives (a, u, d, rn) answer ERROR_NOT_SUPPORT; any
// other command or switch gives ERROR_COMMAND_NAME.
#include <array>

#include "archiver_api.h"
#include "archivers/7z/7z_format.h"
#include "archivers/shared/switch_table.h"
#include "platform/cp932.h"

namespace arc {

namespace {

enum Effect { kIgnore, kDest, kInclude, kExclude, kPassword };

constexpr std::array kSevenZipSwitches = {
    SwitchSpec{"o", SwitchKind::Text, kDest},
    SwitchSpec{"i", SwitchKind::Text, kInclude},
    SwitchSpec{"x", SwitchKind::Text, kExclude},
    SwitchSpec{"p", SwitchKind::Text, kPassword},
    SwitchSpec{"y", SwitchKind::Flag, kIgnore},
    SwitchSpec{"ao", SwitchKind::Text, kIgnore},
    SwitchSpec{"r", SwitchKind::Flag, kIgnore},
    SwitchSpec{"r-", SwitchKind::Flag, kIgnore},
    SwitchSpec{"r0", SwitchKind::Flag, kIgnore},
    SwitchSpec{"bd", SwitchKind::Flag, kIgnore},
    SwitchSpec{"bb", SwitchKind::Number, kIgnore},
    SwitchSpec{"bso", SwitchKind::Number, kIgnore},
    SwitchSpec{"bse", SwitchKind::Number, kIgnore},
    SwitchSpec{"bsp", SwitchKind::Number, kIgnore},
};

bool IsOtherCommand(const std::string& c) {
  for (const char* k : {"a", "u", "d", "rn"})
    if (c == k) return true;
  return false;
}

// The mask of -i / -x: an optional recursion mark (r, r-, r0), then "!".
bool MaskOf(std::string_view value, std::string& mask) {
  for (std::string_view mark : {"r-", "r0", "r", "R-", "R0", "R"})
    if (value.starts_with(mark)) {
      value.remove_prefix(mark.size());
      break;
    }
  if (value.size() < 2 || value[0] != '!') return false;
  mask = value.substr(1);
  return true;
}

// Names and "@listfile" words go to `into`; 0 or ERROR_RESPONSE_READ.
int AddNames(const std::string& word, std::vector<std::string>& into) {
  if (word.size() > 1 && word[0] == '@') {
    try {
      for (auto& name : ReadResponseFile(word.substr(1))) into.push_back(name);
    } catch (const ArcError& e) {
      return e.Code();
    }
    return 0;
  }
  into.push_back(word);
  return 0;
}

}  // namespace

int ParseSevenZipCommand(const std::vector<CmdToken>& tokens, ExtractRequest& req) {
  if (tokens.empty()) return ERROR_COMMAND_NAME;
  std::string command = platform::AsciiLower(tokens[0].text);
  if (command == "l") req.kind = CommandKind::list;
  else if (command == "t") req.kind = CommandKind::test;
  else if (command != "x" && command != "e") return IsOtherCommand(command) ? ERROR_NOT_SUPPORT : ERROR_COMMAND_NAME;
  req.keepFolders = command != "e";
  bool switches = true, archiveGiven = false;
  for (std::size_t i = 1; i < tokens.size(); ++i) {
    const CmdToken& t = tokens[i];
    if (switches && t.text == "--") {
      switches = false;
      continue;
    }
    if (switches && t.text.size() >= 2 && t.text[0] == '-') {
      std::string_view value;
      const SwitchSpec* entry = MatchSwitch(kSevenZipSwitches, std::string_view(t.text).substr(1), true, value);
      if (!entry) return ERROR_COMMAND_NAME;
      std::string mask;
      switch (entry->effect) {
        case kPassword: return ERROR_NOT_SUPPORT;
        case kDest:
          if (value.empty()) return ERROR_COMMAND_NAME;
          req.destDir = value;
          break;
        case kInclude:
        case kExclude:
          if (!MaskOf(value, mask)) return ERROR_COMMAND_NAME;
          if (int r = AddNames(mask, entry->effect == kInclude ? req.include : req.exclude)) return r;
          break;
        default: break;
      }
      continue;
    }
    if (t.text.empty()) continue;
    if (!archiveGiven) {
      req.archive = t.text;
      archiveGiven = true;
    } else if (int r = AddNames(t.text, req.include)) {
      return r;
    }
  }
  return archiveGiven ? 0 : ERROR_NOT_FIND_ARC_FILE;
}

}  // namespace arc
