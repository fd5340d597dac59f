// SPDX-License-Identifier: MIT
#pragma once
// What every one-library driver shares:
//  - TFamilyArchiver hands listing, checking and the owner window straight
//    to the driver's library, and turns the five command slots into one
//    request for the driver's Run;
//  - FamilyDriver<Self> gives a driver class its module state (Self::kLibrary
//    names the library) and the class-level LoadDLL/FreeDLL that act on it.
#include "archives/archiver.h"
#include "drivers/family_dll.h"

enum class ArcCommand { Unpack, Pack, RemoveItem, Update, MakeSFX };

// One command slot's arguments. MakeSFX has no file list (`files` null,
// `useResFile` false).
struct CommandRequest {
  ArcCommand command;
  WindowHandle wnd;
  const std::string& arcFileName;
  const TArchiverOptions& options;
  const std::string& baseDir;
  const TStringList* files;
  bool useResFile;
};

class TFamilyArchiver : public TArchiver {
 public:
  HARC OpenArchive(WindowHandle wnd, const std::string& fileName, std::uint32_t mode) override;
  int FindFirst(HARC handle, INDIVIDUALINFO* info, const std::string& wildName) override;
  int FindNext(HARC handle, INDIVIDUALINFO* info) override;
  int CloseArchive(HARC handle) override;
  int CheckArchive(const std::string& fileName, int mode, int modeExtra) override;
  bool SetOwnerWindow(WindowHandle wnd, ARCHIVERPROC proc) override;
  bool KillOwnerWindow(WindowHandle wnd) override;
  int ListExtractMem(const std::string& cmdLine, ENTRYMEMPROC proc, void* context) override;

  int Unpack(WindowHandle wnd, const std::string& arcFileName, const TArchiverOptions& options,
             const std::string& baseDir, const TStringList* files, bool useResFile, std::string& output) final;
  int Pack(WindowHandle wnd, const std::string& arcFileName, const TArchiverOptions& options,
           const std::string& baseDir, const TStringList* files, bool useResFile, std::string& output) final;
  int RemoveItem(WindowHandle wnd, const std::string& arcFileName, const TArchiverOptions& options,
                 const std::string& baseDir, const TStringList* files, bool useResFile, std::string& output) final;
  int Update(WindowHandle wnd, const std::string& arcFileName, const TArchiverOptions& options,
             const std::string& baseDir, const TStringList* files, bool useResFile, std::string& output) final;
  int MakeSFX(WindowHandle wnd, const std::string& arcFileName, const TArchiverOptions& options,
              const std::string& baseDir, std::string& output) final;

 protected:
  using TArchiver::TArchiver;
  virtual TFamilyDll& ModuleDll() const = 0;
  // Builds FCmdLine for the request and runs it; a command the driver lacks
  // goes to Unsupported.
  virtual int Run(const CommandRequest& request, std::string& output) = 0;
  // The base driver's refusal of the request's command (raises EArchiver).
  int Unsupported(const CommandRequest& request, std::string& output);
};

// The library a driver class drives: file name, entry-name prefix (Unlha,
// Unzip...) and the UTF-8 text raised when it cannot be loaded.
struct FamilyLibrary {
  const char* fileName;
  const char* prefix;
  const char* missing;
  // The library must not be entered by two threads at once.
  bool oneCallAtATime = false;
};

template <class Self, class Base = TFamilyArchiver>
class FamilyDriver : public Base {
 public:
  static void LoadDLL() { Module().LoadDLL(); }
  static void FreeDLL() { Module().FreeDLL(); }
  void ClassLoadDLL() const override { LoadDLL(); }
  void ClassFreeDLL() const override { FreeDLL(); }

  // The class's module state: one per driver class, shared by its objects
  // and its probe.
  static TFamilyDll& Module() {
    static TFamilyDll dll(Self::kLibrary.fileName, Self::kLibrary.prefix, Self::kLibrary.missing,
                          Self::kLibrary.oneCallAtATime);
    return dll;
  }

 protected:
  using ClassLoad = TArchiver::ClassLoad;
  FamilyDriver() : Base(&FamilyDriver::LoadDLL) {}
  // For subclasses that load a library of their own instead.
  explicit FamilyDriver(ClassLoad loadDLL) : Base(loadDLL) {}
  TFamilyDll& ModuleDll() const override { return Module(); }
};
