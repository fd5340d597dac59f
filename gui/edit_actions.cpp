// SPDX-License-Identifier: MIT
#include "gui/edit_actions.h"

#include <QAction>
#include <QFile>
#include <QFileDialog>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QShortcut>
#include <QTreeView>

#include "gui/error_box.h"
#include "gui/form1.h"
#include "gui/list_status.h"
#include "platform/cp932.h"
#include "session/captions.h"
#include "session/list_actions.h"
#include "session/status_text.h"

EditActions::EditActions(TForm1& form) : QObject(&form), form_(form) {
  Edit1 = form.menuBar()->addMenu(QString::fromUtf8(kEditMenuCaption));
  Edit1->setObjectName(QStringLiteral("Edit1"));
  AAllSelection = Add(kCheckAllCaption, "AAllSelection", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_A));
  AClearSelection = Add(kUncheckAllCaption, "AClearSelection", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_N));
  AReverceCheck = Add(kInvertChecksCaption, "AReverceCheck", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_I));
  Edit1->addSeparator();
  AdeleteList = Add(kRemoveCheckedRowsCaption, "AdeleteList", QKeySequence(Qt::Key_Delete));
  AClearList = Add(kClearListCaption, "AClearList", {});
  Edit1->addSeparator();
  AMeltFiles = Add(kInstallCaption, "AMeltFiles", {});
  AArchveRename = Add(kRenameCaption, "AArchveRename", {});
  AUndo = Add(kUndoCaption, "AUndo", QKeySequence::Undo);
  ADeleteFolder = Add(kTrashCaption, "ADeleteFolder", {});
  Edit1->addSeparator();
  APreview = Add(kPreviewCaption, "APreview", {});

  // The list's own keys work where the list has the focus, so Delete in the
  // in-place editor still deletes text.
  AdeleteList->setShortcutContext(Qt::WidgetWithChildrenShortcut);
  form.LV->addAction(AdeleteList);
  auto* space = new QShortcut(QKeySequence(Qt::Key_Space), form.LV, nullptr, nullptr, Qt::WidgetShortcut);
  connect(space, &QShortcut::activated, this, &EditActions::ToggleSelectedChecks);

  ListActions& actions = form.Actions();
  connect(AAllSelection, &QAction::triggered, this, [&actions] { actions.CheckAll(); });
  connect(AClearSelection, &QAction::triggered, this, [&actions] { actions.UncheckAll(); });
  connect(AReverceCheck, &QAction::triggered, this, [&actions] { actions.InvertChecks(); });
  connect(AdeleteList, &QAction::triggered, this,
          [this, &actions] { Notice(RemovedRowsStatusText(actions.RemoveCheckedRows())); });
  connect(AClearList, &QAction::triggered, this, [&actions] { actions.ClearList(); });
  connect(AMeltFiles, &QAction::triggered, this, &EditActions::InstallChecked);
  connect(AArchveRename, &QAction::triggered, this, &EditActions::RenameChecked);
  connect(AUndo, &QAction::triggered, this, &EditActions::UndoRename);
  connect(ADeleteFolder, &QAction::triggered, this, &EditActions::TrashChecked);
  connect(APreview, &QAction::triggered, this, &EditActions::PreviewSelected);
  connect(Edit1, &QMenu::aboutToShow, this, &EditActions::UpdateEnabled);

  context_ = new QMenu(form.LV);
  context_->addActions(Edit1->actions());
  form.LV->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(form.LV, &QWidget::customContextMenuRequested, this, &EditActions::ShowContextMenu);
}

QAction* EditActions::Add(const char* caption, const char* name, const QKeySequence& key) {
  auto* action = new QAction(QString::fromUtf8(caption), &form_);
  action->setObjectName(QString::fromLatin1(name));
  if (!key.isEmpty()) action->setShortcut(key);
  Edit1->addAction(action);
  return action;
}

void EditActions::ShowContextMenu(const QPoint& at) {
  UpdateEnabled();
  context_->exec(form_.LV->viewport()->mapToGlobal(at));
}

void EditActions::UpdateEnabled() {
  // Nothing touches files while a drop or an install runs.
  const bool idle = !form_.DropSession().Busy();
  for (QAction* a : {AMeltFiles, AArchveRename, ADeleteFolder, APreview, AdeleteList, AClearList}) a->setEnabled(idle);
  AUndo->setEnabled(idle && form_.Actions().CanUndoRename());
}

void EditActions::Notice(const std::string& utf8) { form_.Status()->SetNotice(QString::fromStdString(utf8)); }

void EditActions::ToggleSelectedChecks() {
  ChartList& list = form_.List();
  for (const QModelIndex& index : form_.LV->selectionModel()->selectedRows()) {
    const auto row = static_cast<std::size_t>(index.row());
    if (row < list.Count()) list.SetChecked(row, !list.Row(row).checked);
  }
}

void EditActions::InstallChecked() {
  ListActions& actions = form_.Actions();
  if (actions.CheckedArchives().empty() || form_.DropSession().Busy()) return;
  SessionOptions options = form_.Options();
  if (options.songLibrary.empty()) {
    // Asked for on first use, then kept with the options.
    const QString dir = QFileDialog::getExistingDirectory(&form_, QString::fromUtf8(kChooseLibraryCaption));
    if (dir.isEmpty()) return;
    options.songLibrary = QFile::encodeName(dir).toStdString();
    form_.ApplyOptions(options);
    form_.StoreOptions(options);
  }
  const ListActions::InstallTotals t = actions.InstallChecked(options.songLibrary);
  // The songs may have gone into a folder of the collection.
  if (t.written > 0) form_.Library().FoldersChanged();
  if (!t.cancelled) Notice(InstalledStatusText(t.installed, t.written, t.same, t.kept));
}

void EditActions::RenameChecked() {
  if (form_.DropSession().Busy()) return;
  const std::size_t renamed = form_.Actions().RenameChecked();
  Notice(RenamedStatusText(renamed));
}

void EditActions::UndoRename() {
  if (form_.DropSession().Busy() || !form_.Actions().CanUndoRename()) return;
  Notice(UndoneStatusText(form_.Actions().UndoRename()));
}

void EditActions::TrashChecked() {
  ListActions& actions = form_.Actions();
  const std::size_t count = actions.CheckedArchives().size();
  if (count == 0 || form_.DropSession().Busy()) return;
  if (QMessageBox::question(&form_, form_.windowTitle(), QString::fromStdString(TrashQuestion(count))) !=
      QMessageBox::Yes)
    return;
  Notice(TrashedStatusText(actions.TrashChecked()));
}

void EditActions::PreviewSelected() {
  const QModelIndexList rows = form_.LV->selectionModel()->selectedRows();
  if (rows.isEmpty() || form_.DropSession().Busy()) return;
  std::string error;
  if (!form_.Actions().Preview(static_cast<std::size_t>(rows.first().row()), form_.Options().previewCommand, error))
    ShowErrorBox(&form_, platform::Utf8ToCp932(error));
}
