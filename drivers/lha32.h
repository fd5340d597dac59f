#pragma once
// TLha32 drives UNLHA32.DLL; its command builder is the LHA switch list,
// which TArj32 shares.
#include "drivers/family_archiver.h"

class TFamilyDll;

class TLha32 : public TFamilyArchiver {
 public:
  TLha32() : TLha32(&TLha32::LoadDLL) {}

  static void LoadDLL();
  static void FreeDLL();
  void ClassLoadDLL() const override { LoadDLL(); }
  void ClassFreeDLL() const override { FreeDLL(); }

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

 protected:
  TFamilyDll& ModuleDll() const override;
  // For subclasses that load a library of their own instead.
  explicit TLha32(ClassLoad loadDLL) : TFamilyArchiver(loadDLL) {}

  // The whole LHA command line: the command word followed by the switches
  // of `options`, the archive, the base folder and the files.
  std::string BuildLhaCommand(const char* word, const std::string& arcFileName, const TArchiverOptions& options,
                              const std::string& baseDir, const TStringList* files, bool useResFile) const;

 private:
  int Run(TFamilyDll& dll, WindowHandle wnd, std::string cmdLine, std::string& output);
};

// Whether UNLHA32.DLL can open the file; never raises.
bool IsLhaArchive(const std::string& fileName);
