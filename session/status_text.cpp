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
  return "書庫 (LZH, ZIP, CAB, ARJ, TAR, TGZ, BZ2, RAR) をここにドロップすると、譜面の一覧が表示されます。\n"
         "ファイル → 開く... (Ctrl+O) からも選べます。";
}

std::string ProblemListCaption() { return "問題のあった書庫"; }
std::string ProblemListArchiveCaption() { return "書庫"; }
std::string ProblemListReasonCaption() { return "理由"; }
std::string ProblemListFolderCaption() { return "フォルダ"; }
std::string AutoFitColumnsCaption() { return "列幅を自動調整"; }
std::string NumericSortCaption() { return "難易度・Player・BPM を数値として並べ替える"; }
