// SPDX-License-Identifier: MIT
// The owner window belongs to the thread that registered it: two threads
// of one library each unpack at once and hear only of their own entries,
// and a thread that registered nothing hears nothing.
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/msgwindow.h"
#include "tests/support/arc_library.h"
#include "tests/support/archive_maker.h"
#include "tests/support/files.h"

namespace {

using test_support::ArcLibrary;

class OwnerWindowPerThread : public ::testing::Test {
 protected:
  // One thread's unpacking: its window, and the entries reported to it.
  struct Unpacking {
    explicit Unpacking(std::string n) : name(std::move(n)) {}
    std::string name;  // "a" or "b": the archive and its entries' first letter
    platform::WindowHandle wnd = 0;
    std::vector<std::string> begun;
    bool overlapped = false;  // the other thread reported while this one waited
    int result = -1;
  };

  void SetUp() override {
    msg_ = platform::RegisterWindowMessage("wm_arcextract");
    for (Unpacking* u : {&a_, &b_}) {
      dir_.Write(u->name + ".lzh",
                 test_support::MakeStoredLzh({{u->name + "1.bms", "1"}, {u->name + "2.bms", "2"}}, 2));
      u->wnd = platform::CreateMessageWindow([this, u](std::uint32_t msg, std::uintptr_t state, std::intptr_t lp) {
        if (msg != msg_ || state != ARCEXTRACT_BEGIN) return std::intptr_t{0};
        auto* info = reinterpret_cast<EXTRACTINGINFOEX*>(lp);
        std::unique_lock<std::mutex> lock(mutex_);
        u->begun.push_back(info->exinfo.szDestFileName);
        changed_.notify_all();
        // The first entry waits until the other thread has begun one too.
        Unpacking& other = u == &a_ ? b_ : a_;
        if (u->begun.size() == 1)
          u->overlapped =
              changed_.wait_for(lock, std::chrono::seconds(10), [&] { return !other.begun.empty(); });
        return std::intptr_t{0};
      });
    }
  }
  void TearDown() override {
    for (Unpacking* u : {&a_, &b_}) platform::DestroyMessageWindow(u->wnd);
  }

  void Run(Unpacking& u) {
    ASSERT_EQ(lha_.Entry<ARC_SETOWNER_FN>("SetOwnerWindowEx")(u.wnd, nullptr), 1);
    u.result = lha_.Command("x -+ -x1 -n1 \"" + dir_.Path() + u.name + ".lzh\" \"" + dir_.Path() + u.name + "/\" ");
    EXPECT_EQ(lha_.Entry<ARC_KILLOWNER_FN>("KillOwnerWindowEx")(u.wnd), 1);
  }

  test_support::TempDir dir_;
  ArcLibrary lha_{"UNLHA32.DLL", "Unlha"};
  std::uint32_t msg_ = 0;
  std::mutex mutex_;
  std::condition_variable changed_;
  Unpacking a_{"a"}, b_{"b"};
};

TEST_F(OwnerWindowPerThread, TwoThreadsUnpackAtOnceEachHearingOnlyItsOwn) {
  std::thread ta([this] { Run(a_); });
  std::thread tb([this] { Run(b_); });
  ta.join();
  tb.join();
  for (Unpacking* u : {&a_, &b_}) {
    SCOPED_TRACE(u->name);
    EXPECT_EQ(u->result, 0);
    EXPECT_TRUE(u->overlapped);
    const std::string to = dir_.Path() + u->name + "/" + u->name;
    EXPECT_EQ(u->begun, (std::vector<std::string>{to + "1.bms", to + "2.bms"}));
  }
}

TEST_F(OwnerWindowPerThread, AnotherThreadsWindowIsNeitherHeardNorEnded) {
  ASSERT_EQ(lha_.Entry<ARC_SETOWNER_FN>("SetOwnerWindowEx")(a_.wnd, nullptr), 1);
  int killedThere = -1;
  std::thread other([&] {
    // This thread registered nothing: its unpacking reports to no one, and
    // it cannot end the registration of the thread that made it.
    b_.result = lha_.Command("x -+ -x1 -n1 \"" + dir_.Path() + "b.lzh\" \"" + dir_.Path() + "b/\" ");
    killedThere = lha_.Entry<ARC_KILLOWNER_FN>("KillOwnerWindowEx")(a_.wnd);
  });
  other.join();
  EXPECT_EQ(b_.result, 0);
  EXPECT_EQ(killedThere, 0);
  EXPECT_TRUE(a_.begun.empty());
  EXPECT_TRUE(b_.begun.empty());
  EXPECT_EQ(lha_.Entry<ARC_KILLOWNER_FN>("KillOwnerWindowEx")(a_.wnd), 1);
}

}  // namespace
