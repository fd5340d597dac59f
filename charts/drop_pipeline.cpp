#include "charts/drop_pipeline.h"

#include <algorithm>
#include <deque>
#include <exception>
#include <map>

#include "charts/chart_reader.h"
#include "charts/name_order.h"
#include "charts/working_folder.h"
#include "drivers/archive_file.h"
#include "platform/cp932.h"
#include "platform/error.h"
#include "platform/files.h"
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

}  // namespace

DropPipeline::DropPipeline(ChartList& list, TArchiveFile& archiveFile, platform::WindowHandle window)
    : list_(list), AF(archiveFile), window_(window) {}

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
  try {
    AF.SetFileName(archivePath);
  } catch (const platform::Error&) {
    return;  // the format cannot be used: nothing unpacked, nothing to clean
  }
  // No format recognised yet, so no driver: nothing can be unpacked, and the
  // working folder is left as it is.
  if (!AF.Archiver()) return;
  try {
    AF.Extract(window_, &AF.Options(), WorkingFolderForUnpacking(), nullptr);  // result deliberately ignored
    ListAndReadCharts(archivePath);
  } catch (const platform::Error&) {
    // Errors of one archive end it silently; the drop goes on.
  }
  // Always empty the top of the folder once unpacking was attempted, or what
  // is left would be listed again under the next archive's name.
  try {
    CleanUp();
  } catch (const platform::Error&) {
  }
}

void DropPipeline::ListAndReadCharts(const std::string& archivePath) {
  const std::string dir = WorkingFolderForListing();
  if (!platform::SetCurrentDirectory(dir)) return;  // no working folder: nothing listed
  std::vector<platform::FoundFile> found;
  std::vector<std::string> unlisted;
  for (const std::string& extension : options.extensions) {
    // A name has one extension, so no chart is found twice.
    std::vector<std::string> unlistedHere;
    for (auto& f : TopLevelFiles(dir, "*." + extension, unlistedHere)) found.push_back(std::move(f));
    unlisted.insert(unlisted.end(), unlistedHere.begin(), unlistedHere.end());
  }
  if (!unlisted.empty() && onUnlistedFiles) onUnlistedFiles(archivePath, unlisted);
  const std::vector<platform::FoundFile> charts = InRowOrder(std::move(found));
  const std::string fsDir = platform::IncludeTrailingDelimiter(platform::FsName(dir));

  const std::string arcName = platform::ExtractFileName(archivePath);
  const std::string arcPath = platform::ExtractFilePath(archivePath);
  for (const platform::FoundFile& chart : charts) {
    if (FRows.size() < static_cast<std::size_t>(FRowCount) + 1) FRows.resize(static_cast<std::size_t>(FRowCount) + 1);
    std::size_t index = list_.Append();
    FRows[static_cast<std::size_t>(FRowCount)] = index;
    ChartRow row = list_.Row(index);
    row.subItems[siArcName] = arcName;
    row.subItems[siArcPath] = arcPath;
    bool complete = true;
    try {
      ReadChart(row, chart.name, platform::FsPath{fsDir + chart.fsName}, ChartReadOptions{options.hashes});
    } catch (const platform::Error&) {
      // The row keeps what was read; the other charts still get their rows.
      complete = false;
    }
    list_.SetRow(index, std::move(row));
    if (onRowAdded) onRowAdded(index);
    if (complete) ++FRowCount;
  }
}

void DropPipeline::CleanUp() {
  const std::string dir = WorkingFolderForListing();
  if (!platform::DirectoryExists(dir)) return;
  std::vector<std::string> unlisted;
  // Every file the archive put at the top goes, dot files included (macOS
  // archives carry "._name" files), each by its file-system name.
  for (auto& f : platform::FindFiles(dir, "*.*", &unlisted))
    if (!f.directory) platform::DeleteFsFile(dir, f.fsName);  // failures stay, silently
  // Files CP932 cannot name are removed too.
  for (auto& fsName : unlisted) platform::DeleteFsFile(dir, fsName);
}
