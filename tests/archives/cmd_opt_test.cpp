// SPDX-License-Identifier: MIT
#include "archives/cmd_opt.h"

#include <gtest/gtest.h>

#include <functional>

#include "archives/archiver.h"
#include "archives/earchiver.h"
#include "archives/join_path.h"
#include "archives/not_set.h"
#include "platform/files.h"
#include "platform/input_file.h"
#include "platform/io_error.h"

namespace {

// "表" is 0x95 0x5C: a whole character whose second byte is a backslash.
const std::string kHyou = "\x95\x5C";

struct PieceCase {
  const char* what;
  std::function<void(TCmdOpt&)> add;
  std::string text;
};

const PieceCase kPieces[] = {
    {"add", [](TCmdOpt& c) { c.Add("-+"); }, " -+"},
    {"add empty", [](TCmdOpt& c) { c.Add(""); }, " "},
    {"int -1", [](TCmdOpt& c) { c.AddInt("x", -1); }, ""},
    {"int 0", [](TCmdOpt& c) { c.AddInt("x", 0); }, " -x0"},
    {"int -2", [](TCmdOpt& c) { c.AddInt("x", -2); }, " -x-2"},
    {"str not set", [](TCmdOpt& c) { c.AddStr("w", kNotSet); }, ""},
    {"str empty", [](TCmdOpt& c) { c.AddStr("w", ""); }, " \"-w\""},
    {"str no name", [](TCmdOpt& c) { c.AddStr("", "/a b.lzh"); }, " \"/a b.lzh\""},
    {"str joined", [](TCmdOpt& c) { c.AddStr("jo", "abc"); }, " \"-joabc\""},
    {"str value only", [](TCmdOpt& c) { c.QuoteValueOnly = true, c.AddStr("jo", "abc"); }, " -jo \"abc\""},
    {"str value only empty", [](TCmdOpt& c) { c.QuoteValueOnly = true, c.AddStr("w", ""); }, " -w \"\""},
    {"complete switch", [](TCmdOpt& c) { c.AddStr(" --x", "v"); }, " \"--xv\""},
    {"dir", [](TCmdOpt& c) { c.AddDir("", "/work"); }, " \"/work/\""},
    {"dir with delimiter", [](TCmdOpt& c) { c.AddDir("", "/work/"); }, " \"/work/\""},
    {"dir empty", [](TCmdOpt& c) { c.AddDir("", ""); }, ""},
    {"dir not set", [](TCmdOpt& c) { c.AddDir("w", kNotSet); }, ""},
    {"dir double-byte end", [](TCmdOpt& c) { c.AddDir("", "/" + kHyou); }, " \"/" + kHyou + "/\""},
    {"file converted",
     [](TCmdOpt& c) {
       c.NameConverter = [](const std::string& s) { return "<" + s + ">"; };
       c.AddFileList("jx", {"a", "b"});
     },
     " \"-jx<a>\" \"-jx<b>\""},
};

TEST(TCmdOpt, Pieces) {
  for (const PieceCase& c : kPieces) {
    TCmdOpt cmd;
    c.add(cmd);
    EXPECT_EQ(cmd.CommandText, c.text) << c.what;
  }
}

TEST(JoinPath, AddsOnlyAMissingDelimiter) {
  EXPECT_EQ(JoinPath("", "x.exe"), "x.exe");
  EXPECT_EQ(JoinPath("/d", "x.exe"), "/d/x.exe");
  EXPECT_EQ(JoinPath("/d/", "x.exe"), "/d/x.exe");
  EXPECT_EQ(JoinPath("/" + kHyou, "x"), "/" + kHyou + "/x");
  EXPECT_EQ(JoinPath("/d", "/x"), "/d//x");
}

std::string ReadAll(const std::string& path) {
  platform::InputFile f(path);
  std::string s;
  char buf[256];
  while (std::size_t n = f.Read(buf, sizeof buf)) s.append(buf, n);
  return s;
}

TEST(TCmdOpt, ResponseFiles) {
  platform::ForceDirectories(TEST_TMP);
  std::string res = std::string(TEST_TMP) + "/res.txt";
  TCmdOpt cmd;
  cmd.AddResFile({}, res);
  EXPECT_EQ(ReadAll(res), "");
  EXPECT_EQ(cmd.CommandText, " \"@" + res + "\"");

  TCmdOpt named;
  named.NameConverter = [](const std::string& s) { return s + "!"; };
  named.AddResFile({"a b", kHyou}, res);
  EXPECT_EQ(ReadAll(res), "\"a b!\"\r\n\"" + kHyou + "!\"\r\n");

  TCmdOpt failing;
  EXPECT_THROW(failing.AddResFile({"a"}, std::string(TEST_TMP) + "/no/such/res.txt"), platform::EInOutError);
  EXPECT_EQ(failing.CommandText, "");
}

// A quote inside a quoted piece would end it early and hand the rest to the
// library as more words (a folder to write into, names to extract).
TEST(TCmdOpt, RefusesTextItCannotQuote) {
  const std::string q = "x\" \"evil/\" \"*";
  std::function<void(TCmdOpt&)> refused[] = {
      [&](TCmdOpt& c) { c.AddStr("", q); },
      [&](TCmdOpt& c) { c.QuoteValueOnly = true, c.AddStr("f", q); },
      [&](TCmdOpt& c) { c.AddDir("", q); },
      [&](TCmdOpt& c) { c.AddFileList("", {q}); },
      [&](TCmdOpt& c) {
        c.NameConverter = [](const std::string& s) { return s + "\""; };
        c.AddFile("", "plain");
      },
  };
  for (auto& add : refused) {
    TCmdOpt cmd;
    EXPECT_THROW(add(cmd), EArchiver);
    EXPECT_EQ(cmd.CommandText, "");
  }

  platform::ForceDirectories(TEST_TMP);
  std::string res = std::string(TEST_TMP) + "/kept.txt";
  TCmdOpt first;
  first.AddResFile({"old"}, res);
  for (const std::string& bad : {q, std::string("a\n*")}) {
    TCmdOpt cmd;
    EXPECT_THROW(cmd.AddResFile({"a", bad}, res), EArchiver);
    EXPECT_EQ(cmd.CommandText, "");
    EXPECT_EQ(ReadAll(res), "\"old\"\r\n");  // not even truncated
  }
}

TEST(TArchiver, AddFilesAndArchive) {
  TArchiverOptions o;
  o.UserFileList = "u";
  TStringList two = {"a", "b"};
  struct Case {
    const TStringList* files;
    bool useResFile;
    std::string resFileName;
    std::string text;
  } cases[] = {
      {nullptr, true, "/r", " u"},
      {&two, false, "/r", " \"a\" \"b\" u"},
      {&two, true, "", " \"a\" \"b\" u"},
      {&two, true, kNotSet, " \"a\" \"b\" u"},
  };
  for (const Case& c : cases) {
    o.ResFileName = c.resFileName;
    TCmdOpt cmd;
    TArchiver::AddFiles(cmd, o, c.files, c.useResFile);
    EXPECT_EQ(cmd.CommandText, c.text);
  }
  TCmdOpt cmd;
  TArchiver::AddArcAndDir(cmd, "/a.lzh", "/work");
  TArchiver::AddArcAndDir(cmd, kNotSet, kNotSet);
  EXPECT_EQ(cmd.CommandText, " \"/a.lzh\" \"/work/\"");
}

TEST(TArchiverOptions, ResetAndCopy) {
  TArchiverOptions a;
  EXPECT_EQ(a.ResFileUsage.bits, 7);
  EXPECT_TRUE(IsNotSet(a.gr));
  EXPECT_EQ(a.gw, -1);
  EXPECT_EQ(a.PackFilter, pfArchiver);
  a.x = 0, a.gw = 3, a.jz = "", a.UserOptions = "-q", a.ResFileUsage = {ruOnUpdate};
  a.jx = {"*.wav"};
  const std::string* list = &a.jx.front();

  TArchiverOptions b;
  a.CopyTo(b);
  EXPECT_EQ(b.x, 0);
  EXPECT_EQ(b.gw, 3);
  EXPECT_EQ(b.jz, "");
  EXPECT_EQ(b.UserOptions, "-q");
  EXPECT_EQ(b.ResFileUsage.bits, 8);
  b.jx.push_back("*.bmp");
  EXPECT_EQ(a.jx.size(), 1u);  // separate lists
  EXPECT_EQ(&a.jx.front(), list);

  a.Reset();
  EXPECT_EQ(a.x, -1);
  EXPECT_TRUE(IsNotSet(a.jz));
  EXPECT_TRUE(a.jx.empty());
  EXPECT_EQ(a.ResFileUsage.bits, 7);
}

}  // namespace
