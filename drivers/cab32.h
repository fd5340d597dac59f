#pragma once
// TCab32 drives CAB32.DLL: extracting, creating and self-extractors.
#include "drivers/family_archiver.h"

class TCab32 : public TFamilyArchiver {
 public:
  TCab32() : TFamilyArchiver(&TCab32::LoadDLL) {}

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
  int Run(const char* word, WindowHandle wnd, const std::string& arcName, const TArchiverOptions& options,
          const std::string& baseDir, const TStringList* files, bool useResFile, std::string& output);
};

bool IsCabArchive(const std::string& fileName);
