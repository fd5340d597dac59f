// SPDX-License-Identifier: MIT
#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <cstring>

#include "platform/desktop/file_actions.h"

extern char** environ;

namespace platform {

namespace {

// One word for the shell, whatever the name holds.
std::string ShellQuoted(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

}  // namespace

bool StartProgram(const std::string& command, const std::string& file, std::string& error) {
  std::string line = command;
  const std::string word = ShellQuoted(file);
  if (line.find("%f") == std::string::npos) {
    line += " " + word;
  } else {
    for (std::size_t at = line.find("%f"); at != std::string::npos; at = line.find("%f", at + word.size()))
      line.replace(at, 2, word);
  }
  // The shell runs the program in the background and ends at once, so the
  // program is never left a zombie of ours.
  const std::string detached = "(" + line + ") </dev/null >/dev/null 2>&1 &";
  const char* argv[] = {"/bin/sh", "-c", detached.c_str(), nullptr};
  pid_t pid = 0;
  int err = posix_spawn(&pid, "/bin/sh", nullptr, nullptr, const_cast<char**>(argv), environ);
  if (err != 0) {
    error = std::strerror(err);
    return false;
  }
  int status = 0;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    error = "the command could not be started";
    return false;
  }
  return true;
}

}  // namespace platform
