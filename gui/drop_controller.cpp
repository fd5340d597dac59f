#include "gui/drop_controller.h"

#include <QCoreApplication>
#include <QStatusBar>

#include "gui/captions.h"
#include "gui/drop_progress.h"
#include "gui/error_box.h"
#include "gui/form1.h"
#include "gui/qt_text.h"
#include "platform/cp932.h"
#include "platform/paths.h"

DropController::DropController(TForm1& form)
    : QObject(&form), form_(form), pipeline_(form.List(), archiveFile_, form.Handle()) {
  // The archive component as the window's stored layout sets it up.
  ApplyMainWindowSettings(archiveFile_);
  progress_ = new DropProgress(&form);
  form.statusBar()->addPermanentWidget(progress_, 1);
  form.statusBar()->hide();
  form.isBusy = [this] { return busy_; };

  archiveFile_.OnProgress = [this](TArchiveFile&, int state, EXTRACTINGINFOEX* info, bool&) {
    // The source name is the archive itself; the entry is the file being
    // written. Opening and finishing name no entry.
    if (info && (state == ARCEXTRACT_BEGIN || state == ARCEXTRACT_INPROCESS))
      progress_->Entry(QStringFromCp932(platform::ExtractFileName(info->exinfo.szDestFileName)));
    KeepWindowAlive();
  };
  pipeline_.onArchiveStarting = [this](std::size_t i, std::size_t n, const std::string& path) {
    KeepWindowAlive();
    if (Stopping()) return false;
    progress_->Archive(static_cast<int>(i), static_cast<int>(n), QStringFromCp932(platform::ExtractFileName(path)));
    KeepWindowAlive();
    return true;
  };
  pipeline_.onRowAdded = [this](std::size_t) { KeepWindowAlive(); };
  pipeline_.onUnlistedFiles = [this](const std::string&, const std::vector<std::string>& fsNames) {
    ShowErrorBox(&form_, kUnusableNamesMessage, fsNames);
  };
}

void DropController::Drop(const std::vector<std::string>& paths) {
  queue_.push_back(paths);
  if (!busy_) RunQueue();
}

void DropController::RunQueue() {
  busy_ = true;
  while (!queue_.empty() && !Stopping()) {
    std::vector<std::string> paths = std::move(queue_.front());
    queue_.erase(queue_.begin());
    form_.statusBar()->show();
    progress_->Begin(static_cast<int>(paths.size()));
    pipeline_.options = form_.Options().ScanOptions();  // as set when the drop starts
    pipeline_.WMDropFiles(paths);
  }
  // A cancel drops what was queued behind the cancelled drop as well.
  queue_.clear();
  progress_->End();
  form_.statusBar()->hide();
  busy_ = false;
  if (form_.ClosePending()) form_.close();
}

bool DropController::Stopping() const { return progress_->CancelRequested() || form_.ClosePending(); }

void DropController::KeepWindowAlive() { QCoreApplication::processEvents(QEventLoop::AllEvents, 20); }
