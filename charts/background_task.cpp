// SPDX-License-Identifier: MIT
#include "charts/background_task.h"

#include <utility>

BackgroundTask::BackgroundTask() : thread_([this] { Loop(); }) {}

BackgroundTask::~BackgroundTask() {
  {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return !running_; });
    quit_ = true;
  }
  changed_.notify_all();
  thread_.join();
}

void BackgroundTask::Start(std::function<void()> task) {
  {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return !running_; });
    task_ = std::move(task);
    running_ = true;
  }
  changed_.notify_all();
}

void BackgroundTask::Wait(const std::function<void()>& whileWaiting, std::chrono::milliseconds interval) {
  std::unique_lock<std::mutex> lock(mutex_);
  if (!whileWaiting) {
    changed_.wait(lock, [this] { return !running_; });
    return;
  }
  while (!changed_.wait_for(lock, interval, [this] { return !running_; })) {
    // The caller's work (a window's events) runs without the lock held.
    lock.unlock();
    whileWaiting();
    lock.lock();
  }
}

void BackgroundTask::Run(std::function<void()> task, const std::function<void()>& whileWaiting) {
  Start(std::move(task));
  Wait(whileWaiting);
}

void BackgroundTask::Loop() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return running_ || quit_; });
    if (quit_ && !running_) return;
    std::function<void()> task = std::move(task_);
    lock.unlock();
    try {
      task();
    } catch (...) {
      // Tasks catch what they can report; nothing may end the program here.
    }
    lock.lock();
    running_ = false;
    changed_.notify_all();
  }
}
