#include "drivers/arj32.h"

#include "drivers/family_dll.h"
#include "platform/paths.h"

namespace {
TFamilyDll& Dll() {
  static TFamilyDll dll("UNARJ32J.DLL", "Unarj", "ARJ 形式書庫を扱うには UNARJ32J.DLL が 必要です。");
  return dll;
}
}  // namespace

void TArj32::LoadDLL() { Dll().LoadDLL(); }
void TArj32::FreeDLL() { Dll().FreeDLL(); }

HARC TArj32::OpenArchive(WindowHandle wnd, const std::string& fileName, std::uint32_t mode) {
  return Dll().OpenArchive(wnd, platform::ExpandFileName(fileName), mode);
}

int TArj32::FindFirst(HARC handle, INDIVIDUALINFO* info, const std::string& wildName) {
  return Dll().FindFirst(handle, wildName, info);
}

int TArj32::FindNext(HARC handle, INDIVIDUALINFO* info) { return Dll().FindNext(handle, info); }
int TArj32::CloseArchive(HARC handle) { return Dll().CloseArchive(handle); }

// UNARJ32J.DLL is given no window; the n switch still follows FOwnerWnd
// because the LHA builder is used.
int TArj32::Unpack(WindowHandle, const std::string& arc, const TArchiverOptions& o, const std::string& baseDir,
                   const TStringList* files, bool useResFile, std::string& output) {
  FCmdLine = BuildLhaCommand("x", arc, o, baseDir, files, useResFile);
  return Dll().Command(0, FCmdLine, output);
}

int TArj32::CheckArchive(const std::string& fileName, int mode, int modeExtra) {
  return Dll().CheckArchive(fileName, mode + modeExtra);
}

bool TArj32::SetOwnerWindow(WindowHandle wnd, ARCHIVERPROC proc) {
  int r = Dll().SetOwnerWindowEx(wnd, proc);
  FOwnerWnd = wnd;
  return r != 0;
}

bool TArj32::KillOwnerWindow(WindowHandle wnd) {
  int r = Dll().KillOwnerWindowEx(wnd);
  FOwnerWnd = 0;
  return r != 0;
}

bool IsArjArchive(const std::string& fileName) { return Dll().Recognises(fileName); }
