// SPDX-License-Identifier: MIT
#include "gui_win32/drop_view.h"

#include "gui_win32/form1.h"
#include "gui_win32/win_text.h"
#include "session/status_text.h"

void DropView::DropStarted(std::size_t archives) {
  form_.Strip().Begin(static_cast<int>(archives));
  form_.Status().SetNotice({});
  form_.Layout();
}

void DropView::ArchiveStarted(std::size_t index, std::size_t count, const std::string& text) {
  form_.Strip().Archive(static_cast<int>(index), static_cast<int>(count), text);
}

void DropView::EntryStarted(const std::string& name) { form_.Strip().Entry(name); }

void DropView::ProblemFound(const ArchiveProblem& problem) {
  form_.AddProblem(U(ProblemPathText(problem)), U(ProblemReasonsText(problem)));
}

void DropView::DropFinished(const DropOutcome& outcome) {
  form_.Strip().End();
  form_.Layout();
  form_.Status().SetNotice(DropOutcomeText(outcome));
  if (outcome.closeRequested) {
    PostMessageW(form_.Handle(), WM_CLOSE, 0, 0);
    return;
  }
  if (form_.Library().Shown()) PostMessageW(form_.Handle(), TForm1::kRefreshLibrary, 0, 0);
}

void DropView::KeepAlive() { form_.PumpMessages(20); }

void DropView::BringToFront() {
  // Asked from an unpacking thread too: the window is only touched on its own.
  PostMessageW(form_.Handle(), TForm1::kBringToFront, 0, 0);
}
