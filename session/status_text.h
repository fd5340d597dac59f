// SPDX-License-Identifier: MIT
#pragma once
// What the windows' status bars and problem lists say (UTF-8), in Japanese
// like their menus: one wording for both windows.
#include <cstddef>
#include <string>

#include "session/session_view.h"

// "12 件 (チェック 3 件)"
std::string RowsStatusText(std::size_t rows, std::size_t checked);
// "問題のあった書庫: 2 件" (a click opens the list)
std::string ProblemsStatusText(std::size_t problems);
// "30 件を書き出しました"
std::string ExportedStatusText(std::size_t rows);
// After a drop: "5 書庫のうち 2 書庫で中止しました" when cancelled, else "".
std::string DropOutcomeText(const DropOutcome& outcome);
// After the 編集 menu's actions.
std::string InstalledStatusText(std::size_t archives, std::size_t written, std::size_t same, std::size_t kept);
std::string RenamedStatusText(std::size_t archives);
std::string UndoneStatusText(std::size_t archives);
std::string TrashedStatusText(std::size_t archives);
std::string RemovedRowsStatusText(std::size_t rows);
std::string ImportedStatusText(std::size_t rows);
// The question before archives go to the trash.
std::string TrashQuestion(std::size_t archives);

// Shown in the strip while a cancel waits for the current archive.
std::string StoppingText();
// Shown over an empty list.
std::string EmptyListHint();
// The problem list's caption and column captions.
std::string ProblemListCaption();
std::string ProblemListArchiveCaption();
std::string ProblemListReasonCaption();
std::string ProblemListFolderCaption();
// The header's context-menu entry that fits every column to its contents.
std::string AutoFitColumnsCaption();
// The options window's box for sorting 難易度, Player and BPM by value.
std::string NumericSortCaption();

// The collection: a scan of the song folders under way ("ライブラリを調べています... 120 件"),
std::string LibraryScanText(std::size_t charts);
// a difficulty table read in, and what the Duplicate tint's tooltip says.
std::string TableImportedText(const std::string& name, std::size_t entries);
std::string DuplicateToolTip(const std::string& earlierArchive);
