// SPDX-License-Identifier: MIT
#include "charts/csv_export.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>

#include "charts/column_text.h"
#include "platform/io_error.h"
#include "tests/support/files.h"

using test_support::TempDir;
using test_support::ReadBytes;

namespace {

ChartList TwoRows() {
  ChartList list;
  std::size_t i = list.Append();
  list.SetCaption(i, "x.bms");
  i = list.Append();
  list.SetCaption(i, "\x8B\xC8.bms");        // 曲.bms
  list.SetSubItem(i, siTitle, "a\"b");       // quote inside: not escaped
  list.SetSubItem(i, siGenre, "c,d");        // comma inside: not escaped
  list.SetSubItem(i, siWav, "\x81\x9B");
  list.SetSubItem(i, siArcPath, "/dl/");
  list.SetChecked(i, true);                  // check boxes are not written
  return list;
}

const std::string kTwoRowsCsv =
    "\"x.bms\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\"\r\n"
    "\"\x8B\xC8.bms\",\"\",\"c,d\",\"a\"b\",\"\",\"\",\"\",\"\",\"\x81\x9B\",\"\",\"\",\"\",\"/dl/\"\r\n";

TEST(ChartCsv, BytesOfTheFile) {
  EXPECT_EQ(ChartCsvText(ChartList()), "");
  EXPECT_EQ(ChartCsvText(TwoRows()), kTwoRowsCsv);
}

TEST(ChartCsv, CopiedLinesAreTheFileLinesInListOrder) {
  const ChartList list = TwoRows();
  const std::string first = kTwoRowsCsv.substr(0, kTwoRowsCsv.find("\r\n") + 2);
  const std::string second = kTwoRowsCsv.substr(first.size());
  struct {
    std::vector<std::size_t> rows;
    std::string lines;
  } cases[] = {
      {{}, ""},
      {{1}, second},
      {{1, 0}, kTwoRowsCsv},     // picked in any order, copied in list order
      {{0, 0, 1}, kTwoRowsCsv},  // a row picked twice is copied once
      {{0, 7}, first},           // a stale index copies nothing
  };
  for (const auto& c : cases) EXPECT_EQ(ChartCsvLines(list, c.rows), c.lines);
}

TEST(ChartCsv, WritesAndReplaces) {
  TempDir dir;
  std::string file = dir.Write("list.csv", "old content that is longer than nothing");
  ASSERT_EQ(chmod(file.c_str(), 0640), 0);
  WriteChartCsv(ChartList(), file);  // an empty list still empties the file
  EXPECT_EQ(ReadBytes(file), "");
  WriteChartCsv(TwoRows(), file);
  EXPECT_EQ(ReadBytes(file), kTwoRowsCsv);
  struct stat st;
  ASSERT_EQ(stat(file.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);  // the replacement keeps the permissions
  // A new file, and one reached through a symbolic link (the link stays).
  WriteChartCsv(TwoRows(), dir.Path() + "new.csv");
  EXPECT_EQ(ReadBytes(dir.Path() + "new.csv"), kTwoRowsCsv);
  ASSERT_EQ(symlink("list.csv", (dir.Path() + "link.csv").c_str()), 0);
  WriteChartCsv(ChartList(), dir.Path() + "link.csv");
  EXPECT_TRUE(std::filesystem::is_symlink(dir.Path() + "link.csv"));
  EXPECT_EQ(ReadBytes(file), "");
  // No temporary file is left behind.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 3);
}

// Rows in each encoding, with a quote, a comma and hashes.
ChartList RowsOfEveryEncoding() {
  ChartList list = TwoRows();
  std::size_t i = list.Append();
  ChartRow row;
  row.caption = "u.bms";
  row.subItems[siTitle] = "山田の曲";
  row.subItems[siArtist] = "\"q\",x";
  row.subItems[siMidi] = "\x81\x9B";
  row.encoding = platform::TextEncoding::kUtf8;
  row.md5 = "0123";
  row.sha256 = "abcd";
  list.SetRow(i, row);
  i = list.Append();
  row = ChartRow();
  row.caption = "k.bms";
  row.subItems[siArtist] = "\xB1\xE8\xC3\xB6\xBC\xF6";  // 김철수
  row.subItems[siArcName] = "\x8B\xC8.zip";                 // 曲.zip: names stay CP932
  row.encoding = platform::TextEncoding::kCp949;
  list.SetRow(i, row);
  return list;
}

TEST(ChartCsv, ClassicWithHashColumnsAddsTwoFieldsAndChangesNoOtherByte) {
  ChartList list = RowsOfEveryEncoding();
  std::string classic = ChartCsvText(list);
  EXPECT_EQ(classic.substr(0, kTwoRowsCsv.size()), kTwoRowsCsv);
  EXPECT_EQ(classic.substr(kTwoRowsCsv.size()),
            "\"u.bms\",\"\"q\",x\",\"\",\"山田の曲\",\"\",\"\",\"\",\"\x81\x9B\",\"\",\"\",\"\",\"\",\"\"\r\n"
            "\"k.bms\",\"\xB1\xE8\xC3\xB6\xBC\xF6\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\x8B\xC8.zip\",\"\"\r\n");
  EXPECT_EQ(ChartCsvText(list, {CsvFormat::kClassic, false}), classic);

  std::string hashed = ChartCsvText(list, {CsvFormat::kClassic, true});
  std::string expected;
  for (std::size_t start = 0, n = 0; start < classic.size(); ++n) {
    std::size_t end = classic.find("\r\n", start);
    const ChartRow& row = list.Row(n);
    expected += classic.substr(start, end - start) + ",\"" + row.md5 + "\",\"" + row.sha256 + "\"\r\n";
    start = end + 2;
  }
  EXPECT_EQ(hashed, expected);
}

TEST(ChartCsv, Utf8DecodesEachFieldAndQuotesAsSpreadsheetsExpect) {
  ChartList list = RowsOfEveryEncoding();
  const std::string bom = "\xEF\xBB\xBF";
  EXPECT_EQ(ChartCsvText(ChartList(), {CsvFormat::kUtf8, false}), bom);
  EXPECT_EQ(ChartCsvText(list, {CsvFormat::kUtf8, false}),
            bom +
                "\"x.bms\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\"\r\n"
                "\"曲.bms\",\"\",\"c,d\",\"a\"\"b\",\"\",\"\",\"\",\"\",\"○\",\"\",\"\",\"\",\"/dl/\"\r\n"
                "\"u.bms\",\"\"\"q\"\",x\",\"\",\"山田の曲\",\"\",\"\",\"\",\"○\",\"\",\"\",\"\",\"\",\"\"\r\n"
                "\"k.bms\",\"김철수\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"曲.zip\",\"\"\r\n");
  std::string hashed = ChartCsvText(list, {CsvFormat::kUtf8, true});
  EXPECT_NE(hashed.find("\"山田の曲\",\"\",\"\",\"\",\"○\",\"\",\"\",\"\",\"\",\"\",\"0123\",\"abcd\"\r\n"), std::string::npos);
  EXPECT_NE(hashed.find("\"曲.zip\",\"\",\"\",\"\"\r\n"), std::string::npos);  // no hashes: empty fields

  TempDir dir;
  WriteChartCsv(list, dir.Path() + "u.csv", {CsvFormat::kUtf8, true});
  EXPECT_EQ(ReadBytes(dir.Path() + "u.csv"), hashed);
}

// Control characters in names and header values go into the classic file
// byte for byte; the UTF-8 file and the list show them escaped, so a field
// can neither end a line nor drive a terminal.
TEST(ChartCsv, TrailingFieldsEndTheUtf8LinesOnly) {
  const ChartList list = TwoRows();
  const std::vector<std::vector<std::string>> fields = {{"a/x.bms", "★1", ""}, {"", "", "say \"x\".zip"}};
  const CsvOptions utf8{CsvFormat::kUtf8, true, false, &fields};
  const std::string text = ChartCsvText(list, utf8);
  EXPECT_NE(text.find(",\"\",\"\",\"a/x.bms\",\"★1\",\"\"\r\n"), std::string::npos) << text;  // after the hashes
  EXPECT_NE(text.find(",\"\",\"\",\"say \"\"x\"\".zip\"\r\n"), std::string::npos) << text;
  EXPECT_EQ(ChartCsvLines(list, {1}, utf8), text.substr(text.find("\r\n") + 2));
  EXPECT_EQ(ChartCsvText(list, CsvOptions{CsvFormat::kClassic, false, false, &fields}), kTwoRowsCsv);
}

TEST(ChartCsv, ControlCharactersAreEscapedInTheUtf8FileOnly) {
  ChartList list;
  std::size_t i = list.Append();
  list.SetCaption(i, "a\x1B[31m.bms");
  list.SetSubItem(i, siTitle, "l1\rl2\nl3\t\x7F");
  EXPECT_EQ(ChartCsvText(list),
            "\"a\x1B[31m.bms\",\"\",\"\",\"l1\rl2\nl3\t\x7F\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\"\r\n");
  const std::string utf8 = ChartCsvText(list, {CsvFormat::kUtf8, false});
  EXPECT_NE(utf8.find("\"a\\x1B[31m.bms\""), std::string::npos) << utf8;
  EXPECT_NE(utf8.find("\"l1\\x0Dl2\\x0Al3\\x09\\x7F\""), std::string::npos) << utf8;
  EXPECT_EQ(utf8.find('\x1B'), std::string::npos);
  EXPECT_EQ(std::count(utf8.begin(), utf8.end(), '\n'), 1);
  EXPECT_EQ(ColumnDisplayText(list.Row(i), 0), "a\\x1B[31m.bms");
  EXPECT_EQ(ColumnUtf8(list.Row(i), 0), "a\x1B[31m.bms");  // what an edit starts from

  struct {
    std::string text;
    bool utf8;
    std::string shown;
  } cases[] = {
      {"\xC2\x9B\xC2\xA0", true, "\\x9B\xC2\xA0"},  // C1 controls only in UTF-8
      {"\xC2\x81\x40", false, "\xC2\x81\x40"},      // CP932: half-width katakana, then a double-byte space
      {std::string("\x81\x5C\x00", 3), false, "\x81\x5C\\x00"},  // no trail byte is ever below 0x40
  };
  for (const auto& c : cases) EXPECT_EQ(EscapeControls(c.text, c.utf8), c.shown) << c.text;
}

// Runs the export and returns the error text it threw ("" for none).
std::string ExportError(const ChartList& list, const std::string& path, int* code = nullptr) {
  try {
    WriteChartCsv(list, path);
  } catch (const platform::EInOutError& e) {
    if (code) *code = e.Code();
    return e.what();
  }
  return "";
}

TEST(ChartCsv, FailuresShowTheirTexts) {
  TempDir dir;
  std::string readOnly = dir.Write("ro.csv", "keep me");
  ASSERT_EQ(chmod(readOnly.c_str(), 0444), 0);
  ASSERT_EQ(mkdir((dir.Path() + "sub").c_str(), 0755), 0);
  ASSERT_EQ(symlink("loop2", (dir.Path() + "loop1").c_str()), 0);
  ASSERT_EQ(symlink("loop1", (dir.Path() + "loop2").c_str()), 0);
  struct Case {
    std::string path;
    int code;
  } cases[] = {
      {readOnly, platform::kIoAccessDenied},  // refused even though we may be root
      {dir.Path() + "sub", platform::kIoAccessDenied},
      {dir.Path() + "no/such/folder/x.csv", platform::kIoPathNotFound},
      {dir.Path() + "ro.csv/x.csv", platform::kIoPathNotFound},
      {dir.Path() + "loop1", ELOOP},
  };
  for (const Case& c : cases) {
    int code = 0;
    EXPECT_EQ(ExportError(TwoRows(), c.path, &code), platform::IoErrorText(c.code)) << c.path;
    EXPECT_EQ(code, c.code) << c.path;
  }
  EXPECT_EQ(ReadBytes(readOnly), "keep me");
  EXPECT_EQ(platform::IoErrorText(ELOOP), "I/O \x83\x47\x83\x89\x81\x5b (40)");
}

TEST(ChartCsv, TooManyOpenFiles) {
  TempDir dir;
  struct rlimit old;
  ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &old), 0);
  // Use up every descriptor under a small limit, then export.
  struct rlimit low = old;
  low.rlim_cur = 64;
  ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &low), 0);
  std::vector<int> fds;
  for (int fd; (fd = dup(0)) >= 0;) fds.push_back(fd);
  std::string text = ExportError(TwoRows(), dir.Path() + "x.csv");
  for (int fd : fds) close(fd);
  setrlimit(RLIMIT_NOFILE, &old);
  EXPECT_EQ(text, platform::IoErrorText(platform::kIoTooManyOpenFiles));
}

TEST(ChartCsv, FullDiskKeepsTheOldFile) {
  TempDir dir;
  std::string mountPoint = dir.Path() + "small";
  ASSERT_EQ(mkdir(mountPoint.c_str(), 0755), 0);
  if (mount("tmpfs", mountPoint.c_str(), "tmpfs", 0, "size=64k") != 0)
    GTEST_SKIP() << "cannot mount a small tmpfs here (needs root): " << std::strerror(errno);
  std::string file = mountPoint + "/list.csv";
  {
    std::ofstream(file, std::ios::binary) << "the old list";
  }
  ChartList big;
  for (int n = 0; n < 2000; ++n) big.SetCaption(big.Append(), std::string(100, 'n'));
  int code = 0;
  std::string text = ExportError(big, file, &code);
  std::string after = ReadBytes(file);
  std::size_t left = std::distance(std::filesystem::directory_iterator(mountPoint), {});
  umount(mountPoint.c_str());
  EXPECT_EQ(code, platform::kIoDiskFull);
  EXPECT_EQ(text, platform::IoErrorText(platform::kIoDiskFull));
  EXPECT_EQ(after, "the old list");
  EXPECT_EQ(left, 1u);  // the partial temporary file is gone
}

}  // namespace
