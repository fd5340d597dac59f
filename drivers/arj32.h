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

  int Unpack(WindowHandle wnd, const std::string& arcFileName, const TArchiverOptions& options,
             const std::string& baseDir, const TStringList* files, bool useResFile, std::string& output) override;

 protected:
  TFamilyDll& ModuleDll() const override;
};

bool IsArjArchive(const std::string& fileName);
