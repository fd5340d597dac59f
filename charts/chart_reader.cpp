// ReadChart: one chart file into one chart row.
#include "charts/chart_reader.h"

#include <memory>

#include "charts/chart_date.h"
#include "charts/header_keys.h"
#include "charts/line_splitter.h"
#include "platform/input_file.h"
#include "platform/paths.h"

namespace {
// Large enough that a big chart takes few reads, small enough to stay cheap
// for the usual chart of some tens of kilobytes.
constexpr std::size_t kReadBlockBytes = 256 * 1024;
}  // namespace

void ReadChart(ChartRow& row, const std::string& fileName) {
  ReadChart(row, fileName, platform::FsPath{platform::FsName(fileName)});
}

void ReadChart(ChartRow& row, const std::string& fileName, const platform::FsPath& fsFile) {
  row.subItems[siDate] = ChartDateText(fsFile);
  row.caption = platform::ExtractFileName(fileName);

  platform::InputFile file(fsFile);
  std::unique_ptr<char[]> buffer(new char[kReadBlockBytes]);
  LineSplitter lines(kUsefulLineBytes);
  auto parse = [&row](std::string_view line) { ParseHeaderLine(row, line); };
  for (;;) {
    std::size_t n = file.Read(buffer.get(), kReadBlockBytes);
    if (n == 0) {
      lines.Finish(parse);
      break;
    }
    if (!lines.Feed(std::string_view(buffer.get(), n), parse)) {
      lines.Finish(parse);  // the line cut by the Ctrl-Z still counts
      break;
    }
  }
  file.Close();
}
