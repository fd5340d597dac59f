// SPDX-License-Identifier: MIT
#include "charts/archive_problem.h"

#include <cstdio>

#include "archivers/include/archiver_api.h"
#include "charts/column_text.h"
#include "platform/cp932.h"
#include "platform/path_text.h"

std::string Reason(const std::string& utf8) { return platform::Utf8ToCp932(utf8); }

std::string ExtractResultReason(std::int32_t code) {
  switch (code) {
    case 0:
      return {};
    case ERROR_DISK_SPACE:
      return Reason("ディスクの空きが足りません");
    case ERROR_CANNOT_WRITE:
    case ERROR_MAKEDIRECTORY:
    case ERROR_TMP_OPEN:
    case ERROR_FILE_OPEN:
      return Reason("作業フォルダにファイルを書き込めません");
    case ERROR_PASSWORD_FILE:
      return Reason("暗号化された項目があります (パスワード付きの書庫は展開できません)");
    case ERROR_FILE_CRC:
    case ERROR_HEADER_CRC:
    case ERROR_HEADER_BROKEN:
    case ERROR_BROKEN_DATA:
    case ERROR_HUFFMAN_CODE:
    case ERROR_COMMENT_HEADER:
    case ERROR_UNEXPECTED_EOF:
    case ERROR_EOF:
    case ERROR_INVALID_END_MARK:
    case ERROR_NO_END_MARK:
    case ERROR_HDR_INVALID_SIZE:
      return Reason("壊れた項目があります");
    case ERROR_METHOD:
    case ERROR_UNKNOWN_LEVEL:
    case ERROR_VERSION:
    case ERROR_NOT_SUPPORT:
      return Reason("書庫ライブラリが対応していない格納方法の項目があります (分割書庫の一部など)");
    case ERROR_NOT_ARC_FILE:
    case ERROR_UNKNOWN_TYPE:
    case ERROR_FILE_STYLE:
      return Reason("この形式の書庫として読めません (壊れているか、途中で切れています)");
    case ERROR_ARC_FILE_OPEN:
    case ERROR_NOT_FIND_ARC_FILE:
    case ERROR_CANNOT_READ:
      return Reason("書庫を読めません");
    case ERROR_EXPANDS_TOO_FAR:
      return Reason("中止しました: 展開すると 200 MiB かつ圧縮サイズの 100 倍を超えます (圧縮爆弾の疑い)");
    case ERROR_UNSAFE_PATH:
      return Reason("作業フォルダの外に書き出される項目を拒否しました");
    case ERROR_LONG_FILE_NAME:
      return Reason("項目の名前が長すぎます");
    case ERROR_ENOUGH_MEMORY:
    case ERROR_MORE_HEAP_MEMORY:
    case ERROR_HEAP_MEMORY:
      return Reason("メモリが足りません");
    case ERROR_USER_CANCEL:
      return Reason("中止しました");
    default: {
      char text[64];
      std::snprintf(text, sizeof text, "0x%04X", static_cast<unsigned>(code));
      return Reason(std::string("書庫ライブラリがエラー ") + text + " を返しました");
    }
  }
}

std::string ProblemReasonsText(const ArchiveProblem& problem) {
  std::string text;
  for (const std::string& r : problem.reasons) text += (text.empty() ? "" : "; ") + platform::Cp932ToUtf8(r);
  if (!problem.unlistedNames.empty()) {
    text += text.empty() ? "" : "; ";
    text += "コード ページ 932 で表せない名前のため一覧にないファイル:";
    for (const std::string& n : problem.unlistedNames) text += " " + n;
  }
  if (!problem.undeletableNames.empty()) {
    text += text.empty() ? "" : "; ";
    text += "作業フォルダから削除できないファイル (新しい作業フォルダに移りました):";
    for (const std::string& n : problem.undeletableNames) text += " " + n;
  }
  // Names from archives reach a terminal here.
  return EscapeControls(text, true);
}

std::string ProblemPathText(const ArchiveProblem& problem) {
  return problem.fsPath.empty() ? platform::PathUtf8(problem.archivePath) : problem.fsPath;
}
