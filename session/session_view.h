// SPDX-License-Identifier: MIT
#pragma once
// What a front end (the Qt window, the Windows window, bmslist-cli) is told
// while a session handles dropped archives. It only draws, asks and prints:
// every decision is the session's. All calls come on the thread that called
// Session::Drop, except BringToFront.
#include <cstddef>
#include <string>

#include "charts/archive_problem.h"

// How a drop (with whatever was queued behind it) ended.
struct DropOutcome {
  std::size_t archives = 0;  // archives of the drop that ended it
  std::size_t handled = 0;   // of those, how many were handled
  bool cancelled = false;    // stopped by a cancel before the end
  bool closeRequested = false;  // the front end asked to close meanwhile: close now
};

class SessionView {
 public:
  virtual ~SessionView() = default;

  // A drop of `archives` paths starts (queued drops start in turn).
  virtual void DropStarted(std::size_t archives) = 0;
  // The archive `index` of `count` is next; `text` says so for a progress
  // line ("2 / 5  song.zip", CP932).
  virtual void ArchiveStarted(std::size_t index, std::size_t count, const std::string& text) = 0;
  // The entry the archiver library is writing now (CP932, without folder);
  // reported at the keep-alive rate, not for every entry.
  virtual void EntryStarted(const std::string& name) = 0;
  // A row was appended and filled. A view over a list model or a list view
  // that follows the chart list sees the row there and needs nothing here.
  virtual void RowAdded(std::size_t /*row*/) {}
  // An archive (or a dropped name) failed in part or whole, or gave no chart.
  virtual void ProblemFound(const ArchiveProblem& problem) = 0;
  // The drop and the drops queued behind it are over.
  virtual void DropFinished(const DropOutcome& outcome) = 0;
  // Time to repaint and take input (a cancel, a further drop, a close): at
  // most every Session::keepAliveMs while a drop runs.
  virtual void KeepAlive() = 0;
  // An archiver library asked for the owner window to come forward. May be
  // called on an unpacking thread.
  virtual void BringToFront() {}
};
