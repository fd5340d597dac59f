// SPDX-License-Identifier: MIT
#pragma once
// Archive names made from a chart's header: "<artist> - <title>.<ext>".
#include <string>

// A file name any file system of the two platforms takes, from `wanted`
// (UTF-8): characters Windows refuses (\ / : * ? " < > | and control
// characters) and characters code page 932 cannot hold (the list keeps
// archive names in it) become "_", leading spaces and trailing spaces and
// dots go, a device name (CON, NUL, COM1...) gets "_" after it, and a long
// name is cut at a character boundary. "" when nothing is left.
std::string SafeFileName(const std::string& wanted);

// The extension of an archive's name with its dot, two parts for a
// compressed tar (".tar.gz"); "" when none.
std::string ArchiveExtension(const std::string& fileName);

// `stem` + `extension`, or with " (2)", " (3)"... before the extension
// where `taken` says the name is in use.
template <typename Taken>
std::string FreeName(const std::string& stem, const std::string& extension, Taken taken) {
  std::string name = stem + extension;
  for (int n = 2; taken(name) && n < 10000; ++n) name = stem + " (" + std::to_string(n) + ")" + extension;
  return name;
}
