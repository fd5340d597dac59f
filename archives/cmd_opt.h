// SPDX-License-Identifier: MIT
#pragma once
// Builds one archiver command line piece by piece. Every piece goes after one
// blank, so a non-empty CommandText starts with a blank and the driver puts
// its command word straight in front of it.
#include <functional>
#include <string>
#include <string_view>

#include "archives/string_list.h"

class TCmdOpt {
 public:
  // false: Q + switch + value + Q; true: switch + blank + Q + value + Q.
  bool QuoteValueOnly = false;
  // Applied to every file name given to AddFile, AddFileList and AddResFile.
  std::function<std::string(const std::string&)> NameConverter;
  std::string CommandText;

  // Appends a blank and `s`, also when `s` is empty.
  void Add(std::string_view s);
  // Name is the switch without its "-"; a Name starting with a blank is the
  // complete switch text after that blank. An empty Name quotes the value
  // alone. A `not set` value adds nothing; an empty one is still written.
  // A value holding a double quote cannot be quoted: EArchiver.
  void AddSwitch(std::string_view name, std::string_view value);
  // -1 adds nothing; otherwise "-" + name + value, unquoted.
  void AddInt(std::string_view name, int value);
  void AddStr(std::string_view name, std::string_view value) { AddSwitch(name, value); }
  // Nothing for an empty or `not set` folder; otherwise the folder with one
  // trailing path delimiter.
  void AddDir(std::string_view name, std::string_view dir);
  void AddFile(std::string_view name, const std::string& fileName);
  void AddFileList(std::string_view name, const TStringList& list);
  // Writes the names, quoted, one per CR LF line, to `resFileName` (left on
  // disk), then adds the quoted "@" reference. A file error propagates and
  // adds nothing; a name holding a quote or a line feed raises EArchiver
  // before the file is touched.
  void AddResFile(const TStringList& list, const std::string& resFileName);
};
