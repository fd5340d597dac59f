// SPDX-License-Identifier: MIT
#include "drivers/rar32.h"

// x0 (no folders) is UNRAR's -e; anything else extracts with folders.
int TRar32::Run(const CommandRequest& r, std::string& output) {
  if (r.command != ArcCommand::Unpack) return Unsupported(r, output);
  const TArchiverOptions& o = r.options;
  TCmdOpt cmd;
  if (o.c < 1) cmd.Add("-u");
  if (o.m > 0) cmd.Add("-y");
  if (o.p > 0) cmd.Add("-s");
  cmd.Add(o.UserOptions);
  AddArcAndDir(cmd, r.arcFileName, r.baseDir);
  AddFiles(cmd, o, r.files, o.ResFileUsage.Contains(ruOnUnpack));
  FCmdLine = (o.x != 0 ? "-x" : "-e") + cmd.CommandText;
  return Module().Command(r.wnd, FCmdLine, output);
}

bool IsRarArchive(const std::string& fileName) { return TRar32::Module().Recognises(fileName); }
