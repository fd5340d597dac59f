// SPDX-License-Identifier: MIT
#pragma once
// One session of the program: the chart list, the archive component and
// the drop pipeline, with what every front end needs around them: drops
// queued behind a running one, a cancel that stops after the current
// archive, a close put off until then, progress at a steady rate, and the
// problems of each archive. The Qt window, the Windows window and
// bmslist-cli are views of it (SessionView); none wires a drop itself.
#include <atomic>
#include <chrono>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "charts/chart_list.h"
#include "charts/drop_pipeline.h"
#include "drivers/archive_file.h"
#include "platform/msgwindow.h"
#include "session/session_view.h"

class Session {
 public:
  // The archive component as the main window's stored layout sets it up,
  // and a hidden window standing for the front end towards the libraries.
  explicit Session(SessionView& view);
  ~Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  ChartList& List() { return list_; }
  const ChartList& List() const { return list_; }
  TArchiveFile& ArchiveFile() { return archiveFile_; }
  platform::WindowHandle OwnerWindow() const { return owner_; }

  // What the next drop lists and reads, and whether it unpacks two
  // archives at once; read when each drop starts.
  ChartScanOptions scanOptions;
  bool bothCores = DropPipeline::BothCoresByDefault();
  // How often a running drop lets the view repaint and take input: often
  // enough to feel live and take Esc at once, seldom enough to cost little
  // next to the unpacking.
  std::chrono::milliseconds keepAliveInterval{200};

  // The paths of one drop (CP932), handled in order; while a drop runs,
  // further drops wait behind it and this returns at once.
  void Drop(std::vector<std::string> paths);
  bool Busy() const { return busy_; }
  // Stops after the current archive; the drops queued behind it go too.
  void RequestCancel() { cancel_ = true; }
  bool CancelRequested() const { return cancel_; }
  // A close asked for: true when the front end may close now; otherwise the
  // close waits for the current archive, so the working folder is never left
  // half-filled, and DropFinished says closeRequested.
  bool RequestClose();
  bool ClosePending() const { return closePending_; }

  // A dropped name the session was never given (its name cannot be written
  // in code page 932...), reported like an archive's problem.
  void ReportProblem(const ArchiveProblem& problem);
  // A dropped file whose name (`fsName`, the file system's form) code page
  // 932 cannot hold: passing it on with "?" in place of a character could
  // open another file, so it is left out and said so.
  void ReportUnwritableName(const std::string& fsName);
  // Every problem reported since the session began, in order.
  const std::vector<ArchiveProblem>& Problems() const { return problems_; }
  // Charts read completely since the session began.
  int ChartsRead() const { return pipeline_.RowCount(); }

  // A long action over several archives (installing songs) as a drop runs:
  // the view's strip and keep-alive, a cancel after the current archive, a
  // close put off until then. `each(i)` handles archive i. Does nothing
  // while a drop or another action runs.
  void RunJob(const std::vector<std::string>& archives, const std::function<void(std::size_t)>& each);
  bool LastJobCancelled() const { return lastJobCancelled_; }
  // The same for work that runs in one piece per item (scanning a song
  // folder): `each(i, stop)` runs on a thread of its own while this thread
  // keeps the view alive, passing on `entry()` (UTF-8, read on this thread)
  // as the strip's entry text; `stop` turns true on a cancel or a close,
  // and `each` should then return soon. `each` reports its own failures and
  // throws nothing.
  void RunBackgroundJob(const std::vector<std::string>& items,
                        const std::function<void(std::size_t, const std::atomic<bool>& stop)>& each,
                        const std::function<std::string()>& entry);

 private:
  void RunQueue();
  // The view's KeepAlive at most every keepAliveInterval, with the latest
  // entry before it.
  void KeepAlive(bool now = false);
  bool Stopping() const { return cancel_ || closePending_; }

  SessionView& view_;
  ChartList list_;
  TArchiveFile archiveFile_;
  platform::WindowHandle owner_ = 0;
  DropPipeline pipeline_;
  std::deque<std::vector<std::string>> queue_;
  std::vector<ArchiveProblem> problems_;
  std::chrono::steady_clock::time_point lastKeepAlive_{};
  std::mutex entryMutex_;
  std::string entry_;  // the entry last reported, passed on at the next keep-alive
  std::size_t dropCount_ = 0, dropHandled_ = 0;
  bool busy_ = false;
  bool cancel_ = false;
  bool closePending_ = false;
  bool lastJobCancelled_ = false;
};
