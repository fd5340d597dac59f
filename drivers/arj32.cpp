// SPDX-License-Identifier: MIT
#include "drivers/arj32.h"

// UNARJ32J.DLL is given no window; the n switch still follows FOwnerWnd
// because the LHA builder is used.
int TArj32::Run(const CommandRequest& r, std::string& output) {
  if (r.command != ArcCommand::Unpack) return TLha32::Run(r, output);
  FCmdLine = BuildLhaCommand("x", r.arcFileName, r.options, r.baseDir, r.files, r.useResFile);
  return Module().Command(0, FCmdLine, output);
}

bool IsArjArchive(const std::string& fileName) { return TArj32::Module().Recognises(fileName); }
