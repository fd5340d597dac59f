#include "drivers/rar32.h"

#include "drivers/family_dll.h"

namespace {
TFamilyDll& Dll() {
  static TFamilyDll dll("UNRAR32.DLL", "Unrar", "この機能の使用には UNRAR32.DLL が 必要です。");
  return dll;
}
}  // namespace

void TRar32::LoadDLL() { Dll().LoadDLL(); }
void TRar32::FreeDLL() { Dll().FreeDLL(); }
TFamilyDll& TRar32::ModuleDll() const { return Dll(); }

// x0 (no folders) is UNRAR's -e; anything else extracts with folders.
int TRar32::Unpack(WindowHandle wnd, const std::string& arc, const TArchiverOptions& o, const std::string& baseDir,
                   const TStringList* files, bool, std::string& output) {
  TCmdOpt cmd;
  if (o.c < 1) cmd.Add("-u");
  if (o.m > 0) cmd.Add("-y");
  if (o.p > 0) cmd.Add("-s");
  cmd.Add(o.UserOptions);
  AddArcAndDir(cmd, arc, baseDir);
  AddFiles(cmd, o, files, o.ResFileUsage.Contains(ruOnUnpack));
  FCmdLine = (o.x != 0 ? "-x" : "-e") + cmd.CommandText;
  return Dll().Command(wnd, FCmdLine, output);
}

bool IsRarArchive(const std::string& fileName) { return Dll().Recognises(fileName); }
