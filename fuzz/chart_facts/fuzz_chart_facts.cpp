// SPDX-License-Identifier: MIT
// Chart text of any content through the facts reader, line by line and
// through the whole header reader. The facts never change the header
// columns or the encoding; their texts are short ASCII (or the mark), and
// the counts are numbers.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "charts/bms_facts.h"
#include "charts/chart_reader.h"
#include "charts/header_keys.h"

namespace {

void Fail(const char* what) {
  std::fprintf(stderr, "%s\n", what);
  std::abort();
}

void CheckTexts(const ChartFacts& facts) {
  for (int i = 0; i < kFactColumnCount; ++i) {
    const std::string& t = facts.texts[static_cast<std::size_t>(i)];
    if (i == fcTotal) {
      if (t.size() > kMaxValueBytes) Fail("#TOTAL longer than a header value");
      continue;
    }
    if (i == fcRandom) {
      if (!t.empty() && t != kChartMark) Fail("Random is neither empty nor the mark");
      continue;
    }
    if (t.size() > 24) Fail("a fact's text is too long");
    for (char c : t)
      if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) > 0x7E) Fail("a fact is not ASCII");
  }
  if (facts.texts[fcNotes].empty() || facts.texts[fcMissing].empty()) Fail("a count is empty");
  if (std::to_string(facts.missingNames.size()) != facts.texts[fcMissing]) Fail("Missing disagrees with its names");
}

int MemoryFile() {
  static int fd = memfd_create("chart.bms", 0);
  return fd;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);

  // Line by line, with the archive holding the names of every other line.
  BmsFactsReader reader(size > 0 && (data[0] & 2));
  ArchiveNames names;
  std::size_t start = 0, line = 0;
  for (std::size_t i = 0; i <= text.size(); ++i)
    if (i == text.size() || text[i] == '\r' || text[i] == '\n') {
      const std::string_view l = text.substr(start, i - start);
      reader.AddLine(l);
      if (++line % 2 == 0) names.Add(l);
      start = i + 1;
    }
  const ChartContent content = reader.Finish();
  if (content.lastNoteBeat >= 0 && content.notes == 0 && content.keys.empty()) Fail("a note's place without notes");
  CheckTexts(ComputeFacts(content, names, "chart.bms", platform::TextEncoding::kCp932));

  // The whole reader: the header is what it is without the facts.
  int fd = MemoryFile();
  if (fd < 0 || ftruncate(fd, 0) != 0 || pwrite(fd, data, size, 0) != static_cast<ssize_t>(size)) std::abort();
  const std::string path = "/proc/self/fd/" + std::to_string(fd);
  ChartRow plain, withFacts;
  ReadChart(plain, path, ChartReadOptions{});
  ReadChart(withFacts, path, ChartReadOptions{false, true, &names});
  if (plain.subItems != withFacts.subItems || plain.encoding != withFacts.encoding) Fail("facts changed the header");
  if (!withFacts.facts) Fail("no facts");
  CheckTexts(*withFacts.facts);
  return 0;
}
