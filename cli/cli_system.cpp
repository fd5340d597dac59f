// SPDX-License-Identifier: MIT
#include "cli/cli_system.h"

#include <unistd.h>

#include <filesystem>

#include "platform/cp932.h"
#include "platform/path_text.h"
#include "platform/paths.h"

std::vector<std::string> ProgramArguments(int argc, char** argv) { return std::vector<std::string>(argv + 1, argv + argc); }

// The current folder is prefixed before converting, so that a folder name
// CP932 cannot hold makes the whole path UTF-8. A twin (〜 for ～) stays
// CP932: the file that exists is found again by that form.
bool AbsoluteArchivePath(const std::string& fsPath, std::string& out) {
  std::error_code ec;
  std::filesystem::path absolute = std::filesystem::absolute(fsPath, ec);
  if (ec) return false;
  out = platform::ExpandFileName(platform::PathFromUtf8(absolute.string()));
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
