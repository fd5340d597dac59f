// SPDX-License-Identifier: MIT
#include "archivers/cab/cab_create.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <memory>

#include "archiver_api.h"
#include "archivers/shared/archive_reader.h"
#include "archivers/cab/cab_writer.h"
#include "archivers/shared/entry_path.h"
#include "archivers/shared/replacing_file.h"
#include "archivers/shared/update_plan.h"
#include "platform/cp932.h"
#include "platform/paths.h"
#include "archivers/cab/cab_format.h"

namespace arc {

namespace {
struct OldEntry {
  EntryInfo info;
  std::size_t index;  // position among all entries of the cabinet
};

// Reads the kept entries in cabinet order, one reader pass for all.
class OldCabinet {
 public:
  explicit OldCabinet(const std::string& path) : path_(path) {
    struct stat st{};
    if (stat(platform::FsName(path).c_str(), &st) != 0) return;
    exists_ = true;
    auto reader = OpenCabReader(path);
    EntryInfo info;
    for (std::size_t i = 0; reader->Next(info); ++i)
      if (!info.isDirectory && !info.isSymlink && !info.isHardlink) files_.push_back({info, i});
  }
  bool Exists() const { return exists_; }
  const std::vector<OldEntry>& Files() const { return files_; }

  // Streams entry `index` (indices must come in increasing order).
  void Produce(std::size_t index, const std::function<void(const void*, std::size_t)>& sink) {
    if (!reader_) reader_ = OpenCabReader(path_);
    EntryInfo info;
    while (next_ <= index) {
      if (!reader_->Next(info)) throw ArcError(ERROR_HEADER_BROKEN, "cabinet changed while packing");
      ++next_;
    }
    reader_->ReadData([&](const void* d, std::size_t n) {
      sink(d, n);
      return true;
    });
  }

 private:
  std::string path_;
  bool exists_ = false;
  std::vector<OldEntry> files_;
  std::unique_ptr<ArchiveReader> reader_;
  std::size_t next_ = 0;
};

void ProduceFile(const SourceFile& s, const std::function<void(const void*, std::size_t)>& sink) {
  int fd = open(s.fsPath.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) throw ArcError(ERROR_FILE_OPEN, "cannot open " + s.fsPath);
  std::unique_ptr<int, void (*)(int*)> guard(&fd, [](int* f) { close(*f); });
  char buf[1 << 16];
  for (;;) {
    ssize_t n = read(fd, buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) throw ArcError(ERROR_CANNOT_READ, "cannot read " + s.fsPath);
    if (n == 0) break;
    sink(buf, static_cast<std::size_t>(n));
  }
}

std::string Utf8Key(const std::string& name, bool utf8) {
  return FoldedKey(utf8 ? name : platform::Cp932ToUtf8(name));
}
}  // namespace

int RunCabCreate(const CreateRequest& req, std::string& message) {
  try {
    OldCabinet old(req.archive);
    std::vector<StoredEntry> stored;
    for (const auto& e : old.Files())
      stored.push_back({Utf8Key(e.info.name, e.info.nameIsUtf8), DisplayName(e.info.name, e.info.nameIsUtf8),
                        e.info.mtime});
    CreateRequest fileOnly = req;
    fileOnly.source.folderEntries = false;  // a cabinet has no folder entries
    std::vector<SourceFile> sources = CollectSourceFiles(fileOnly.source, req.archive);
    UpdatePlan plan = PlanUpdate(
        req, stored, sources, [](const SourceFile& s) { return FoldedKey(s.fsName); }, 2);
    if (NothingToWrite(req, plan, old.Exists(), message)) return 0;
    std::vector<CabInput> inputs;
    for (const auto& step : plan.steps) {
      CabInput in;
      if (step.keep >= 0) {
        const OldEntry& e = old.Files()[static_cast<std::size_t>(step.keep)];
        in.name = e.info.name;
        in.utf8 = e.info.nameIsUtf8;
        in.mtime = e.info.mtime;
        in.size = e.info.size;
        std::size_t index = e.index;
        in.produce = [&old, index](const std::function<void(const void*, std::size_t)>& sink) {
          old.Produce(index, sink);
        };
      } else {
        const SourceFile* s = step.source;
        in.utf8 = !StoredNameCp932(s->fsName, in.name);
        if (in.utf8) in.name = s->fsName;
        in.mtime = s->mtime;
        in.size = s->size;
        in.produce = [s](const std::function<void(const void*, std::size_t)>& sink) { ProduceFile(*s, sink); };
      }
      inputs.push_back(std::move(in));
    }
    ReplacingFile out(req.archive);
    WriteCabinet(out, inputs);
    out.Commit();
    message = std::to_string(inputs.size()) + " files in the cabinet";
    return 0;
  } catch (const ArcError& e) {
    message = e.what();
    return e.Code();
  }
}

}  // namespace arc
