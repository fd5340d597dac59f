#include "archives/cmd_opt.h"

#include "archives/not_set.h"
#include "platform/file_writer.h"
#include "platform/paths.h"

namespace {
constexpr char Q = '"';
}

void TCmdOpt::Add(std::string_view s) {
  CommandText += ' ';
  CommandText += s;
}

void TCmdOpt::AddSwitch(std::string_view name, std::string_view value) {
  if (IsNotSet(value)) return;
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
  platform::FileWriter file(resFileName);
  std::string text;
  for (const std::string& entry : list) {
    text += Q;
    text += NameConverter ? NameConverter(entry) : entry;
    text += Q;
    text += "\r\n";
  }
  file.Write(text.data(), text.size());
  file.Close();
  AddStr("", "@" + resFileName);
}
