// SPDX-License-Identifier: MIT
// bmslist-cli's surroundings on Windows: the arguments come from the wide
// command line (the narrow argv would be in the ANSI code page and lose
// what it cannot hold), and standard output is put in binary mode so the
// CSV's bytes are not translated.
#include "cli/cli_system.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>
#include <shellapi.h>

#include <cstdio>

#include "platform/cp932.h"
#include "platform/path_text.h"
#include "platform/paths.h"
#include "platform/win32/wide.h"

std::vector<std::string> ProgramArguments(int, char**) {
  std::vector<std::string> out;
  int n = 0;
  wchar_t** wargv = CommandLineToArgvW(GetCommandLineW(), &n);
  if (!wargv) return out;
  for (int i = 1; i < n; ++i) out.push_back(platform::win32::WideToUtf8(wargv[i]));
  LocalFree(wargv);
  return out;
}

bool AbsoluteArchivePath(const std::string& fsPath, std::string& out) {
  std::wstring wide = platform::win32::FsToWide(fsPath);
  wchar_t full[32768];
  DWORD n = GetFullPathNameW(wide.c_str(), 32768, full, nullptr);
  if (n == 0 || n >= 32768) return false;
  bool exact = true;
  out = platform::win32::WideToCp932(std::wstring_view(full, n), &exact);
  // No twins on Windows: the wide name is the name, exact or UTF-8.
  if (!exact) out = platform::kUtf8PathMark + platform::win32::WideToUtf8(std::wstring_view(full, n));
  return true;
}

bool AbsoluteFsPath(const std::string& fsPath, std::string& out, std::string& why) {
  wchar_t full[32768];
  DWORD n = GetFullPathNameW(platform::win32::FsToWide(fsPath).c_str(), 32768, full, nullptr);
  if (n == 0 || n >= 32768) {
    why = "the path cannot be made absolute";
    return false;
  }
  out = platform::win32::WideToUtf8(std::wstring_view(full, n));
  return true;
}

bool StderrIsTerminal() { return _isatty(_fileno(stderr)) != 0; }

void UseBinaryStdout() { _setmode(_fileno(stdout), _O_BINARY); }
