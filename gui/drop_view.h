// SPDX-License-Identifier: MIT
#pragma once
// The Qt window as the session's view: the strip at the bottom shows which
// archive of how many and the entry being written, problems go to the
// status bar, and the event loop runs between archives, entries and rows so
// the window repaints and takes Cancel/Esc, further drops and a close.
#include "session/session_view.h"

class TForm1;

class DropView : public SessionView {
 public:
  explicit DropView(TForm1& form) : form_(form) {}

  void DropStarted(std::size_t archives) override;
  void ArchiveStarted(std::size_t index, std::size_t count, const std::string& text) override;
  void EntryStarted(const std::string& name) override;
  void ProblemFound(const ArchiveProblem& problem) override;
  void DropFinished(const DropOutcome& outcome) override;
  void KeepAlive() override;
  void BringToFront() override;

 private:
  TForm1& form_;
};
