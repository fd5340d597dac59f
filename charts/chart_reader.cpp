// ReadChart: one chart file into one chart row.
#include "charts/chart_reader.h"

#include <memory>
#include <optional>

#include "charts/chart_date.h"
#include "charts/chart_encoding.h"
#include "charts/chart_hash.h"
#include "charts/header_keys.h"
#include "charts/line_splitter.h"
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

}  // namespace

void ReadChart(ChartRow& row, const std::string& fileName, const ChartReadOptions& options) {
  ReadChart(row, fileName, platform::FsPath{platform::FsName(fileName)}, options);
}

void ReadChart(ChartRow& row, const std::string& fileName, const platform::FsPath& fsFile,
               const ChartReadOptions& options) {
  row.subItems[siDate] = ChartDateText(fsFile);
  row.caption = platform::ExtractFileName(fileName);

  platform::InputFile file(fsFile);
  char* const buffer = ReadBlock();
  std::optional<ChartHasher> hasher;
  if (options.hashes) hasher.emplace();

  // A byte-order mark says the encoding outright and is no part of the first
  // line; a name hint decides next; otherwise the lines' text decides.
  ByteOrderMark mark = ByteOrderMark::kNone;
  std::optional<TextEncoding> known = EncodingFromFileName(row.caption);
  EncodingSniffer sniffer;
  std::optional<platform::Utf16Decoder> utf16;
  std::string decoded;

  LineSplitter lines(kUsefulLineBytes);
  auto parse = [&](std::string_view line, bool ascii) {
    if (KeysStartingLike(line) != 0) ParseHeaderLine(row, line);
    if (!known && !ascii) sniffer.AddLine(line, line.size() >= kUsefulLineBytes);
  };
  bool first = true, parsing = true;
  // A read error leaves the row with what it has, in the encoding that the
  // text read so far shows.
  auto decide = [&] { row.encoding = known ? *known : sniffer.Decide(); };
  try {
  for (;;) {
    std::size_t n = file.Read(buffer, kReadBlockBytes);
    std::string_view block(buffer, n);
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
  file.Close();
  } catch (...) {
    decide();
    throw;
  }
  decide();
  if (hasher) hasher->Finish(row.md5, row.sha256);
}
