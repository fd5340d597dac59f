#pragma once
// Command line of bmslist-cli.
#include <string>
#include <vector>

struct CliArgs {
  std::string csvPath;             // file system (UTF-8) form; empty: standard output
  std::vector<std::string> paths;  // as given, file system form
  bool help = false;
  bool version = false;
  std::string error;               // a usage error, when not empty
};

CliArgs ParseCliArgs(const std::vector<std::string>& args);
extern const char* const kCliUsage;
