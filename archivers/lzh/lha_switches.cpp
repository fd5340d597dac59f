// SPDX-License-Identifier: MIT
#include "archivers/lzh/lha_switches.h"

#include <array>

#include "archiver_api.h"

namespace arc {

namespace {
constexpr SwitchSpec N(std::string_view name, LhaSwitchEffect e = kLhaIgnore) { return {name, SwitchKind::Number, e}; }
constexpr SwitchSpec T(std::string_view name, LhaSwitchEffect e = kLhaIgnore) { return {name, SwitchKind::Text, e}; }

constexpr std::array kLhaSwitches = {
    SwitchSpec{"+", SwitchKind::Flag, kLhaIgnore},
    N("x", kLhaFolders), T("jx", kLhaExclude), N("r", kLhaRecurse), N("a", kLhaAttributes),
    N("c"), N("e"), N("f"), N("h"), N("i"), N("l"), N("m"), N("n"), N("o"), N("p"),
    N("s"), N("t"), N("u"), N("y"), N("z"), T("w"),
    N("jc"), N("jd"), N("je"), N("jf"), N("jh"), N("ji"), N("jm"), N("jn"), N("jp"), N("jr"), N("jss"),
    N("jw"), N("jyc"), N("jyd"), N("jyk"), N("jyn"), N("jyo"), T("jo"), T("job"), T("jz"),
    N("ga"), N("gd"), N("ge"), N("gf"), N("gj"), N("gm"), N("gn"), N("go"), N("gp"), N("gs"), N("gu"),
    N("gw"), T("gr"),
};
}  // namespace

std::span<const SwitchSpec> LhaSwitches() { return kLhaSwitches; }

int ReadLhaWords(const std::vector<CmdToken>& tokens, PositionalArgs& args,
                 const std::function<void(LhaSwitchEffect effect, std::string_view value)>& onSwitch) {
  bool switches = true;
  for (std::size_t i = 1; i < tokens.size(); ++i) {
    const std::string& t = tokens[i].text;
    if (switches && t.size() >= 2 && t[0] == '-') {
      std::string_view value;
      const SwitchSpec* entry = MatchSwitch(LhaSwitches(), std::string_view(t).substr(1), true, value);
      if (!entry) return ERROR_COMMAND_NAME;
      onSwitch(static_cast<LhaSwitchEffect>(entry->effect), value);
      continue;
    }
    if (switches && t == "-") continue;
    if (!t.empty()) switches = false;
    if (int r = args.Add(tokens[i])) return r;
  }
  return 0;
}

}  // namespace arc
