// SPDX-License-Identifier: MIT
#include "charts/chart_facts.h"

#include <gtest/gtest.h>

#include "charts/bms_facts.h"
#include "charts/bmson_chart.h"
#include "charts/chart_reader.h"
#include "platform/error.h"
#include "tests/support/files.h"

using test_support::TempDir;

namespace {

const std::string kMark = "\x81\x9B";  // ○
const std::string kHyou = "\x95\x5C";  // 表: its second byte is '\'

ChartFacts BmsFacts(const std::vector<std::string>& lines, bool pms = false, const ArchiveNames& names = {},
                    const std::string& chartName = "song.bms") {
  BmsFactsReader reader(pms);
  for (const std::string& line : lines) reader.AddLine(line);
  return ComputeFacts(reader.Finish(), names, chartName, platform::TextEncoding::kCp932);
}

struct FactsCase {
  const char* what;
  std::vector<std::string> lines;
  std::string keys, notes, bpmMin, bpmMax, length;
  bool pms = false;
};

TEST(ChartFacts, KeysNotesTempoAndLength) {
  const FactsCase cases[] = {
      {"five keys, one second a beat", {"#BPM 60", "#00011:0101", "#00016:01"}, "5K", "3", "60", "60", "0:02"},
      {"18/19 make seven keys", {"#BPM 60", "#00019:01"}, "7K", "1", "60", "60", "0:00"},
      {"2P side makes ten", {"#BPM 60", "#00011:01", "#00021:01"}, "10K", "2", "60", "60", "0:00"},
      {"2P with 28 makes fourteen", {"#BPM 60", "#00011:01", "#00068:0101"}, "14K", "2", "60", "60", "0:02"},
      {"pms is nine buttons", {"#BPM 60", "#00013:01", "#00124:01"}, "9K", "2", "60", "60", "0:04", true},
      {"long-note pairs count once", {"#BPM 60", "#00051:01000001", "#00151:0101"}, "5K", "2", "60", "60", "0:06"},
      {"an unended long note still counts", {"#BPM 60", "#00055:01"}, "5K", "1", "60", "60", "0:00"},
      {"#LNOBJ ends the note before it",
       {"#BPM 60", "#LNOBJ ZZ", "#00011:0100ZZ00"}, "5K", "1", "60", "60", "0:02"},
      {"#LNOBJ with no note before counts nothing", {"#BPM 60", "#lnobj zz", "#00011:zz01"}, "5K", "1", "60", "60",
       "0:02"},
      {"mines, invisible, 17, background: no notes",
       {"#BPM 60", "#00001:01", "#00031:01", "#000D1:01", "#00017:01", "#00027:01"}, "", "0", "60", "60", ""},
      {"one place, one note: the later line wins", {"#BPM 60", "#00011:01", "#00011:02", "#00011:0000"}, "5K", "1",
       "60", "60", "0:00"},
      {"hex tempo by channel 03", {"#BPM 60", "#00003:78", "#00011:0001"}, "5K", "1", "60", "120", "0:01"},
      {"#BPMxx and #EXBPMxx by channel 08",
       {"#BPM 60", "#BPM01 240", "#EXBPM02 30.5", "#00008:0102", "#00111:01"}, "5K", "1", "30.5", "240", "0:04"},
      {"an undefined 08 reference changes nothing", {"#BPM 60", "#00008:03", "#00011:0001"}, "5K", "1", "60", "60",
       "0:02"},
      {"#STOP in 192nds of a measure", {"#BPM 60", "#STOP01 192", "#00009:01", "#00011:0001"}, "5K", "1", "60", "60",
       "0:06"},
      {"a stop after the last note does not count", {"#BPM 60", "#STOP01 192", "#00011:01", "#00009:01"}, "5K", "1",
       "60", "60", "0:00"},
      {"measure length by channel 02", {"#BPM 60", "#00002:0.5", "#00111:01"}, "5K", "1", "60", "60", "0:02"},
      {"two decimals at most", {"#BPM 133.333", "#BPM0Z 90.10", "#00008:0Z"}, "", "0", "90.1", "133.33", ""},
      {"zero, negative and nan tempos are no tempos",
       {"#BPM 0", "#BPM01 -5", "#BPM02 nan", "#00008:0102", "#00003:00"}, "", "0", "", "", ""},
      {"no #BPM: 130 for the length", {"#00111:01"}, "5K", "1", "", "", "0:02"},
      {"lower-case channels and trailing blanks", {"#bpm 60", "#00011:0a0B \t"}, "5K", "2", "60", "60", "0:02"},
      {"an odd last character is no object", {"#BPM 60", "#00011:010"}, "5K", "1", "60", "60", "0:00"},
  };
  for (const FactsCase& c : cases) {
    SCOPED_TRACE(c.what);
    const ChartFacts f = BmsFacts(c.lines, c.pms);
    EXPECT_EQ(f.texts[fcKeys], c.keys);
    EXPECT_EQ(f.texts[fcNotes], c.notes);
    EXPECT_EQ(f.texts[fcBpmMin], c.bpmMin);
    EXPECT_EQ(f.texts[fcBpmMax], c.bpmMax);
    EXPECT_EQ(f.texts[fcLength], c.length);
  }
}

struct RandomCase {
  const char* what;
  std::vector<std::string> lines;
  std::string notes, total, random;
};

TEST(ChartFacts, RandomTakesTheFirstBranch) {
  const RandomCase cases[] = {
      {"#IF 1 of #RANDOM",
       {"#RANDOM 2", "#IF 1", "#00111:01", "#TOTAL 200", "#ENDIF", "#IF 2", "#00111:0101", "#00211:01", "#TOTAL 300",
        "#ENDIF", "#ENDRANDOM"},
       "1", "200", kMark},
      {"#ELSE when no branch matched", {"#RANDOM 3", "#IF 2", "#00111:01", "#ELSE", "#00111:0101", "#ENDIF"}, "2", "",
       kMark},
      {"#ELSEIF 1", {"#RANDOM 3", "#IF 3", "#00111:01", "#ELSEIF 1", "#00111:010101", "#ENDIF"}, "3", "", kMark},
      {"#SETRANDOM picks its own branch, no mark",
       {"#SETRANDOM 2", "#IF 1", "#00111:01", "#ENDIF", "#IF 2", "#00111:0101", "#ENDIF"}, "2", "", ""},
      {"lines after the block count again",
       {"#RANDOM 2", "#IF 2", "#00111:01", "#ENDIF", "#ENDRANDOM", "#00211:01"}, "1", "", kMark},
      {"nested blocks", {"#RANDOM 2", "#IF 1", "#RANDOM 2", "#IF 1", "#00111:01", "#ENDIF", "#IF 2", "#00211:01",
                         "#ENDIF", "#ENDRANDOM", "#ENDIF", "#ENDRANDOM"},
       "1", "", kMark},
      {"#IF without #RANDOM is passed over", {"#IF 1", "#00111:01", "#ENDIF", "#00211:01"}, "1", "", ""},
      {"#SWITCH takes case 1 and runs on to #SKIP",
       {"#SWITCH 3", "#CASE 2", "#00111:01", "#SKIP", "#CASE 1", "#00211:01", "#CASE 3", "#00311:01", "#SKIP",
        "#DEF", "#00411:01", "#ENDSW"},
       "2", "", kMark},
      {"#DEF when no case matched", {"#SETSWITCH 5", "#CASE 2", "#00111:01", "#SKIP", "#DEF", "#00211:0101", "#ENDSW"},
       "2", "", ""},
      {"#DEFEXRANK is no #DEF", {"#DEFEXRANK 100", "#00111:01"}, "1", "", ""},
  };
  for (const RandomCase& c : cases) {
    SCOPED_TRACE(c.what);
    const ChartFacts f = BmsFacts(c.lines);
    EXPECT_EQ(f.texts[fcNotes], c.notes);
    EXPECT_EQ(f.texts[fcTotal], c.total);
    EXPECT_EQ(f.texts[fcRandom], c.random);
  }
}

TEST(ChartFacts, MissingFilesWithTheFallbacks) {
  ArchiveNames names;
  for (const char* n : {"kick.ogg", "BG.PNG", "Sub/hat.flac", "voice.wav", "intro.mp3"}) names.Add(n);
  names.Add(kHyou + ".wav");
  const ChartFacts f = BmsFacts({"#WAV01 Kick.WAV", "#WAV02 snare.wav", "#BMP01 bg.bmp", "#WAV03 sub\\hat.wav",
                                 "#BMP02 movie.mpg", "#WAV04 kick.wav", "#WAV05 voice.ogg", "#WAV06 " + kHyou + ".wav",
                                 "#WAV07 intro.wav", "#WAV08 snare.wav", "#BMP03 ./bg.jpg", "#WAV09 noext"},
                                false, names);
  EXPECT_EQ(f.texts[fcMissing], "3");
  EXPECT_EQ(f.missingNames, (std::vector<std::string>{"snare.wav", "noext", "movie.mpg"}));
  EXPECT_EQ(BmsFacts({"#WAV01 a.wav"}, false, names).texts[fcMissing], "1");
  EXPECT_EQ(BmsFacts({"#BPM 120"}, false, names).texts[fcMissing], "0");
}

TEST(ChartFacts, FilesAreNamedFromTheChartsFolder) {
  ArchiveNames names;
  for (const char* n : {"Song/", "Song/Hard.bms", "Song/snd/kick.ogg", "Song/bg.png", "Other/Easy.bms", "Other/x.wav"})
    names.Add(n);
  const std::vector<std::string> lines = {"#WAV01 snd\\kick.wav", "#WAV02 kick.wav", "#BMP01 bg.bmp", "#WAV03 x.wav"};
  EXPECT_EQ(BmsFacts(lines, false, names, "hard.bms").missingNames,
            (std::vector<std::string>{"kick.wav", "x.wav"}));
  EXPECT_EQ(BmsFacts(lines, false, names, "Easy.bms").texts[fcMissing], "3");
  // A chart the listing does not hold names its files from the top.
  EXPECT_EQ(BmsFacts(lines, false, names, "none.bms").texts[fcMissing], "4");
}

TEST(ArchiveNames, DoubleByteTrailBytesAreNoSeparatorsOrLetters) {
  ArchiveNames names;
  names.Add(kHyou + ".wav");          // 表.wav
  EXPECT_TRUE(names.Has(kHyou + ".WAV"));
  EXPECT_FALSE(names.Has("\x95/.wav"));  // the trail byte '\' is not a folder separator
  names.Add("\x83\x41.wav");            // ア: its trail byte is 'A'
  EXPECT_FALSE(names.Has("\x83\x61.wav"));
}

TEST(ChartFacts, HostileChartsStayBounded) {
  std::vector<std::string> lines = {"#BPM 1e300", "#RANDOM 2"};
  for (int i = 0; i < 100000; ++i) lines.push_back("#IF 1");
  lines.push_back("#00111:01");  // deeper than the limit: passed over
  for (int i = 0; i < 100000; ++i) lines.push_back("#ENDIF");
  lines.push_back("#ENDRANDOM");
  lines.push_back("#00211:01");
  ChartFacts f = BmsFacts(lines);
  EXPECT_EQ(f.texts[fcNotes], "1");
  EXPECT_EQ(f.texts[fcRandom], kMark);

  // A stop of ages: no length worth showing; a tempo of almost nothing: likewise.
  f = BmsFacts({"#BPM 60", "#STOP01 99999999999999999999", "#00109:01", "#00111:0001"});
  EXPECT_EQ(f.texts[fcLength], "");
  f = BmsFacts({"#BPM 0.0000000001", "#00911:01"});
  EXPECT_EQ(f.texts[fcLength], "");
  EXPECT_EQ(f.texts[fcBpmMax], "0");
  f = BmsFacts({"#BPM 999999999999999", "#00111:01"});
  EXPECT_EQ(f.texts[fcBpmMax], "1e+15");

  // Lines count up to their limit, objects up to theirs.
  BmsFactsReader reader(false);
  const std::string data(3 * kFactLineBytes, '1');
  for (const char* measure : {"#00111:", "#00211:", "#00311:"}) reader.AddLine(measure + data);
  EXPECT_EQ(reader.Finish().notes, kMaxObjects);
}

TEST(NumberText, AtMostTwoDecimals) {
  EXPECT_EQ(NumberText(150), "150");
  EXPECT_EQ(NumberText(155.5), "155.5");
  EXPECT_EQ(NumberText(133.3333), "133.33");
  EXPECT_EQ(NumberText(0.001), "0");
  EXPECT_EQ(LengthText(59.5), "1:00");
  EXPECT_EQ(LengthText(754), "12:34");
}

const char kBmson[] = R"({
  "version": "1.0.0",
  "info": {"title": "Song", "subtitle": "[ANOTHER]", "artist": "Someone", "genre": "Trance",
           "level": 12, "init_bpm": 120, "total": 350.0, "mode_hint": "beat-7k", "resolution": 240},
  "bpm_events": [{"y": 960, "bpm": 240}, {"y": 480, "bpm": -3}],
  "stop_events": [{"y": 1920, "duration": 240}],
  "sound_channels": [
    {"name": "kick.wav", "notes": [{"x": 1, "y": 0, "l": 0, "c": false}, {"x": 8, "y": 480, "l": 480, "c": false}]},
    {"name": "bgm.wav", "notes": [{"x": 0, "y": 0}, {"y": 240}]},
    {"name": "snare.wav", "notes": [{"x": 3, "y": 2400, "l": 0}]}
  ],
  "bga": {"bga_header": [{"id": 1, "name": "bg.bmp"}], "bga_events": []}
})";

