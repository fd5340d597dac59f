// SPDX-License-Identifier: MIT
#pragma once
// TArchiveFile: the one object through which the rest of the system handles
// archives. Setting FileName picks the driver by the archive type; Extract
// hands the request to it. With an OnProgress handler the libraries report
// progress to a hidden message window, and the handler may abort.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "archivers/include/archiver_api.h"
#include "archives/archiver.h"
#include "archives/archiver_options.h"
#include "archives/archiver_type.h"
#include "archives/string_list.h"

// Where the component gets its drivers: the type of a named file, and a
// driver for a type (null for none; construction may raise). The real
// archiver libraries unless a test gives its own.
struct DriverSource {
  std::function<TArchiverType(const std::string& fileName)> detect;
  std::function<std::unique_ptr<TArchiver>(TArchiverType type)> make;
};
DriverSource ArchiverLibraries();

class TArchiveFile {
 public:
  using TArchiverProgressEvent = std::function<void(TArchiveFile& sender, int state, EXTRACTINGINFOEX* lpEis,
                                                    bool& abort)>;

  TArchiveFile();
  ~TArchiveFile();
  TArchiveFile(const TArchiveFile&) = delete;
  TArchiveFile& operator=(const TArchiveFile&) = delete;

  const std::string& FileName() const { return FFileName; }
  // Detects the type and selects its driver; when that raises, name, type
  // and driver stay as they were.
  void SetFileName(const std::string& value);

  std::int32_t GetOutputSize() const { return static_cast<std::int32_t>(FOutput.size()); }
  void SetOutputSize(std::int32_t n);

  TArchiverOptions& Options() { return *FOptions; }

  TArchiverType ArchiverType() const { return FArchiverType; }
  // A recognised type always gets a new driver; atNone changes nothing;
  // atAutoDetect keeps the driver. An unknown ordinal raises, except while
  // stored settings load (Loading), when it is only stored.
  void SetArchiverType(TArchiverType value);

  // What SetFileName decided: type, name and the kind of driver it left
  // (atNone: none). A drop that selected the next archive ahead of need and
  // then stopped takes its selection back, so the following drop starts as
  // it would have.
  struct Selection {
    TArchiverType type = atAutoDetect;
    std::string fileName;
    TArchiverType driverType = atNone;
  };
  Selection CurrentSelection() const { return {FArchiverType, FFileName, FDriverType}; }
  // A driver of another kind is made anew (and may raise: nothing changes).
  void RestoreSelection(const Selection& selection);

  // Replaces ArchiverLibraries() as the source of drivers (tests).
  void SetDriverSource(DriverSource source) { FDrivers = std::move(source); }
  const DriverSource& DriverSourceInUse() const { return FDrivers; }

  // Takes the command line and output text of another component's last
  // Extract as this one's: a drop that unpacked an archive on a component
  // of its own leaves the caller's as if it had unpacked there.
  void TakeExtractResults(const TArchiveFile& from);

  TArchiverProgressEvent OnProgress;
  // True while stored settings are being assigned.
  bool Loading = false;

  // Extracts the archive into destDir with `options` (the component's own
  // set when null) and returns the library's result unchanged.
  std::int32_t Extract(WindowHandle wnd, const TArchiverOptions* options, const std::string& destDir,
                       const TStringList* files);

  // The command line of the last Extract, the library's output text, and
  // the current driver (null when none).
  const std::string& CmdLine() const { return FCmdLine; }
  const std::string& Output() const { return FOutput; }
  TArchiver* Archiver() const { return FArchiver.get(); }
  WindowHandle ProgressWindow() const { return FWindow; }

  // The hidden window's message handler: answers "wm_arcextract" with 1 when
  // the handler aborts, every other message with 0.
  std::intptr_t WndProc(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam);

 private:
  void RequireArchiver() const;
  void BeginProgress();
  void EndProgress();
  void DoProgress(int state, EXTRACTINGINFOEX* lpEis, bool& abort);

  DriverSource FDrivers = ArchiverLibraries();
  TArchiverType FArchiverType = atAutoDetect;
  TArchiverType FDriverType = atNone;
  std::unique_ptr<TArchiver> FArchiver;
  std::unique_ptr<TArchiverOptions> FOptions;
  std::string FFileName;
  std::string FCmdLine;
  std::string FOutput;
  WindowHandle FWindow = 0;
};

// The component as the main window's stored settings leave it: no name, no
// output buffer, x = 0 and every other option at its default, type
// atAutoDetect, no driver and no library loaded.
void ApplyMainWindowSettings(TArchiveFile& archiveFile);
