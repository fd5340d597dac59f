#include "drivers/cab32.h"

#include "drivers/family_dll.h"
#include "platform/paths.h"

namespace {
TFamilyDll& Dll() {
  static TFamilyDll dll("CAB32.DLL", "Cab", "CAB 形式書庫を扱うには CAB32.DLL が 必要です。");
  return dll;
}
}  // namespace

void TCab32::LoadDLL() { Dll().LoadDLL(); }
void TCab32::FreeDLL() { Dll().FreeDLL(); }

HARC TCab32::OpenArchive(WindowHandle wnd, const std::string& fileName, std::uint32_t mode) {
  return Dll().OpenArchive(wnd, platform::ExpandFileName(fileName), mode);
}

int TCab32::FindFirst(HARC handle, INDIVIDUALINFO* info, const std::string& wildName) {
  return Dll().FindFirst(handle, wildName, info);
}

int TCab32::FindNext(HARC handle, INDIVIDUALINFO* info) { return Dll().FindNext(handle, info); }
int TCab32::CloseArchive(HARC handle) { return Dll().CloseArchive(handle); }

int TCab32::Run(const char* word, WindowHandle wnd, const std::string& arcName, const TArchiverOptions& o,
                const std::string& baseDir, const TStringList* files, bool useResFile, std::string& output) {
  TCmdOpt cmd;
  if (o.c == 1) cmd.Add("-o");
  if (o.n > 0 || FOwnerWnd != 0) cmd.Add("-i");
  if (o.r > 0) cmd.Add("-r");
  if (o.x == 0) cmd.Add("-j");
  if (o.ji > 0) cmd.Add("-q");
  cmd.Add(o.UserOptions);
  AddArcAndDir(cmd, arcName, baseDir);
  AddFiles(cmd, o, files, useResFile);
  FCmdLine = word + cmd.CommandText;
  return Dll().Command(wnd, FCmdLine, output);
}

int TCab32::Unpack(WindowHandle wnd, const std::string& arc, const TArchiverOptions& o, const std::string& baseDir,
                   const TStringList* files, bool, std::string& output) {
  return Run("-x", wnd, platform::ExpandFileName(arc), o, baseDir, files, o.ResFileUsage.Contains(ruOnUnpack),
             output);
}

int TCab32::Pack(WindowHandle wnd, const std::string& arc, const TArchiverOptions& o, const std::string& baseDir,
                 const TStringList* files, bool, std::string& output) {
  return Run("-a", wnd, arc, o, baseDir, files, o.ResFileUsage.Contains(ruOnPack), output);
}

int TCab32::MakeSFX(WindowHandle wnd, const std::string& arc, const TArchiverOptions& o, const std::string& baseDir,
                    std::string& output) {
  return Run("-f", wnd, arc, o, baseDir, nullptr, false, output);
}

int TCab32::CheckArchive(const std::string& fileName, int mode, int modeExtra) {
  return Dll().CheckArchive(fileName, mode + modeExtra);
}

bool TCab32::SetOwnerWindow(WindowHandle wnd, ARCHIVERPROC proc) {
  int r = Dll().SetOwnerWindowEx(wnd, proc);
  FOwnerWnd = wnd;
  return r != 0;
}

bool TCab32::KillOwnerWindow(WindowHandle wnd) {
  int r = Dll().KillOwnerWindowEx(wnd);
  FOwnerWnd = 0;
  return r != 0;
}

bool IsCabArchive(const std::string& fileName) { return Dll().Recognises(fileName); }
