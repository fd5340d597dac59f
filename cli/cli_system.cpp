// SPDX-License-Identifier: MIT
#include "cli/cli_system.h"

#include <unistd.h>

#include <filesystem>

#include "platform/cp932.h"
#include "platform/paths.h"

std::vector<std::string> ProgramArguments(int argc, char** argv) { return std::vector<std::string>(argv + 1, argv + argc); }

// The current folder is prefixed before converting, so that a folder name
// CP932 cannot hold is noticed rather than turned into "?". A twin (〜 for
// ～) is fine: the file that exists is found again by that form.
bool AbsoluteCp932Path(const std::string& fsPath, std::string& out) {
  std::error_code ec;
  std::filesystem::path absolute = std::filesystem::absolute(fsPath, ec);
  std::string cp932;
  if (ec || !platform::TryUtf8ToCp932AllowingTwins(absolute.string(), cp932)) return false;
  out = platform::ExpandFileName(cp932);
  return true;
}

bool AbsoluteFsPath(const std::string& fsPath, std::string& out, std::string& why) {
  std::error_code ec;
  out = std::filesystem::absolute(fsPath, ec).lexically_normal().string();
  if (ec) why = ec.message();
  return !ec;
}

bool StderrIsTerminal() { return isatty(STDERR_FILENO) != 0; }

void UseBinaryStdout() {}
