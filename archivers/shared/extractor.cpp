#include "archivers/shared/extractor.h"

#include <optional>

#include "archiver_api.h"
#include "archivers/shared/dest_dir.h"
#include "archivers/shared/entry_path.h"
#include "archivers/shared/file_patterns.h"
#include "archivers/shared/info_records.h"
#include "archivers/shared/owner_window.h"
#include "platform/paths.h"

namespace arc {

namespace {
constexpr std::uint64_t kReportEvery = 4u << 20;

class Extraction {
 public:
  Extraction(const ExtractRequest& req, ArchiveReader& reader, DestDir& dest)
      : req_(req), reader_(reader), dest_(dest) {}

  int Run(std::string& message) {
    EntryInfo info;
    EXTRACTINGINFOEX ex;
    FillExtractingInfo(info, req_.archive, req_.destDir, ex);
    if (!progress_.Report(ARCEXTRACT_OPEN, ex)) return Fail(ERROR_USER_CANCEL, "cancelled", message);
    for (;;) {
      try {
        if (!reader_.Next(info)) break;
        int r = One(info);
        if (r == ERROR_USER_CANCEL) return Fail(r, "cancelled", message);
      } catch (const ArcError& e) {
        // Damage in the archive or a full disk: the rest cannot be trusted.
        Note(e.Code(), e.what());
        if (e.Code() != ERROR_UNSAFE_PATH && e.Code() != ERROR_FILE_OPEN && e.Code() != ERROR_MAKEDIRECTORY &&
            e.Code() != ERROR_CANNOT_WRITE)
          break;
      }
    }
    FillExtractingInfo(EntryInfo{}, req_.archive, req_.destDir, ex);
    progress_.Report(ARCEXTRACT_END, ex);
    message = result_ == 0 ? std::to_string(count_) + " file(s) extracted" : firstError_;
    return result_;
  }

 private:
  int Fail(int code, const std::string& why, std::string& message) {
    Note(code, why);
    message = firstError_;
    return result_;
  }

  void Note(int code, const std::string& why) {
    if (result_ == 0) {
      result_ = code;
      firstError_ = why;
    }
  }

  // Extracts one entry; answers ERROR_USER_CANCEL when the user stopped.
  int One(const EntryInfo& info) {
    std::string display = DisplayName(info.name, info.nameIsUtf8);
    if (!EntrySelected(display, req_.include, req_.exclude)) return 0;
    EntryPath path = MakeEntryPath(info.name, info.nameIsUtf8);
    if (path.unsafe) throw ArcError(ERROR_UNSAFE_PATH, "refused: " + display);
    if (path.leaf.empty()) return 0;  // the archive's root folder
    if (!req_.keepFolders) {
      if (info.isDirectory) return 0;
      path.dirs.clear();
    }
    if (info.isDirectory) {
      dest_.MakeFolder(path.dirs);
      return 0;
    }
    std::string destName = platform::IncludeTrailingDelimiter(req_.destDir.empty() ? "." : req_.destDir) +
                           (req_.keepFolders ? display : platform::ExtractFileName(display));
    EXTRACTINGINFOEX ex;
    FillExtractingInfo(info, req_.archive, destName, ex);
    if (!progress_.Report(ARCEXTRACT_BEGIN, ex)) return ERROR_USER_CANCEL;
    if (info.isSymlink) return Symlink(info, path, display);
    if (info.isHardlink) return Hardlink(info, path, display);
    OutFile out = dest_.CreateFile(path.dirs, path.leaf);
    std::uint64_t written = 0, nextReport = kReportEvery;
    bool cancelled = false;
    // Errors of our own side are carried out of the sink rather than thrown
    // through the format library.
    std::optional<ArcError> writeError;
    reader_.ReadData([&](const void* data, std::size_t size) {
      try {
        out.Write(data, size);
      } catch (const ArcError& e) {
        writeError = e;
        return false;
      }
      written += size;
      if (written >= nextReport) {
        nextReport = written + kReportEvery;
        ex.exinfo.dwWriteSize = static_cast<std::uint32_t>(std::min<std::uint64_t>(written, 0xFFFFFFFFu));
        if (!progress_.Report(ARCEXTRACT_INPROCESS, ex)) {
          cancelled = true;
          return false;
        }
      }
      return true;
    });
    if (writeError) throw *writeError;
    if (cancelled) return ERROR_USER_CANCEL;  // `out` removes the partial file
    out.Commit(info.mtime);
    ++count_;
    return 0;
  }

  int Symlink(const EntryInfo& info, const EntryPath& path, const std::string& display) {
    std::string target = SafeLinkTarget(info.linkTarget, info.nameIsUtf8, path);
    // Without folders a link can only point at a neighbour.
    if (target.empty() || (!req_.keepFolders && target.find('/') != std::string::npos))
      throw ArcError(ERROR_UNSAFE_PATH, "refused link: " + display);
    dest_.MakeSymlink(path.dirs, path.leaf, target);
    ++count_;
    return 0;
  }

  int Hardlink(const EntryInfo& info, const EntryPath& path, const std::string& display) {
    EntryPath target = MakeEntryPath(info.linkTarget, info.nameIsUtf8);
    if (target.unsafe || target.leaf.empty()) throw ArcError(ERROR_UNSAFE_PATH, "refused link: " + display);
    if (!req_.keepFolders) target.dirs.clear();
    dest_.MakeHardlink(path.dirs, path.leaf, target.dirs, target.leaf);
    ++count_;
    return 0;
  }

  const ExtractRequest& req_;
  ArchiveReader& reader_;
  DestDir& dest_;
  ProgressReporter progress_;
  int result_ = 0;
  std::string firstError_;
  std::size_t count_ = 0;
};
}  // namespace

int Extract(const ExtractRequest& req, const std::vector<ReaderOpener>& openers, std::string& message) {
  try {
    auto reader = OpenWithAny(openers, req.archive);
    DestDir dest(req.destDir);
    return Extraction(req, *reader, dest).Run(message);
  } catch (const ArcError& e) {
    message = e.what();
    return e.Code();
  }
}

}  // namespace arc
