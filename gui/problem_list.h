// SPDX-License-Identifier: MIT
#pragma once
// The archives of this session's drops that failed, in part or whole, or
// gave no chart, each with what went wrong; a window of its own that never
// holds up the main window.
#include <QDialog>

class QTreeWidget;

class ProblemList : public QDialog {
  Q_OBJECT

 public:
  explicit ProblemList(QWidget* parent);
  void Add(const QString& archivePath, const QString& reasons);
  int Count() const;

 private:
  QTreeWidget* tree_ = nullptr;
};
