#pragma once
// The slots every one-library driver hands straight to its own library:
// listing, checking and the owner window. A driver names its module state
// with ModuleDll(); its command operations stay its own.
#include "archives/archiver.h"
#include "drivers/family_dll.h"

class TFamilyArchiver : public TArchiver {
 public:
  HARC OpenArchive(WindowHandle wnd, const std::string& fileName, std::uint32_t mode) override;
  int FindFirst(HARC handle, INDIVIDUALINFO* info, const std::string& wildName) override;
  int FindNext(HARC handle, INDIVIDUALINFO* info) override;
  int CloseArchive(HARC handle) override;
  int CheckArchive(const std::string& fileName, int mode, int modeExtra) override;
  bool SetOwnerWindow(WindowHandle wnd, ARCHIVERPROC proc) override;
  bool KillOwnerWindow(WindowHandle wnd) override;

 protected:
  using TArchiver::TArchiver;
  virtual TFamilyDll& ModuleDll() const = 0;
};
