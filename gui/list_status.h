// SPDX-License-Identifier: MIT
#pragma once
// The left part of the main window's status bar: how many rows the list
// holds, how many are checked, and how many archives had problems; a click
// on the last opens the list of those archives with the reasons. Problems
// are gathered here instead of stopping a drop with a message box.
#include <QString>
#include <QWidget>

class QAbstractItemModel;
class QLabel;
class QPushButton;
class ChartList;
class ProblemList;

class ListStatus : public QWidget {
  Q_OBJECT

 public:
  ListStatus(const ChartList& list, const QAbstractItemModel& model, QWidget* parent);

  // One archive (or dropped name) and what went wrong with it.
  void AddProblem(const QString& archivePath, const QString& reasons);
  int ProblemCount() const { return problems_; }
  // Opens (or raises) the list of problems; it never blocks the window.
  void ShowProblems();

  QString RowsText() const;
  QString ProblemsText() const;
  // A word on what just happened (an export written, a drop cancelled);
  // empty clears it.
  void SetNotice(const QString& text);
  QString NoticeText() const;

 private:
  // Counting is put off to the event loop: a drop adds many rows in a row.
  void ScheduleCount();
  void Count();

  const ChartList& list_;
  QLabel* rows_ = nullptr;
  QLabel* notice_ = nullptr;
  QPushButton* problemsButton_ = nullptr;
  ProblemList* problemList_ = nullptr;
  int problems_ = 0;
  bool countScheduled_ = false;
};
