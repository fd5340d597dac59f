// SPDX-License-Identifier: MIT
#include "drivers/cab32.h"

#include "platform/paths.h"

int TCab32::Run(const CommandRequest& r, std::string& output) {
  const TArchiverOptions& o = r.options;
  const char* word = nullptr;
  std::string arcName = r.arcFileName;
  bool resFile = false;
  switch (r.command) {
    case ArcCommand::Unpack:
      word = "-x";
      arcName = platform::ExpandFileName(arcName);
      resFile = o.ResFileUsage.Contains(ruOnUnpack);
      break;
    case ArcCommand::Pack:
      word = "-a";
      resFile = o.ResFileUsage.Contains(ruOnPack);
      break;
    case ArcCommand::MakeSFX: word = "-f"; break;
    case ArcCommand::RemoveItem:
    case ArcCommand::Update: return Unsupported(r, output);
  }
  TCmdOpt cmd;
  if (o.c == 1) cmd.Add("-o");
  if (o.n > 0 || FOwnerWnd != 0) cmd.Add("-i");
  if (o.r > 0) cmd.Add("-r");
  if (o.x == 0) cmd.Add("-j");
  if (o.ji > 0) cmd.Add("-q");
  cmd.Add(o.UserOptions);
  AddArcAndDir(cmd, arcName, r.baseDir);
  AddFiles(cmd, o, r.files, resFile);
  FCmdLine = word + cmd.CommandText;
  return Module().Command(r.wnd, FCmdLine, output);
}

bool IsCabArchive(const std::string& fileName) { return TCab32::Module().Recognises(fileName); }
