// SPDX-License-Identifier: MIT
// ReadChart: one chart file into one chart row.
#include "charts/chart_reader.h"

#include <memory>
#include <utility>
#include <optional>

#include "charts/bms_facts.h"
#include "charts/bmson_chart.h"
#include "charts/chart_date.h"
#include "charts/chart_encoding.h"
#include "charts/chart_hash.h"
#include "charts/header_keys.h"
#include "charts/line_splitter.h"
#include "platform/cp932.h"
#include "platform/error.h"
#include "platform/input_file.h"
#include "platform/paths.h"

namespace {

// Large enough that the usual chart of some tens of kilobytes comes in one
// read and a big one in few.
constexpr std::size_t kReadBlockBytes = 256 * 1024;

// One block per thread, kept from chart to chart: a fresh one for every
// chart costs more than reading a small chart does.
char* ReadBlock() {
  thread_local std::unique_ptr<char[]> block(new char[kReadBlockBytes]);
  return block.get();
}

// How the file's bytes become text before they are cut into lines.
enum class ByteOrderMark { kNone, kUtf8, kUtf16LE, kUtf16BE };

ByteOrderMark MarkAtStart(std::string_view head) {
  if (head.starts_with("\xEF\xBB\xBF")) return ByteOrderMark::kUtf8;
  if (head.starts_with("\xFF\xFE")) return ByteOrderMark::kUtf16LE;
  if (head.starts_with("\xFE\xFF")) return ByteOrderMark::kUtf16BE;
  return ByteOrderMark::kNone;
}

std::size_t MarkSize(ByteOrderMark mark) {
  switch (mark) {
    case ByteOrderMark::kUtf8: return 3;
    case ByteOrderMark::kUtf16LE:
    case ByteOrderMark::kUtf16BE: return 2;
    case ByteOrderMark::kNone: break;
  }
  return 0;
}

bool HasExtension(const std::string& name, std::string_view extension) {
  return platform::AsciiLower(platform::ExtractFileExt(name)) == extension;
}

const ArchiveNames& NamesOf(const ChartReadOptions& options) {
  static const ArchiveNames none;
  return options.names ? *options.names : none;
}

// A bmson chart: the whole file (up to kMaxBmsonBytes) is the document.
template <typename Source>
void ReadBmsonChart(ChartRow& row, Source& source, const ChartReadOptions& options) {
  std::string text;
  std::optional<ChartHasher> hasher;
  if (options.hashes) hasher.emplace();
  bool tooLarge = false;
  for (;;) {
    const std::string_view block = source.Next();
    const std::size_t n = block.size();
    if (n == 0) break;
    if (hasher) hasher->Update(block);
    if (text.size() + n > kMaxBmsonBytes) tooLarge = true;
    if (tooLarge && !hasher) break;
    if (!tooLarge) text.append(block);
  }
  source.Close();
  if (hasher) hasher->Finish(row.md5, row.sha256);
  row.encoding = TextEncoding::kUtf8;
  BmsonChart chart;
  if (tooLarge) throw platform::Error(platform::Error::kNoCode, "a bmson chart larger than " + std::to_string(kMaxBmsonBytes >> 20) + " MiB");
  if (!ParseBmson(text, chart)) throw platform::Error(platform::Error::kNoCode, "not a bmson chart (no JSON object)");
  for (std::size_t i = 0; i < chart.header.size(); ++i) row.subItems[i] = std::move(chart.header[i]);
  if (chart.sounds) row.subItems[siWav] = kChartMark;
  if (chart.images) row.subItems[siBga] = kChartMark;
  if (options.facts)
    row.facts = std::make_shared<ChartFacts>(ComputeFacts(chart.content, NamesOf(options), row.caption, TextEncoding::kUtf8));
}

// The chart's bytes block by block from its file, through the block kept
// per thread.
class FileBlocks {
 public:
  explicit FileBlocks(const platform::FsPath& file) : file_(file), buffer_(ReadBlock()) {}
  std::string_view Next() { return std::string_view(buffer_, file_.Read(buffer_, kReadBlockBytes)); }
  void Close() { file_.Close(); }

 private:
  platform::InputFile file_;
  char* buffer_;
};

// The chart's bytes already in memory, as one block.
class MemoryBlocks {
 public:
  explicit MemoryBlocks(std::string_view bytes) : bytes_(bytes) {}
  std::string_view Next() { return std::exchange(bytes_, std::string_view()); }
  void Close() {}

