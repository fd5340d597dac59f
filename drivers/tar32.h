#pragma once
// The tar32.dll drivers: TTar32 for plain TAR, TTgz32 (gzip, compress) and
// TBZ232 (bzip2), which differ only in the compression switch and SFX.
#include "drivers/family_archiver.h"
#include "archives/archiver_type.h"

class TTar32 : public TFamilyArchiver {
 public:
  TTar32() : TFamilyArchiver(&TTar32::LoadDLL) {}

  static void LoadDLL();
  static void FreeDLL();
  void ClassLoadDLL() const override { LoadDLL(); }
  void ClassFreeDLL() const override { FreeDLL(); }

  int Unpack(WindowHandle wnd, const std::string& arcFileName, const TArchiverOptions& options,
             const std::string& baseDir, const TStringList* files, bool useResFile, std::string& output) override;
  int Pack(WindowHandle wnd, const std::string& arcFileName, const TArchiverOptions& options,
           const std::string& baseDir, const TStringList* files, bool useResFile, std::string& output) override;
  int MakeSFX(WindowHandle wnd, const std::string& arcFileName, const TArchiverOptions& options,
              const std::string& baseDir, std::string& output) override;

 protected:
  TFamilyDll& ModuleDll() const override;

 private:
  int Run(const char* word, WindowHandle wnd, const std::string& arc, const TArchiverOptions& options,
          const std::string& baseDir, const TStringList* files, bool useResFile, std::string& output);
};

class TTgz32 : public TTar32 {};
class TBZ232 : public TTar32 {};

// The archive type tar32.dll reports: atTar, atTgz, atBZ2 or atNone. Never
// raises.
TArchiverType GetTarType(const std::string& fileName);
