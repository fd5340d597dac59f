// SPDX-License-Identifier: MIT
#include "gui/problem_list.h"

#include <QDialogButtonBox>
#include <QFileInfo>
#include <QHeaderView>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "session/status_text.h"

ProblemList::ProblemList(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("problemList"));
  setWindowTitle(QString::fromStdString(ProblemListCaption()));
  setModal(false);
  resize(640, 300);
  auto* layout = new QVBoxLayout(this);
  tree_ = new QTreeWidget(this);
  tree_->setRootIsDecorated(false);
  tree_->setColumnCount(3);
  tree_->setHeaderLabels({QString::fromStdString(ProblemListArchiveCaption()),
                          QString::fromStdString(ProblemListReasonCaption()),
                          QString::fromStdString(ProblemListFolderCaption())});
  tree_->header()->setStretchLastSection(true);
  tree_->setColumnWidth(0, 160);
  tree_->setColumnWidth(1, 300);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::hide);
  layout->addWidget(tree_);
  layout->addWidget(buttons);
}

void ProblemList::Add(const QString& archivePath, const QString& reasons) {
  QFileInfo info(archivePath);
  auto* item = new QTreeWidgetItem(tree_, {info.fileName(), reasons, info.path()});
  item->setToolTip(1, reasons);
  tree_->scrollToItem(item);
}

int ProblemList::Count() const { return tree_->topLevelItemCount(); }
