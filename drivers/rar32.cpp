#include "drivers/rar32.h"

#include "drivers/family_dll.h"
#include "platform/paths.h"

namespace {
TFamilyDll& Dll() {
  static TFamilyDll dll("UNRAR32.DLL", "Unrar", "この機能の使用には UNRAR32.DLL が 必要です。");
  return dll;
}
}  // namespace

void TRar32::LoadDLL() { Dll().LoadDLL(); }
void TRar32::FreeDLL() { Dll().FreeDLL(); }

HARC TRar32::OpenArchive(WindowHandle wnd, const std::string& fileName, std::uint32_t mode) {
  return Dll().OpenArchive(wnd, platform::ExpandFileName(fileName), mode);
}

int TRar32::FindFirst(HARC handle, INDIVIDUALINFO* info, const std::string& wildName) {
  return Dll().FindFirst(handle, wildName, info);
}

int TRar32::FindNext(HARC handle, INDIVIDUALINFO* info) { return Dll().FindNext(handle, info); }
int TRar32::CloseArchive(HARC handle) { return Dll().CloseArchive(handle); }

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

int TRar32::CheckArchive(const std::string& fileName, int mode, int modeExtra) {
  return Dll().CheckArchive(fileName, mode + modeExtra);
}

bool TRar32::SetOwnerWindow(WindowHandle wnd, ARCHIVERPROC proc) {
  int r = Dll().SetOwnerWindowEx(wnd, proc);
  FOwnerWnd = wnd;
  return r != 0;
}

bool TRar32::KillOwnerWindow(WindowHandle wnd) {
  int r = Dll().KillOwnerWindowEx(wnd);
  FOwnerWnd = 0;
  return r != 0;
}

bool IsRarArchive(const std::string& fileName) { return Dll().Recognises(fileName); }
