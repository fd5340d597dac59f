// SPDX-License-Identifier: MIT
#include "session/status_text.h"

std::string RowsStatusText(std::size_t rows, std::size_t checked) {
  return std::to_string(rows) + " 件 (チェック " + std::to_string(checked) + " 件)";
}

std::string ProblemsStatusText(std::size_t problems) {
  return "問題のあった書庫: " + std::to_string(problems) + " 件";
}

std::string ExportedStatusText(std::size_t rows) { return std::to_string(rows) + " 件を書き出しました"; }

std::string DropOutcomeText(const DropOutcome& outcome) {
  if (!outcome.cancelled) return {};
  return std::to_string(outcome.archives) + " 書庫のうち " + std::to_string(outcome.handled) + " 書庫で中止しました";
}

std::string StoppingText() { return "この書庫を読み終えたら中止します..."; }

std::string EmptyListHint() {
  return "書庫 (LZH, ZIP, CAB, ARJ, TAR, TGZ, BZ2, RAR, 7z, TAR.XZ, TAR.ZST) をここにドロップすると、譜面の一覧が表示されます。\n"
         "ファイル → 開く... (Ctrl+O) からも選べます。";
}

std::string ProblemListCaption() { return "問題のあった書庫"; }
std::string ProblemListArchiveCaption() { return "書庫"; }
std::string ProblemListReasonCaption() { return "理由"; }
std::string ProblemListFolderCaption() { return "フォルダ"; }
std::string AutoFitColumnsCaption() { return "列幅を自動調整"; }
std::string NumericSortCaption() { return "難易度・Player・BPM を数値として並べ替える"; }

std::string InstalledStatusText(std::size_t archives, std::size_t written, std::size_t same, std::size_t kept) {
  std::string text = std::to_string(archives) + " 書庫を曲フォルダに入れました (新しいファイル " + std::to_string(written) +
                     " 件、同じファイル " + std::to_string(same) + " 件";
  if (kept > 0) text += "、残したファイル " + std::to_string(kept) + " 件";
  return text + ")";
}
std::string RenamedStatusText(std::size_t archives) {
  return std::to_string(archives) + " 書庫の名前を変えました (元に戻す: Ctrl+Z)";
}
std::string UndoneStatusText(std::size_t archives) { return std::to_string(archives) + " 書庫の名前を元に戻しました"; }
std::string TrashedStatusText(std::size_t archives) { return std::to_string(archives) + " 書庫をごみ箱に移しました"; }
std::string RemovedRowsStatusText(std::size_t rows) { return std::to_string(rows) + " 件を一覧から消しました"; }
std::string ImportedStatusText(std::size_t rows) { return std::to_string(rows) + " 件を読み込みました"; }
std::string TrashQuestion(std::size_t archives) {
  return "チェックした譜面の入っている " + std::to_string(archives) + " 個の書庫をごみ箱に移します。よろしいですか?";
}

std::string LibraryScanText(std::size_t charts) { return "ライブラリを調べています... " + std::to_string(charts) + " 件"; }
std::string TableImportedText(const std::string& name, std::size_t entries) {
  return "「" + name + "」を読み込みました (" + std::to_string(entries) + " 件)";
}
std::string DuplicateToolTip(const std::string& earlierArchive) {
  return "同じ譜面 (MD5) が前の行にあります: " + earlierArchive;
}
