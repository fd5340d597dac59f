// SPDX-License-Identifier: MIT
#include "drivers/archive_file.h"

#include <atomic>

#include "archives/earchiver.h"
#include "archives/not_set.h"
#include "drivers/archive_formats.h"
#include "drivers/detect_type.h"
#include "drivers/unicode_call.h"
#include "platform/msgwindow.h"

namespace {
// Registered once per process, on the first operation with a handler; a
// drop may extract on a thread of its own.
std::atomic<std::uint32_t> g_progressMessage{0};

std::unique_ptr<TArchiver> NewDriver(TArchiverType type) {
  const ArchiveFormat* format = FindArchiveFormat(type);
  return format ? format->makeDriver() : nullptr;
}
}  // namespace

DriverSource ArchiverLibraries() {
  return {[](const std::string& fileName) { return DetectArchiverType(fileName, true); }, &NewDriver};
}

TArchiveFile::TArchiveFile() : FOptions(std::make_unique<TArchiverOptions>()), FFileName(kNotSet) {}

TArchiveFile::~TArchiveFile() {
  if (FWindow) platform::DestroyMessageWindow(FWindow);
  FArchiver.reset();
  FOptions.reset();
}

void TArchiveFile::SetFileName(const std::string& value) {
  SetArchiverType(FDrivers.detect(value));
  FFileName = value;
}

void TArchiveFile::SetArchiverType(TArchiverType value) {
  if (FindArchiveFormat(value)) {
    // Construction loads the library and may raise: then nothing changes.
    std::unique_ptr<TArchiver> driver = FDrivers.make(value);
    FArchiver = std::move(driver);
    FArchiverType = value;
    FDriverType = value;
  } else if (value == atNone) {
  } else if (value == atAutoDetect) {
    FArchiverType = atAutoDetect;
  } else if (Loading) {
    FArchiverType = value;
  } else {
    RaiseArchiver("現在のバージョンではこの形式の書庫をサポートしていません。");
  }
}

void TArchiveFile::RestoreSelection(const Selection& selection) {
  if (selection.driverType != FDriverType) {
    std::unique_ptr<TArchiver> driver = FindArchiveFormat(selection.driverType) ? FDrivers.make(selection.driverType) : nullptr;
    FArchiver = std::move(driver);
    FDriverType = selection.driverType;
  }
  FArchiverType = selection.type;
  FFileName = selection.fileName;
}

void TArchiveFile::TakeExtractResults(const TArchiveFile& from) {
  FCmdLine = from.FCmdLine;
  FOutput = from.FOutput;
}

void TArchiveFile::SetOutputSize(std::int32_t n) {
  FOutput.assign(n > 0 ? static_cast<std::size_t>(n) : 0, '\0');
}

void TArchiveFile::RequireArchiver() const {
  if (!FArchiver) RaiseArchiver("書庫の形式を判別できません。");
}

std::int32_t TArchiveFile::Extract(WindowHandle wnd, const TArchiverOptions* options, const std::string& destDir,
                                   const TStringList* files) {
  RequireArchiver();
  BeginProgress();
  const TArchiverOptions& o = options ? *options : *FOptions;
  std::int32_t result =
      FArchiver->Unpack(wnd, FFileName, o, destDir, files, o.ResFileUsage.Contains(ruOnUnpack), FOutput);
  EndProgress();
  FCmdLine = FArchiver->CmdLine();
  return result;
}

void TArchiveFile::BeginProgress() {
  if (!OnProgress) return;
  if (g_progressMessage == 0) g_progressMessage = platform::RegisterWindowMessage("wm_arcextract");
  if (FWindow == 0)
    FWindow = platform::CreateMessageWindow(
        [this](std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam) { return WndProc(msg, wParam, lParam); });
  // Without the registration the operation simply runs without reports.
  try {
    FArchiver->SetOwnerWindow(FWindow, nullptr);
  } catch (const platform::Error&) {
  }
}

void TArchiveFile::EndProgress() {
  if (!OnProgress) return;
  try {
    FArchiver->KillOwnerWindow(FWindow);
  } catch (const platform::Error&) {
  }
}

std::intptr_t TArchiveFile::WndProc(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam) {
  if (g_progressMessage == 0 || msg != g_progressMessage) return 0;
  bool abort = false;
  DoProgress(static_cast<int>(wParam), reinterpret_cast<EXTRACTINGINFOEX*>(lParam), abort);
  return abort ? 1 : 0;
}

void TArchiveFile::DoProgress(int state, EXTRACTINGINFOEX* lpEis, bool& abort) {
  if (!OnProgress) return;
  if (lpEis && InUnicodeCall()) {
    // Names in the system's form, as every other call gives them.
    EXTRACTINGINFOEX names = *lpEis;
    UnicodeCall::NamesBack(names);
    OnProgress(*this, state, &names, abort);
    return;
  }
  OnProgress(*this, state, lpEis, abort);
}

void ApplyMainWindowSettings(TArchiveFile& archiveFile) {
  archiveFile.Loading = true;
  try {
    archiveFile.SetFileName(kNotSet);
    archiveFile.SetOutputSize(0);
    archiveFile.Options().Reset();
    archiveFile.Options().x = 0;
    archiveFile.SetArchiverType(atAutoDetect);
  } catch (...) {
    archiveFile.Loading = false;
    throw;
  }
  archiveFile.Loading = false;
}
