// SPDX-License-Identifier: MIT
#include "archivers/shared/extractor.h"

#include <algorithm>
#include <optional>

#include "archiver_api.h"
#include "archivers/shared/dest_dir.h"
#include "archivers/shared/entry_path.h"
#include "archivers/shared/file_patterns.h"
#include "archivers/shared/info_records.h"
#include "archivers/shared/owner_window.h"
#include "archivers/shared/unicode_mode.h"
#include "platform/input_file.h"
#include "platform/paths.h"

namespace arc {

namespace {
constexpr std::uint64_t kReportEvery = 4u << 20;

// Most entries of a selective extraction are told apart by their name's
// last bytes, without the display name being made.
bool Selected(const EntrySelection& selection, const EntryInfo& info) {
  return !selection.RuledOut(info.name, info.nameIsUtf8) &&
         selection.Selects(DisplayName(info.name, info.nameIsUtf8),
                           selection.NeedsUtf8Name() ? Utf8DisplayName(info.name, info.nameIsUtf8) : std::string());
}

// Failures after which nothing more can be written: the disk is full, or
// the user said stop.
bool EndsExtraction(int code) { return code == ERROR_DISK_SPACE || code == ERROR_USER_CANCEL || code == ERROR_ENOUGH_MEMORY; }

std::uint64_t FileSize(const std::string& path) {
  return platform::RegularFileSize(path).value_or(0);
}

class Extraction {
 public:
  Extraction(const ExtractRequest& req, ArchiveReader& reader, DestDir& dest)
      : req_(req), selection_(req.include, req.exclude), reader_(reader), dest_(dest), archiveSize_(FileSize(req.archive)) {}

