// SPDX-License-Identifier: MIT
#include "charts/drop_pipeline.h"

#include <algorithm>
#include <cstring>
#include <deque>
#include <exception>
#include <map>
#include <optional>
#include <thread>

#include "archivers/shared/volume_names.h"
#include "archives/earchiver.h"
#include "charts/background_task.h"
#include "charts/chart_reader.h"
#include "charts/memory_charts.h"
#include "charts/name_order.h"
#include "charts/working_folder.h"
#include "drivers/archive_file.h"
#include "platform/cp932.h"
#include "platform/error.h"
#include "platform/files.h"
#include "platform/folder_tree.h"
#include "platform/input_file.h"
#include "platform/path_text.h"
#include "platform/paths.h"

namespace {

// The masks of the chart kinds: "*.bms"...
std::vector<std::string> ChartMasks(const std::vector<std::string>& extensions) {
  std::vector<std::string> masks;
  for (const std::string& extension : extensions) masks.push_back("*." + extension);
  return masks;
}

// Whether `name` is a chart's name with dots or spaces after it: Windows
// drops those from a file name, Linux keeps them, and no mask matches.
bool ChartNameWithTrailingDots(const std::string& name, const std::vector<std::string>& masks) {
  const std::size_t end = name.find_last_not_of(". ");
  return end != std::string::npos && end + 1 < name.size() && platform::MatchesAnyMask(name.substr(0, end + 1), masks);
}

// The files at the top of a folder named like a chart of one of the kinds
// of `masks`: no folders, no hidden files. The folder is read once, whatever
// the number of kinds. `unlisted` gets the names CP932 cannot hold, grouped
// by kind in the order of `masks`; `misnamed` the charts' names with dots
// or spaces after them.
std::vector<platform::FoundFile> TopLevelFiles(const std::string& dir, const std::vector<std::string>& masks,
                                               std::vector<std::string>& unlisted, std::vector<std::string>& misnamed) {
  std::vector<std::string> wider = masks;
  for (const std::string& m : masks) wider.push_back(m + "*");
  std::vector<platform::FoundFile> files;
  for (auto& f : platform::FindFiles(dir, wider, &unlisted)) {
    if (f.directory || f.hidden) continue;
    if (platform::MatchesAnyMask(f.name, masks))
      files.push_back(std::move(f));
    else if (ChartNameWithTrailingDots(f.name, masks))
      misnamed.push_back(f.name);
  }
  std::erase_if(unlisted, [&masks](const std::string& n) {
    return n.empty() || n[0] == '.' || !(platform::MatchesAnyMask(n, masks) || ChartNameWithTrailingDots(n, masks));
  });
  std::sort(misnamed.begin(), misnamed.end());
  if (masks.size() > 1) {
    auto kind = [&masks](const std::string& name) {
      std::size_t i = 0;
      while (i < masks.size() && !platform::MatchesMask(name, masks[i])) ++i;
      return i;
    };
    std::stable_sort(unlisted.begin(), unlisted.end(),
                     [&kind](const std::string& a, const std::string& b) { return kind(a) < kind(b); });
  }
  return files;
}

// The charts in the order their rows are appended: by the names shown. Each
// is opened by its name on disk, since a shown name may stand for two files
// (〜 and ～ have one CP932 form); such twins keep the order of their names
// on disk.
std::vector<platform::FoundFile> InRowOrder(std::vector<platform::FoundFile> found) {
  std::sort(found.begin(), found.end(),
            [](const platform::FoundFile& a, const platform::FoundFile& b) { return a.fsName < b.fsName; });
  std::map<std::string, std::deque<std::size_t>> byName;
  std::vector<std::string> names;
  for (std::size_t i = 0; i < found.size(); ++i) {
    byName[found[i].name].push_back(i);
    names.push_back(found[i].name);
  }
  SortNamesIgnoreCase(names);
  std::vector<platform::FoundFile> out;
  for (const std::string& n : names) {
    std::deque<std::size_t>& same = byName[n];
    out.push_back(std::move(found[same.front()]));
    same.pop_front();
  }
  return out;
}

std::string ErrorText(const std::exception& e) { return e.what(); }

// What a listing of the working folder's top found: the charts in row order
// and the names CP932 cannot hold.
struct ChartListing {
  std::vector<platform::FoundFile> charts;
  std::vector<std::string> unlisted;
  std::vector<std::string> misnamed;  // CP932
};

ChartListing ListCharts(const std::string& dir, const std::vector<std::string>& extensions) {
  ChartListing listing;
  listing.charts = InRowOrder(TopLevelFiles(dir, ChartMasks(extensions), listing.unlisted, listing.misnamed));
  return listing;
}

// The charts at the top of `dir` when every one of them can be opened: a
// chart that is a link to a file left packed cannot.
std::optional<ChartListing> OpeningCharts(const std::string& dir, const std::vector<std::string>& extensions) {
  ChartListing listing = ListCharts(dir, extensions);
  const std::string fsDir = platform::IncludeTrailingDelimiter(platform::FsName(dir));
  for (const platform::FoundFile& f : listing.charts) {
    try {
      platform::InputFile file(platform::FsPath{fsDir + f.fsName});
    } catch (const std::exception&) {
      return std::nullopt;
    }
  }
  return listing;
}

// Past these a folder tree is no song's (links may loop): the walk stops.
constexpr int kMaxNameDepth = 32;
constexpr std::size_t kMaxNames = kMaxArchiveNames;

void AddNamesUnder(ArchiveNames& names, const std::string& dir, const std::string& prefix, int depth) {
  if (depth > kMaxNameDepth) return;
  for (const platform::FoundFile& f : platform::FindFiles(dir, "*")) {
    if (names.Count() >= kMaxNames) return;
    if (f.directory)
      AddNamesUnder(names, platform::IncludeTrailingDelimiter(dir + f.name), prefix + f.name + "/", depth + 1);
    else
      names.Add(prefix + f.name);
  }
}

// The files an unpacking left in `dir` (CP932, with trailing delimiter):
// what is known of the archive when it cannot be listed.
ArchiveNames NamesUnder(const std::string& dir) {
  ArchiveNames names;
  AddNamesUnder(names, dir, "", 0);
  return names;
}

// The files of the archive `component` has selected, from its listing; none
// when the library cannot list it.
std::optional<ArchiveNames> ListedNames(TArchiveFile& component, const std::string& archivePath,
                                        platform::WindowHandle window) {
  TArchiver* archiver = component.Archiver();
  if (!archiver) return std::nullopt;
  try {
    HARC handle = archiver->OpenArchive(window, archivePath, M_ERROR_MESSAGE_OFF | M_REGARDLESS_INIT_FILE);
    if (handle == 0) return std::nullopt;
    ArchiveNames names;
    INDIVIDUALINFO info{};
    int found = archiver->FindFirst(handle, &info, "");
    while (found == 0 && names.Count() < kMaxNames) {
      names.Add(std::string_view(info.szFileName, strnlen(info.szFileName, sizeof info.szFileName)));
      found = archiver->FindNext(handle, &info);
    }
    archiver->CloseArchive(handle);
    if (found != -1 && found != 0) return std::nullopt;
    return names;
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

}  // namespace

// One archive of a drop, from unpacking to its report.
struct DropPipeline::Unpacked {
  std::size_t index = 0;
  std::string openPath;  // what the libraries open: absolute
  std::string folder;    // unpacking form
  ArchiveProblem problem;
  bool attempted = false;  // a driver was there: the folder's top is emptied after
  bool extracted = false;  // the library returned: what it unpacked is listed
  std::int32_t result = 0;  // the library's
  // Files the clean-up before unpacking could not delete: not this
  // archive's, never listed.
  std::vector<std::string> leftBefore;
  // The archive component's selection before this archive's, to take it
  // back when the archive was unpacked ahead and is not to be listed.
  TArchiveFile::Selection selectionBefore;
  // Chart kinds the options leave out that the archive holds, when it gave
  // no row: said with the problem, since the options would list them.
  std::vector<std::string> otherKinds;
  // The charts a charts-only unpacking found, checked where the libraries
  // run, so the calling thread reads them without listing the folder again.
  std::optional<ChartListing> listing;
  // The archive's files from its listing, when the facts ask for them and
  // only the charts were unpacked.
  std::optional<ArchiveNames> names;
  // The charts read into memory instead of unpacked, in row order.
  std::vector<MemoryChart> memoryCharts;
};

// One of the two unpackings a drop on two cores keeps going: a folder, an
// archive component of its own (the caller's selects in archive order; this
// one is set to each selection and unpacks), the archive in it, and the
// thread that unpacks it.
struct DropPipeline::Lane {
  std::string folder;
  TArchiveFile component;
  std::optional<Unpacked> job;
  // Last, so that the thread has ended before what it works on goes, even
  // when a callback raises.
  BackgroundTask worker;
};

DropPipeline::DropPipeline(ChartList& list, TArchiveFile& archiveFile, platform::WindowHandle window)
    : list_(list), archiveFile_(archiveFile), window_(window) {}

bool DropPipeline::BothCoresByDefault() { return std::thread::hardware_concurrency() >= 2; }

bool DropPipeline::IsSkippedName(const std::string& path) {
  return platform::AsciiUpper(platform::ExtractFileExt(path)) == ".EXE";
}

void DropPipeline::NoteLaterVolumes() {
  laterVolumes_.assign(openPaths_.size(), false);
  for (std::size_t i = 0; i < openPaths_.size(); ++i) {
    std::string first = arc::FirstVolumeName(openPaths_[i]);
    if (first.empty() || IsFolderStep(i)) continue;
    laterVolumes_[i] = std::any_of(openPaths_.begin(), openPaths_.end(), [&](const std::string& p) {
      // The same file by another spelling (letter case on Windows) counts too.
      return p == first ||
             platform::SameFile(platform::FsPath{platform::FsName(p)}, platform::FsPath{platform::FsName(first)});
    });
  }
}

bool DropPipeline::PassedOver(std::size_t index, const std::string& path) const {
  return IsSkippedName(path) || (index < laterVolumes_.size() && laterVolumes_[index]);
}

void DropPipeline::WMDropFiles(const std::vector<std::string>& dropped) {
  // Paths are used whole: cutting a long path would silently name another
  // file. A relative one is taken now: listing makes the working folder the
  // current folder.
  const std::vector<std::string> paths = ExpandFolders(dropped);
  std::size_t archives = 0;
  NoteLaterVolumes();
  for (std::size_t i = 0; i < paths.size(); ++i)
    if (!PassedOver(i, paths[i]) && !IsFolderStep(i)) ++archives;
  const std::string folder = WorkingFolderForUnpacking();
  std::string spare;
  if (bothCores && archives >= 2) {
    spare = SpareWorkingFolder();
    if (!spare.empty()) {
      // Both folders must start empty at the top: a file left there (one
      // that cannot be deleted) belongs with the next archive's charts, as
      // in the one folder of a serial drop.
      EmptyFolderTop(spare);
      if (platform::FolderTopHoldsFiles(spare)) platform::MoveFolderEntries(spare, folder);
      EmptyFolderTop(folder);
      if (platform::FolderTopHoldsFiles(folder) || platform::FolderTopHoldsFiles(spare)) spare.clear();
      // A folder that takes no file fails every archive of a serial drop;
      // the other folder must not list them meanwhile.
      if (!platform::FolderTakesNewFiles(folder) || !platform::FolderTakesNewFiles(spare)) spare.clear();
    }
  }
  if (spare.empty())
    DropSerially(paths, 0, folder, nullptr);
  else
    DropOnBothCores(paths, spare);
  openPaths_.clear();
  laterVolumes_.clear();
  folderSteps_.clear();
}

void DropPipeline::AddArchive(const std::string& archivePath) {
  Unpacked u = Prepare(0, archivePath, WorkingFolderForUnpacking());
  u.openPath = platform::AbsolutePath(archivePath);
  Unpack(u);
  Finish(u);
}

DropPipeline::Unpacked DropPipeline::Prepare(std::size_t index, const std::string& path,
                                             const std::string& folder) const {
  Unpacked u;
  u.index = index;
  u.openPath = index < openPaths_.size() ? openPaths_[index] : path;
  u.folder = folder;
  u.problem.archivePath = path;
  return u;
}

void DropPipeline::DropSerially(const std::vector<std::string>& paths, std::size_t from, std::string folder,
                                BackgroundTask* worker) {
  for (std::size_t i = from; i < paths.size(); ++i) {
    if (onArchiveStarting && !onArchiveStarting(i, paths.size(), paths[i])) break;
    if (IsFolderStep(i)) {
      ReadFolderStep(i);
      continue;
    }
    if (PassedOver(i, paths[i])) continue;
    Unpacked u = Prepare(i, paths[i], folder);
    // A two-core drop gone serial keeps calling the libraries from one of
    // its threads.
    if (worker)
      worker->Run([this, &u] { Unpack(u); }, onWaiting);
    else
      Unpack(u);
    Finish(u);
    folder = u.folder;  // a fresh one when files could not be deleted
  }
}

void DropPipeline::DropOnBothCores(const std::vector<std::string>& paths, const std::string& spare) {
  std::string mainFolder = WorkingFolderForUnpacking();
  Lane lanes[2];
  lanes[0].folder = mainFolder;
  lanes[1].folder = spare;
  for (Lane& lane : lanes) {
    lane.component.SetDriverSource(archiveFile_.DriverSourceInUse());
    lane.component.SetOutputSize(archiveFile_.GetOutputSize());
    lane.component.OnProgress = archiveFile_.OnProgress;
  }
  std::deque<Lane*> inFlight;  // in archive order
  std::size_t next = 0;        // the first archive not started
  bool mainFolderFails = false;
  auto fill = [&] {
    for (Lane& lane : lanes)
      if (!lane.job && StartOn(lane, paths, next)) inFlight.push_back(&lane);
  };
  auto discardInFlight = [&] {
    Discard({inFlight.begin(), inFlight.end()});
    inFlight.clear();
  };

  for (std::size_t i = 0; i < paths.size(); ++i) {
    if (onArchiveStarting && !onArchiveStarting(i, paths.size(), paths[i])) {
      // Stopped before this archive: whatever was unpacked ahead goes unlisted.
      discardInFlight();
      return;
    }
    if (IsFolderStep(i)) {
      // Read on this thread while the next archives unpack.
      fill();
      ReadFolderStep(i);
      continue;
    }
    if (PassedOver(i, paths[i])) continue;
    fill();
    Lane& lane = *inFlight.front();  // archive i
    inFlight.pop_front();
    lane.worker.Wait(onWaiting);
    Unpacked current = std::move(*lane.job);
    lane.job.reset();
    if (FailedForSpaceOrFolder(current)) {
      // The other unpacking shared the disk, or the folder was the second
      // one: the archive is unpacked again alone, in the first folder, as a
      // serial drop would, before anything is said about it.
      EmptyFolderTop(current.folder);
      discardInFlight();
      current = UnpackAlone(current, mainFolder, lane.worker);
      next = i + 1;
      // Failing alone too, the first folder itself takes no files: the
      // second must not list what a serial drop cannot.
      mainFolderFails = FailedForSpaceOrFolder(current) && current.result != ERROR_DISK_SPACE;
    } else if (current.extracted) {
      archiveFile_.TakeExtractResults(lane.component);
    }
    const std::string unpackedIn = current.folder;
    Finish(current);
    if (current.folder != unpackedIn) {
      // Files there could not be deleted: the folder was swapped for a
      // fresh one, which its lane uses from now on.
      for (Lane& l : lanes)
        if (l.folder == unpackedIn) l.folder = current.folder;
      mainFolder = lanes[0].folder;
    }
    if (mainFolderFails) {
      DropSerially(paths, i + 1, mainFolder, &lane.worker);
      return;
    }
    if (platform::FolderTopHoldsFiles(current.folder)) {
      // A file the clean-up could not delete is listed again with the next
      // archive, as in one folder: what was unpacked ahead without it goes,
      // and the drop goes on in the first folder with the file moved there.
      discardInFlight();
      std::string folder = current.folder;
      if (folder != mainFolder && platform::MoveFolderEntries(folder, mainFolder)) folder = mainFolder;
      DropSerially(paths, i + 1, folder, &lane.worker);
      return;
    }
    // The folder is free again: the archive after those in flight goes there.
    fill();
  }
}

bool DropPipeline::FailedForSpaceOrFolder(const Unpacked& u) {
  switch (u.result) {
    case ERROR_DISK_SPACE:
    case ERROR_CANNOT_WRITE:
    case ERROR_MAKEDIRECTORY:
    case ERROR_TMP_OPEN:
    case ERROR_FILE_OPEN:
      return true;
    default:
      return false;
  }
}

DropPipeline::Unpacked DropPipeline::UnpackAlone(const Unpacked& failed, const std::string& folder,
                                                 BackgroundTask& worker) {
  try {
    archiveFile_.RestoreSelection(failed.selectionBefore);
  } catch (...) {
    // Selected again from where the drop has got to: the same driver for
    // every archive of a known type.
  }
  Unpacked u = Prepare(failed.index, failed.problem.archivePath, folder);
  u.selectionBefore = failed.selectionBefore;
  worker.Run([this, &u] { Unpack(u); }, onWaiting);
  return u;
}

bool DropPipeline::StartOn(Lane& lane, const std::vector<std::string>& paths, std::size_t& next) {
  while (next < paths.size() && (PassedOver(next, paths[next]) || IsFolderStep(next))) ++next;
  if (next == paths.size()) return false;
  lane.job = Prepare(next, paths[next], lane.folder);
  ++next;
  Unpacked& u = *lane.job;
  // Selections are made here, in archive order, as a serial drop makes
  // them: an archive of no known type goes to the driver the one before left.
  u.selectionBefore = archiveFile_.CurrentSelection();
  if (!Select(u)) return true;
  try {
    lane.component.RestoreSelection(archiveFile_.CurrentSelection());
  } catch (const std::exception& e) {
    u.problem.reasons.push_back(Reason("書庫ライブラリがないか使えません: ") + ErrorText(e));
    return true;
  } catch (...) {
    u.problem.reasons.push_back(Reason("書庫ライブラリがないか使えません"));
    return true;
  }
  Unpacked* job = &u;
  TArchiveFile* component = &lane.component;
  lane.worker.Start([this, job, component] { ExtractSelected(*job, *component); });
  return true;
}

void DropPipeline::Discard(const std::vector<Lane*>& lanes) {
  if (lanes.empty()) return;
  for (Lane* lane : lanes) {
    lane->worker.Wait(onWaiting);
    if (lane->job->attempted) EmptyFolderTop(lane->job->folder);
  }
  try {
    archiveFile_.RestoreSelection(lanes.front()->job->selectionBefore);
  } catch (...) {
    // The library of the earlier selection cannot be had again: the next
    // drop's selection decides as if nothing had been selected since.
  }
  for (Lane* lane : lanes) lane->job.reset();
}

void DropPipeline::Unpack(Unpacked& u) {
  if (Select(u)) ExtractSelected(u, archiveFile_);
}

bool DropPipeline::Select(Unpacked& u) {
  ArchiveProblem& problem = u.problem;
  // Asked first: an unknown name would otherwise go to the last driver.
  if (std::string first = arc::FirstVolumeName(u.openPath); !first.empty()) {
    problem.reasons.push_back(Reason("分割書庫の最初の巻ではありません (最初の巻 ") + platform::ExtractFileName(first) +
                              Reason(" を開いてください)"));
    return false;
  }
  try {
    archiveFile_.SetFileName(u.openPath);
  } catch (const std::exception& e) {
    // The format's library cannot be used: nothing unpacked, nothing to clean.
    problem.reasons.push_back(Reason("書庫ライブラリがないか使えません: ") + ErrorText(e));
    return false;
  } catch (...) {
    problem.reasons.push_back(Reason("書庫ライブラリがないか使えません"));
    return false;
  }
  if (!archiveFile_.Archiver()) {
    // No format recognised yet, so no driver: nothing can be unpacked, and
    // the working folder is left as it is.
    problem.reasons.push_back(Reason("形式がわかりません (対応する書庫: LZH, ZIP, CAB, ARJ, TAR, TGZ, BZ2, RAR, 7z, TAR.XZ, TAR.ZST)"));
    return false;
  }
  return true;
}

void DropPipeline::ExtractSelected(Unpacked& u, TArchiveFile& component) {
  ArchiveProblem& problem = u.problem;
  u.attempted = true;
  try {
    // Whatever a killed run or an undeletable file left at the top would be
    // listed as this archive's charts.
    EmptyFolderTop(u.folder, &u.leftBefore);
    std::int32_t result = ExtractInto(u, component);
    u.extracted = true;
    u.result = result;
    // The rows are whatever was unpacked, whatever the result; the result
    // only says what went wrong.
    if (std::string missing = MissingVolume(result, component.Output()); !missing.empty())
      problem.reasons.push_back(Reason("次の巻が見つかりません: ") + missing);
    else if (std::string reason = ExtractResultReason(result); !reason.empty())
      problem.reasons.push_back(reason);
  } catch (const EArchiver& e) {
    problem.reasons.push_back(Reason("書庫ライブラリに渡せないパスです: ") + ErrorText(e));
  } catch (const std::exception& e) {
    problem.reasons.push_back(ErrorText(e));
  } catch (...) {
    problem.reasons.push_back(Reason("予期しないエラー"));
  }
}

void DropPipeline::Finish(Unpacked& u) {
  ArchiveProblem& problem = u.problem;
  std::size_t rows = 0;
  if (u.extracted) {
    try {
      rows = ListAndReadCharts(u);
    } catch (const std::exception& e) {
      problem.reasons.push_back(ErrorText(e));
    } catch (...) {
      problem.reasons.push_back(Reason("予期しないエラー"));
    }
  }
  // Always empty the top of the folder once unpacking was attempted, or what
  // is left would be listed again under the next archive's name.
  if (u.attempted) {
    try {
      std::vector<std::string> left = u.leftBefore;
      EmptyFolderTop(u.folder, &left);
      if (!left.empty()) {
        // Kept, they would be listed under every later archive: they are
        // said once and left behind with their folder.
        std::sort(left.begin(), left.end());
        left.erase(std::unique(left.begin(), left.end()), left.end());
        problem.undeletableNames = std::move(left);
        u.folder = ReplaceWorkingFolder(u.folder);
      }
    } catch (...) {
    }
  }
  const bool said = !problem.reasons.empty() || !problem.unlistedNames.empty() || !problem.undeletableNames.empty();
  if (rows == 0 && !said) {
    std::string kinds;
    for (const std::string& e : options.extensions) kinds += (kinds.empty() ? "*." : ", *.") + e;
    std::string reason = "書庫の一番上に譜面 (" + kinds + ") がありません";
    if (!u.otherKinds.empty()) {
      std::string other;
      for (const std::string& e : u.otherKinds) other += (other.empty() ? "*." : ", *.") + e;
      reason += "。" + other + " の譜面はオプションの「譜面ファイル」で一覧に加えられます";
    }
    problem.reasons.push_back(Reason(reason));
  }
  if ((said || rows == 0) && onArchiveProblem) onArchiveProblem(problem);
}

namespace {
// Room for the library's closing message, which names a volume it could
// not find.
constexpr std::int32_t kMessageRoom = 1024;
}  // namespace

std::string DropPipeline::MissingVolume(std::int32_t result, const std::string& output) {
  static const std::string kSaid = "missing volume ";
  if (result == 0) return {};
  std::string text = output.substr(0, output.find('\0'));
  std::size_t at = text.find(kSaid);
  if (at == std::string::npos) return {};
  std::string path = text.substr(at + kSaid.size());
  path = path.substr(0, path.find_first_of("\r\n"));
  return platform::ExtractFileName(path);
}

std::int32_t DropPipeline::ExtractInto(Unpacked& u, TArchiveFile& component) {
  const std::string& folder = u.folder;
  if (component.GetOutputSize() < kMessageRoom) component.SetOutputSize(kMessageRoom);
  u.listing.reset();
  u.names.reset();
  u.memoryCharts.clear();
  if (options.chartsOnly && ReadInMemory(u, component)) return 0;
  if (options.chartsOnly) {
    // The masks carry no folder, so they match charts in any folder of the
    // archive; the libraries skip every other entry.
    TStringList masks;
    for (const std::string& extension : options.extensions) masks.push_back("*." + extension);
    std::int32_t result = component.Extract(window_, &archiveFile_.Options(), folder, &masks);
    // Any trouble (a failing entry, a chart linked to a file left packed)
    // may depend on what was skipped: the archive is then unpacked in full,
    // so its rows are those of a full unpacking. A Cancel stays a Cancel.
    if (result == ERROR_USER_CANCEL) return result;
    if (result == 0) {
      u.listing = OpeningCharts(folder + platform::kPathDelimiter, options.extensions);
      // The missing files need the names of the files left packed; without
      // a listing they are unpacked after all.
      if (u.listing && options.facts && !u.listing->charts.empty()) {
        u.names = ListedNames(component, u.openPath, window_);
        if (!u.names) u.listing.reset();
      }
      if (u.listing) return result;
    }
    EmptyFolderTop(folder);
  }
  const std::int32_t result = component.Extract(window_, &archiveFile_.Options(), folder, nullptr);
  // The unpacking writes every file at the top: the listing keeps the
  // folders the charts name their files by.
  if (options.facts) u.names = ListedNames(component, u.openPath, window_);
  return result;
}

bool DropPipeline::ReadInMemory(Unpacked& u, TArchiveFile& component) {
  // A file the clean-up left would be replaced by a chart of its name and
  // then passed over: only the unpacking shows that.
  TArchiver* archiver = component.Archiver();
  if (!archiver || !u.leftBefore.empty()) return false;
  std::optional<MemoryScan> scan = ReadChartsInMemory(*archiver, u.openPath, options.extensions, options.facts);
  if (!scan) return false;
  std::vector<platform::FoundFile> files;
  std::map<std::string, MemoryChart*> byFsName;
  for (MemoryChart& chart : scan->charts) {
    files.push_back(chart.file);
    byFsName[chart.file.fsName] = &chart;
  }
  for (const platform::FoundFile& f : InRowOrder(std::move(files)))
    u.memoryCharts.push_back(std::move(*byFsName[f.fsName]));
  if (options.facts) u.names = std::move(scan->names);
  return true;
}

void DropPipeline::AppendChartRow(ArchiveProblem& problem, const std::string& chartName,
                                  const std::function<void(ChartRow&)>& fields,
                                  const std::function<void(ChartRow&)>& read) {
  std::size_t index = list_.Append();
  ChartRow row = list_.Row(index);
  fields(row);
  try {
    read(row);
    ++chartsRead_;
  } catch (const std::exception& e) {
    problem.reasons.push_back(chartName + Reason(" を読めません: ") + ErrorText(e));
  }
  list_.SetRow(index, std::move(row));
  if (onRowAdded) onRowAdded(index);
}

std::size_t DropPipeline::ReadMemoryCharts(Unpacked& u) {
  ArchiveProblem& problem = u.problem;
  const std::string arcName = platform::ExtractFileName(problem.archivePath);
  const std::string arcPath = platform::ExtractFilePath(problem.archivePath);
  ChartReadOptions read{options.hashes, options.facts};
  if (options.facts) read.names = &*u.names;
  for (const MemoryChart& chart : u.memoryCharts) {
    AppendChartRow(
        problem, chart.file.name, [&](ChartRow& row) { row.SetArchiveFields(arcName, arcPath); },
        [&](ChartRow& row) { ReadChartBytes(row, chart.file.name, chart.bytes, chart.time, read); });
  }
  const std::size_t rows = u.memoryCharts.size();
  u.memoryCharts.clear();
  return rows;
}

std::size_t DropPipeline::ListAndReadCharts(Unpacked& u) {
  ArchiveProblem& problem = u.problem;
  const std::string dir = u.folder + platform::kPathDelimiter;
  if (!platform::SetCurrentDirectory(dir)) {
    problem.reasons.push_back(Reason("作業フォルダを使えません: ") + u.folder);
    return 0;
  }
  if (!u.memoryCharts.empty()) return ReadMemoryCharts(u);
  ChartListing listing = u.listing ? std::move(*u.listing) : ListCharts(dir, options.extensions);
  u.listing.reset();
  auto leftBefore = [&u](const std::string& fsName) {
    return std::find(u.leftBefore.begin(), u.leftBefore.end(), fsName) != u.leftBefore.end();
  };
  std::erase_if(listing.charts, [&](const platform::FoundFile& f) { return leftBefore(f.fsName); });
  std::erase_if(listing.unlisted, leftBefore);
  const std::vector<platform::FoundFile>& charts = listing.charts;
  if (charts.empty())
    for (const std::string& extension : AllChartExtensions())
      if (std::find(options.extensions.begin(), options.extensions.end(), extension) == options.extensions.end() &&
          !platform::FindFiles(dir, "*." + extension).empty())
        u.otherKinds.push_back(extension);
  problem.unlistedNames.insert(problem.unlistedNames.end(), listing.unlisted.begin(), listing.unlisted.end());
  if (!listing.misnamed.empty()) {
    std::string names;
    for (const std::string& n : listing.misnamed) names += " \"" + n + "\"";
    problem.reasons.push_back(Reason("名前が点か空白で終わるため一覧にない譜面:") + names);
  }
  const std::string fsDir = platform::IncludeTrailingDelimiter(platform::FsName(dir));

  const std::string arcName = platform::ExtractFileName(problem.archivePath);
  ChartReadOptions read{options.hashes, options.facts};
  ArchiveNames unpackedNames;
  if (options.facts && !charts.empty()) {
    if (!u.names) unpackedNames = NamesUnder(dir);
    read.names = u.names ? &*u.names : &unpackedNames;
  }
  for (const platform::FoundFile& chart : charts) {
    AppendChartRow(
        problem, chart.name,
        [&](ChartRow& row) { row.SetArchiveFields(arcName, platform::ExtractFilePath(problem.archivePath)); },
        [&](ChartRow& row) { ReadChart(row, chart.name, platform::FsPath{fsDir + chart.fsName}, read); });
  }
  return charts.size();
}
