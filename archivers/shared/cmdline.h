// SPDX-License-Identifier: MIT
#pragma once
// The command line the drivers send: blank-separated words; a double quote
// starts or ends a quoted stretch in which blanks belong to the word (so
// "-wC:/a b/" and "a b.lzh" are single words). Quotes are removed. An empty
// quoted word ("") is kept as a word; runs of blanks make no words.
#include <string>
#include <string_view>
#include <vector>

namespace arc {

struct CmdToken {
  std::string text;
  bool quoted = false;  // some part of it was in quotes
};

std::vector<CmdToken> TokenizeCommandLine(std::string_view line);

// A response file ("@name" in a file list): one name per line, CR LF or LF,
// either bare or in double quotes; blank lines are skipped. Throws
// ArcError(ERROR_RESPONSE_READ) when it cannot be read or is unreasonably
// large.
std::vector<std::string> ReadResponseFile(const std::string& cp932Path);

// Parses the lines of a response file's contents (see above).
std::vector<std::string> ParseResponseText(std::string_view text);

}  // namespace arc
