// SPDX-License-Identifier: MIT
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTemporaryDir>

#include "gui/form1.h"
#include "platform/cp932.h"
#include "platform/paths.h"

namespace {

ChartRow SongRow(std::size_t i) {
  ChartRow row;
  row.caption = "song" + std::to_string(i) + ".bms";
  row.subItems[siArtist] = "artist";
  row.subItems[siTitle] = "title " + std::to_string(i);
  row.subItems[siBpm] = "150";
  row.subItems[siDate] = "2024/01/01";
  return row;
}

// A batch of n rows dropped into an empty, shown window.
void BM_AppendRowsToShownWindow(benchmark::State& state) {
  const auto n = static_cast<std::size_t>(state.range(0));
  for (auto _ : state) {
    state.PauseTiming();
    auto form = std::make_unique<TForm1>();
    form->show();
    QApplication::processEvents();
    state.ResumeTiming();
    for (std::size_t i = 0; i < n; ++i) form->List().SetRow(form->List().Append(), SongRow(i));
    state.PauseTiming();
    form.reset();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * n));
}
BENCHMARK(BM_AppendRowsToShownWindow)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  // The window makes its "work" folder beside the program; keep it out of bin/.
  QTemporaryDir dir;
  platform::OverrideExecutableDirForTesting(platform::Utf8ToCp932(dir.path().toStdString()));
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
