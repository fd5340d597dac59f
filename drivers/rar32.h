#pragma once
// TRar32 extracts through UNRAR32.DLL; it cannot create or change archives.
#include "archives/archiver.h"

class TRar32 : public TArchiver {
 public:
  TRar32() : TArchiver(&TRar32::LoadDLL) {}

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

bool IsRarArchive(const std::string& fileName);