TEST(Bmson, HeaderAndFacts) {
  BmsonChart chart;
  ASSERT_TRUE(ParseBmson(kBmson, chart));
  EXPECT_EQ(chart.header, (std::array<std::string, 6>{"Someone", "Trance", "Song [ANOTHER]", "12", "1", "120"}));
  EXPECT_TRUE(chart.sounds);
  EXPECT_TRUE(chart.images);
  ArchiveNames names;
  names.Add("kick.ogg");
  names.Add("bg.png");
  names.Add("bgm.wav");
  const ChartFacts f = ComputeFacts(chart.content, names, "x.bmson", platform::TextEncoding::kUtf8);
  EXPECT_EQ(f.texts[fcKeys], "7K");
  EXPECT_EQ(f.texts[fcNotes], "3");
  EXPECT_EQ(f.texts[fcTotal], "350");
  EXPECT_EQ(f.texts[fcBpmMin], "120");
  EXPECT_EQ(f.texts[fcBpmMax], "240");
  // 4 beats at 120 (2 s), 4 at 240 (1 s), a stop of one beat at 240 (0.25 s), 2 more (0.5 s).
  EXPECT_EQ(f.texts[fcLength], "0:04");
  EXPECT_EQ(f.missingNames, (std::vector<std::string>{"snare.wav"}));
  EXPECT_EQ(f.texts[fcRandom], "");
}

