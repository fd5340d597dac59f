#include "charts/drop_pipeline.h"

#include <algorithm>
#include <deque>
#include <exception>
#include <map>

#include "archives/earchiver.h"
#include "charts/chart_reader.h"
#include "charts/name_order.h"
#include "charts/working_folder.h"
#include "drivers/archive_file.h"
#include "platform/cp932.h"
#include "platform/error.h"
#include "platform/files.h"
#include "platform/input_file.h"
#include "platform/paths.h"

namespace {

// The files matching `mask` at the top of a folder: no folders, no hidden
// files.
std::vector<platform::FoundFile> TopLevelFiles(const std::string& dir, const std::string& mask,
                                               std::vector<std::string>& unlisted) {
  std::vector<platform::FoundFile> files;
  for (auto& f : platform::FindFiles(dir, mask, &unlisted))
    if (!f.directory && !f.hidden) files.push_back(std::move(f));
  std::erase_if(unlisted, [](const std::string& n) { return n.empty() || n[0] == '.'; });
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

// True when every file at the top of `dir` named like a chart can be opened:
// a chart that is a link to a file left packed cannot.
bool ChartsOpen(const std::string& dir, const std::vector<std::string>& extensions) {
  const std::string fsDir = platform::IncludeTrailingDelimiter(platform::FsName(dir));
  for (const std::string& extension : extensions)
    for (const platform::FoundFile& f : platform::FindFiles(dir, "*." + extension)) {
      if (f.directory || f.hidden) continue;
      try {
        platform::InputFile file(platform::FsPath{fsDir + f.fsName});
      } catch (const std::exception&) {
        return false;
      }
    }
  return true;
}

}  // namespace

DropPipeline::DropPipeline(ChartList& list, TArchiveFile& archiveFile, platform::WindowHandle window)
    : list_(list), archiveFile_(archiveFile), window_(window) {}

bool DropPipeline::IsSkippedName(const std::string& path) {
  return platform::AsciiUpper(platform::ExtractFileExt(path)) == ".EXE";
}

void DropPipeline::WMDropFiles(const std::vector<std::string>& paths) {
  // Paths are used whole: cutting a long path would silently name another file.
  for (std::size_t i = 0; i < paths.size(); ++i) {
    if (onArchiveStarting && !onArchiveStarting(i, paths.size(), paths[i])) break;
    if (!IsSkippedName(paths[i])) AddArchive(paths[i]);
  }
}

void DropPipeline::AddArchive(const std::string& archivePath) {
  ArchiveProblem problem{archivePath, {}, {}};
  std::size_t rows = 0;
  try {
    archiveFile_.SetFileName(archivePath);
  } catch (const std::exception& e) {
    // The format's library cannot be used: nothing unpacked, nothing to clean.
    problem.reasons.push_back("archiver library missing or unusable: " + ErrorText(e));
  }
  if (problem.reasons.empty() && !archiveFile_.Archiver()) {
    // No format recognised yet, so no driver: nothing can be unpacked, and
    // the working folder is left as it is.
    problem.reasons.push_back("unknown format");
  } else if (problem.reasons.empty()) {
    // Whatever a killed run or an undeletable file left at the top would be
    // listed as this archive's charts.
    EmptyWorkingFolderTop();
    try {
      std::int32_t result = Unpack();
      // The rows are whatever was unpacked, whatever the result; the result
      // only says what went wrong.
      if (std::string reason = ExtractResultReason(result); !reason.empty()) problem.reasons.push_back(reason);
      rows = ListAndReadCharts(problem);
    } catch (const EArchiver& e) {
      problem.reasons.push_back("a path that cannot be passed to the archiver library: " + ErrorText(e));
    } catch (const std::exception& e) {
      problem.reasons.push_back(ErrorText(e));
    } catch (...) {
      problem.reasons.push_back("unexpected failure");
    }
    // Always empty the top of the folder once unpacking was attempted, or what
    // is left would be listed again under the next archive's name.
    try {
      EmptyWorkingFolderTop();
    } catch (...) {
    }
  }
  if (rows == 0 && problem.reasons.empty() && problem.unlistedNames.empty())
    problem.reasons.push_back("no chart at the top of the archive");
  if ((!problem.reasons.empty() || !problem.unlistedNames.empty()) && onArchiveProblem) onArchiveProblem(problem);
}

std::int32_t DropPipeline::Unpack() {
  const std::string dest = WorkingFolderForUnpacking();
  if (options.chartsOnly) {
    // The masks carry no folder, so they match charts in any folder of the
    // archive; the libraries skip every other entry.
    TStringList masks;
    for (const std::string& extension : options.extensions) masks.push_back("*." + extension);
    std::int32_t result = archiveFile_.Extract(window_, &archiveFile_.Options(), dest, &masks);
    // Any trouble (a failing entry, a chart linked to a file left packed)
    // may depend on what was skipped: the archive is then unpacked in full,
    // so its rows are those of a full unpacking. A Cancel stays a Cancel.
    if (result == ERROR_USER_CANCEL || (result == 0 && ChartsOpen(WorkingFolderForListing(), options.extensions)))
      return result;
    EmptyWorkingFolderTop();
  }
  return archiveFile_.Extract(window_, &archiveFile_.Options(), dest, nullptr);
}

std::size_t DropPipeline::ListAndReadCharts(ArchiveProblem& problem) {
  const std::string dir = WorkingFolderForListing();
  if (!platform::SetCurrentDirectory(dir)) {
    problem.reasons.push_back("the working folder cannot be used");
    return 0;
  }
  std::vector<platform::FoundFile> found;
  for (const std::string& extension : options.extensions) {
    // A name has one extension, so no chart is found twice.
    std::vector<std::string> unlistedHere;
    for (auto& f : TopLevelFiles(dir, "*." + extension, unlistedHere)) found.push_back(std::move(f));
    problem.unlistedNames.insert(problem.unlistedNames.end(), unlistedHere.begin(), unlistedHere.end());
  }
  const std::vector<platform::FoundFile> charts = InRowOrder(std::move(found));
  const std::string fsDir = platform::IncludeTrailingDelimiter(platform::FsName(dir));

  const std::string arcName = platform::ExtractFileName(problem.archivePath);
  const std::string arcPath = platform::ExtractFilePath(problem.archivePath);
  for (const platform::FoundFile& chart : charts) {
    std::size_t index = list_.Append();
    ChartRow row = list_.Row(index);
    row.subItems[siArcName] = arcName;
    row.subItems[siArcPath] = arcPath;
    try {
      ReadChart(row, chart.name, platform::FsPath{fsDir + chart.fsName}, ChartReadOptions{options.hashes});
      ++chartsRead_;
    } catch (const std::exception& e) {
      // The row keeps what was read; the other charts still get their rows.
      problem.reasons.push_back(chart.name + " could not be read: " + ErrorText(e));
    }
    list_.SetRow(index, std::move(row));
    if (onRowAdded) onRowAdded(index);
  }
  return charts.size();
}
