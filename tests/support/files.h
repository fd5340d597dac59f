// SPDX-License-Identifier: MIT
#pragma once
// Files for tests: a fresh folder per test, whole-file reads and writes, the
// tree below a folder, and shell commands run in a folder.
#include <ctime>
#include <map>
#include <string>
#include <vector>

#include "platform/no_copy.h"

namespace test_support {

// A fresh folder below the system's temporary folder, removed with
// everything in it (read-only parts included) when the object goes.
class TempDir : NoCopy {
 public:
  TempDir();
  ~TempDir();
  // The folder with its trailing "/" (file-system name).
  const std::string& Path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + name; }
  // Writes `bytes` to the relative `name`, creating its folders; the full path.
  std::string Write(const std::string& name, const std::string& bytes) const;

 private:
  std::string path_;
};

std::string ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const std::string& bytes);

// Relative file-system name -> bytes of every regular file below `dir`
// (symbolic links are not followed, folders not listed).
std::map<std::string, std::string> FilesUnder(const std::string& dir);
// The same with the folders dropped from the names.
std::map<std::string, std::string> Flattened(const std::map<std::string, std::string>& files);
// Every path below `dir`, folders and links included ("a/", "a/b"), sorted.
std::vector<std::string> TreeOf(const std::string& dir);
std::time_t MtimeOf(const std::string& path);
// The names of the files (not folders) at the top of `dir`, in the order
// the system lists them.
std::vector<std::string> FileNamesAt(const std::string& dir);

// A parameter's name for a test's name: every character but ASCII letters
// and digits made "_".
std::string TestNameOf(std::string text);

// Runs `command` with /bin/sh in `dir`, no input, output discarded; the exit
// status (-1 when it did not exit).
int Shell(const std::string& dir, const std::string& command);
// Single-quoted for the shell.
std::string ShellQuote(const std::string& s);
// Whether `name` is a command on the PATH.
bool HaveTool(const std::string& name);

// Chart-like text lines that compress, and bytes that do not (audio-like).
std::string TextBytes(std::size_t size, unsigned seed);
std::string NoiseBytes(std::size_t size, unsigned seed);
// Chart-like text with Shift-JIS characters mixed in.
std::string SampleText(std::size_t size, unsigned seed);

}  // namespace test_support
