#pragma once
// The tar32.dll drivers: TTar32 for plain TAR, TTgz32 (gzip, compress) and
// TBZ232 (bzip2), which differ only in the compression switch and SFX.
#include "archives/archiver.h"
#include "archives/archiver_type.h"

class TTar32 : public TArchiver {
 public:
  TTar32() : TArchiver(&TTar32::LoadDLL) {}

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
  int Run(const char* word, WindowHandle wnd, const std::string& arc, const TArchiverOptions& options,
          const std::string& baseDir, const TStringList* files, bool useResFile, std::string& output);
};

class TTgz32 : public TTar32 {};
class TBZ232 : public TTar32 {};

// The archive type tar32.dll reports: atTar, atTgz, atBZ2 or atNone. Never
// raises.
TArchiverType GetTarType(const std::string& fileName);
