// SPDX-License-Identifier: MIT
#include "gui/drop_view.h"

#include <QCoreApplication>
#include <QThread>

#include "gui/drop_progress.h"
#include "gui/form1.h"
#include "gui/list_status.h"
#include "gui/qt_text.h"
#include "session/status_text.h"

void DropView::DropStarted(std::size_t archives) {
  form_.Progress()->Begin(static_cast<int>(archives));
  form_.Status()->SetNotice(QString());
}

void DropView::ArchiveStarted(std::size_t index, std::size_t count, const std::string& text) {
  form_.Progress()->Archive(static_cast<int>(index), static_cast<int>(count), QStringFromCp932(text));
}

void DropView::EntryStarted(const std::string& name) { form_.Progress()->Entry(QStringFromCp932(name)); }

void DropView::ProblemFound(const ArchiveProblem& problem) {
  form_.Status()->AddProblem(QString::fromStdString(ProblemPathText(problem)),
                             QString::fromStdString(ProblemReasonsText(problem)));
}

void DropView::DropFinished(const DropOutcome& outcome) {
  form_.Progress()->End();
  form_.Status()->SetNotice(QString::fromStdString(DropOutcomeText(outcome)));
  if (outcome.closeRequested) {
    form_.close();
    return;
  }
  form_.RefreshLibraryLater();
}

void DropView::KeepAlive() { QCoreApplication::processEvents(QEventLoop::AllEvents, 20); }

void DropView::BringToFront() {
  // Asked from the thread that unpacks: the window itself is only touched on its own.
  QMetaObject::invokeMethod(
      &form_,
      [this] {
        form_.raise();
        form_.activateWindow();
      },
      QThread::currentThread() == form_.thread() ? Qt::DirectConnection : Qt::QueuedConnection);
}
