// SPDX-License-Identifier: MIT
#include "session/session.h"

#include <algorithm>
#include <future>
#include <thread>

#include "charts/column_text.h"
#include "charts/progress_text.h"
#include "platform/cp932.h"
#include "platform/paths.h"

Session::Session(SessionView& view)
    : view_(view),
      owner_(platform::CreateMessageWindow([](std::uint32_t, std::uintptr_t, std::intptr_t) -> std::intptr_t {
        return 0;  // the libraries' messages need no answer
      })),
      pipeline_(list_, archiveFile_, owner_) {
  ApplyMainWindowSettings(archiveFile_);
  // The TAR driver brings its owner window forward after each command.
  platform::SetForegroundHook(owner_, [this] { view_.BringToFront(); });

  const std::thread::id home = std::this_thread::get_id();
  // On two cores the libraries report from both unpacking threads: the
  // latest entry is only noted there and passed on from this thread.
  archiveFile_.OnProgress = [this, home](TArchiveFile&, int state, EXTRACTINGINFOEX* info, bool&) {
    if (std::string name = ProgressEntryName(state, info); !name.empty()) {
      std::lock_guard<std::mutex> lock(entryMutex_);
      entry_ = std::move(name);
    }
    if (std::this_thread::get_id() == home) KeepAlive();
  };
  pipeline_.onWaiting = [this] { KeepAlive(); };
  // A dropped folder is walked before its steps begin: the strip names the
  // folder being listed meanwhile.
  pipeline_.onWalking = [this](const std::string& folder) {
    {
      std::lock_guard<std::mutex> lock(entryMutex_);
      entry_ = EscapeControls(platform::ExtractFileName(folder.substr(0, folder.size() - 1)), false);
    }
    KeepAlive();
    return !Stopping();
  };
  pipeline_.onArchiveStarting = [this](std::size_t i, std::size_t n, const std::string& path) {
    KeepAlive();
    if (Stopping()) return false;
    {
      std::lock_guard<std::mutex> lock(entryMutex_);
      entry_.clear();
    }
    // A dropped folder adds its folders and archives as steps of their own.
    dropCount_ = n;
    ++dropHandled_;
    view_.ArchiveStarted(i, n, ArchiveProgressText(i, n, path));
    return true;
  };
  pipeline_.onRowAdded = [this](std::size_t row) {
    view_.RowAdded(row);
    KeepAlive();
  };
  pipeline_.onArchiveProblem = [this](const ArchiveProblem& problem) { ReportProblem(problem); };
}

Session::~Session() {
  archiveFile_.OnProgress = nullptr;
  platform::DestroyMessageWindow(owner_);
}

void Session::Drop(std::vector<std::string> paths) {
  queue_.push_back(std::move(paths));
  if (!busy_) RunQueue();
}

bool Session::RequestClose() {
  if (!busy_) return true;
  closePending_ = true;
  return false;
}

void Session::ReportProblem(const ArchiveProblem& problem) {
  problems_.push_back(problem);
  view_.ProblemFound(problem);
}

void Session::ReportUnwritableName(const std::string& fsName) {
  ArchiveProblem problem;
  problem.archivePath = platform::Utf8ToCp932(fsName);
  problem.fsPath = fsName;
  problem.reasons.push_back(platform::Utf8ToCp932("名前をコード ページ 932 で表せないため読めません (code page 932)"));
  ReportProblem(problem);
}

void Session::RunQueue() {
  busy_ = true;
  cancel_ = false;  // each run of the queue starts afresh, whatever stopped the one before
  DropOutcome outcome;
  // Drops queued behind a running one start without asking again; a cancel
  // ends the running drop and what was queued behind it.
  while (!queue_.empty()) {
    std::vector<std::string> paths = std::move(queue_.front());
    queue_.pop_front();
    dropCount_ = paths.size();
    dropHandled_ = 0;
    view_.DropStarted(paths.size());
    KeepAlive(true);
    pipeline_.options = scanOptions;
    pipeline_.bothCores = bothCores;
    pipeline_.WMDropFiles(paths);
    outcome.archives = dropCount_;
    outcome.handled = dropHandled_;
    if (Stopping()) break;
  }
  outcome.cancelled = cancel_ && (!queue_.empty() || outcome.handled < outcome.archives);
  queue_.clear();
  busy_ = false;
  cancel_ = false;
  outcome.closeRequested = closePending_;
  closePending_ = false;
  view_.DropFinished(outcome);
}

void Session::RunJob(const std::vector<std::string>& archives, const std::function<void(std::size_t)>& each) {
  if (busy_) return;
  busy_ = true;
  cancel_ = false;
  view_.DropStarted(archives.size());
  KeepAlive(true);
  DropOutcome outcome;
  outcome.archives = archives.size();
  for (std::size_t i = 0; i < archives.size(); ++i) {
    KeepAlive();
    if (Stopping()) break;
    view_.ArchiveStarted(i, archives.size(), ArchiveProgressText(i, archives.size(), archives[i]));
    each(i);
    ++outcome.handled;
  }
  outcome.cancelled = cancel_ && outcome.handled < outcome.archives;
  lastJobCancelled_ = outcome.cancelled;
  outcome.closeRequested = closePending_;
  // A cancel or a close ends what was dropped meanwhile too, as in a drop.
  if (cancel_ || closePending_) queue_.clear();
  busy_ = false;
  cancel_ = false;
  closePending_ = false;
  view_.DropFinished(outcome);
  // Archives dropped while the action ran were queued behind it.
  if (!queue_.empty() && !outcome.closeRequested) RunQueue();
}

void Session::RunBackgroundJob(const std::vector<std::string>& items,
                               const std::function<void(std::size_t, const std::atomic<bool>&)>& each,
                               const std::function<std::string()>& entry) {
  RunJob(items, [&](std::size_t i) {
    std::atomic<bool> stop{false};
    std::future<void> done = std::async(std::launch::async, [&] { each(i, stop); });
    // The worker's progress is passed on from here, the one thread the view
    // may be touched from.
    const auto step = std::max(keepAliveInterval / 4, std::chrono::milliseconds(5));
    while (done.wait_for(step) != std::future_status::ready) {
      if (Stopping()) stop = true;
      if (!stop) {
        const std::string text = platform::Utf8ToCp932(entry());
        std::lock_guard<std::mutex> lock(entryMutex_);
        entry_ = text;
      }
      KeepAlive();
    }
    done.get();
  });
}

void Session::KeepAlive(bool now) {
  const auto t = std::chrono::steady_clock::now();
  if (!now && t - lastKeepAlive_ < keepAliveInterval) return;
  std::string entry;
  {
    std::lock_guard<std::mutex> lock(entryMutex_);
    entry.swap(entry_);
  }
  if (!entry.empty()) view_.EntryStarted(entry);
  view_.KeepAlive();
  lastKeepAlive_ = std::chrono::steady_clock::now();
}
