// SPDX-License-Identifier: MIT
// The session's drop lifecycle through a recording view and described
// archives: what every window and the CLI rely on, tested once.
#include "session/session.h"

#include <atomic>
#include <optional>
#include <thread>
#include <gtest/gtest.h>

#include <filesystem>
#include <algorithm>
#include <functional>

#include "charts/working_folder.h"
#include "platform/cp932.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "session/status_text.h"
#include "tests/support/program_folder.h"
#include "tests/support/fake_archiver.h"
#include "tests/support/files.h"

namespace fs = std::filesystem;
using test_support::FakeArchive;

namespace {

// Writes down every call, and lets a test act at a chosen moment.
class RecordingView : public SessionView {
 public:
  std::vector<std::string> calls;
  std::vector<DropOutcome> outcomes;
  std::vector<std::string> entries;
  std::function<void(std::size_t index)> onArchive;
  std::function<void()> onKeepAlive;

  void DropStarted(std::size_t n) override { calls.push_back("drop " + std::to_string(n)); }
  void ArchiveStarted(std::size_t i, std::size_t n, const std::string& text) override {
    calls.push_back("archive " + text);
    (void)n;
    if (onArchive) onArchive(i);
  }
  void EntryStarted(const std::string& entry) override { entries.push_back(entry); }
  void RowAdded(std::size_t row) override { calls.push_back("row " + std::to_string(row)); }
  void ProblemFound(const ArchiveProblem& p) override { calls.push_back("problem " + platform::ExtractFileName(p.archivePath)); }
  void DropFinished(const DropOutcome& o) override {
    calls.push_back("end");
    outcomes.push_back(o);
  }
  void KeepAlive() override {
    if (onKeepAlive) onKeepAlive();
  }
};

class SessionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    program_.emplace(tmp_.Path() + "app", false);
    CreateWorkingFolder();
    session_.ArchiveFile().SetDriverSource(archives_.Source());
    session_.bothCores = false;
    session_.keepAliveInterval = std::chrono::milliseconds(0);
    archives_.Add(Arc("one.lzh"), {{{"a.bms", "#TITLE a\r\n"}, {"b.bms", "#TITLE b\r\n"}}});
    archives_.Add(Arc("two.lzh"), {{{"c.bms", "#TITLE c\r\n"}}});
    archives_.Add(Arc("three.lzh"), {{{"d.bms", "#TITLE d\r\n"}}});
  }
  void TearDown() override {
    ReleaseWorkingFolder();
    program_.reset();
  }
  std::string Arc(const std::string& name) { return tmp_.Path() + name; }
  std::vector<std::string> Captions() const {
    std::vector<std::string> out;
    for (const ChartRow& r : session_.List().Rows()) out.push_back(r.caption);
    return out;
  }
  bool WorkIsEmpty() const { return fs::is_empty(tmp_.Path() + "app/work"); }

  test_support::TempDir tmp_;
  std::optional<test_support::ProgramFolder> program_;
  test_support::FakeArchives archives_;
  RecordingView view_;
  Session session_{view_};
};

TEST_F(SessionTest, ADropTellsTheViewEverythingInOrder) {
  archives_.Add(Arc("empty.lzh"), {{{"readme.txt", "x"}}});
  session_.Drop({Arc("one.lzh"), Arc("empty.lzh")});
  EXPECT_EQ(view_.calls, (std::vector<std::string>{"drop 2", "archive 1 / 2  one.lzh", "row 0", "row 1",
                                                   "archive 2 / 2  empty.lzh", "problem empty.lzh", "end"}));
  ASSERT_EQ(view_.outcomes.size(), 1u);
  EXPECT_FALSE(view_.outcomes[0].cancelled);
  EXPECT_FALSE(view_.outcomes[0].closeRequested);
  EXPECT_EQ(DropOutcomeText(view_.outcomes[0]), "");
  EXPECT_EQ(session_.Problems().size(), 1u);
  EXPECT_FALSE(session_.Busy());
}

TEST_F(SessionTest, DropsDuringADropAreQueuedBehindIt) {
  // A drop arriving while the first archive is handled (the window's event
  // loop runs between archives) waits for the running one.
  view_.onArchive = [this](std::size_t i) {
    if (i == 0 && session_.List().Count() == 0) session_.Drop({Arc("three.lzh")});
  };
  session_.Drop({Arc("one.lzh"), Arc("two.lzh")});
  EXPECT_EQ(Captions(), (std::vector<std::string>{"a.bms", "b.bms", "c.bms", "d.bms"}));
  // One end for the run of the queue, after both drops.
  EXPECT_EQ(std::count(view_.calls.begin(), view_.calls.end(), "end"), 1);
  EXPECT_EQ(std::count(view_.calls.begin(), view_.calls.end(), "drop 1"), 1);
  EXPECT_TRUE(WorkIsEmpty());
}

