// SPDX-License-Identifier: MIT
#pragma once
// The Japanese texts of the windows: CP932 bytes, but for the 編集 menu's
// (UTF-8, at the end).

// ファイル
inline constexpr char kFileMenuCaption[] = "\x83\x74\x83\x40\x83\x43\x83\x8b";
// CSV追加読込
inline constexpr char kReadCsvCaption[] = "\x43\x53\x56\x92\xc7\x89\xc1\x93\xc7\x8d\x9e";
// 一覧をCSVで出力
inline constexpr char kOutCsvCaption[] = "\x88\xea\x97\x97\x82\xf0\x43\x53\x56\x82\xc5\x8f\x6f\x97\xcd";
// 終了
inline constexpr char kQuitCaption[] = "\x8f\x49\x97\xb9";
// 開く...
inline constexpr char kOpenCaption[] = "\x8a\x4a\x82\xad...";
// アーカイブ (the open dialog's filter)
inline constexpr char kArchivesFilterCaption[] = "\x83\x41\x81\x5b\x83\x4a\x83\x43\x83\x75";
// すべてのファイル
inline constexpr char kAllFilesFilterCaption[] = "\x82\xb7\x82\xd7\x82\xc4\x82\xcc\x83\x74\x83\x40\x83\x43\x83\x8b";
// フォルダを開けません: 
inline constexpr char kCannotOpenFolderMessage[] =
    "\x83\x74\x83\x48\x83\x8b\x83\x5f\x82\xf0\x8a\x4a\x82\xaf\x82\xdc\x82\xb9\x82\xf1: ";
// オプション
inline constexpr char kOptionsCaption[] = "\x83\x49\x83\x76\x83\x56\x83\x87\x83\x93";
// ＭＳ Ｐゴシック
inline constexpr char kWindowFontFamily[] = "\x82\x6c\x82\x72\x20\x82\x6f\x83\x53\x83\x56\x83\x62\x83\x4e";
// ファイル名をCP932で表せないため読み込めません: 
inline constexpr char kUnusableNamesMessage[] =
    "\x83\x74\x83\x40\x83\x43\x83\x8b\x96\xbc\x82\xf0\x43\x50\x39\x33\x32\x82\xc5\x95\x5c\x82\xb9\x82\xc8\x82\xa2"
    "\x82\xbd\x82\xdf\x93\xc7\x82\xdd\x8d\x9e\x82\xdf\x82\xdc\x82\xb9\x82\xf1\x3a\x20";

// The options window and its menu entry.
// オプション...
inline constexpr char kOptionsMenuCaption[] = "\x83I\x83v\x83V\x83\x87\x83\x93...";
// 譜面ファイル
inline constexpr char kChartFilesLabel[] = "\x95\x88\x96\xca\x83t\x83@\x83""C\x83\x8b";
// *.bms のみ
inline constexpr char kChartFilesBmsOnly[] = "*.bms \x82\xcc\x82\xdd";
inline constexpr char kChartFilesAll[] = "*.bms, *.bme, *.bml, *.pms, *.bmson";
// ハッシュ列
inline constexpr char kHashColumnsLabel[] = "\x83n\x83""b\x83V\x83\x85\x97\xf1";
// MD5 と SHA-256 の列を表示する
inline constexpr char kHashColumnsCheck[] = "MD5 \x82\xc6 SHA-256 \x82\xcc\x97\xf1\x82\xf0\x95\x5c\x8e\xa6\x82\xb7\x82\xe9";
// 譜面の解析結果を表示する
inline constexpr char kChartFactsCheck[] = "\x95\x88\x96\xca\x82\xcc\x89\xf0\x90\xcd\x8c\x8b\x89\xca\x82\xf0\x95\x5c\x8e\xa6\x82\xb7\x82\xe9";
// 展開
inline constexpr char kChartsOnlyLabel[] = "\x93W\x8aJ";
// 譜面ファイルだけを展開する (高速)
inline constexpr char kChartsOnlyCheck[] =
    "\x95\x88\x96\xca\x83t\x83@\x83""C\x83\x8b\x82\xbe\x82\xaf\x82\xf0\x93W\x8aJ\x82\xb7\x82\xe9 (\x8d\x82\x91\xac)";
// CSV出力
inline constexpr char kCsvFormatLabel[] = "CSV\x8fo\x97\xcd";
// 従来どおり (読んだバイトのまま)
inline constexpr char kCsvFormatClassic[] =
    "\x8f]\x97\x88\x82\xc7\x82\xa8\x82\xe8 (\x93\xc7\x82\xf1\x82\xbe\x83o\x83""C\x83g\x82\xcc\x82\xdc\x82\xdc)";
// UTF-8 (BOM付き、表計算ソフト向け)
inline constexpr char kCsvFormatUtf8[] =
    "UTF-8 (BOM\x95t\x82\xab\x81""A\x95\x5c\x8cv\x8eZ\x83\x5c\x83t\x83g\x8c\xfc\x82\xaf)";
// 表示の文字コード
inline constexpr char kDisplayEncodingLabel[] = "\x95\x5c\x8e\xa6\x82\xcc\x95\xb6\x8e\x9a\x83R\x81[\x83h";
// 譜面ごとに判別
inline constexpr char kDisplayDetected[] = "\x95\x88\x96\xca\x82\xb2\x82\xc6\x82\xc9\x94\xbb\x95\xca";
// 常に Shift-JIS (CP932)
inline constexpr char kDisplayCp932[] = "\x8f\xed\x82\xc9 Shift-JIS (CP932)";
// 次の書庫を先に展開する (2 コアを使う)
inline constexpr char kUnpackAheadCheck[] =
    "\x8e\x9f\x82\xcc\x8f\x91\x8c\xc9\x82\xf0\x90\xe6\x82\xc9\x93W\x8aJ\x82\xb7\x82\xe9 (2 \x83R\x83""A\x82\xf0\x8eg\x82\xa4)";
// キャンセル
inline constexpr char kCancelCaption[] = "\x83L\x83\x83\x83\x93\x83Z\x83\x8b";

// UTF-8 from here on, the windows convert: the 編集 menu and the list's
// context menu.
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
// The collection: the options window's group, the File menu's entry.
inline constexpr char kLibraryGroupCaption[] = "ライブラリと難易度表";
inline constexpr char kLibraryColumnsCheck[] = "ライブラリと難易度表の列を表示する";
inline constexpr char kLibraryFoldersLabel[] = "ライブラリのフォルダ";
inline constexpr char kTablesLabel[] = "難易度表";
inline constexpr char kAddCaption[] = "追加...";
inline constexpr char kRemoveCaption[] = "削除";
inline constexpr char kUnusableFolderMessage[] = "フォルダ名を CP932 で表せないため、ライブラリに使えません: ";
inline constexpr char kChooseLibraryFolderCaption[] = "ライブラリのフォルダを選んでください";
inline constexpr char kImportTableCaption[] = "難易度表を読み込む...";
inline constexpr char kTableFilesFilterCaption[] = "難易度表";
inline constexpr char kTableNameCaption[] = "名前";
inline constexpr char kTableSymbolCaption[] = "記号";
inline constexpr char kTableEntriesCaption[] = "件数";

// The options window's box for the archives inside a dropped folder.
inline constexpr char kFolderArchivesCheck[] = "フォルダ内の書庫も展開する";
