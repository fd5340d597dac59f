// SPDX-License-Identifier: MIT
#include "archives/cmd_opt.h"

#include "archives/earchiver.h"
#include "archives/not_set.h"
#include "platform/file_writer.h"
#include "archives/unicode_line.h"
#include "platform/path_text.h"
#include "platform/paths.h"

namespace {
constexpr char Q = '"';

// The libraries end a quoted word at the next quote and read what follows as
// further words: a name holding one (legal in file names here) would turn
// into another archive, folder or file list, and the library would write
// where the name says. Such text is refused before anything is sent.
void RequireQuotable(std::string_view value, std::string_view forbidden) {
  if (value.find_first_of(forbidden) != std::string_view::npos)
    throw EArchiver(std::string(value) + Cp932Text(" は書庫 DLL に渡せない文字を含んでいます。"));
}
}  // namespace

void TCmdOpt::Add(std::string_view s) {
  CommandText += ' ';
  CommandText += s;
}

void TCmdOpt::AddSwitch(std::string_view name, std::string_view value) {
  if (IsNotSet(value)) return;
  RequireQuotable(value, "\"");
  std::string piece;
  if (name.empty()) {
    piece = Q + std::string(value) + Q;
  } else {
    std::string sw = name[0] == ' ' ? std::string(name.substr(1)) : "-" + std::string(name);
    if (QuoteValueOnly)
      piece = sw + ' ' + Q + std::string(value) + Q;
    else
      piece = Q + sw + std::string(value) + Q;
  }
  Add(piece);
}

void TCmdOpt::AddInt(std::string_view name, int value) {
  if (value == -1) return;
  Add("-" + std::string(name) + std::to_string(value));
}

void TCmdOpt::AddDir(std::string_view name, std::string_view dir) {
  if (dir.empty() || IsNotSet(dir)) return;
  AddStr(name, platform::IncludeTrailingDelimiter(dir));
}

void TCmdOpt::AddFile(std::string_view name, const std::string& fileName) {
  AddStr(name, NameConverter ? NameConverter(fileName) : fileName);
}

void TCmdOpt::AddFileList(std::string_view name, const TStringList& list) {
  for (const std::string& entry : list) AddFile(name, entry);
}

void TCmdOpt::AddResFile(const TStringList& list, const std::string& resFileName) {
  // Built first, so that a name the file cannot hold (a quote, or a line
  // break that would make two names of it) leaves any old file untouched.
  std::string text;
  for (const std::string& entry : list) {
    std::string name = NameConverter ? NameConverter(entry) : entry;
    RequireQuotable(name, "\"\n");
    text += Q;
    text += name;
    text += Q;
    text += "\r\n";
  }
  // A name CP932 cannot hold makes the file UTF-8, and the call with it:
  // the reference is then marked too, so the library reads it in that mode.
  const bool utf8 = NeedsUnicode(text);
  if (utf8) text = Utf8CommandText(text);
  platform::FileWriter file(resFileName);
  file.Write(text.data(), text.size());
  file.Close();
  if (utf8 && !platform::IsUtf8Path(resFileName))
    AddStr("", "@" + (platform::kUtf8PathMark + platform::PathUtf8(resFileName)));
  else
    AddStr("", "@" + resFileName);
}
