#pragma once
// TCab32 drives CAB32.DLL: extracting, creating and self-extractors.
#include "archives/archiver.h"

class TCab32 : public TArchiver {
 public:
  TCab32() : TArchiver(&TCab32::LoadDLL) {}

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
  int MakeSFX(WindowHandle wnd, const std::string& arcFileName, const TArchiverOptions& options,
              const std::string& baseDir, std::string& output) override;
  int CheckArchive(const std::string& fileName, int mode, int modeExtra) override;
  bool SetOwnerWindow(WindowHandle wnd, ARCHIVERPROC proc) override;
  bool KillOwnerWindow(WindowHandle wnd) override;

 private:
  int Run(const char* word, WindowHandle wnd, const std::string& arcName, const TArchiverOptions& options,
          const std::string& baseDir, const TStringList* files, bool useResFile, std::string& output);
};

bool IsCabArchive(const std::string& fileName);
