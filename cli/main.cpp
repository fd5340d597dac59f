// bmslist-cli: the dropped-archive pipeline without a window.
#include <cstdio>
#include <exception>
#include <iostream>
#include <mutex>
#include <string>
#include <vector>

#include "charts/chart_list.h"
#include "charts/csv_export.h"
#include "charts/drop_pipeline.h"
#include "charts/progress_text.h"
#include "charts/working_folder.h"
#include "cli/cli_args.h"
#include "cli/cli_system.h"
#include "cli/csv_output.h"
#include "drivers/archive_file.h"
#include "platform/cp932.h"
#include "platform/file_time.h"
#include "platform/files.h"
#include "platform/msgwindow.h"
#include "platform/paths.h"

#ifndef BMSLIST_VERSION
#define BMSLIST_VERSION "0.1.0"
#endif

namespace {

// Progress goes to a terminal only; a redirected stderr stays clean.
// Entries are reported from the unpacking thread, archives and problems
// from the main one: each write is whole, so a problem line never runs into
// an entry's.
class TerminalProgress {
 public:
  explicit TerminalProgress(bool enabled) : enabled_(enabled) {}
  void Archive(std::size_t i, std::size_t n, const std::string& path) {
    if (enabled_) Show(ArchiveProgressText(i, n, path));
  }
  void Entry(const std::string& name) {
    if (enabled_ && !name.empty()) Show("    " + name);
  }
  // Clears the progress line and writes `line` (UTF-8, with its line end).
  void Say(const std::string& line) {
    // One write, so nothing written meanwhile lands inside the line.
    const std::string text = (enabled_ ? "\r\033[K" : "") + line;
    std::lock_guard<std::mutex> lock(mutex_);
    std::fwrite(text.data(), 1, text.size(), stderr);
    std::fflush(stderr);
  }
  void Done() {
    if (!enabled_) return;
    std::lock_guard<std::mutex> lock(mutex_);
    std::fputs("\r\033[K", stderr);
  }

 private:
  void Show(const std::string& cp932) {
    std::lock_guard<std::mutex> lock(mutex_);
    std::fprintf(stderr, "\r\033[K%s", platform::Cp932ToUtf8(cp932).c_str());
    std::fflush(stderr);
  }
  bool enabled_;
  std::mutex mutex_;
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
    std::puts("bmslist-cli " BMSLIST_VERSION);
    return 0;
  }
  if (!args.error.empty()) {
    std::fprintf(stderr, "bmslist-cli: %s\n\n%s", args.error.c_str(), kCliUsage);
    return 2;
  }

  // As a file manager gives them: absolute paths, in code page 932.
  std::vector<std::string> paths;
  for (const std::string& p : args.paths) {
    std::string cp932;
    if (!AbsoluteCp932Path(p, cp932)) {
      std::fprintf(stderr, "bmslist-cli: skipped %s: its name cannot be written in code page 932\n", p.c_str());
      continue;
    }
    paths.push_back(cp932);
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

  // This run's own working folder, so another running copy is never disturbed.
  WorkingFolderClaim workingFolder;
  ChartList list;
  TArchiveFile archiveFile;
  ApplyMainWindowSettings(archiveFile);
  platform::WindowHandle window = platform::CreateMessageWindow([](std::uint32_t, std::uintptr_t, std::intptr_t) {
    return std::intptr_t{0};
  });

  TerminalProgress progress(StderrIsTerminal());
  if (StderrIsTerminal()) {
    archiveFile.OnProgress = [&](TArchiveFile&, int state, EXTRACTINGINFOEX* info, bool&) {
      progress.Entry(ProgressEntryName(state, info));
    };
  }
  DropPipeline pipeline(list, archiveFile, window);
  pipeline.options.extensions = args.extensions;
  pipeline.options.hashes = args.hashes;
  pipeline.options.chartsOnly = args.chartsOnly;
  if (args.jobs != 0) pipeline.bothCores = args.jobs == 2;
  pipeline.onArchiveStarting = [&](std::size_t i, std::size_t n, const std::string& path) {
    progress.Archive(i, n, path);
    return true;
  };
  // The CSV stays as the list has it; what went wrong is said here, one
  // line per archive.
  pipeline.onArchiveProblem = [&](const ArchiveProblem& problem) {
    progress.Say("bmslist-cli: " + platform::Cp932ToUtf8(problem.archivePath) + ": " + ProblemReasonsText(problem) +
                 "\n");
  };
  pipeline.WMDropFiles(paths);
  progress.Done();
  platform::DestroyMessageWindow(window);

  const CsvOptions csv{args.csvFormat, args.hashes};
  return args.csvPath.empty() ? WriteCsvToStdout(list, csv) : WriteCsvFile(list, args.csvPath, csvPath, csv);
}
