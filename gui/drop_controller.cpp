#include "gui/drop_controller.h"

#include <QCoreApplication>
#include <QStatusBar>
#include <QThread>

#include "charts/progress_text.h"
#include "gui/drop_progress.h"
#include "gui/form1.h"
#include "gui/qt_text.h"

namespace {
// Often enough to feel live and to take Esc at once, seldom enough to cost
// little next to the unpacking: every turn that follows new rows repaints
// the whole list view, which costs about as much as unpacking a small archive.
constexpr qint64 kEventIntervalMs = 200;
}  // namespace

DropController::DropController(TForm1& form)
    : QObject(&form), form_(form), pipeline_(form.List(), archiveFile_, form.Handle()) {
  // The archive component as the window's stored layout sets it up.
  ApplyMainWindowSettings(archiveFile_);
  progress_ = new DropProgress(&form);
  form.statusBar()->addPermanentWidget(progress_, 1);
  form.isBusy = [this] { return busy_; };
  sinceEvents_.start();

  // On two cores the libraries report from both unpacking threads: the
  // latest entry is only noted there, and the window kept alive by the
  // waiting drop.
  archiveFile_.OnProgress = [this](TArchiveFile&, int state, EXTRACTINGINFOEX* info, bool&) {
    if (std::string name = ProgressEntryName(state, info); !name.empty()) {
      std::lock_guard<std::mutex> lock(entryMutex_);
      entry_ = std::move(name);
    }
    if (QThread::currentThread() == thread()) KeepWindowAlive();
  };
  pipeline_.onWaiting = [this] { KeepWindowAlive(); };
  pipeline_.onArchiveStarting = [this](std::size_t i, std::size_t n, const std::string& path) {
    KeepWindowAlive();
    if (Stopping()) return false;
    {
      std::lock_guard<std::mutex> lock(entryMutex_);
      entry_.clear();
    }
    progress_->Archive(static_cast<int>(i), static_cast<int>(n), QStringFromCp932(ArchiveProgressText(i, n, path)));
    return true;
  };
  pipeline_.onRowAdded = [this](std::size_t) { KeepWindowAlive(); };
  pipeline_.onArchiveProblem = [this](const ArchiveProblem& problem) {
    form_.ReportProblem(problem.archivePath, ProblemReasonsText(problem));
  };
}

void DropController::Drop(const std::vector<std::string>& paths) {
  queue_.push_back(paths);
  if (!busy_) RunQueue();
}

void DropController::RunQueue() {
  busy_ = true;
  // Drops queued behind a running one start without asking again; a Cancel
  // ends the running drop and drops what was queued behind it. Each run of
  // the queue starts afresh, whatever stopped the one before.
  while (!queue_.empty()) {
    std::vector<std::string> paths = std::move(queue_.front());
    queue_.erase(queue_.begin());
    progress_->Begin(static_cast<int>(paths.size()));
    pipeline_.options = form_.Options().ScanOptions();  // as set when the drop starts
    pipeline_.bothCores = form_.Options().BothCores();
    pipeline_.WMDropFiles(paths);
    if (Stopping()) break;
  }
  queue_.clear();
  progress_->End();
  busy_ = false;
  if (form_.ClosePending()) form_.close();
}

bool DropController::Stopping() const { return progress_->CancelRequested() || form_.ClosePending(); }

void DropController::KeepWindowAlive() {
  if (sinceEvents_.elapsed() < kEventIntervalMs) return;
  std::string entry;
  {
    std::lock_guard<std::mutex> lock(entryMutex_);
    entry = entry_;
  }
  if (!entry.empty()) progress_->Entry(QStringFromCp932(entry));
  QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  sinceEvents_.restart();
}