TEST(Bmson, RefusesWhatIsNoObjectAndToleratesOddTypes) {
  BmsonChart chart;
  EXPECT_FALSE(ParseBmson("", chart));
  EXPECT_FALSE(ParseBmson("[1,2]", chart));
  EXPECT_FALSE(ParseBmson("{\"info\": ", chart));
  BmsonChart odd;
  ASSERT_TRUE(ParseBmson(R"({"info": {"title": 5, "level": "x", "init_bpm": 0, "resolution": -1, "mode_hint": "beat-14k"},
                              "sound_channels": [{"notes": [{"x": 2, "y": 480}]}, 7, {"notes": 3}]})",
                         odd));
  EXPECT_EQ(odd.header, (std::array<std::string, 6>{"", "", "", "", "3", "0"}));
  const ChartFacts f = ComputeFacts(odd.content, {}, "x.bmson", platform::TextEncoding::kUtf8);
  EXPECT_EQ(f.texts[fcKeys], "14K");
  EXPECT_EQ(f.texts[fcNotes], "1");
  EXPECT_EQ(f.texts[fcBpmMax], "");
  // Deep nesting is no crash.
  EXPECT_TRUE(ParseBmson("{\"a\":" + std::string(100000, '[') + std::string(100000, ']') + "}", chart));
}

