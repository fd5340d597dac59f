#include "drivers/family_archiver.h"

#include "platform/paths.h"

HARC TFamilyArchiver::OpenArchive(WindowHandle wnd, const std::string& fileName, std::uint32_t mode) {
  return ModuleDll().OpenArchive(wnd, platform::ExpandFileName(fileName), mode);
}

int TFamilyArchiver::FindFirst(HARC handle, INDIVIDUALINFO* info, const std::string& wildName) {
  return ModuleDll().FindFirst(handle, wildName, info);
}

int TFamilyArchiver::FindNext(HARC handle, INDIVIDUALINFO* info) { return ModuleDll().FindNext(handle, info); }

int TFamilyArchiver::CloseArchive(HARC handle) { return ModuleDll().CloseArchive(handle); }

// The library takes one mode value: the two are added.
int TFamilyArchiver::CheckArchive(const std::string& fileName, int mode, int modeExtra) {
  return ModuleDll().CheckArchive(fileName, mode + modeExtra);
}

// The window is kept also when the library refuses it.
bool TFamilyArchiver::SetOwnerWindow(WindowHandle wnd, ARCHIVERPROC proc) {
  int r = ModuleDll().SetOwnerWindowEx(wnd, proc);
  FOwnerWnd = wnd;
  return r != 0;
}

bool TFamilyArchiver::KillOwnerWindow(WindowHandle wnd) {
  int r = ModuleDll().KillOwnerWindowEx(wnd);
  FOwnerWnd = 0;
  return r != 0;
}
