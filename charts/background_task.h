// SPDX-License-Identifier: MIT
#pragma once
// One thread of its own that runs one task at a time, in the order given:
// a drop on two cores has two, each unpacking one archive into its own
// folder while the calling thread lists the earliest one. Not copied (its
// thread and mutex are not).
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

class BackgroundTask {
 public:
  BackgroundTask();
  // Waits for the task running, if any.
  ~BackgroundTask();

  // Starts `task` once the one before has ended. The task must let no
  // error out.
  void Start(std::function<void()> task);
  // Until the task started last has ended. `whileWaiting`, when given, is
  // called on this thread every `interval` meanwhile.
  void Wait(const std::function<void()>& whileWaiting = {},
            std::chrono::milliseconds interval = std::chrono::milliseconds(50));
  // Runs `task` there and waits for it.
  void Run(std::function<void()> task, const std::function<void()>& whileWaiting = {});

 private:
  void Loop();

  std::mutex mutex_;
  std::condition_variable changed_;
  std::function<void()> task_;
  bool running_ = false;
  bool quit_ = false;
  std::thread thread_;
};
