// SPDX-License-Identifier: MIT
#include "session/library_columns.h"

#include <atomic>

#include "charts/archive_problem.h"
#include "library/difficulty_table.h"
#include "platform/cp932.h"
#include "session/column_table.h"
#include "session/session.h"
#include "session/status_text.h"

namespace {

// Thrown out of a scan's progress to end it early; what it committed stays.
struct ScanStopped {};

// A folder or the index, reported like an archive: under its name, CP932
// where that holds it.
ArchiveProblem PathProblem(const std::string& fsPath, const std::string& reasonUtf8) {
  ArchiveProblem problem;
  std::string cp932;
  if (platform::TryUtf8ToCp932AllowingTwins(fsPath, cp932)) {
    problem.archivePath = cp932;
  } else {
    problem.archivePath = platform::Utf8ToCp932(fsPath);
    problem.fsPath = fsPath;
  }
  problem.reasons.push_back(Reason(reasonUtf8));
  return problem;
}

}  // namespace

LibraryColumns::LibraryColumns(Session& session) : session_(session) {}
LibraryColumns::~LibraryColumns() = default;

void LibraryColumns::Apply(const SessionOptions& options) {
  const std::vector<std::string> extensions = options.ScanOptions().extensions;
  if (options.libraryFolders != folders_ || extensions != extensions_) scanned_ = false;
  if (options.libraryFolders != folders_) Forget();
  folders_ = options.libraryFolders;
  extensions_ = extensions;
  shown_ = options.libraryColumns;
}

library::LibraryIndex* LibraryColumns::Index() {
  if (index_) return index_.get();
  if (indexFailed_) return nullptr;
  try {
    if (indexPath_.empty()) indexPath_ = library::LibraryIndex::DefaultPath();
    index_ = std::make_unique<library::LibraryIndex>(indexPath_);
    failureReported_ = false;
  } catch (const std::exception& e) {
    IndexFailed(e.what());
    return nullptr;
  }
  if (!index_->SetAsidePath().empty())
    session_.ReportProblem(PathProblem(indexPath_, "壊れていたため " + index_->SetAsidePath() +
                                                      " に移し、新しく作り直しました"));
  return index_.get();
}

void LibraryColumns::IndexFailed(const std::string& why) {
  index_.reset();
  indexFailed_ = true;
  // Said once until the index works again, not at every drop.
  if (failureReported_) return;
  failureReported_ = true;
  session_.ReportProblem(PathProblem(indexPath_, "ライブラリの索引を使えません: " + why));
}

void LibraryColumns::Forget() {
  found_.clear();
  earlierKnown_ = false;
}

void LibraryColumns::Changed() {
  Forget();
  if (onChanged) onChanged();
}

void LibraryColumns::Refresh() {
  if (!shown_ || session_.Busy()) return;
  // An index that failed is tried again: another copy may have let it go.
  indexFailed_ = false;
  if (!scanned_ && Index()) Scan();
  Changed();
}

void LibraryColumns::Scan() {
  if (folders_.empty()) {
    scanned_ = true;
    return;
  }
  struct Outcome {
    std::string error;
    std::vector<std::string> unreadable;
    bool stopped = false;
  };
  std::vector<Outcome> outcomes(folders_.size());
  std::vector<std::string> names;  // for the strip, CP932
  for (const std::string& folder : folders_) names.push_back(platform::Utf8ToCp932(folder));
  // A connection of the scan's own: the window keeps reading through its
  // own while the scan writes.
  std::unique_ptr<library::LibraryIndex> writer;
  std::atomic<std::size_t> before{0}, found{0};
  session_.RunBackgroundJob(
      names,
      [&](std::size_t i, const std::atomic<bool>& stop) {
        Outcome& outcome = outcomes[i];
        try {
          if (!writer) writer = std::make_unique<library::LibraryIndex>(indexPath_);
          before = found.load();
          const library::ScanTotals totals = writer->Scan(folders_[i], extensions_, [&](std::size_t n) {
            found = before + n;
            if (stop) throw ScanStopped();
          });
          outcome.unreadable = totals.unreadable;
        } catch (const ScanStopped&) {
          outcome.stopped = true;
        } catch (const std::exception& e) {
          outcome.error = e.what();
        }
      },
      [&] { return LibraryScanText(found); });
  writer.reset();

  bool complete = !session_.LastJobCancelled();
  for (std::size_t i = 0; i < outcomes.size(); ++i) {
    const Outcome& outcome = outcomes[i];
    if (outcome.stopped) complete = false;
    if (!outcome.error.empty()) session_.ReportProblem(PathProblem(folders_[i], outcome.error));
    for (const std::string& rel : outcome.unreadable)
      session_.ReportProblem(PathProblem(folders_[i] + "/" + rel, "読めないためライブラリに入れていません"));
  }
  // A folder that failed is not tried again at every drop; a scan cut short is.
  scanned_ = complete;
}

