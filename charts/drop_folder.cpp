// SPDX-License-Identifier: MIT
// The part of a drop that a dropped folder adds: its walk turned into steps
// (charts/folder_walk.h), and the charts of one folder read where they lie.
#include <exception>

#include "charts/archive_names.h"
#include "charts/chart_reader.h"
#include "charts/drop_pipeline.h"
#include "charts/folder_walk.h"
#include "platform/cp932.h"
#include "platform/files.h"
#include "platform/paths.h"

// One step of a dropped folder: a folder's charts, or only what is to be
// said about the folder (nothing in it to list, folders left out).
struct DropPipeline::FolderStep {
  ChartFolder folder;
  std::vector<std::string> reasons;  // CP932
};

namespace {

// Past these a folder's files are no song's: the names stop there.
constexpr int kNamesDepth = 3;
constexpr std::size_t kMaxNames = 100000;

void AddNames(ArchiveNames& names, const std::string& dir, const std::string& prefix, int depth) {
  for (const platform::FoundFile& f : platform::FindFiles(dir, "*")) {
    if (names.Count() >= kMaxNames) return;
    if (f.directory) {
      if (!f.link && depth < kNamesDepth)
        AddNames(names, dir + f.name + platform::kPathDelimiter, prefix + f.name + "/", depth + 1);
    } else {
      names.Add(prefix + f.name);
    }
  }
}

std::string KindsText(const std::vector<std::string>& extensions) {
  std::string kinds;
  for (const std::string& e : extensions) kinds += (kinds.empty() ? "*." : ", *.") + e;
  return kinds;
}

std::string WithoutTrailingDelimiter(const std::string& path) {
  return platform::EndsWithDelimiter(path) && path.size() > 1 ? path.substr(0, path.size() - 1) : path;
}

}  // namespace

std::vector<std::string> DropPipeline::ExpandFolders(const std::vector<std::string>& dropped) {
  std::vector<std::string> steps;
  openPaths_.clear();
  folderSteps_.clear();
  auto add = [&](const std::string& shown, const std::string& open, std::shared_ptr<const FolderStep> step) {
    steps.push_back(shown);
    openPaths_.push_back(open);
    folderSteps_.push_back(std::move(step));
  };
  for (const std::string& p : dropped) {
    const std::string absolute = platform::AbsolutePath(p);
    if (!platform::DirectoryExists(absolute)) {
      add(p, absolute, nullptr);
      continue;
    }
    FolderContents contents = WalkDroppedFolder(absolute, options.extensions, options.folderArchives, onWalking);
    if (contents.stopped) {
      // Stopped while walking: the drop ends before its first step.
      openPaths_.clear();
      folderSteps_.clear();
      return {};
    }
    const std::string top = WithoutTrailingDelimiter(absolute);
    for (ChartFolder& f : contents.folders) {
      auto step = std::make_shared<FolderStep>();
      if (f.unlistedFolders > 0)
        step->reasons.push_back(
            Reason("コード ページ 932 で表せない名前のフォルダの中は読めません (" + std::to_string(f.unlistedFolders) + " 個)"));
      const std::string path = WithoutTrailingDelimiter(f.path);
      step->folder = std::move(f);
      add(path, path, std::move(step));
    }
    for (const std::string& archive : contents.archives) add(archive, archive, nullptr);
    std::vector<std::string> reasons;
    if (contents.tooDeep)
      reasons.push_back(Reason(std::to_string(kMaxFolderDepth) + " 階層より深いフォルダは読みません"));
    if (contents.chartCount == 0 && contents.archives.empty()) {
      std::string reason = "フォルダに譜面 (" + KindsText(options.extensions) + ") がありません";
      if (!contents.otherKinds.empty())
        reason += "。" + KindsText(contents.otherKinds) + " の譜面はオプションの「譜面ファイル」で一覧に加えられます";
      if (contents.archivesLeft > 0)
        reason += "。中の書庫 " + std::to_string(contents.archivesLeft) +
                  " 個はオプションの「フォルダ内の書庫も展開する」で展開されます";
      reasons.push_back(Reason(reason));
    }
    if (!reasons.empty()) {
      auto step = std::make_shared<FolderStep>();
      step->folder.path = platform::IncludeTrailingDelimiter(absolute);
      step->reasons = std::move(reasons);
      add(top, top, std::move(step));
    }
  }
  return steps;
}

void DropPipeline::ReadFolderStep(std::size_t i) {
  const FolderStep& step = *folderSteps_[i];
  const ChartFolder& folder = step.folder;
  ArchiveProblem problem;
  problem.archivePath = WithoutTrailingDelimiter(folder.path);
  problem.reasons = step.reasons;
  problem.unlistedNames = folder.unlisted;
  const std::string fsDir = platform::IncludeTrailingDelimiter(platform::FsName(folder.path));
  ChartReadOptions read{options.hashes, options.facts};
  ArchiveNames names;
  if (options.facts && !folder.charts.empty()) {
    // The files a chart names are looked up from its own folder down.
    AddNames(names, folder.path, "", 0);
    read.names = &names;
  }
  for (const platform::FoundFile& chart : folder.charts) {
    AppendChartRow(
        problem, chart.name,
        [&](ChartRow& row) {
          row.SetArchiveFields(folder.shown, folder.path);
          row.inFolder = true;
        },
        [&](ChartRow& row) { ReadChart(row, chart.name, platform::FsPath{fsDir + chart.fsName}, read); });
  }
  if ((!problem.reasons.empty() || !problem.unlistedNames.empty()) && onArchiveProblem) onArchiveProblem(problem);
}