  // `sizesChecked`: the declared sizes of all selected entries were found
  // to fit beforehand; otherwise each entry is weighed as it comes.
  int Run(bool sizesChecked, std::string& message) {
    sizesChecked_ = sizesChecked;
    EntryInfo info;
    EXTRACTINGINFOEX ex;
    FillExtractingInfo(info, req_.archive, req_.destDir, ex);
    if (!progress_.Report(ARCEXTRACT_OPEN, ex)) return Fail(ERROR_USER_CANCEL, "cancelled", message);
    for (;;) {
      try {
        // A header that cannot be read leaves no way to the next entry.
        if (!reader_.Next(info)) break;
      } catch (const ArcError& e) {
        Note(e.Code(), e.what());
        break;
      }
      try {
        if (One(info) == ERROR_USER_CANCEL) return Fail(ERROR_USER_CANCEL, "cancelled", message);
      } catch (const ArcError& e) {
        // One bad entry costs only itself: its partial output is gone, and
        // the next entry's header is found all the same.
        Note(e.Code(), e.what());
        if (EndsExtraction(e.Code()) || stop_) break;
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
    if (!info.nameUnreadable.empty()) throw ArcError(ERROR_HEADER_BROKEN, info.nameUnreadable);
    if (selection_.RuledOut(info.name, info.nameIsUtf8)) return Skip(info);
    std::string display = DisplayName(info.name, info.nameIsUtf8);
    if (!selection_.Selects(display, selection_.NeedsUtf8Name() ? Utf8DisplayName(info.name, info.nameIsUtf8)
                                                                : std::string()))
      return Skip(info);
    EntryPath path = MakeEntryPath(info.name, info.nameIsUtf8);
    if (path.unsafe) throw ArcError(ERROR_UNSAFE_PATH, "refused: " + display);
    if (path.leaf.empty()) return 0;  // the archive's root folder
    if (!req_.keepFolders) {
      if (info.isDirectory) return 0;
      path.dirs.clear();
    }
    if (info.isDirectory) {
      // The folder itself, so that an empty one is kept too.
      path.dirs.push_back(path.leaf);
      dest_.MakeFolder(path.dirs);
      return 0;
    }
    if (!sizesChecked_ &&
        !FitsOnDisk(req_.limits, std::min(DeclaredNeed(req_.limits, info), ExpansionCap(req_.limits, archiveSize_)),
                    dest_.FreeSpace()))
      throw ArcError(ERROR_DISK_SPACE, "not enough disk space for " + display);
    const std::string reported = ReportedName(info.name, info.nameIsUtf8);
    std::string destName = ForCaller(platform::IncludeTrailingDelimiter(req_.destDir.empty() ? "." : req_.destDir)) +
                           (req_.keepFolders ? reported : platform::ExtractFileName(reported));
    EXTRACTINGINFOEX ex;
    FillExtractingInfo(info, req_.archive, destName, ex);
    if (!progress_.Report(ARCEXTRACT_BEGIN, ex)) return ERROR_USER_CANCEL;
    if (info.isSymlink) return Symlink(info, path, display);
    if (info.isHardlink) return Hardlink(info, path, display);
    OutFile out = dest_.CreateFile(path.dirs, path.leaf);
    EntryBudget budget(req_.limits, info, archiveSize_, kept_ + skipped_);
    std::uint64_t nextReport = kReportEvery;
    bool cancelled = false;
    // Errors of our own side are carried out of the sinks rather than
    // thrown through the format library.
    std::optional<ArcError> writeError;
    auto data = [&](const void* bytes, std::size_t size) {
      try {
        budget.Add(size, 0);
        out.Write(bytes, size);
      } catch (const ArcError& e) {
        writeError = e;
        return false;
      }
      if (budget.Written() >= nextReport) {
        nextReport = budget.Written() + kReportEvery;
        ex.exinfo.dwWriteSize = static_cast<std::uint32_t>(std::min<std::uint64_t>(budget.Written(), 0xFFFFFFFFu));
        if (!progress_.Report(ARCEXTRACT_INPROCESS, ex)) {
          cancelled = true;
          return false;
        }
      }
      return true;
    };
    auto hole = [&](std::uint64_t length) {
      try {
        budget.Add(0, length);
        out.Skip(length);
      } catch (const ArcError& e) {
        writeError = e;
        return false;
      }
      return true;
    };
    try {
      reader_.ReadSparseData(data, hole);
    } catch (const ArcError&) {
      stop_ = budget.StopsArchive();
      throw;  // `out` removes the partial file
    }
    stop_ = budget.StopsArchive();
    if (writeError) throw *writeError;
    if (cancelled) return ERROR_USER_CANCEL;
    out.Commit(info.mtime);
    kept_ += budget.Written();
    ++count_;
    return 0;
  }

  // An entry not asked for is left to the reader to pass over. Where that
  // means decoding it (a stream, a solid archive), its output is weighed as
  // if it were written: a bomb among the skipped entries then ends the
  // extraction as it would if extracted, instead of being decoded for ever.
  // Nothing is written, and the reader's own complaints about data nobody
  // asked for are left to the next header, as a skip would. The owner
  // window still hears from a long pass, without a file name (none is
  // written), and may abort it.
  int Skip(const EntryInfo& info) {
    if (reader_.ListsCheaply() || info.isDirectory || info.isSymlink || info.isHardlink) return 0;
    EntryBudget budget(req_.limits, info, archiveSize_, kept_ + skipped_);
    std::optional<ArcError> overrun;
    bool cancelled = false;
    std::uint64_t nextReport = kReportEvery;
    EXTRACTINGINFOEX ex;
    FillExtractingInfo(EntryInfo{}, req_.archive, "", ex);
    auto weigh = [&](std::uint64_t data, std::uint64_t hole) {
      try {
        budget.Add(data, hole);
      } catch (const ArcError& e) {
        overrun = e;
        return false;
      }
      if (budget.Written() >= nextReport) {
        nextReport = budget.Written() + kReportEvery;
        if (!progress_.Report(ARCEXTRACT_INPROCESS, ex)) cancelled = true;
      }
      return !cancelled;
    };
    try {
      reader_.ReadSparseData([&](const void*, std::size_t size) { return weigh(size, 0); },
                             [&](std::uint64_t length) { return weigh(0, length); });
    } catch (const ArcError&) {
    }
    skipped_ += budget.Written();
    stop_ = budget.StopsArchive();
    if (overrun) throw *overrun;
    return cancelled ? ERROR_USER_CANCEL : 0;
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
  EntrySelection selection_;
  ArchiveReader& reader_;
  DestDir& dest_;
  std::uint64_t archiveSize_;
  ProgressReporter progress_;
  bool sizesChecked_ = false;
  bool stop_ = false;          // the archive as a whole expands too far
  std::uint64_t kept_ = 0;     // bytes of the files written and kept
  std::uint64_t skipped_ = 0;  // bytes decoded only to pass over entries not asked for
  int result_ = 0;
  std::string firstError_;
  std::size_t count_ = 0;
};

// The disk room the selected entries declare, by a walk over the headers
// alone. A header that cannot be read ends the walk: extraction reports it.
std::uint64_t DeclaredTotal(const ExtractRequest& req, ArchiveReader& lister) {
  EntrySelection selection(req.include, req.exclude);
  std::uint64_t total = 0;
  EntryInfo info;
  try {
    while (lister.Next(info))
      if (Selected(selection, info)) total += DeclaredNeed(req.limits, info);
  } catch (const ArcError&) {
  }
  // Nothing can write more than the archive as a whole may expand to.
  return std::min(total, ExpansionCap(req.limits, FileSize(req.archive)));
}
}  // namespace

int Extract(const ExtractRequest& req, const std::vector<ReaderOpener>& openers, std::string& message) {
  try {
    auto reader = OpenWithAny(openers, req.archive);
    DestDir dest(req.destDir);
    bool sizesChecked = false;
    if (reader->ListsCheaply()) {
      std::uint64_t need = 0;
      {
        HeaderWalkScope walk;
        auto lister = reader->HeaderWalk();
        need = DeclaredTotal(req, lister ? *lister : *OpenWithAny(openers, req.archive));
      }
      if (!FitsOnDisk(req.limits, need, dest.FreeSpace()))
        throw ArcError(ERROR_DISK_SPACE, "not enough disk space: the archive declares " + std::to_string(need) + " bytes");
      sizesChecked = true;
    }
    return Extraction(req, *reader, dest).Run(sizesChecked, message);
  } catch (const ArcError& e) {
    message = e.what();
    return e.Code();
  }
}

}  // namespace arc
