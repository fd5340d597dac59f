#pragma once
// TRar32 extracts through UNRAR32.DLL; it cannot create or change archives.
#include "drivers/family_archiver.h"

class TRar32 : public TFamilyArchiver {
 public:
  TRar32() : TFamilyArchiver(&TRar32::LoadDLL) {}

  static void LoadDLL();
  static void FreeDLL();
  void ClassLoadDLL() const override { LoadDLL(); }
  void ClassFreeDLL() const override { FreeDLL(); }

  int Unpack(WindowHandle wnd, const std::string& arcFileName, const TArchiverOptions& options,
             const std::string& baseDir, const TStringList* files, bool useResFile, std::string& output) override;

 protected:
  TFamilyDll& ModuleDll() const override;
};

bool IsRarArchive(const std::string& fileName);
