// SPDX-License-Identifier: MIT
#pragma once
// The strip at the bottom of the main window while a drop is handled:
// which archive of how many, the entry the archiver library is writing, a
// progress bar and a Cancel button (Esc does the same).
#include <QWidget>
#include <functional>

class QLabel;
class QProgressBar;
class QPushButton;

class DropProgress : public QWidget {
  Q_OBJECT

 public:
  explicit DropProgress(QWidget* parent = nullptr);

  void Begin(int count);
  // `text` says which archive of how many (see ArchiveProgressText).
  void Archive(int index, int count, const QString& text);
  void Entry(const QString& name);
  void End();
  bool CancelRequested() const { return cancel_; }
  void RequestCancel();
  // Told of a cancel (the button or Esc).
  std::function<void()> onCancel;

 private:
  QLabel* archive_ = nullptr;
  QLabel* entry_ = nullptr;
  QProgressBar* bar_ = nullptr;
  QPushButton* cancelButton_ = nullptr;
  bool cancel_ = false;
};
