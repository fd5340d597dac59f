// SPDX-License-Identifier: MIT
// bmslist-cli: the dropped-archive pipeline without a window.
#include <cstdio>
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "charts/chart_list.h"
#include "charts/csv_export.h"
#include "charts/working_folder.h"
#include "cli/cli_args.h"
#include "cli/cli_system.h"
#include "cli/csv_output.h"
#ifdef BMSLIST_LIBRARY
#include "cli/library_run.h"
#endif
#include "platform/cp932.h"
#include "platform/file_time.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "session/export_target.h"
#include "session/product.h"
#include "session/list_actions.h"
#include "session/session.h"

namespace {

// The session seen through standard error: progress on a terminal only (a
// redirected stderr stays clean), and one line per archive that failed or
// gave no chart. Every call comes on the main thread, in archive order.
class TerminalView : public SessionView {
 public:
  explicit TerminalView(bool progress) : progress_(progress) {}

  void DropStarted(std::size_t) override {}
  void ArchiveStarted(std::size_t, std::size_t, const std::string& text) override { Show(text); }
  void EntryStarted(const std::string& name) override { Show("    " + name); }
  // The CSV stays as the list is; what went wrong is said here.
  void ProblemFound(const ArchiveProblem& problem) override {
    Say("bmslist-cli: " + ProblemPathText(problem) + ": " + ProblemReasonsText(problem) + "\n");
  }
  void DropFinished(const DropOutcome&) override { Clear(); }
  void KeepAlive() override {}

  // A progress line of our own (UTF-8), on a terminal only.
  void Progress(const std::string& utf8) {
    if (!progress_) return;
    std::fprintf(stderr, "\r\033[K%s", utf8.c_str());
    std::fflush(stderr);
  }
  // Clears the progress line and writes `line` (UTF-8, with its line end).
  void Say(const std::string& line) {
    // One write, so nothing written meanwhile lands inside the line.
    const std::string text = (progress_ ? "\r\033[K" : "") + line;
    std::fwrite(text.data(), 1, text.size(), stderr);
    std::fflush(stderr);
  }

 private:
  void Show(const std::string& cp932) {
    if (!progress_) return;
    std::fprintf(stderr, "\r\033[K%s", platform::Cp932ToUtf8(cp932).c_str());
    std::fflush(stderr);
  }
  void Clear() {
    if (progress_) std::fputs("\r\033[K", stderr);
  }
  bool progress_;
};

}  // namespace

int main(int argc, char** argv) {
  platform::FixLocalTimeZone();  // before any thread: the libraries convert stamps per entry
  CliArgs args = ParseCliArgs(ProgramArguments(argc, argv));
  if (args.help) {
    std::fputs(kCliUsage, stdout);
    return 0;
  }
  if (args.version) {
    std::printf("bmslist-cli %s\n", ProductVersion());
    return 0;
  }
  if (!args.error.empty()) {
    std::fprintf(stderr, "bmslist-cli: %s\n\n%s", args.error.c_str(), kCliUsage);
    return 2;
  }

  // As a file manager gives them: absolute paths, in code page 932 where it
  // holds them.
  std::vector<std::string> paths;
  for (const std::string& p : args.paths) {
    std::string path;
    if (!AbsoluteArchivePath(p, path)) {
      std::fprintf(stderr, "bmslist-cli: skipped %s: it cannot be made absolute\n", p.c_str());
      continue;
    }
    paths.push_back(path);
  }

  // Resolved now: the drop makes the working folder the current folder. The
  // file is written under exactly the name given.
  std::string csvPath;
  if (!args.csvPath.empty()) {
    std::string why;
    if (!AbsoluteFsPath(args.csvPath, csvPath, why)) {
      std::fprintf(stderr, "bmslist-cli: %s: %s\n", args.csvPath.c_str(), why.c_str());
      return 1;
    }
    if (!CsvTargetUsable(args.csvPath, csvPath, paths)) return 1;
  }

  std::string installTo;
  if (!args.installTo.empty()) {
    std::string why;
    if (!AbsoluteFsPath(args.installTo, installTo, why)) {
      std::fprintf(stderr, "bmslist-cli: %s: %s\n", args.installTo.c_str(), why.c_str());
      return 1;
    }
  }

  // This run's own working folder, so another running copy is never disturbed.
  WorkingFolderClaim workingFolder;
  TerminalView view(StderrIsTerminal());
  Session session(view);
  session.keepAliveInterval = std::chrono::milliseconds(100);
  session.scanOptions.extensions = args.extensions;
  // Looking charts up needs their hashes, shown as columns or not.
  const bool lookups = !args.libraries.empty() || !args.tables.empty();
#ifdef BMSLIST_LIBRARY
  LibraryRun libraryRun;
  if (lookups) {
    const auto say = [&](const std::string& line) { view.Say(line); };
    const auto progress = [&](const std::string& line) { view.Progress(line); };
    libraryRun.Prepare(args.libraries, args.tables, args.extensions, say, progress);
  }
#else
  if (lookups) {
    view.Say("bmslist-cli: --library and --table are not part of this build\n");
    return 2;
  }
#endif
  session.scanOptions.hashes = args.hashes || lookups;
  session.scanOptions.chartsOnly = args.chartsOnly;
  session.scanOptions.facts = args.facts;
  session.scanOptions.folderArchives = args.folderArchives;
  if (args.jobs != 0) session.bothCores = args.jobs == 2;
  session.Drop(paths);
  const ChartList& list = session.List();
  auto install = [&]() -> int {
    if (installTo.empty()) return 0;
    ListActions actions(session);
    // The archives: charts listed in place from a folder are in the song
    // folders already.
    ChartList& rows = session.List();
    for (std::size_t i = 0; i < rows.Count(); ++i) rows.SetChecked(i, !rows.Row(i).inFolder);
    const ListActions::InstallTotals t = actions.InstallChecked(installTo);
    return t.failed > 0 || t.kept > 0 || t.cancelled ? 1 : 0;
  };

  CsvOptions csv{args.csvFormat, args.hashes, args.facts};
  std::vector<std::vector<std::string>> lookupFields;
  bool lookupFailed = false;
#ifdef BMSLIST_LIBRARY
  if (lookups && args.csvFormat == CsvFormat::kUtf8) {
    lookupFields = libraryRun.Fields(list, [&](const std::string& line) { view.Say(line); });
    csv.trailingFields = &lookupFields;
  }
  lookupFailed = libraryRun.failed;
#endif
  const int written =
      args.csvPath.empty() ? WriteCsvToStdout(list, csv) : WriteCsvFile(list, args.csvPath, csvPath, csv);
  // The list is out before anything is installed: an install that goes
  // wrong never costs it, and without the list nothing is installed.
  if (written != 0) return written;
  const int installed = install();
  return installed != 0 ? installed : lookupFailed ? 1 : 0;
}
