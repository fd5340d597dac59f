// SPDX-License-Identifier: MIT
#pragma once
// The abstract driver: one subclass per archiver library. The slots below
// keep the contract's order; LoadDLL and FreeDLL (slots 0 and 1) act on the
// driver class's module state, so they are static functions of each class,
// reached through an object by the ClassLoadDLL/ClassFreeDLL hooks.
#include <cstdint>
#include <string>

#include "archivers/include/archiver_api.h"
#include "archives/archiver_options.h"
#include "archives/cmd_opt.h"
#include "archives/string_list.h"
#include "platform/msgwindow.h"

using platform::WindowHandle;

class TArchiver {
 public:
  virtual ~TArchiver() = default;
  TArchiver(const TArchiver&) = delete;
  TArchiver& operator=(const TArchiver&) = delete;

  // Slots 0 and 1 of the base: abstract.
  static void LoadDLL();
  static void FreeDLL();
  virtual void ClassLoadDLL() const { LoadDLL(); }
  virtual void ClassFreeDLL() const { FreeDLL(); }

  virtual HARC OpenArchive(WindowHandle wnd, const std::string& fileName, std::uint32_t mode);
  virtual int FindFirst(HARC handle, INDIVIDUALINFO* info, const std::string& wildName);
  virtual int FindNext(HARC handle, INDIVIDUALINFO* info);
  virtual int CloseArchive(HARC handle);
  virtual int Unpack(WindowHandle wnd, const std::string& arcFileName, const TArchiverOptions& options,
                     const std::string& baseDir, const TStringList* files, bool useResFile, std::string& output) = 0;
  virtual int Pack(WindowHandle wnd, const std::string& arcFileName, const TArchiverOptions& options,
                   const std::string& baseDir, const TStringList* files, bool useResFile, std::string& output);
  virtual int RemoveItem(WindowHandle wnd, const std::string& arcFileName, const TArchiverOptions& options,
                         const std::string& baseDir, const TStringList* files, bool useResFile, std::string& output);
  virtual int Update(WindowHandle wnd, const std::string& arcFileName, const TArchiverOptions& options,
                     const std::string& baseDir, const TStringList* files, bool useResFile, std::string& output);
  virtual int MakeSFX(WindowHandle wnd, const std::string& arcFileName, const TArchiverOptions& options,
                      const std::string& baseDir, std::string& output);
  virtual int CheckArchive(const std::string& fileName, int mode, int modeExtra);
  virtual bool SetOwnerWindow(WindowHandle wnd, ARCHIVERPROC proc);
  virtual bool KillOwnerWindow(WindowHandle wnd);
  // The library's ListExtractMem: the listing and the chosen entries'
  // bytes in one pass (archiver_api.h). Drivers whose library has no such
  // entry answer ERROR_NOT_SUPPORT without calling anything.
  virtual int ListExtractMem(const std::string& cmdLine, ENTRYMEMPROC proc, void* context);

  const std::string& CmdLine() const { return FCmdLine; }
  WindowHandle OwnerWnd() const { return FOwnerWnd; }

  // The archive name in quotes, then the base folder in quotes with its
  // trailing delimiter (each left out when `not set`, the folder also when
  // empty).
  static void AddArcAndDir(TCmdOpt& cmd, const std::string& arcFileName, const std::string& baseDir);
  // The file list (a response file when asked for and named), then a blank
  // and UserFileList in every case.
  static void AddFiles(TCmdOpt& cmd, const TArchiverOptions& options, const TStringList* files, bool useResFile);

 protected:
  using ClassLoad = void (*)();
  // Loads the library of the class being constructed: a driver object exists
  // only while its library is loaded.
  explicit TArchiver(ClassLoad loadDLL) { loadDLL(); }

  std::string FCmdLine;
  WindowHandle FOwnerWnd = 0;
};
