// SPDX-License-Identifier: MIT
#pragma once
// A driver whose archives are descriptions the test gives, so the drop
// pipeline and the window can be driven without the archiver libraries:
// "extracting" writes the described entries into the destination folder,
// reporting progress to the owner window the way the libraries do, and
// ends with the described result (or raises the described refusal).
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "drivers/archive_file.h"

namespace test_support {

struct FakeEntry {
  std::string name;   // CP932, "/" between folders
  std::string bytes;
};

struct FakeArchive {
  FakeArchive() = default;
  FakeArchive(std::vector<FakeEntry> e, TArchiverType t = atLha, int r = 0, std::string unpackRefusal = {},
              std::string loadRefusal = {})
      : entries(std::move(e)), type(t), result(r), raiseOnUnpack(std::move(unpackRefusal)),
        raiseOnLoad(std::move(loadRefusal)) {}

  std::vector<FakeEntry> entries;
  TArchiverType type = atLha;   // what detection reports for it
  int result = 0;               // Unpack's result once the entries are written
  std::string raiseOnUnpack;    // when set: Unpack raises EArchiver with this text (CP932), writing nothing
  std::string raiseOnLoad;      // when set: the driver cannot be made (a missing library)
  // When set: the result for an unpacking into the folder given, in place
  // of `result` (a disk or folder that fails).
  std::function<int(const std::string& folder)> resultIn;
};

// The archives a test describes, by path (CP932). A path not described is
// of no known type.
class FakeArchives {
 public:
  void Add(const std::string& path, FakeArchive archive) { archives_[path] = std::move(archive); }
  // The driver source to give TArchiveFile::SetDriverSource; it refers to
  // this object, which must outlive the component.
  DriverSource Source();
  // The archives Unpack was asked for, in order (two drivers may unpack at
  // once).
  std::vector<std::string> Unpacked() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return unpacked_;
  }

 private:
  friend class FakeArchiver;
  const FakeArchive* Find(const std::string& path) const;

  std::map<std::string, FakeArchive> archives_;
  mutable std::mutex mutex_;
  std::vector<std::string> unpacked_;
  std::string lastDetected_;
};

class FakeArchiver : public TArchiver {
 public:
  explicit FakeArchiver(FakeArchives& archives) : TArchiver(&FakeArchiver::LoadDLL), archives_(archives) {}
  static void LoadDLL() {}
  static void FreeDLL() {}
  void ClassLoadDLL() const override {}
  void ClassFreeDLL() const override {}

  int Unpack(WindowHandle wnd, const std::string& arcFileName, const TArchiverOptions& options,
             const std::string& baseDir, const TStringList* files, bool useResFile, std::string& output) override;
  bool SetOwnerWindow(WindowHandle wnd, ARCHIVERPROC proc) override;
  bool KillOwnerWindow(WindowHandle wnd) override;

 private:
  FakeArchives& archives_;
};

}  // namespace test_support
