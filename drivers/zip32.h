// SPDX-License-Identifier: MIT
#pragma once
// TZip32 works with up to three libraries: UNZIP32.DLL extracts, ZIP32J.DLL
// creates, LMZIP32.DLL does both. Each entry comes from the first library
// of its own search order that has it.
#include "archives/archiver.h"

class TZip32 : public TArchiver {
 public:
  TZip32() : TArchiver(&TZip32::LoadDLL) {}

  // Loads whichever of the three libraries are present; raises only when
  // none is.
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
  int Pack(WindowHandle wnd, const std::string& arcFileName, const TArchiverOptions& options,
           const std::string& baseDir, const TStringList* files, bool useResFile, std::string& output) override;
  int RemoveItem(WindowHandle wnd, const std::string& arcFileName, const TArchiverOptions& options,
                 const std::string& baseDir, const TStringList* files, bool useResFile, std::string& output) override;
  int Update(WindowHandle wnd, const std::string& arcFileName, const TArchiverOptions& options,
             const std::string& baseDir, const TStringList* files, bool useResFile, std::string& output) override;
  int MakeSFX(WindowHandle wnd, const std::string& arcFileName, const TArchiverOptions& options,
              const std::string& baseDir, std::string& output) override;
  int CheckArchive(const std::string& fileName, int mode, int modeExtra) override;
  bool SetOwnerWindow(WindowHandle wnd, ARCHIVERPROC proc) override;
  bool KillOwnerWindow(WindowHandle wnd) override;
  int ListExtractMem(const std::string& cmdLine, ENTRYMEMPROC proc, void* context) override;

 private:
  int RunZip(WindowHandle wnd, std::string cmdLine, std::string& output);
};

bool IsZipArchive(const std::string& fileName);
