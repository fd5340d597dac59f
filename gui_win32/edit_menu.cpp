// SPDX-License-Identifier: MIT
#include "gui_win32/edit_menu.h"

#include "gui_win32/error_box.h"
#include "gui_win32/file_dialogs.h"
#include "gui_win32/form1.h"
#include "gui_win32/win_text.h"
#include "platform/cp932.h"
#include "session/captions.h"
#include "session/list_actions.h"
#include "session/status_text.h"

EditMenu::~EditMenu() {
  // The bar's popup goes with the bar; the context menu is this menu's own.
  if (context_) DestroyMenu(context_);
}

void EditMenu::Append(HMENU menu) {
  auto add = [menu](UINT id, const char* caption, const wchar_t* key) {
    AppendMenuW(menu, MF_STRING, id, (U(caption) + key).c_str());
  };
  add(kIdCheckAll, kCheckAllCaption, L"\tCtrl+Shift+A");
  add(kIdUncheckAll, kUncheckAllCaption, L"\tCtrl+Shift+N");
  add(kIdInvertChecks, kInvertChecksCaption, L"\tCtrl+Shift+I");
  AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  add(kIdRemoveRows, kRemoveCheckedRowsCaption, L"\tDel");
  add(kIdClearList, kClearListCaption, L"");
  AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  add(kIdInstall, kInstallCaption, L"");
  add(kIdRename, kRenameCaption, L"");
  add(kIdUndo, kUndoCaption, L"\tCtrl+Z");
  add(kIdTrash, kTrashCaption, L"");
  AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  add(kIdPreview, kPreviewCaption, L"");
}

void EditMenu::Create(HMENU menuBar) {
  popup_ = CreatePopupMenu();
  Append(popup_);
  AppendMenuW(menuBar, MF_POPUP, reinterpret_cast<UINT_PTR>(popup_), U(kEditMenuCaption).c_str());
  context_ = CreatePopupMenu();
  Append(context_);
}

std::vector<ACCEL> EditMenu::Shortcuts() {
  constexpr BYTE kCtrlShift = FVIRTKEY | FCONTROL | FSHIFT;
  return {{kCtrlShift, 'A', kIdCheckAll},
          {kCtrlShift, 'N', kIdUncheckAll},
          {kCtrlShift, 'I', kIdInvertChecks},
          {FVIRTKEY | FCONTROL, 'Z', kIdUndo}};
}

void EditMenu::UpdateEnabled() {
  // Nothing touches files while a drop or an install runs.
  const bool idle = !form_.DropSession().Busy();
  const bool undo = idle && form_.Actions().CanUndoRename();
  for (HMENU menu : {popup_, context_}) {
    for (UINT id : {kIdInstall, kIdRename, kIdTrash, kIdPreview, kIdRemoveRows, kIdClearList})
      EnableMenuItem(menu, id, MF_BYCOMMAND | (idle ? MF_ENABLED : MF_GRAYED));
    EnableMenuItem(menu, kIdUndo, MF_BYCOMMAND | (undo ? MF_ENABLED : MF_GRAYED));
  }
}

bool EditMenu::OnCommand(UINT id) {
  ListActions& actions = form_.Actions();
  switch (id) {
    case kIdCheckAll:
      actions.CheckAll();
      return true;
    case kIdUncheckAll:
      actions.UncheckAll();
      return true;
    case kIdInvertChecks:
      actions.InvertChecks();
      return true;
    case kIdRemoveRows:
      RemoveCheckedRows();
      return true;
    case kIdClearList:
      if (!form_.DropSession().Busy()) actions.ClearList();
      return true;
    case kIdInstall:
      InstallChecked();
      return true;
    case kIdRename:
      RenameChecked();
      return true;
    case kIdUndo:
      UndoRename();
      return true;
    case kIdTrash:
      TrashChecked();
      return true;
    case kIdPreview:
      PreviewSelected();
      return true;
    default:
      return false;
  }
}

void EditMenu::ShowContextMenu(POINT screen) {
  UpdateEnabled();
  // The chosen entry comes back as the bar's would, as WM_COMMAND.
  TrackPopupMenu(context_, TPM_RIGHTBUTTON, screen.x, screen.y, 0, form_.Handle(), nullptr);
}

void EditMenu::RemoveCheckedRows() {
  if (form_.DropSession().Busy()) return;
  form_.Status().SetNotice(RemovedRowsStatusText(form_.Actions().RemoveCheckedRows()));
}

void EditMenu::InstallChecked() {
  ListActions& actions = form_.Actions();
  if (actions.CheckedArchives().empty() || form_.DropSession().Busy()) return;
  SessionOptions options = form_.Options();
  if (options.songLibrary.empty()) {
    // Asked for on first use, then kept with the options.
    const std::wstring dir = AskFolder(form_.Handle(), U(kChooseLibraryCaption), {});
    if (dir.empty()) return;
    options.songLibrary = platform::win32::WideToUtf8(dir);
    form_.ApplyOptions(options);
    form_.StoreOptions(options);
  }
  const ListActions::InstallTotals t = actions.InstallChecked(options.songLibrary);
  // The songs may have gone into a folder of the collection.
  if (t.written > 0) form_.Library().FoldersChanged();
  if (!t.cancelled) form_.Status().SetNotice(InstalledStatusText(t.installed, t.written, t.same, t.kept));
}

void EditMenu::RenameChecked() {
  if (form_.DropSession().Busy()) return;
  form_.Status().SetNotice(RenamedStatusText(form_.Actions().RenameChecked()));
}

void EditMenu::UndoRename() {
  if (form_.DropSession().Busy() || !form_.Actions().CanUndoRename()) return;
  form_.Status().SetNotice(UndoneStatusText(form_.Actions().UndoRename()));
}

void EditMenu::TrashChecked() {
  ListActions& actions = form_.Actions();
  const std::size_t count = actions.CheckedArchives().size();
  if (count == 0 || form_.DropSession().Busy()) return;
  wchar_t title[256] = {};
  GetWindowTextW(form_.Handle(), title, 256);
  if (MessageBoxW(form_.Handle(), U(TrashQuestion(count)).c_str(), title, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) !=
      IDYES)
    return;
  form_.Status().SetNotice(TrashedStatusText(actions.TrashChecked()));
}

void EditMenu::PreviewSelected() {
  const std::vector<std::size_t> rows = form_.ListView().SelectedRows();
  if (rows.empty() || form_.DropSession().Busy()) return;
  std::string error;
  if (!form_.Actions().Preview(rows.front(), form_.Options().previewCommand, error))
    ShowErrorBox(form_.Handle(), platform::Utf8ToCp932(error));
}
