// SPDX-License-Identifier: MIT
#pragma once
// The 編集 menu of the main window and the list's context menu: the same
// entries in both, each a call into the session's ListActions; the window
// only asks (the song folder, a confirmation) and tells (the status bar, a
// box). Entries that touch files are greyed while a drop or an install runs.
#include <vector>

#include "platform/win32/windows_api.h"

class TForm1;

class EditMenu {
 public:
  explicit EditMenu(TForm1& form) : form_(form) {}
  ~EditMenu();
  EditMenu(const EditMenu&) = delete;
  EditMenu& operator=(const EditMenu&) = delete;

  // Appends the 編集 menu to the menu bar and makes the context menu.
  void Create(HMENU menuBar);
  HMENU Popup() const { return popup_; }
  // Its keys for the window's accelerator table (Delete is the list's own).
  static std::vector<ACCEL> Shortcuts();
  // Greys what cannot run now, in both menus.
  void UpdateEnabled();
  // A command of either menu or a key; false when `id` is none of them.
  bool OnCommand(UINT id);
  // The context menu at `screen` (the list's selection is its target).
  void ShowContextMenu(POINT screen);

  void InstallChecked();
  void RemoveCheckedRows();
  void RenameChecked();
  void UndoRename();
  void TrashChecked();
  void PreviewSelected();

  static constexpr UINT kIdCheckAll = 200, kIdUncheckAll = 201, kIdInvertChecks = 202, kIdRemoveRows = 203,
                        kIdClearList = 204, kIdInstall = 205, kIdRename = 206, kIdUndo = 207, kIdTrash = 208,
                        kIdPreview = 209;

 private:
  void Append(HMENU menu);

  TForm1& form_;
  HMENU popup_ = nullptr;
  HMENU context_ = nullptr;
};
