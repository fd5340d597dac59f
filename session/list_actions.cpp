// SPDX-License-Identifier: MIT
#include "session/list_actions.h"

#include <set>

#include "charts/column_text.h"
#include "charts/csv_import.h"
#include "platform/cp932.h"
#include "platform/desktop/file_actions.h"
#include "platform/files.h"
#include "platform/folder_tree.h"
#include "platform/input_file.h"
#include "platform/path_text.h"
#include "platform/paths.h"
#include "session/archive_names.h"
#include "session/session.h"
#include "session/song_installer.h"

// A row whose archive path CP932 cannot hold keeps its fields in UTF-8: the
// path is then the marked UTF-8 form (platform/path_text.h).
std::string RowArchiveFolder(const ChartRow& row) {
  if (row.archiveEncoding == platform::TextEncoding::kCp932) return row.subItems[siArcPath];
  return platform::kUtf8PathMark + row.subItems[siArcPath];
}

std::string RowArchivePath(const ChartRow& row) { return RowArchiveFolder(row) + row.subItems[siArcName]; }

namespace {
// The name part of a path, as UTF-8 text.
std::string FileNameUtf8(const std::string& path) {
  const std::string name = platform::ExtractFileName(path);
  return platform::IsUtf8Path(path) ? name : platform::Cp932ToUtf8(name);
}
}  // namespace

ListActions::~ListActions() {
  if (!previewFolder_.empty()) platform::RemoveFolderTree(previewFolder_);
}

void ListActions::CheckAll() { session_.List().CheckAll(true); }
void ListActions::UncheckAll() { session_.List().CheckAll(false); }
void ListActions::InvertChecks() { session_.List().InvertChecks(); }

std::size_t ListActions::RemoveCheckedRows() {
  return session_.List().RemoveRows([](const ChartRow& row) { return row.checked; });
}

void ListActions::ClearList() { session_.List().Clear(); }

std::vector<std::string> ListActions::CheckedArchives() const {
  std::vector<std::string> archives;
  std::set<std::string> seen;
  for (const ChartRow& row : session_.List().Rows()) {
    if (!row.checked || row.subItems[siArcName].empty() || row.inFolder) continue;
    std::string path = RowArchivePath(row);
    if (seen.insert(path).second) archives.push_back(std::move(path));
  }
  return archives;
}

void ListActions::RefuseFolderRows(const std::string& refusal) {
  std::set<std::string> seen;
  for (const ChartRow& row : session_.List().Rows()) {
    if (!row.checked || !row.inFolder) continue;
    const std::string& folder = row.subItems[siArcPath];
    if (seen.insert(folder).second)
      Report(platform::EndsWithDelimiter(folder) ? folder.substr(0, folder.size() - 1) : folder,
             refusal + ": フォルダから読んだ譜面です (書庫の譜面だけが対象です)");
  }
}

void ListActions::Report(const std::string& archivePath, const std::string& reasonUtf8) {
  ArchiveProblem problem;
  problem.archivePath = archivePath;
  problem.reasons.push_back(platform::Utf8ToCp932(reasonUtf8));
  session_.ReportProblem(problem);
}

ListActions::InstallTotals ListActions::InstallChecked(const std::string& libraryDir) {
  InstallTotals totals;
  RefuseFolderRows("導入できません");
  const std::vector<std::string> archives = CheckedArchives();
  totals.archives = archives.size();
  // Each install gets a component of its own, so the session's selection
  // (which driver an unknown name goes to) stays the drops' own.
  TArchiveFile component;
  ApplyMainWindowSettings(component);
  component.SetDriverSource(session_.ArchiveFile().DriverSourceInUse());
  component.OnProgress = session_.ArchiveFile().OnProgress;
  session_.RunJob(archives, [&](std::size_t i) {
    if (!platform::FileExists(archives[i])) {
      Report(archives[i], "書庫が見つかりません (一覧に載せた後で移されたか消されました)");
      ++totals.failed;
      return;
    }
    InstallResult r = InstallSong(component, session_.OwnerWindow(), archives[i], libraryDir);
    totals.written += r.written;
    totals.same += r.same;
    totals.kept += r.kept;
    totals.failed += r.failed;
    totals.cancelled = totals.cancelled || r.cancelled;
    if (r.failed == 0 && !r.cancelled) ++totals.installed;
    for (const std::string& p : r.problems) Report(archives[i], p);
  });
  totals.cancelled = totals.cancelled || session_.LastJobCancelled();
  return totals;
}

void ListActions::Repoint(const std::string& from, const std::string& to) {
  ChartList& list = session_.List();
  const std::string name = platform::ExtractFileName(to);
  for (std::size_t i = 0; i < list.Count(); ++i)
    if (RowArchivePath(list.Row(i)) == from) list.SetSubItem(i, siArcName, name);
}

