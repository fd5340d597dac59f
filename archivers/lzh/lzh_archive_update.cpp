// SPDX-License-Identifier: MIT
#include "archivers/lzh/lzh_archive_update.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "archiver_api.h"
#include "archivers/shared/archive_reader.h"
#include "archivers/lzh/lzh_archive_scan.h"
#include "archivers/lzh/lzh_entry_writer.h"
#include "archivers/shared/replacing_file.h"
#include "archivers/shared/update_plan.h"
#include "platform/paths.h"

namespace arc {

namespace {
class OldArchive {
 public:
  explicit OldArchive(const std::string& cp932Path) {
    std::string fs = platform::FsName(cp932Path);
    struct stat st{};
    if (stat(fs.c_str(), &st) != 0) return;  // a new archive
    if (!S_ISREG(st.st_mode)) throw ArcError(ERROR_ARC_FILE_OPEN, "not a file: " + cp932Path);
    fd_ = open(fs.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0) throw ArcError(ERROR_ARC_FILE_OPEN, "cannot open " + cp932Path);
    entries_ = ScanLzhArchive(fd_, static_cast<std::uint64_t>(st.st_size));
  }
  ~OldArchive() {
    if (fd_ >= 0) close(fd_);
  }
  bool Exists() const { return fd_ >= 0; }
  int Fd() const { return fd_; }
  const std::vector<LzhRawEntry>& Entries() const { return entries_; }

 private:
  int fd_ = -1;
  std::vector<LzhRawEntry> entries_;
};

std::string Cp932Name(const SourceFile& f) {
  std::string cp;
  if (!StoredNameCp932(f.fsName, cp))
    throw ArcError(ERROR_NOT_FILENAME, "name not representable in an LZH archive: " + f.fsName);
  return cp;
}
}  // namespace

int RunLzhCreate(const CreateRequest& req, std::string& message) {
  try {
    OldArchive old(req.archive);
    if (!old.Exists() && (req.mode == CreateMode::Delete || req.mode == CreateMode::Freshen))
      throw ArcError(ERROR_ARC_FILE_OPEN, "archive not found: " + req.archive);
    std::vector<StoredEntry> stored;
    for (const auto& e : old.Entries()) stored.push_back({FoldedKey(e.name), e.name, e.mtime});
    std::vector<SourceFile> sources;
    if (req.mode != CreateMode::Delete) sources = CollectSourceFiles(req.source, req.archive);
    // Every name must fit before anything is written.
    for (const auto& s : sources) Cp932Name(s);
    UpdatePlan plan = PlanUpdate(
        req, stored, sources, [](const SourceFile& s) { return FoldedKey(Cp932Name(s)); }, 1);
    if (NothingToWrite(req, plan, old.Exists(), message)) return 0;
    ReplacingFile out(req.archive);
    int added = 0;
    for (const auto& step : plan.steps) {
      if (step.keep >= 0) {
        const auto& e = old.Entries()[static_cast<std::size_t>(step.keep)];
        out.CopyFrom(old.Fd(), e.offset, e.length);
        continue;
      }
      const SourceFile& s = *step.source;
      std::string data = s.isFolder ? std::string() : ReadSourceFile(s, kMaxLzhEntrySize);
      out.Write(MakeLzhEntry(Cp932Name(s), s.isFolder, s.mtime, reinterpret_cast<const std::uint8_t*>(data.data()),
                             data.size()));
      ++added;
    }
    out.Write(&kLzhArchiveEnd, 1);
    out.Commit();
    message = UpdateMessage(req, plan, added);
    return 0;
  } catch (const ArcError& e) {
    message = e.what();
    return e.Code();
  }
}

}  // namespace arc
