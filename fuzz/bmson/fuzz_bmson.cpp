// SPDX-License-Identifier: MIT
// bmson text of any content: parsing answers or refuses, never crashes; the
// header values stay within a header value's size and the facts' counts
// are numbers.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "charts/bmson_chart.h"
#include "charts/header_keys.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  BmsonChart chart;
  if (!ParseBmson(text, chart)) return 0;
  for (const std::string& value : chart.header)
    if (value.size() > kMaxValueBytes) {
      std::fprintf(stderr, "a header value past its size\n");
      std::abort();
    }
  ArchiveNames names;
  for (const std::string& name : chart.content.fileNames)
    if (name.size() % 2) names.Add(name);
  const ChartFacts facts = ComputeFacts(chart.content, names, "x.bmson", platform::TextEncoding::kUtf8);
  if (facts.texts[fcNotes] != std::to_string(chart.content.notes) || facts.texts[fcMissing].empty()) {
    std::fprintf(stderr, "a count is wrong\n");
    std::abort();
  }
  return 0;
}
