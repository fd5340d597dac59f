// SPDX-License-Identifier: MIT
#include "archiver_api.h"
#include "archivers/shared/archive_reader.h"
#include "archivers/shared/dialects.h"
#include "archivers/shared/unicode_mode.h"
#include "platform/cp932.h"

namespace arc {

bool EndsWithFolderDelimiter(const std::string& s) {
  // UTF-8 has no "/" or "\" inside a character.
  if (UnicodeMode()) return !s.empty() && (s.back() == '/' || s.back() == '\\');
  std::size_t p = platform::LastCharPos(s);
  return p != std::string::npos && p == s.size() - 1 && (s[p] == '/' || s[p] == '\\');
}

int PositionalArgs::Add(const CmdToken& token) {
  if (token.text.empty()) return 0;
  if (!archiveGiven_) {
    req_.archive = token.text;
    archiveGiven_ = true;
    return 0;
  }
  if (!destGiven_ && !filesStarted_ && EndsWithFolderDelimiter(token.text)) {
    req_.destDir = token.text;
    destGiven_ = true;
    return 0;
  }
  filesStarted_ = true;
  if (token.text[0] == '@' && token.text.size() > 1) {
    try {
      for (auto& name : ReadResponseFile(token.text.substr(1))) req_.include.push_back(name);
    } catch (const ArcError& e) {
      return e.Code();
    }
    return 0;
  }
  req_.include.push_back(token.text);
  return 0;
}

int PositionalArgs::Finish() const { return archiveGiven_ ? 0 : ERROR_NOT_FIND_ARC_FILE; }

int ParseSwitchesThenNames(const std::vector<CmdToken>& tokens, std::span<const SwitchSpec> table,
                           ExtractRequest& req) {
  PositionalArgs args(req);
  bool switches = true;
  for (std::size_t i = 1; i < tokens.size(); ++i) {
    const std::string& t = tokens[i].text;
    if (switches && t.size() >= 2 && t[0] == '-' && !tokens[i].quoted) {
      std::string_view value;
      const SwitchSpec* entry = MatchSwitch(table, std::string_view(t).substr(1), false, value);
      if (!entry) return ERROR_COMMAND_NAME;
      if (entry->effect == kJunkFolders) req.keepFolders = false;
      continue;
    }
    if (!t.empty()) switches = false;
    if (int r = args.Add(tokens[i])) return r;
  }
  return args.Finish();
}

}  // namespace arc