TEST_F(SessionTest, ACancelStopsAfterTheCurrentArchiveAndDropsTheQueue) {
  view_.onArchive = [this](std::size_t i) {
    if (i == 0) {
      session_.Drop({Arc("three.lzh")});  // queued, then cancelled with the rest
      session_.RequestCancel();
    }
  };
  session_.Drop({Arc("one.lzh"), Arc("two.lzh")});
  // The archive under way is finished and cleaned up; nothing after it.
  EXPECT_EQ(Captions(), (std::vector<std::string>{"a.bms", "b.bms"}));
  EXPECT_TRUE(WorkIsEmpty());
  ASSERT_EQ(view_.outcomes.size(), 1u);
  EXPECT_TRUE(view_.outcomes[0].cancelled);
  EXPECT_EQ(view_.outcomes[0].archives, 2u);
  EXPECT_EQ(view_.outcomes[0].handled, 1u);
  EXPECT_EQ(DropOutcomeText(view_.outcomes[0]), "2 書庫のうち 1 書庫で中止しました");

  // The next drop starts afresh.
  view_.onArchive = nullptr;
  session_.Drop({Arc("two.lzh")});
  EXPECT_EQ(Captions().back(), "c.bms");
  EXPECT_FALSE(view_.outcomes.back().cancelled);
}

TEST_F(SessionTest, ADroppedFolderShowsEachFolderAndACancelStopsBetweenThem) {
  for (const char* chart : {"lib/s1/a.bms", "lib/s2/b.bms"}) {
    fs::create_directories(fs::path(Arc(chart)).parent_path());
    test_support::WriteBytes(Arc(chart), "#TITLE t\r\n");
  }
  view_.onArchive = [this](std::size_t i) {
    if (i == 0) session_.RequestCancel();
  };
  session_.Drop({Arc("lib")});
  EXPECT_EQ(view_.calls, (std::vector<std::string>{"drop 1", "archive 1 / 2  s1", "row 0", "end"}));
  // The folders walked were named as the walk went.
  EXPECT_EQ(view_.entries, (std::vector<std::string>{"lib", "s1", "s2"}));
  ASSERT_EQ(view_.outcomes.size(), 1u);
  EXPECT_TRUE(view_.outcomes[0].cancelled);
  EXPECT_EQ(view_.outcomes[0].archives, 2u);
  EXPECT_EQ(view_.outcomes[0].handled, 1u);
}

TEST_F(SessionTest, ACancelWhileAFolderIsWalkedEndsTheDropBeforeItsFirstStep) {
  for (const char* chart : {"lib/s1/a.bms", "lib/s2/b.bms"}) {
    fs::create_directories(fs::path(Arc(chart)).parent_path());
    test_support::WriteBytes(Arc(chart), "#TITLE t\r\n");
  }
  view_.onKeepAlive = [this] {
    if (!view_.entries.empty()) session_.RequestCancel();
  };
  session_.Drop({Arc("one.lzh"), Arc("lib")});
  EXPECT_EQ(view_.calls, (std::vector<std::string>{"drop 2", "end"}));
  ASSERT_EQ(view_.outcomes.size(), 1u);
  EXPECT_TRUE(view_.outcomes[0].cancelled);
  EXPECT_TRUE(session_.List().Rows().empty());
}

TEST_F(SessionTest, ACancelAfterTheLastArchiveIsNoCancel) {
  view_.onArchive = [this](std::size_t i) {
    if (i == 1) session_.RequestCancel();
  };
  session_.Drop({Arc("one.lzh"), Arc("two.lzh")});
  EXPECT_EQ(Captions().size(), 3u);
  EXPECT_FALSE(view_.outcomes[0].cancelled);
}