std::string LibraryColumns::Text(std::size_t row, int which) {
  const ChartList& list = session_.List();
  if (!shown_ || row >= list.Count()) return {};
  if (which == 2) {
    if (!IsDuplicate(row)) return {};
    return library::DuplicateText(list, earlier_[row]);
  }
  const ChartRow& chart = list.Row(row);
  if (chart.md5.empty() && chart.sha256.empty()) return {};
  const std::string key = chart.md5 + ' ' + chart.sha256;
  auto at = found_.find(key);
  if (at == found_.end()) {
    library::RowLookup look;
    if (library::LibraryIndex* index = Index()) {
      try {
        look = library::LookUpChart(*index, chart.md5, chart.sha256, folders_);
      } catch (const std::exception& e) {
        IndexFailed(e.what());
      }
    }
    at = found_.emplace(key, std::move(look)).first;
  }
  return which == 0 ? at->second.library : at->second.table;
}

void LibraryColumns::SortBy(int which) {
  ChartList& list = session_.List();
  std::vector<std::string> keys;
  keys.reserve(list.Count());
  for (std::size_t i = 0; i < list.Count(); ++i) keys.push_back(Text(i, which));
  list.ColumnClickByKeys(keys);
}

void LibraryColumns::ColumnClick(int column) {
  // Worked out for the list, not held in its rows.
  if (column >= kLookupColumn)
    SortBy(column - kLookupColumn);
  else
    session_.List().ColumnClick(column);
}

std::string LibraryColumns::DuplicateTip(std::size_t row) {
  return IsDuplicate(row) ? DuplicateToolTip(Text(row, 2)) : std::string();
}

bool LibraryColumns::IsDuplicate(std::size_t row) {
  const ChartList& list = session_.List();
  if (!shown_ || row >= list.Count()) return false;
  if (!earlierKnown_ || earlierRevision_ != list.Revision() || earlier_.size() != list.Count()) {
    earlier_ = library::EarlierRowsWithSameMd5(list);
    earlierRevision_ = list.Revision();
    earlierKnown_ = true;
  }
  return earlier_[row] < list.Count();
}

CsvOptions LibraryColumns::Csv(const SessionOptions& options, std::vector<std::vector<std::string>>& fields) {
  CsvOptions csv = options.Csv();
  fields.clear();
  if (!shown_ || csv.format != CsvFormat::kUtf8) return csv;
  const std::size_t rows = session_.List().Count();
  fields.reserve(rows);
  for (std::size_t i = 0; i < rows; ++i) fields.push_back({Text(i, 0), Text(i, 1), Text(i, 2)});
  csv.trailingFields = &fields;
  return csv;
}

std::vector<library::StoredTable> LibraryColumns::Tables(std::string& error) {
  error.clear();
  indexFailed_ = false;
  library::LibraryIndex* index = Index();
  if (!index) {
    error = "ライブラリの索引を使えません";
    return {};
  }
  try {
    return index->Tables();
  } catch (const std::exception& e) {
    error = e.what();
    return {};
  }
}

bool LibraryColumns::ImportTable(const std::string& fsPath, library::StoredTable& imported, std::string& error) {
  error.clear();
  library::DifficultyTable table;
  try {
    table = library::ReadDifficultyTable(std::u8string(fsPath.begin(), fsPath.end()));
  } catch (const std::exception& e) {
    error = "難易度表を読み込めません: " + std::string(e.what());
    return false;
  }
  indexFailed_ = false;
  library::LibraryIndex* index = Index();
  if (!index) {
    error = "ライブラリの索引を使えません";
    return false;
  }
  try {
    index->StoreTable(table);
  } catch (const std::exception& e) {
    error = e.what();
    return false;
  }
  imported.name = table.name;
  imported.symbol = table.symbol;
  imported.source = table.source;
  imported.entries = table.entries.size();
  Changed();
  return true;
}

bool LibraryColumns::RemoveTable(const std::string& name, std::string& error) {
  error.clear();
  library::LibraryIndex* index = Index();
  if (!index) {
    error = "ライブラリの索引を使えません";
    return false;
  }
  bool removed = false;
  try {
    removed = index->RemoveTable(name);
  } catch (const std::exception& e) {
    error = e.what();
    return false;
  }
  if (removed) Changed();
  return removed;
}
