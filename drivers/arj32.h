#pragma once
// TArj32 extracts through UNARJ32J.DLL with the LHA command line; creating,
// deleting, updating and self-extractors stay the LHA driver's (UNLHA32.DLL).
#include "drivers/lha32.h"

class TArj32 : public TLha32 {
 public:
  TArj32() : TLha32(&TArj32::LoadDLL) {}

  static void LoadDLL();
  static void FreeDLL();
  void ClassLoadDLL() const override { LoadDLL(); }
  void ClassFreeDLL() const override { FreeDLL(); }

  HARC OpenArchive(WindowHandle wnd, const std::string& fileName, std::uint32_t mode) override;
  int FindFirst(HARC handle, INDIVIDUALINFO* info, const std::string& wildName) override;
  int FindNext(HARC handle, INDIVIDUALINFO* info) override;
  int CloseArchive(HARC handle) override;
  int Unpack(WindowHandle wnd, const std::string& arcFileName, const TArchiverOptions& options,
             const std::string& baseDir, const TStringList* files, bool useResFile, std::string& output) override;
  int CheckArchive(const std::string& fileName, int mode, int modeExtra) override;
  bool SetOwnerWindow(WindowHandle wnd, ARCHIVERPROC proc) override;
  bool KillOwnerWindow(WindowHandle wnd) override;
};

bool IsArjArchive(const std::string& fileName);
