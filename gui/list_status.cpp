// SPDX-License-Identifier: MIT
#include "gui/list_status.h"

#include <QAbstractItemModel>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include "charts/chart_list.h"
#include "gui/problem_list.h"
#include "session/status_text.h"

ListStatus::ListStatus(const ChartList& list, const QAbstractItemModel& model, QWidget* parent)
    : QWidget(parent), list_(list) {
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(4, 0, 4, 0);
  rows_ = new QLabel(this);
  rows_->setObjectName(QStringLiteral("rowCounts"));
  problemsButton_ = new QPushButton(this);
  problemsButton_->setObjectName(QStringLiteral("problemCount"));
  problemsButton_->setFlat(true);
  problemsButton_->setCursor(Qt::PointingHandCursor);
  problemsButton_->hide();
  notice_ = new QLabel(this);
  notice_->setObjectName(QStringLiteral("notice"));
  layout->addWidget(rows_);
  layout->addWidget(problemsButton_);
  layout->addWidget(notice_);
  connect(problemsButton_, &QPushButton::clicked, this, &ListStatus::ShowProblems);

  connect(&model, &QAbstractItemModel::rowsInserted, this, &ListStatus::ScheduleCount);
  connect(&model, &QAbstractItemModel::dataChanged, this,
          [this](const QModelIndex&, const QModelIndex&, const QList<int>& roles) {
            if (roles.isEmpty() || roles.contains(Qt::CheckStateRole)) ScheduleCount();
          });
  connect(&model, &QAbstractItemModel::modelReset, this, &ListStatus::ScheduleCount);
  Count();
}

QString ListStatus::RowsText() const { return rows_->text(); }
QString ListStatus::ProblemsText() const { return problemsButton_->text(); }
QString ListStatus::NoticeText() const { return notice_->text(); }

void ListStatus::SetNotice(const QString& text) { notice_->setText(text); }

void ListStatus::AddProblem(const QString& archivePath, const QString& reasons) {
  if (!problemList_) problemList_ = new ProblemList(window());
  problemList_->Add(archivePath, reasons);
  ++problems_;
  problemsButton_->setText(QString::fromStdString(ProblemsStatusText(static_cast<std::size_t>(problems_))));
  problemsButton_->show();
}

void ListStatus::ShowProblems() {
  if (!problemList_) return;
  problemList_->show();
  problemList_->raise();
  problemList_->activateWindow();
}

void ListStatus::ScheduleCount() {
  if (countScheduled_) return;
  countScheduled_ = true;
  QTimer::singleShot(0, this, &ListStatus::Count);
}

void ListStatus::Count() {
  countScheduled_ = false;
  std::size_t checked = 0;
  for (const ChartRow& row : list_.Rows()) checked += row.checked;
  rows_->setText(QString::fromStdString(RowsStatusText(list_.Count(), checked)));
}
