// SPDX-License-Identifier: MIT
// The archive component: driver selection, Extract, and progress reports.
#include "drivers/archive_file.h"

#include "platform/msgwindow.h"
#include "tests/drivers/fixture.h"

namespace {

TEST_F(RecordingTest, NamesSelectDrivers) {
  TArchiveFile af;
  af.SetFileName("/a.lzh");
  TArchiver* first = af.Archiver();
  af.SetFileName("/b.lzh");
  EXPECT_NE(af.Archiver(), first);  // a new driver every time
  EXPECT_NE(dynamic_cast<TLha32*>(af.Archiver()), nullptr);

  af.SetFileName("/c.zip");
  af.SetFileName("/d.txt");  // undetectable: type and driver stay
  EXPECT_EQ(af.ArchiverType(), atZip);
  EXPECT_NE(dynamic_cast<TZip32*>(af.Archiver()), nullptr);
  EXPECT_EQ(af.FileName(), "/d.txt");
  af.Extract(0, nullptr, "", nullptr);
  EXPECT_EQ(OnlyCommand().text, "-x  \"/d.txt\" ");

  TArchiver* zip = af.Archiver();
  af.SetArchiverType(atNone);
  EXPECT_EQ(af.ArchiverType(), atZip);
  af.SetArchiverType(atAutoDetect);
  EXPECT_EQ(af.ArchiverType(), atAutoDetect);
  EXPECT_EQ(af.Archiver(), zip);

  auto unknown = static_cast<TArchiverType>(12);
  EXPECT_ARCHIVER_ERROR(af.SetArchiverType(unknown), "現在のバージョンではこの形式の書庫をサポートしていません。");
  af.Loading = true;
  af.SetArchiverType(unknown);
  EXPECT_EQ(af.ArchiverType(), unknown);
  EXPECT_EQ(af.Archiver(), zip);
}

TEST_F(RecordingTest, AMissingLibraryKeepsThePreviousArchive) {
  TArchiveFile af;
  af.SetFileName("/a.lzh");
  TArchiver* lha = af.Archiver();
  UseLibraries("none");
  EXPECT_ARCHIVER_ERROR(af.SetFileName("/b.rar"), "この機能の使用には UNRAR32.DLL が 必要です。");
  EXPECT_EQ(af.FileName(), "/a.lzh");
  EXPECT_EQ(af.ArchiverType(), atLha);
  EXPECT_EQ(af.Archiver(), lha);
}

TEST_F(RecordingTest, ExtractUsesTheGivenOptionSetAndOutputBuffer) {
  TArchiveFile af;
  af.SetFileName("/a.zip");
  af.Options().ResFileName = std::string(REC_DIR) + "/own-list.txt";
  TArchiverOptions other;
  other.x = 0;
  other.ResFileName = af.Options().ResFileName;
  other.ResFileUsage = {ruOnPack};
  TStringList files = {"f"};
  af.SetOutputSize(1024);
  af.Extract(0, &other, "", &files);
  recorder::Call c = OnlyCommand();
  EXPECT_EQ(c.text, "-x -j  \"/a.zip\" \"f\" ");  // no response file: the other set says so
  EXPECT_EQ(c.size, 1024u);
  EXPECT_EQ(c.firstByte, 0);
  af.SetOutputSize(-5);
  EXPECT_EQ(af.GetOutputSize(), 0);
}

TEST_F(RecordingTest, ProgressReachesTheHandlerWhichMayAbort) {
  TArchiveFile af;
  af.SetFileName("/a.lzh");
  std::vector<int> states;
  std::string source;
  af.OnProgress = [&](TArchiveFile& sender, int state, EXTRACTINGINFOEX* eis, bool& abort) {
    EXPECT_EQ(&sender, &af);
    EXPECT_FALSE(abort);
    states.push_back(state);
    source = eis ? eis->exinfo.szSourceFileName : "";
    abort = state == ARCEXTRACT_BEGIN;
  };
  recorder::SetProgressState(ARCEXTRACT_BEGIN);
  EXPECT_EQ(af.Extract(0, nullptr, "/w", nullptr), ERROR_USER_CANCEL);
  recorder::SetProgressState(ARCEXTRACT_INPROCESS);
  EXPECT_EQ(af.Extract(0, nullptr, "/w", nullptr), 0);
  EXPECT_EQ(states, (std::vector<int>{ARCEXTRACT_BEGIN, ARCEXTRACT_INPROCESS}));
  EXPECT_EQ(source, "song.bms");

  auto commands = CallsTo("Unlha");
  ASSERT_EQ(commands.size(), 2u);
  EXPECT_EQ(commands[0].progressAnswer, 1);
  EXPECT_EQ(commands[1].progressAnswer, 0);
  // The hidden window is registered around each call, with no callback, and
  // the LHA line carries n1 meanwhile.
  WindowHandle wnd = af.ProgressWindow();
  EXPECT_NE(wnd, 0u);
  auto sets = CallsTo("UnlhaSetOwnerWindowEx");
  ASSERT_EQ(sets.size(), 2u);
  EXPECT_EQ(sets[0].wnd, wnd);
  EXPECT_TRUE(sets[0].nullProc);
  EXPECT_EQ(CallsTo("UnlhaKillOwnerWindowEx").size(), 2u);
  EXPECT_EQ(commands[0].text, "x -+ -n1  \"/a.lzh\" \"/w/\" ");
  EXPECT_EQ(recorder::Owner("UNLHA32.DLL"), 0u);

  // Other messages get 0 and reach no handler.
  EXPECT_EQ(platform::SendMessage(wnd, 0x0010, ARCEXTRACT_BEGIN, 0), 0);
  EXPECT_EQ(states.size(), 2u);
}

TEST_F(RecordingTest, WithoutAHandlerNoWindowIsRegistered) {
  TArchiveFile af;
  af.SetFileName("/a.lzh");
  recorder::SetProgressState(ARCEXTRACT_BEGIN);
  af.Extract(0, nullptr, "/w", nullptr);
  EXPECT_EQ(af.ProgressWindow(), 0u);
  EXPECT_TRUE(CallsTo("UnlhaSetOwnerWindowEx").empty());
  EXPECT_EQ(OnlyCommand().progressAnswer, -1);
}

TEST_F(RecordingTest, AFailingUnpackKeepsTheLastCommandLine) {
  UseLibraries("partial");
  TArchiveFile af;
  af.SetFileName("/a.lzh");
  af.OnProgress = [](TArchiveFile&, int, EXTRACTINGINFOEX*, bool&) {};
  EXPECT_THROW(af.Extract(0, nullptr, "/w", nullptr), EArchiver);
  EXPECT_EQ(af.CmdLine(), "");
  // EndProgress did not run: the window stays registered.
  EXPECT_EQ(recorder::Owner("UNLHA32.DLL"), af.ProgressWindow());
}

}  // namespace
