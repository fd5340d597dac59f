// SPDX-License-Identifier: MIT
// How option sets, owner windows, file lists and response files shape the
// command lines of each driver.
#include <functional>
#include <memory>

#include "archives/archiver_options.h"
#include "platform/file_writer.h"
#include "platform/files.h"
#include "platform/input_file.h"
#include "platform/io_error.h"
#include "tests/support/files.h"
#include "tests/drivers/fixture.h"

namespace {

enum class Op { Unpack, Pack, RemoveItem, Update, MakeSFX };

struct LineCase {
  const char* what;
  std::function<std::unique_ptr<TArchiver>()> make;
  Op op;
  std::function<void(TArchiverOptions&)> set;
  bool owner;  // an owner window registered first
  const char* line;
};

template <typename T>
std::function<std::unique_ptr<TArchiver>()> Make() {
  return [] { return std::make_unique<T>(); };
}

const TStringList kTwoFiles = {"sub\\a[1].mid", "b.bms"};

int RunOp(TArchiver& d, Op op, const TArchiverOptions& o, const TStringList* files) {
  std::string out;
  switch (op) {
    case Op::Unpack: return d.Unpack(7, "a.arc", o, "/base", files, false, out);
    case Op::Pack: return d.Pack(7, "a.arc", o, "/base", files, false, out);
    case Op::RemoveItem: return d.RemoveItem(7, "a.arc", o, "/base", files, false, out);
    case Op::Update: return d.Update(7, "a.arc", o, "/base", files, false, out);
    case Op::MakeSFX: return d.MakeSFX(7, "a.arc", o, "/base", out);
  }
  return -1;
}

const LineCase kLines[] = {
    {"lha defaults", Make<TLha32>(), Op::Unpack, nullptr, false, "x -+  \"a.arc\" \"/base/\" \"sub\\a[1].mid\" \"b.bms\" "},
    {"lha owner forces n1", Make<TLha32>(), Op::Unpack, [](auto& o) { o.x = 0; o.n = 0; }, true,
     "x -+ -n1 -x0  \"a.arc\" \"/base/\" \"sub\\a[1].mid\" \"b.bms\" "},
    {"lha switch order", Make<TLha32>(), Op::Unpack,
     [](auto& o) {
       o.a = 1, o.m = 2, o.n = 0, o.u = 3, o.w = "/tmp", o.x = 1, o.jn = 4, o.jo = "", o.job = "b", o.jw = 5;
       o.jx = {"*.wav", "x y"}, o.jyc = 6, o.jz = "z", o.ga = 7, o.gp = 8, o.gr = "g", o.gw = 9, o.UserOptions = "-q";
     },
     false,
     "x -+ -a1 -m2 -n0 -u3 \"-w/tmp/\" -x1 -jn4 \"-jo\" \"-jobb\" -jw5 \"-jx*.wav\" \"-jxx y\" -jyc6 \"-jzz\" -ga7 "
     "-gp8 \"-grg\" -gw9 -q \"a.arc\" \"/base/\" \"sub\\a[1].mid\" \"b.bms\" "},
    {"lha files", Make<TLha32>(), Op::Pack, [](auto& o) { o.UserFileList = "u"; }, false,
     "u -+  \"a.arc\" \"/base/\" \"sub\\a[1].mid\" \"b.bms\" u"},
    {"lha remove has no base folder", Make<TLha32>(), Op::RemoveItem, nullptr, false,
     "d -+  \"a.arc\" \"sub\\a[1].mid\" \"b.bms\" "},
    {"lha update", Make<TLha32>(), Op::Update, nullptr, false, "f -+  \"a.arc\" \"/base/\" \"sub\\a[1].mid\" \"b.bms\" "},
    {"lha sfx has no files", Make<TLha32>(), Op::MakeSFX, [](auto& o) { o.ResFileName = "/r"; }, false,
     "s -+  \"a.arc\" \"/base/\" "},
    {"zip owner adds --i", Make<TZip32>(), Op::Unpack, [](auto& o) { o.x = 0; }, true,
     "-x --i -j  \"a.arc\" \"/base/\" \"sub/a[[]1].mid\" \"b.bms\" "},
    {"zip c1 n1", Make<TZip32>(), Op::Unpack, [](auto& o) { o.c = 1, o.n = 1; }, false,
     "-x -o --i  \"a.arc\" \"/base/\" \"sub/a[[]1].mid\" \"b.bms\" "},
    {"zip32j defaults", Make<TZip32>(), Op::Pack, nullptr, false,
     " -D  \"a.arc\" \"/base/\" \"sub/a[[]1].mid\" \"b.bms\" "},
    {"zip32j switches", Make<TZip32>(), Op::Pack,
     [](auto& o) { o.a = 2, o.l = 1, o.n = 1, o.r = 1, o.u = 1, o.x = 0, o.jc = 1, o.ji = 1, o.jm = 9, o.gd = 1; },
     false, " -S -v -q -r -o -u -j -FF -k -9 -J  \"a.arc\" \"/base/\" \"sub/a[[]1].mid\" \"b.bms\" "},
    {"zip32j remove", Make<TZip32>(), Op::RemoveItem, [](auto& o) { o.a = 1; }, false,
     "-d -S -D  \"a.arc\" \"sub/a[[]1].mid\" \"b.bms\" "},
    {"zip32j update", Make<TZip32>(), Op::Update, nullptr, false,
     "-f -D  \"a.arc\" \"/base/\" \"sub/a[[]1].mid\" \"b.bms\" "},
    {"tar switches", Make<TTar32>(), Op::Unpack, [](auto& o) { o.a = 0, o.n = 1, o.o = 1, o.p = 1; }, false,
     "x -I --display-dialog=0 -g --check-all-path=1  -f \"a.arc\" -o \"/base/\" \"sub\\a[1].mid\" \"b.bms\" "},
    {"tar owner suppresses dialog switch", Make<TTar32>(), Op::Pack, [](auto& o) { o.a = 1, o.n = 1; }, true,
     "c -AH  -f \"a.arc\" -o \"/base/\" \"sub\\a[1].mid\" \"b.bms\" "},
    {"tgz level", Make<TTgz32>(), Op::Unpack, [](auto& o) { o.jm = 9; }, false,
     "x -z9  -f \"a.arc\" -o \"/base/\" \"sub\\a[1].mid\" \"b.bms\" "},
    {"tgz level 0", Make<TTgz32>(), Op::Unpack, [](auto& o) { o.jm = 0; }, false,
     "x -z  -f \"a.arc\" -o \"/base/\" \"sub\\a[1].mid\" \"b.bms\" "},
    {"bz2 level", Make<TBZ232>(), Op::Unpack, [](auto& o) { o.jm = 3; }, false,
     "x -B3  -f \"a.arc\" -o \"/base/\" \"sub\\a[1].mid\" \"b.bms\" "},
    {"cab owner adds -i", Make<TCab32>(), Op::Pack, nullptr, true,
     "-a -i  \"a.arc\" \"/base/\" \"sub\\a[1].mid\" \"b.bms\" "},
    {"cab switches", Make<TCab32>(), Op::Pack, [](auto& o) { o.c = 1, o.n = 1, o.r = 1, o.x = 0, o.ji = 1; }, false,
     "-a -o -i -r -j -q  \"a.arc\" \"/base/\" \"sub\\a[1].mid\" \"b.bms\" "},
    {"cab c2", Make<TCab32>(), Op::MakeSFX, [](auto& o) { o.c = 2; }, false, "-f  \"a.arc\" \"/base/\" "},
    {"rar x1", Make<TRar32>(), Op::Unpack, [](auto& o) { o.x = 1, o.c = 1, o.m = 1, o.p = 1; }, false,
     "-x -y -s  \"a.arc\" \"/base/\" \"sub\\a[1].mid\" \"b.bms\" "},
    {"rar c2", Make<TRar32>(), Op::Unpack, [](auto& o) { o.x = 0, o.c = 2; }, false,
     "-e  \"a.arc\" \"/base/\" \"sub\\a[1].mid\" \"b.bms\" "},
    // 7-Zip style: the destination joined to -o, the archive, then masks.
    {"7z x", Make<TSevenZip>(), Op::Unpack, nullptr, false,
     "x -y -o\"/base/\" \"a.arc\" \"sub\\a[1].mid\" \"b.bms\" "},
    {"7z e with user options", Make<TSevenZip>(), Op::Unpack, [](auto& o) { o.x = 0, o.UserOptions = "-bd -x!*.txt"; },
     true, "e -y -o\"/base/\" -bd -x!*.txt \"a.arc\" \"sub\\a[1].mid\" \"b.bms\" "},
    {"arj owner forces n1", Make<TArj32>(), Op::Unpack, nullptr, true,
     "x -+ -n1  \"a.arc\" \"/base/\" \"sub\\a[1].mid\" \"b.bms\" "},
};

void PrintTo(const LineCase& c, std::ostream* os) { *os << c.what; }

class CommandLines : public RecordingTest, public ::testing::WithParamInterface<LineCase> {};

TEST_P(CommandLines, AreBuiltExactly) {
  const LineCase& c = GetParam();
  std::unique_ptr<TArchiver> d = c.make();
  TArchiverOptions o;
  if (c.set) c.set(o);
  if (c.owner) {
    EXPECT_TRUE(d->SetOwnerWindow(42, nullptr));
  }
  RunOp(*d, c.op, o, &kTwoFiles);
  EXPECT_EQ(OnlyCommand().text, c.line);
  EXPECT_EQ(d->CmdLine(), c.line);
}

INSTANTIATE_TEST_SUITE_P(Drivers, CommandLines, ::testing::ValuesIn(kLines),
                         [](const auto& info) { return test_support::TestNameOf(info.param.what); });

TEST_F(RecordingTest, ArjGivesUnarjNoWindowAndCreatesThroughUnlha) {
  TArj32 arj;
  TArchiverOptions o;
  std::string out;
  arj.Unpack(99, "a.arj", o, "", nullptr, false, out);
  arj.Pack(99, "a.arj", o, "", nullptr, false, out);
  auto calls = recorder::Calls();
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[0].entry, "Unarj");
  EXPECT_EQ(calls[0].wnd, 0u);
  EXPECT_EQ(calls[1].entry, "Unlha");
  EXPECT_EQ(calls[1].wnd, 99u);
  EXPECT_EQ(calls[1].text, "u -+  \"a.arj\" ");
}

