// SPDX-License-Identifier: MIT
#include "drivers/family_archiver.h"

#include <stdexcept>

#include "platform/paths.h"

HARC TFamilyArchiver::OpenArchive(WindowHandle wnd, const std::string& fileName, std::uint32_t mode) {
  return ModuleDll().OpenArchive(wnd, platform::ExpandFileName(fileName), mode);
}

int TFamilyArchiver::FindFirst(HARC handle, INDIVIDUALINFO* info, const std::string& wildName) {
  return ModuleDll().FindFirst(handle, wildName, info);
}

int TFamilyArchiver::FindNext(HARC handle, INDIVIDUALINFO* info) { return ModuleDll().FindNext(handle, info); }

int TFamilyArchiver::CloseArchive(HARC handle) { return ModuleDll().CloseArchive(handle); }

int TFamilyArchiver::ListExtractMem(const std::string& cmdLine, ENTRYMEMPROC proc, void* context) {
  return ModuleDll().ListExtractMem(cmdLine, proc, context);
}

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

int TFamilyArchiver::Unpack(WindowHandle wnd, const std::string& arc, const TArchiverOptions& o,
                            const std::string& baseDir, const TStringList* files, bool useResFile,
                            std::string& output) {
  return Run({ArcCommand::Unpack, wnd, arc, o, baseDir, files, useResFile}, output);
}

int TFamilyArchiver::Pack(WindowHandle wnd, const std::string& arc, const TArchiverOptions& o,
                          const std::string& baseDir, const TStringList* files, bool useResFile,
                          std::string& output) {
  return Run({ArcCommand::Pack, wnd, arc, o, baseDir, files, useResFile}, output);
}

int TFamilyArchiver::RemoveItem(WindowHandle wnd, const std::string& arc, const TArchiverOptions& o,
                                const std::string& baseDir, const TStringList* files, bool useResFile,
                                std::string& output) {
  return Run({ArcCommand::RemoveItem, wnd, arc, o, baseDir, files, useResFile}, output);
}

int TFamilyArchiver::Update(WindowHandle wnd, const std::string& arc, const TArchiverOptions& o,
                            const std::string& baseDir, const TStringList* files, bool useResFile,
                            std::string& output) {
  return Run({ArcCommand::Update, wnd, arc, o, baseDir, files, useResFile}, output);
}

int TFamilyArchiver::MakeSFX(WindowHandle wnd, const std::string& arc, const TArchiverOptions& o,
                             const std::string& baseDir, std::string& output) {
  return Run({ArcCommand::MakeSFX, wnd, arc, o, baseDir, nullptr, false}, output);
}

int TFamilyArchiver::Unsupported(const CommandRequest& r, std::string& output) {
  switch (r.command) {
    case ArcCommand::Unpack: break;  // every driver extracts
    case ArcCommand::Pack:
      return TArchiver::Pack(r.wnd, r.arcFileName, r.options, r.baseDir, r.files, r.useResFile, output);
    case ArcCommand::RemoveItem:
      return TArchiver::RemoveItem(r.wnd, r.arcFileName, r.options, r.baseDir, r.files, r.useResFile, output);
    case ArcCommand::Update:
      return TArchiver::Update(r.wnd, r.arcFileName, r.options, r.baseDir, r.files, r.useResFile, output);
    case ArcCommand::MakeSFX: return TArchiver::MakeSFX(r.wnd, r.arcFileName, r.options, r.baseDir, output);
  }
  throw std::logic_error("a driver without Unpack");
}
