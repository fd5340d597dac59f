// SPDX-License-Identifier: MIT
#pragma once
// The texts of the 編集 menu and the options that serve it, as UTF-8.

// The 編集 menu and the list's context menu.
inline constexpr char kEditMenuCaption[] = "編集";
inline constexpr char kCheckAllCaption[] = "全てチェックする";
inline constexpr char kUncheckAllCaption[] = "全チェックのクリア";
inline constexpr char kInvertChecksCaption[] = "全チェックを反転";
inline constexpr char kRemoveCheckedRowsCaption[] = "チェックしたリストを消去";
inline constexpr char kClearListCaption[] = "一覧をクリア";
inline constexpr char kInstallCaption[] = "チェックしたファイルを解凍";
inline constexpr char kRenameCaption[] = "チェックしたアーカイブを曲名に変更";
inline constexpr char kUndoCaption[] = "元に戻す";
inline constexpr char kTrashCaption[] = "チェックしたBMSの入っているフォルダ・アーカイブを削除";
inline constexpr char kPreviewCaption[] = "選択したファイルをプレビュー";
// The options window's song library and preview rows.
inline constexpr char kSongLibraryLabel[] = "曲フォルダ";
inline constexpr char kPreviewCommandLabel[] = "プレビュー";
inline constexpr char kBrowseCaption[] = "参照...";
inline constexpr char kChooseLibraryCaption[] = "曲を入れるフォルダを選んでください";
