// SPDX-License-Identifier: MIT
#pragma once
// What bmslist-cli needs from the system around it: its arguments in the
// file system's form (UTF-8), absolute paths in the system's form, and its
// streams.
#include <string>
#include <vector>

// The arguments after the program name, UTF-8.
std::vector<std::string> ProgramArguments(int argc, char** argv);

// The absolute system form of a path given in the file system's form: CP932,
// or the marked UTF-8 path where CP932 cannot hold it (platform/path_text.h);
// false when it cannot be made absolute.
bool AbsoluteArchivePath(const std::string& fsPath, std::string& out);

// The absolute file-system form of a path given in that form (the name is
// kept exactly); false with the reason when it cannot be made absolute.
bool AbsoluteFsPath(const std::string& fsPath, std::string& out, std::string& why);

bool StderrIsTerminal();
// CSV bytes go out unchanged (no line-end translation).
void UseBinaryStdout();