TEST(ReadChartFacts, HeaderColumnsUnchangedByFacts) {
  TempDir dir;
  // Long lines (past what the header needs), Shift-JIS text, a Ctrl-Z.
  std::string text = "#TITLE \x8B\xC8" + std::string(3000, 'x') + "\r\n#ARTIST a\r\n#BPM 150\r\n#BPM01 180\r\n";
  text += "#WAV01 a.wav\r\n#00111:" + std::string(4000, '1') + "\r\n#00108:01\r\n#GENRE g\x1A#00211:01\r\n";
  const std::string path = dir.Write("song.bms", text);
  ChartRow plain, withFacts;
  ReadChart(plain, path, ChartReadOptions{true});
  ReadChart(withFacts, path, ChartReadOptions{true, true});
  EXPECT_EQ(plain.subItems, withFacts.subItems);
  EXPECT_EQ(plain.encoding, withFacts.encoding);
  EXPECT_EQ(plain.md5, withFacts.md5);
  EXPECT_EQ(plain.facts, nullptr);
  ASSERT_NE(withFacts.facts, nullptr);
  EXPECT_EQ(withFacts.ColumnText(kFactsColumn + fcNotes), "2000");
  EXPECT_EQ(withFacts.ColumnText(kFactsColumn + fcBpmMax), "180");
  EXPECT_EQ(withFacts.ColumnText(kFactsColumn + fcMissing), "1");
  EXPECT_EQ(plain.ColumnText(kFactsColumn + fcNotes), "");
}

TEST(ReadChartFacts, BmsonRows) {
  TempDir dir;
  ChartRow row;
  ReadChart(row, dir.Write("x.BMSON", kBmson), ChartReadOptions{true, true});
  EXPECT_EQ(row.subItems[siTitle], "Song [ANOTHER]");
  EXPECT_EQ(row.subItems[siWav], kMark);
  EXPECT_EQ(row.subItems[siBga], kMark);
  EXPECT_EQ(row.subItems[siMidi], "");
  EXPECT_EQ(row.encoding, platform::TextEncoding::kUtf8);
  EXPECT_EQ(row.md5.size(), 32u);
  ASSERT_NE(row.facts, nullptr);
  EXPECT_EQ(row.facts->texts[fcMissing], "4");  // no archive names given
  ChartRow bad;
  EXPECT_THROW(ReadChart(bad, dir.Write("y.bmson", "#TITLE x"), ChartReadOptions{}), platform::Error);
}

}  // namespace
