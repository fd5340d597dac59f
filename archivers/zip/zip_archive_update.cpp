// SPDX-License-Identifier: MIT
#include "archivers/zip/zip_archive_update.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <memory>

#include "archiver_api.h"
#include "archivers/shared/archive_reader.h"
#include "archivers/shared/replacing_file.h"
#include "archivers/shared/update_plan.h"
#include "archivers/zip/zip_central.h"
#include "archivers/zip/zip_entry_writer.h"
#include "platform/cp932.h"
#include "platform/paths.h"

namespace arc {

namespace {
constexpr std::uint64_t kMaxZipOffset = 0xFFFFFFFEu;

class OpenFile {
 public:
  // Missing file: Exists() is false (unless `required`).
  OpenFile(const std::string& cp932Path, bool required) {
    std::string fs = platform::FsName(cp932Path);
    struct stat st{};
    if (stat(fs.c_str(), &st) != 0) {
      if (required) throw ArcError(ERROR_ARC_FILE_OPEN, "archive not found: " + cp932Path);
      return;
    }
    if (!S_ISREG(st.st_mode)) throw ArcError(ERROR_ARC_FILE_OPEN, "not a file: " + cp932Path);
    fd_ = open(fs.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0) throw ArcError(ERROR_ARC_FILE_OPEN, "cannot open " + cp932Path);
    size_ = static_cast<std::uint64_t>(st.st_size);
  }
  ~OpenFile() {
    if (fd_ >= 0) close(fd_);
  }
  bool Exists() const { return fd_ >= 0; }
  int Fd() const { return fd_; }
  std::uint64_t Size() const { return size_; }

 private:
  int fd_ = -1;
  std::uint64_t size_ = 0;
};

// Names compared as UTF-8 without a trailing "/".
std::string RecordKey(const ZipRecord& r) {
  std::string n = r.utf8 ? r.name : platform::Cp932ToUtf8(r.name);
  while (!n.empty() && n.back() == '/') n.pop_back();
  return FoldedKey(n);
}

std::string RecordDisplay(const ZipRecord& r) {
  std::string n = r.utf8 ? platform::Utf8ToCp932(r.name) : r.name;
  while (!n.empty() && n.back() == '/') n.pop_back();
  return n;
}

void CheckOffset(std::uint64_t at) {
  if (at > kMaxZipOffset) throw ArcError(ERROR_ADD_TO_LARGE, "archive too large without ZIP64");
}

void SetArchiveTime(const std::string& cp932Path, std::time_t t) {
  struct timespec times[2] = {{0, UTIME_OMIT}, {t, 0}};
  utimensat(AT_FDCWD, platform::FsName(cp932Path).c_str(), times, 0);
}
}  // namespace

int RunZipCreate(const CreateRequest& req, std::string& message) {
  if (req.mode == CreateMode::AdjustSfx) return AdjustZipSfx(req.archive, message);
  try {
    bool needOld = req.mode == CreateMode::Delete || req.mode == CreateMode::Freshen;
    OpenFile old(req.archive, needOld);
    ZipLayout layout;
    if (old.Exists()) layout = ReadZipLayout(old.Fd(), old.Size());
    std::vector<StoredEntry> stored;
    for (const auto& r : layout.records) stored.push_back({RecordKey(r), RecordDisplay(r), r.mtime});
    std::vector<SourceFile> sources;
    if (req.mode != CreateMode::Delete) sources = CollectSourceFiles(req.source, req.archive);
    UpdatePlan plan = PlanUpdate(
        req, stored, sources, [](const SourceFile& s) { return FoldedKey(s.fsName); }, 2);
    if (NothingToWrite(req, plan, old.Exists(), message)) return 0;
    if (plan.steps.size() > 0xFFFF) throw ArcError(ERROR_TOO_MANY_FILES, "too many entries without ZIP64");
    ReplacingFile out(req.archive);
    // A self-extractor's stub stays in front of the entries.
    std::uint64_t prefix = layout.records.empty() ? 0 : layout.directoryOffset;
    for (const auto& r : layout.records) prefix = std::min(prefix, r.localOffset);
    if (prefix > 0) out.CopyFrom(old.Fd(), 0, prefix);
    std::string directory;
    std::time_t newest = 0;
    int added = 0;
    for (const auto& step : plan.steps) {
      std::uint64_t at = out.Size();
      CheckOffset(at);
      std::string central;
      if (step.keep >= 0) {
        const ZipRecord& r = layout.records[static_cast<std::size_t>(step.keep)];
        out.CopyFrom(old.Fd(), r.localOffset, r.localLength);
        central = r.central;
        newest = std::max(newest, r.mtime);
      } else {
        const SourceFile& s = *step.source;
        std::string data = s.isFolder ? std::string() : ReadSourceFile(s, kMaxZipEntrySize);
        ZipNewEntry e = MakeZipEntry(s.fsName, s.isFolder, s.mtime, data, req.level);
        out.Write(e.local);
        central = std::move(e.central);
        newest = std::max(newest, s.mtime);
        ++added;
      }
      SetCentralOffset(central, static_cast<std::uint32_t>(at));
      directory += central;
    }
    std::uint64_t dirAt = out.Size();
    CheckOffset(dirAt + directory.size());
    out.Write(directory);
    out.Write(ZipEndRecord(static_cast<std::uint32_t>(plan.steps.size()), static_cast<std::uint32_t>(directory.size()),
                           static_cast<std::uint32_t>(dirAt), layout.comment));
    out.Commit();
    if (req.archiveTimeFromNewest && newest > 0) SetArchiveTime(req.archive, newest);
    message = UpdateMessage(req, plan, added);
    return 0;
  } catch (const ArcError& e) {
    message = e.what();
    return e.Code();
  }
}

int AdjustZipSfx(const std::string& exePath, std::string& message) {
  try {
    OpenFile exe(exePath, true);
    ZipLayout layout = ReadZipLayout(exe.Fd(), exe.Size());
    if (layout.shift == 0) {
      message = "offsets already right";
      return 0;
    }
    CheckOffset(layout.directoryOffset);
    ReplacingFile out(exePath);
    out.CopyFrom(exe.Fd(), 0, layout.directoryOffset);
    std::string directory;
    for (auto& r : layout.records) {
      std::string central = r.central;
      SetCentralOffset(central, static_cast<std::uint32_t>(r.localOffset));
      directory += central;
    }
    out.Write(directory);
    out.Write(ZipEndRecord(static_cast<std::uint32_t>(layout.records.size()),
                           static_cast<std::uint32_t>(directory.size()),
                           static_cast<std::uint32_t>(layout.directoryOffset), layout.comment));
    out.Commit();
    message = "self-extractor offsets adjusted";
    return 0;
  } catch (const ArcError& e) {
    message = e.what();
    return e.Code();
  }
}

}  // namespace arc
