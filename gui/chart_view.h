// SPDX-License-Identifier: MIT
#pragma once
// The list view of the main window: a QTreeView that says what to do while
// the list is empty, since an empty grid of narrow columns says nothing.
#include <QString>
#include <QTreeView>

class ChartView : public QTreeView {
  Q_OBJECT

 public:
  explicit ChartView(QWidget* parent = nullptr);
  QString EmptyHint() const { return hint_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QString hint_;
};