TEST_F(RecordingTest, TarOmitsArchiveAndFolderSwitchesWhenAbsent) {
  TTar32 tar;
  TArchiverOptions o;
  std::string out;
  tar.Unpack(0, kNotSet, o, "", nullptr, false, out);
  EXPECT_EQ(tar.CmdLine(), "x  ");
}

// Nothing reaches 7-ZIP32.DLL for a password, a creation or a folder the
// quoted -o cannot carry; without a folder there is no -o.
TEST_F(RecordingTest, SevenZipRefusesWhatItCannotSend) {
  TSevenZip sz;
  TArchiverOptions o;
  std::string out;
  for (const char* user : {"-pSecret", "-bd -Px"}) {
    o.UserOptions = user;
    EXPECT_THROW(sz.Unpack(0, "a.7z", o, "/base", nullptr, false, out), EArchiver) << user;
  }
  o.UserOptions.clear();
  EXPECT_THROW(sz.Unpack(0, "a.7z", o, "/a\"b", nullptr, false, out), EArchiver);
  EXPECT_THROW(sz.Pack(0, "a.7z", o, "/base", nullptr, false, out), EArchiver);
  EXPECT_TRUE(recorder::Calls().empty());
  sz.Unpack(0, "a.7z", o, "", nullptr, false, out);
  EXPECT_EQ(OnlyCommand().text, "x -y \"a.7z\" ");
}

