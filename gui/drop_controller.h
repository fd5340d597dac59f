#pragma once
// Runs dropped archives through the pipeline on behalf of the main window,
// and keeps the window alive meanwhile: progress in a strip at the bottom,
// repaints and input between archives and entries, Cancel or Esc stopping
// after the current archive, drops made during a drop queued behind it, and
// a close during a drop done once the current archive is finished.
#include <QElapsedTimer>
#include <QObject>
#include <mutex>
#include <string>
#include <vector>

#include "charts/drop_pipeline.h"
#include "drivers/archive_file.h"

class TForm1;
class DropProgress;

class DropController : public QObject {
  Q_OBJECT

 public:
  explicit DropController(TForm1& form);

  void Drop(const std::vector<std::string>& paths);
  bool Busy() const { return busy_; }
  // Charts read completely since start.
  int RowCount() const { return pipeline_.RowCount(); }
  TArchiveFile& ArchiveFile() { return archiveFile_; }

 private:
  void RunQueue();
  // Lets the window repaint and take input, at most five times a second: the
  // libraries report every entry, and a repaint for each would cost more
  // than the unpacking.
  void KeepWindowAlive();
  bool Stopping() const;

  TForm1& form_;
  TArchiveFile archiveFile_;
  DropPipeline pipeline_;
  DropProgress* progress_ = nullptr;
  std::vector<std::vector<std::string>> queue_;
  QElapsedTimer sinceEvents_;
  std::mutex entryMutex_;
  std::string entry_;  // the entry last reported, shown at the next turn of the event loop
  bool busy_ = false;
};