TEST_F(SessionTest, ACloseDuringADropWaitsForTheCurrentArchive) {
  EXPECT_TRUE(session_.RequestClose());  // nothing running: close at once
  bool answered = true;
  view_.onArchive = [&](std::size_t i) {
    if (i == 0) answered = session_.RequestClose();
  };
  session_.Drop({Arc("one.lzh"), Arc("two.lzh")});
  EXPECT_FALSE(answered);
  EXPECT_EQ(Captions(), (std::vector<std::string>{"a.bms", "b.bms"}));
  EXPECT_TRUE(WorkIsEmpty());
  ASSERT_EQ(view_.outcomes.size(), 1u);
  EXPECT_TRUE(view_.outcomes[0].closeRequested);
  EXPECT_FALSE(session_.ClosePending());
}

TEST_F(SessionTest, KeepAliveComesDuringTheDropAndCanCancelIt) {
  int keepAlives = 0;
  view_.onKeepAlive = [&] {
    if (++keepAlives == 1 && session_.Busy()) session_.RequestCancel();
  };
  session_.Drop({Arc("one.lzh"), Arc("two.lzh"), Arc("three.lzh")});
  EXPECT_GE(keepAlives, 1);
  // The cancel came before the first archive started.
  EXPECT_TRUE(Captions().empty());
  EXPECT_TRUE(view_.outcomes[0].cancelled);
  EXPECT_EQ(view_.outcomes[0].handled, 0u);
}

TEST_F(SessionTest, ABackgroundJobKeepsTheViewAliveTellsItsStopAndQueuesDrops) {
  // The worker runs until told to stop; meanwhile this thread keeps the view
  // alive, a drop is queued, and the cancel reaches the worker.
  std::atomic<int> polls{0};
  int keepAlives = 0;
  view_.onKeepAlive = [&] {
    ++keepAlives;
    if (keepAlives == 3) session_.Drop({Arc("two.lzh")});
    if (keepAlives == 5) session_.RequestCancel();
  };
  std::vector<std::size_t> started;
  std::vector<bool> stopped;
  session_.RunBackgroundJob(
      {"first", "second"},
      [&](std::size_t i, const std::atomic<bool>& stop) {
        started.push_back(i);
        while (!stop) {
          ++polls;
          std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        stopped.push_back(true);
      },
      [&] { return "polls " + std::to_string(polls.load()); });
  EXPECT_EQ(started, std::vector<std::size_t>{0});  // the second never began
  EXPECT_EQ(stopped.size(), 1u);
  EXPECT_TRUE(session_.LastJobCancelled());
  EXPECT_GE(keepAlives, 5);
  EXPECT_TRUE(Captions().empty());  // a cancel ends what was dropped meanwhile too
  EXPECT_FALSE(session_.Busy());
}

TEST_F(SessionTest, TheScanOptionsOfEachDropAreReadWhenItStarts) {
  archives_.Add(Arc("bme.lzh"), {{{"x.bme", "#TITLE x\r\n"}, {"y.bms", "#TITLE y\r\n"}}});
  session_.Drop({Arc("bme.lzh")});
  EXPECT_EQ(Captions(), std::vector<std::string>{"y.bms"});
  session_.scanOptions.extensions = {"bms", "bme"};
  session_.Drop({Arc("bme.lzh")});
  EXPECT_EQ(Captions(), (std::vector<std::string>{"y.bms", "x.bme", "y.bms"}));
}

TEST_F(SessionTest, NamesCodePage932CannotHoldAreReportedWithTheirOwnName) {
  session_.ReportUnwritableName(tmp_.Path() + "노래.lzh");
  ASSERT_EQ(session_.Problems().size(), 1u);
  EXPECT_EQ(session_.Problems()[0].fsPath, tmp_.Path() + "노래.lzh");
  EXPECT_NE(ProblemReasonsText(session_.Problems()[0]).find("932"), std::string::npos);
}

}  // namespace

namespace {

TEST_F(SessionTest, AnArchiveOfOtherChartKindsPointsAtTheOptions) {
  archives_.Add(Arc("bme.lzh"), {{{"x.bme", "#TITLE x\r\n"}, {"y.pms", "#TITLE y\r\n"}}});
  archives_.Add(Arc("none.lzh"), {{{"readme.txt", "x"}}});
  session_.Drop({Arc("bme.lzh"), Arc("none.lzh")});
  ASSERT_EQ(session_.Problems().size(), 2u);
  EXPECT_EQ(ProblemReasonsText(session_.Problems()[0]),
            "書庫の一番上に譜面 (*.bms) がありません。*.bme, *.pms の譜面はオプションの「譜面ファイル」で一覧に加えられます");
  EXPECT_EQ(ProblemReasonsText(session_.Problems()[1]), "書庫の一番上に譜面 (*.bms) がありません");
}

}  // namespace