TEST_F(RecordingTest, OutputBufferIsPassedWithItsSize) {
  TLha32 lha;
  TArchiverOptions o;
  std::string out(1024, '\0');
  lha.Unpack(0, "a.lzh", o, "", nullptr, false, out);
  recorder::Call c = OnlyCommand();
  EXPECT_FALSE(c.nullBuffer);
  EXPECT_EQ(c.size, 1024u);
  EXPECT_EQ(c.firstByte, 0);
}

TEST_F(RecordingTest, LibraryResultsComeBackUnchanged) {
  recorder::SetAnswer("UNLHA32.DLL", "Unlha", ERROR_NOT_ARC_FILE);
  recorder::SetAnswer("UNLHA32.DLL", "UnlhaCheckArchive", 0);
  TLha32 lha;
  TArchiverOptions o;
  std::string out;
  EXPECT_EQ(lha.Unpack(0, "a.lzh", o, "", nullptr, false, out), ERROR_NOT_ARC_FILE);
  EXPECT_EQ(lha.CheckArchive("rel.lzh", 1, 16), 0);
  EXPECT_EQ(CallsTo("UnlhaCheckArchive").at(0).mode, 17u);
  EXPECT_EQ(CallsTo("UnlhaCheckArchive").at(0).text, "rel.lzh");
}