std::size_t ListActions::RenameChecked() {
  RefuseFolderRows("名前を変えられません");
  std::vector<std::pair<std::string, std::string>> done;
  std::set<std::string> seen;
  const ChartList& list = session_.List();
  for (std::size_t i = 0; i < list.Count(); ++i) {
    const ChartRow row = list.Row(i);
    if (!row.checked || row.subItems[siArcName].empty() || row.inFolder) continue;
    const std::string from = RowArchivePath(row);
    if (!seen.insert(from).second) continue;  // the first checked row of an archive names it
    const std::string artist = ColumnUtf8(row, siArtist + 1);
    const std::string title = ColumnUtf8(row, siTitle + 1);
    const std::string stem =
        SafeFileName(artist.empty() ? title : title.empty() ? artist : artist + " - " + title);
    if (stem.empty()) {
      Report(from, "名前を変えられません: 譜面に #ARTIST も #TITLE もありません");
      continue;
    }
    const std::string extension = ArchiveExtension(FileNameUtf8(from));
    const std::string folder = RowArchiveFolder(row);
    const std::string fromFs = platform::FsName(from);
    if (!platform::PathExists(fromFs)) {
      Report(from, "書庫が見つかりません (一覧に載せた後で移されたか消されました)");
      continue;
    }
    const std::string folderFs = platform::FsName(folder);
    const std::string oldName = FileNameUtf8(from);
    const std::string name = FreeName(stem, extension, [&](const std::string& n) {
      return n != oldName && platform::PathExists(platform::IncludeTrailingDelimiter(folderFs) + n);
    });
    if (name == oldName) continue;
    std::string error;
    const std::string toFs = platform::IncludeTrailingDelimiter(folderFs) + name;
    switch (platform::MoveWithoutReplacing(fromFs, toFs, error)) {
      case platform::MoveResult::kMoved: {
        const std::string to = folder + (platform::IsUtf8Path(folder) ? name : platform::Utf8ToCp932(name));
        Repoint(from, to);
        done.emplace_back(from, to);
        break;
      }
      case platform::MoveResult::kTargetExists:
        Report(from, "名前を変えられません: " + name + " が既にあります");
        break;
      case platform::MoveResult::kFailed:
        Report(from, "名前を変えられません: " + error);
        break;
    }
  }
  const std::size_t renamed = done.size();
  if (renamed > 0) lastRenames_ = std::move(done);
  return renamed;
}

std::size_t ListActions::UndoRename() {
  std::size_t undone = 0;
  for (auto it = lastRenames_.rbegin(); it != lastRenames_.rend(); ++it) {
    std::string error;
    switch (platform::MoveWithoutReplacing(platform::FsName(it->second), platform::FsName(it->first), error)) {
      case platform::MoveResult::kMoved:
        Repoint(it->second, it->first);
        ++undone;
        break;
      case platform::MoveResult::kTargetExists:
        Report(it->second, "元の名前に戻せません: " + FileNameUtf8(it->first) +
                               " が既にあります");
        break;
      case platform::MoveResult::kFailed:
        Report(it->second, "元の名前に戻せません: " + error);
        break;
    }
  }
  lastRenames_.clear();
  return undone;
}

std::size_t ListActions::TrashChecked() {
  RefuseFolderRows("ごみ箱に移せません");
  std::set<std::string> gone;
  for (const std::string& archive : CheckedArchives()) {
    std::string error;
    if (platform::MoveToTrash(platform::FsName(archive), error))
      gone.insert(archive);
    else
      Report(archive, "ごみ箱に移せません: " + error);
  }
  session_.List().RemoveRows([&gone](const ChartRow& row) { return gone.count(RowArchivePath(row)) > 0; });
  // Renames of archives now in the trash cannot be taken back.
  std::erase_if(lastRenames_, [&gone](const auto& r) { return gone.count(r.second) > 0; });
  return gone.size();
}

bool ListActions::Preview(std::size_t rowIndex, const std::string& command, std::string& error) {
  if (rowIndex >= session_.List().Count()) return false;
  const ChartRow row = session_.List().Row(rowIndex);
  if (command.empty()) {
    error = "プレビューに使うプログラムがオプションで設定されていません";
    return false;
  }
  if (row.inFolder) {
    // Read in place: the chart is opened where it lies, beside its sounds.
    const std::string chart = platform::FsName(row.subItems[siArcPath] + row.caption);
    if (!platform::PathExists(chart)) {
      error = "譜面が見つかりません (一覧に載せた後で移されたか消されました)";
      return false;
    }
    return platform::StartProgram(command, chart, error);
  }
  if (!previewFolder_.empty()) platform::RemoveFolderTree(previewFolder_);
  previewFolder_ = platform::CreateUniqueFolder(platform::WorkParentDir(), "preview-");
  if (previewFolder_.empty()) {
    error = "プレビュー用のフォルダを作れません";
    return false;
  }
  TArchiveFile component;
  ApplyMainWindowSettings(component);
  component.SetDriverSource(session_.ArchiveFile().DriverSourceInUse());
  try {
    component.SetFileName(RowArchivePath(row));
    if (!component.Archiver()) {
      error = "形式がわかりません";
      return false;
    }
    component.Extract(session_.OwnerWindow(), &component.Options(), previewFolder_, nullptr);
  } catch (const std::exception& e) {
    error = platform::Cp932ToUtf8(e.what());
    return false;
  }
  const std::string chart = platform::FsName(previewFolder_ + platform::kPathDelimiter + row.caption);
  if (!platform::PathExists(chart)) {
    error = "書庫から譜面を取り出せません";
    return false;
  }
  return platform::StartProgram(command, chart, error);
}

std::size_t ListActions::ImportCsv(const std::string& fsPath, std::string& error) {
  std::string bytes;
  try {
    platform::InputFile file(platform::FsPath{fsPath});
    char buffer[1 << 16];
    for (std::size_t n; (n = file.Read(buffer, sizeof buffer)) > 0;) {
      bytes.append(buffer, n);
      // A list of a million charts is about 300 MB; anything larger is no list of ours.
      if (bytes.size() > (std::size_t{1} << 30)) {
        error = "bmslist が書き出した一覧ではありません (大きすぎます)";
        return 0;
      }
    }
  } catch (const std::exception& e) {
    error = platform::Cp932ToUtf8(e.what());
    return 0;
  }
  std::vector<ChartRow> rows;
  if (!ReadChartCsv(bytes, rows, error)) return 0;
  for (ChartRow& row : rows) session_.List().AppendRow(std::move(row));
  return rows.size();
}
