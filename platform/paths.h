// SPDX-License-Identifier: MIT
#pragma once
// Paths as the rest of the system sees them: CP932 byte strings using the
// platform's delimiter. The Windows behaviour "after the last \ or :" reads
// "after the last path delimiter" here. Conversion to the file system's
// UTF-8 names happens in FsName/FromFsName and nowhere else.
#include <string>
#include <string_view>

namespace platform {

#ifdef _WIN32
inline constexpr char kPathDelimiter = '\\';
// "\" and the drive's ":"; the file system also takes "/" between parts.
inline constexpr std::string_view kFsDelimiters = "\\/:";
#else
inline constexpr char kPathDelimiter = '/';
inline constexpr std::string_view kFsDelimiters = "/";
#endif
bool IsPathDelimiter(char c);

// Position of the last delimiter, walking whole CP932 characters; npos if none.
std::size_t LastDelimiterPos(std::string_view path);

// The parts of a path: the name after the last delimiter, the folder up to
// and including it, and the extension from the last "." of the name ("" when
// none).
std::string ExtractFileName(std::string_view path);
std::string ExtractFilePath(std::string_view path);
std::string ExtractFileExt(std::string_view path);
// ChangeFileExt: replaces the extension (or appends one when there is none).
std::string ChangeFileExt(std::string_view path, std::string_view ext);
// True when the last whole character is the delimiter.
bool EndsWithDelimiter(std::string_view path);
std::string IncludeTrailingDelimiter(std::string_view path);

// ExpandFileName: an absolute path against the current folder, with "."
// and ".." parts resolved textually (the file need not exist).
std::string ExpandFileName(std::string_view path);
// The path the system opens for `path` from the current folder, made
// absolute without resolving "." and ".." (a link's ".." is the system's).
std::string AbsolutePath(std::string_view path);

// CP932 <-> file-system (UTF-8) names. A CP932 path may stand for more than
// one name when it holds a twin (see cp932.h): FsName then gives the name
// that exists, part by part, and the usual form where none does.
std::string FsName(std::string_view cp932Path);
std::string FromFsName(std::string_view fsPath);

// A path exactly as the file system holds it (UTF-8), for a file found by
// listing a folder or named by the user: its CP932 form may not come back
// as the same name.
struct FsPath {
  std::string utf8;
};

// GetModuleFileName(0) and its folder (with trailing delimiter).
std::string ExecutablePath();
std::string ExecutableDir();
// The same as the system tells it, whatever a test pretends (each system's
// paths_system.cpp).
std::string RealExecutablePath();

// The archiver libraries' folder of an installed copy: "<prefix>/lib/bmslist/"
// for an executable in "<prefix>/bin/", whether or not it exists.
std::string InstalledLibraryDir();

// The folder that holds the settings file and the folder "work" (trailing
// delimiter). The executable's folder when it is writable and no installed
// copy (a build folder, a portable copy); otherwise $XDG_CONFIG_HOME/bmslist/
// for settings and $XDG_CACHE_HOME/bmslist/ for work (work goes there too
// when the executable's folder holds a double quote, which no archiver
// library command line can carry).
std::string SettingsDir();
std::string WorkParentDir();
// The folder of the data the program keeps (the library index), with
// trailing delimiter: beside the executable where the settings are, else
// $XDG_DATA_HOME/bmslist/ (%LOCALAPPDATA%\bmslist\ on Windows).
std::string DataDir();

// For tests: pretend the executable lives in `dir` (empty restores the truth).
void OverrideExecutableDirForTesting(std::string_view dir);

}  // namespace platform