class ResponseFileTest : public RecordingTest {
 protected:
  void SetUp() override {
    RecordingTest::SetUp();
    dir_ = std::string(REC_DIR) + "/tmp-" + ::testing::UnitTest::GetInstance()->current_test_info()->name() + "/";
    platform::ForceDirectories(dir_);
  }
  std::string dir_;
};

TEST_F(ResponseFileTest, ListsTheNamesAndIsReferenced) {
  TArchiverOptions o;
  o.ResFileName = dir_ + "list.txt";
  // 0x95 0x5C: a double-byte character ending in the backslash byte.
  TStringList files = {"a\\b.bms", "\x95\x5C[x].wav"};
  std::string out;
  TZip32 zip;
  zip.Unpack(0, "a.zip", o, "", &files, true, out);
  EXPECT_EQ(zip.CmdLine(), "-x  \"a.zip\" \"@" + o.ResFileName + "\" ");
  EXPECT_EQ(ReadWholeFile(o.ResFileName), "\"a/b.bms\"\r\n\"\x95\x5C[[]x].wav\"\r\n");

  // The LHA driver decides from the options alone, not from useResFile.
  TLha32 lha;
  lha.Unpack(0, "a.lzh", o, "", &files, false, out);
  EXPECT_EQ(lha.CmdLine(), "x -+  \"a.lzh\" \"@" + o.ResFileName + "\" ");
  EXPECT_EQ(ReadWholeFile(o.ResFileName), "\"a\\b.bms\"\r\n\"\x95\x5C[x].wav\"\r\n");
  o.ResFileUsage.Exclude(ruOnUnpack);
  lha.Unpack(0, "a.lzh", o, "", &files, true, out);
  EXPECT_EQ(lha.CmdLine(), "x -+  \"a.lzh\" \"a\\b.bms\" \"\x95\x5C[x].wav\" ");
}

TEST_F(ResponseFileTest, AWriteErrorStopsBeforeTheLibrary) {
  TLha32 lha;
  TArchiverOptions o;
  std::string out;
  lha.Unpack(0, "first.lzh", o, "", nullptr, false, out);
  o.ResFileName = dir_ + "missing/list.txt";
  TStringList files = {"a"};
  EXPECT_THROW(lha.Unpack(0, "a.lzh", o, "", &files, true, out), platform::EInOutError);
  EXPECT_EQ(lha.CmdLine(), "x -+  \"first.lzh\" ");
  EXPECT_EQ(CallsTo("Unlha").size(), 1u);
}

}  // namespace
