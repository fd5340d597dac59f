// SPDX-License-Identifier: MIT
#pragma once
// The command dialects of the libraries. Each turns a tokenized command
// line into an ExtractRequest and answers 0, or the result code to return
// (ERROR_COMMAND_NAME for an unknown command or switch, ERROR_NOT_SUPPORT
// for a known command that only creates or changes archives,
// ERROR_RESPONSE_READ for an unreadable response file).
#include <span>
#include <vector>

#include "archivers/shared/cmdline.h"
#include "archivers/shared/extract_request.h"
#include "archivers/shared/switch_table.h"

namespace arc {

using DialectParser = int (*)(const std::vector<CmdToken>& tokens, ExtractRequest& req);

// The words after the switches: the archive, then optionally the
// destination (a word ending in "/" or "\"), then file names and "@file"
// response files. Empty words are skipped.
class PositionalArgs {
 public:
  explicit PositionalArgs(ExtractRequest& req, bool archiveGiven = false, bool destGiven = false)
      : req_(req), archiveGiven_(archiveGiven), destGiven_(destGiven) {}
  int Add(const CmdToken& token);
  // 0 when an archive was named, else ERROR_NOT_FIND_ARC_FILE.
  int Finish() const;

 private:
  ExtractRequest& req_;
  bool archiveGiven_;
  bool destGiven_;
  bool filesStarted_ = false;
};

// The shape the short-switch dialects share: the words after the command
// word are switches of `table` up to the first other word, then the
// positional words. A switch whose effect is kJunkFolders extracts flat;
// any switch not in the table is an error.
inline constexpr int kJunkFolders = 1;
int ParseSwitchesThenNames(const std::vector<CmdToken>& tokens, std::span<const SwitchSpec> table,
                           ExtractRequest& req);

// True when the last whole CP932 character is "/" or "\".
bool EndsWithFolderDelimiter(const std::string& s);

}  // namespace arc
