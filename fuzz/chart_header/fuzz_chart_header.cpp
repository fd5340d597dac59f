// SPDX-License-Identifier: MIT
// Chart text of any content through the line parser and the whole reader.
// The reader's result must equal parsing the text split in one piece (after
// a byte-order mark: without it, and UTF-16 as its UTF-8). Whatever encoding
// the reader settles on, decoding the values and the UTF-8 CSV must give
// valid UTF-8.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "charts/chart_reader.h"
#include "charts/csv_export.h"
#include "charts/header_keys.h"
#include "charts/line_splitter.h"
#include "platform/text_encoding.h"

namespace {

ChartRow ParseWhole(std::string_view text) {
  ChartRow row;
  text = text.substr(0, text.find('\x1A'));
  std::size_t start = 0;
  for (std::size_t i = 0; i <= text.size(); ++i)
    if (i == text.size() || text[i] == '\r' || text[i] == '\n') {
      if (i > start) ParseHeaderLine(row, text.substr(start, i - start));
      start = i + 1;
    }
  return row;
}

// The reader's blocks are larger than the inputs; cut the text into small
// blocks here so that lines and line ends straddle block edges.
ChartRow ParseInBlocks(std::string_view text, std::size_t blockSize) {
  ChartRow row;
  LineSplitter lines(kUsefulLineBytes);
  auto parse = [&row](std::string_view line, bool ascii) {
    if (ascii != LineSplitter::IsAscii(line)) {
      std::fprintf(stderr, "small blocks: a line's ASCII flag is wrong\n");
      std::abort();
    }
    ParseHeaderLine(row, line);
  };
  for (std::size_t at = 0; at < text.size(); at += blockSize)
    if (!lines.Feed(text.substr(at, blockSize), parse)) break;
  lines.Finish(parse);
  return row;
}

void ExpectSame(const ChartRow& got, const ChartRow& expected, const char* what) {
  for (std::size_t i = 0; i <= siBga; ++i)
    if (got.subItems[i] != expected.subItems[i]) {
      std::fprintf(stderr, "%s: sub-item %zu differs\n", what, i);
      std::abort();
    }
}

// The text the reader cuts into lines: a UTF-8 mark dropped, UTF-16 decoded.
std::string TextOf(std::string_view bytes) {
  if (bytes.starts_with("\xEF\xBB\xBF")) return std::string(bytes.substr(3));
  bool le = bytes.starts_with("\xFF\xFE"), be = bytes.starts_with("\xFE\xFF");
  if (!le && !be) return std::string(bytes);
  platform::Utf16Decoder decoder(be);
  std::string out;
  decoder.Feed(bytes.substr(2), out);
  decoder.Finish(out);
  return out;
}

void ExpectUtf8(const std::string& text, const char* what) {
  std::u32string cps;
  if (!platform::DecodeCodePoints(platform::TextEncoding::kUtf8, text, cps, false)) {
    std::fprintf(stderr, "%s: not valid UTF-8\n", what);
    std::abort();
  }
}

// One memory file for the whole run, reached through /proc like any file.
int MemoryFile() {
  static int fd = memfd_create("chart.bms", 0);
  return fd;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  int fd = MemoryFile();
  if (fd < 0 || ftruncate(fd, 0) != 0 || pwrite(fd, data, size, 0) != static_cast<ssize_t>(size)) std::abort();
  std::string path = "/proc/self/fd/" + std::to_string(fd);

  ChartRow row;
  ReadChart(row, path, ChartReadOptions{size > 0 && (data[0] & 1)});
  const std::string decoded = TextOf(text);
  ChartRow expected = ParseWhole(decoded);
  ExpectSame(row, expected, "ReadChart");
  if (size > 0) ExpectSame(ParseInBlocks(decoded, 1 + data[0] % 37), expected, "small blocks");

  for (const std::string& value : row.subItems) ExpectUtf8(platform::DecodeToUtf8(row.encoding, value), "value");
  ChartList list;
  list.SetRow(list.Append(), row);
  std::string csv = ChartCsvText(list, {CsvFormat::kUtf8, true});
  ExpectUtf8(csv, "UTF-8 CSV");
  return 0;
}
