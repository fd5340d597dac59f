// SPDX-License-Identifier: MIT
// Cutting chart text into the lines a key can start: whatever the blocks
// the text comes in, the lines must be those of the whole text cut at every
// CR and LF, up to the first Ctrl-Z.
#include "charts/line_splitter.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr std::size_t kKeep = 40;

// A line handed on, and whether it holds only bytes below 0x80.
using Line = std::pair<std::string, bool>;

Line Of(std::string_view text) {
  bool ascii = true;
  for (unsigned char c : text) ascii = ascii && c < 0x80;
  return {std::string(text), ascii};
}

// The lines as the rule states them, from the text in one piece.
std::vector<Line> Expected(std::string_view text) {
  text = text.substr(0, text.find('\x1A'));
  std::vector<Line> lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i <= text.size(); ++i)
    if (i == text.size() || text[i] == '\r' || text[i] == '\n') {
      std::string_view line = text.substr(start, i - start);
      if (!line.empty() && line[0] == '#') lines.push_back(Of(line.substr(0, kKeep)));
      start = i + 1;
    }
  return lines;
}

std::vector<Line> Split(std::string_view text, std::size_t blockSize) {
  std::vector<Line> lines;
  LineSplitter splitter(kKeep);
  auto onLine = [&lines](std::string_view line, bool ascii) { lines.emplace_back(line, ascii); };
  for (std::size_t at = 0; at < text.size(); at += blockSize)
    if (!splitter.Feed(text.substr(at, blockSize), onLine)) break;
  splitter.Finish(onLine);
  return lines;
}

struct SplitCase {
  const char* what;
  std::string text;
};

TEST(LineSplitter, AnyBlocksGiveTheLinesOfTheWholeText) {
  const std::string longLine = "#TITLE " + std::string(200, 'x');
  const SplitCase cases[] = {
      {"empty text", ""},
      {"no line end at the end", "#BPM 1\r\n#BPM 2"},
      {"CR LF", "#A 1\r\n#B 2\r\n"},
      {"LF only", "#A 1\n#B 2\n"},
      {"CR only", "#A 1\r#B 2\r"},
      {"LF CR and CR CR LF", "#A 1\n\r#B 2\r\r\n#C 3"},
      {"lines not starting with # are dropped", "*--- HEADER\r\n #TITLE x\r\nTITLE y\r\n#TITLE z\r\n"},
      {"blank lines", "\r\n\r\n\n\n\r\r#A\r\n"},
      {"a line longer than kept", longLine + "\r\n#B\r\n" + longLine},
      {"NUL bytes are ordinary bytes", std::string("#TITLE a\0b\r\n#G\0\r\n\0#X\r\n", 22)},
      {"Ctrl-Z ends the text inside a line", "#TITLE ab\x1A" "cd\r\n#ARTIST x\r\n"},
      {"Ctrl-Z right after a line end", "#TITLE ab\r\n\x1A#ARTIST x"},
      {"Ctrl-Z first", "\x1A#TITLE ab\r\n"},
      {"Ctrl-Z inside a long line", longLine + "\x1A" + longLine},
      {"Shift-JIS text with bytes above 0x7F", "#TITLE \x8B\xC8\x95\x5C\r\n#ARTIST \x81\x9B\r\n"},
      {"a byte above 0x7F only past what is kept", "#TITLE " + std::string(60, 'x') + "\x81\x9B\r\n#B \x81"},
      {"a byte above 0x7F right before and after line ends", "#A\x81\r\n\x81#B\n#C\r\x81"},
      {"a long line with a byte above 0x7F on each side of 64 bytes",
       "#" + std::string(62, 'a') + "\x81\x82" + std::string(70, 'b') + "\n#" + std::string(63, 'c') + "\x83\n"},
      // Around the width the scan looks at at once.
      {"lines of 15, 16 and 17 bytes", "#" + std::string(14, 'a') + "\r\n#" + std::string(15, 'b') + "\n#" +
                                           std::string(16, 'c') + "\r#" + std::string(31, 'd') + "\r\n"},
  };
  for (const SplitCase& c : cases) {
    const std::vector<Line> expected = Expected(c.text);
    for (std::size_t block : {1, 2, 3, 7, 15, 16, 17, 41, 63, 64, 65, 4096})
      EXPECT_EQ(Split(c.text, block), expected) << c.what << ", blocks of " << block;
  }
}

TEST(LineSplitter, RandomTextInRandomBlocks) {
  std::mt19937 rng(2024);
  const char* pieces[] = {"#TITLE ", "#wav01 ", "#00111:0101", "\r", "\n", "\r\n", "\x1A", "x",
                          "\x81\x9B", "y"};
  for (int round = 0; round < 300; ++round) {
    std::string text;
    for (int k = rng() % 60; k > 0; --k) {
      const std::size_t pick = rng() % std::size(pieces);
      // A Ctrl-Z in only some texts, so that most run to their end.
      if (pick == 6 && round % 5) continue;
      // Runs of filler, some longer than what is kept of a line.
      text += pick == 9 ? std::string(1 + rng() % 120, 'y') : std::string(pieces[pick]);
    }
    const std::size_t block = 1 + rng() % 300;
    EXPECT_EQ(Split(text, block), Expected(text)) << "round " << round << ", blocks of " << block;
  }
}

TEST(LineSplitter, NothingIsFedAfterACtrlZ) {
  LineSplitter splitter(kKeep);
  std::vector<std::string> lines;
  auto onLine = [&lines](std::string_view line, bool) { lines.emplace_back(line); };
  EXPECT_TRUE(splitter.Feed("#A\r\n#B", onLine));
  EXPECT_FALSE(splitter.Feed("C\x1A#D\r\n", onLine));
  EXPECT_FALSE(splitter.Feed("#E\r\n", onLine));
  splitter.Finish(onLine);
  EXPECT_EQ(lines, (std::vector<std::string>{"#A", "#BC"}));
}

}  // namespace