 private:
  std::string_view bytes_;
};

template <typename Source>
void ReadChartText(ChartRow& row, Source& source, const ChartReadOptions& options);

}  // namespace

void ReadChart(ChartRow& row, const std::string& fileName, const ChartReadOptions& options) {
  ReadChart(row, fileName, platform::FsPath{platform::FsName(fileName)}, options);
}

void ReadChart(ChartRow& row, const std::string& fileName, const platform::FsPath& fsFile,
               const ChartReadOptions& options) {
  row.subItems[siDate] = ChartDateText(fsFile);
  row.caption = platform::ExtractFileName(fileName);
  FileBlocks source(fsFile);
  if (HasExtension(row.caption, ".bmson"))
    ReadBmsonChart(row, source, options);
  else
    ReadChartText(row, source, options);
}

void ReadChartBytes(ChartRow& row, const std::string& fileName, std::string_view bytes, std::int64_t utcTime,
                    const ChartReadOptions& options) {
  row.subItems[siDate] = ChartDateTextOf(utcTime);
  row.caption = platform::ExtractFileName(fileName);
  MemoryBlocks source(bytes);
  if (HasExtension(row.caption, ".bmson"))
    ReadBmsonChart(row, source, options);
  else
    ReadChartText(row, source, options);
}

namespace {

template <typename Source>
void ReadChartText(ChartRow& row, Source& source, const ChartReadOptions& options) {
  std::optional<ChartHasher> hasher;
  if (options.hashes) hasher.emplace();

  // A byte-order mark says the encoding outright and is no part of the first
  // line; a name hint decides next; otherwise the lines' text decides.
  ByteOrderMark mark = ByteOrderMark::kNone;
  std::optional<TextEncoding> known = EncodingFromFileName(row.caption);
  EncodingSniffer sniffer;
  std::optional<platform::Utf16Decoder> utf16;
  std::string decoded;

  // Facts need whole lines; the header keys and the encoding see no more
  // of a line than without them, so both come out the same.
  std::optional<BmsFactsReader> facts;
  if (options.facts) facts.emplace(HasExtension(row.caption, ".pms"));
  LineSplitter lines(facts ? kFactLineBytes : kUsefulLineBytes);
  auto parse = [&](std::string_view line, bool ascii) {
    if (facts) {
      facts->AddLine(line);
      if (line.size() > kUsefulLineBytes) {
        line = line.substr(0, kUsefulLineBytes);
        ascii = ascii || LineSplitter::IsAscii(line);
      }
    }
    if (KeysStartingLike(line) != 0) ParseHeaderLine(row, line);
    if (!known && !ascii) sniffer.AddLine(line, line.size() >= kUsefulLineBytes);
  };
  bool first = true, parsing = true;
  // A read error leaves the row with what it has, in the encoding that the
  // text read so far shows.
  auto decide = [&] { row.encoding = known ? *known : sniffer.Decide(); };
  try {
  for (;;) {
    std::string_view block = source.Next();
    const std::size_t n = block.size();
    if (hasher) hasher->Update(block);
    if (first) {
      first = false;
      mark = MarkAtStart(block);
      block.remove_prefix(MarkSize(mark));
      if (mark != ByteOrderMark::kNone) known = TextEncoding::kUtf8;
      // UTF-16 is read as its UTF-8, so the keys and the line ends are found
      // and the row holds text the rest of the program can handle.
      if (mark == ByteOrderMark::kUtf16LE || mark == ByteOrderMark::kUtf16BE)
        utf16.emplace(mark == ByteOrderMark::kUtf16BE);
    }
    if (parsing) {
      if (utf16) {
        decoded.clear();
        if (n == 0)
          utf16->Finish(decoded);
        else
          utf16->Feed(block, decoded);
        block = decoded;
      }
      if (n == 0) {
        if (!block.empty()) lines.Feed(block, parse);
        lines.Finish(parse);
        parsing = false;
      } else if (!lines.Feed(block, parse)) {
        lines.Finish(parse);  // the line cut by the Ctrl-Z still counts
        parsing = false;
      }
    }
    // Nothing after a Ctrl-Z is text; only the hashes still need the bytes.
    if (n == 0 || (!parsing && !hasher)) break;
  }
  source.Close();
  } catch (...) {
    decide();
    throw;
  }
  decide();
  if (hasher) hasher->Finish(row.md5, row.sha256);
  if (facts) row.facts = std::make_shared<ChartFacts>(ComputeFacts(facts->Finish(), NamesOf(options), row.caption, row.encoding));
}

}  // namespace
