// SPDX-License-Identifier: MIT
#pragma once
// The 編集 menu of the main window and the list's context menu: the same
// actions in both, each a call into the session's ListActions; the window
// only asks (a folder, a confirmation) and tells (the status bar, a box).
#include <QObject>

class QAction;
class QMenu;
class TForm1;

class EditActions : public QObject {
  Q_OBJECT

 public:
  explicit EditActions(TForm1& form);

  QMenu* Edit1 = nullptr;
  QAction* AAllSelection = nullptr;    // 全てチェックする
  QAction* AClearSelection = nullptr;  // 全チェックのクリア
  QAction* AReverceCheck = nullptr;    // 全チェックを反転
  QAction* AdeleteList = nullptr;      // チェックしたリストを消去
  QAction* AClearList = nullptr;       // 一覧をクリア
  QAction* AMeltFiles = nullptr;       // チェックしたファイルを解凍
  QAction* AArchveRename = nullptr;    // チェックしたアーカイブを曲名に変更
  QAction* AUndo = nullptr;            // 元に戻す
  QAction* ADeleteFolder = nullptr;    // チェックしたBMSの入っているフォルダ・アーカイブを削除
  QAction* APreview = nullptr;         // 選択したファイルをプレビュー

  void InstallChecked();
  void RenameChecked();
  void UndoRename();
  void TrashChecked();
  void PreviewSelected();
  void ToggleSelectedChecks();

 private:
  QAction* Add(const char* caption, const char* name, const QKeySequence& key);
  void ShowContextMenu(const QPoint& at);
  void Notice(const std::string& utf8);
  void UpdateEnabled();

  TForm1& form_;
  QMenu* context_ = nullptr;
};
