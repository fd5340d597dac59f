// SPDX-License-Identifier: MIT
#include "archivers/shared/library_entries.h"

#include <atomic>
#include <cstring>
#include <new>
#include <string>

#include "archivers/shared/archive_listing.h"
#include "archivers/shared/cmdline.h"
#include "archivers/shared/extractor.h"
#include "archivers/shared/info_records.h"
#include "archivers/shared/library_commands.h"
#include "archivers/shared/library_diagnostics.h"
#include "archivers/shared/owner_window.h"
#include "archivers/shared/unicode_mode.h"

namespace arc {

namespace {
std::atomic<int> g_running{0};

// Counts the commands under way, for ...GetRunning.
class RunningScope {
 public:
  RunningScope() { ++g_running; }
  ~RunningScope() { --g_running; }
  RunningScope(const RunningScope&) = delete;
  RunningScope& operator=(const RunningScope&) = delete;
};

void WriteOutput(char* output, uint32_t size, const std::string& text) {
  if (output && size > 0) CopyField(output, size, ForCaller(text));
}

// The names of a parsed request in the engine's form (see unicode_mode.h).
void TakeFromCaller(std::string& text) { text = FromCaller(text); }
void TakeFromCaller(std::vector<std::string>& texts) {
  for (auto& t : texts) TakeFromCaller(t);
}

// kNotCreating when the parser does not take the line.
int TryCreating(CreatingParser parser, CreatingRunner runner, const std::vector<CmdToken>& tokens, char* output,
                uint32_t size) {
  CreateRequest req;
  int r = parser(tokens, req);
  if (r == kNotCreating) return r;
  TakeFromCaller(req.archive);
  TakeFromCaller(req.source.baseDir);
  TakeFromCaller(req.source.patterns);
  if (r) {
    WriteOutput(output, size, req.refusal.empty() ? "command not accepted" : req.refusal);
    return r;
  }
  std::string message;
  r = runner(req, message);
  WriteOutput(output, size, message);
  return r;
}
}  // namespace

// The entry points are the libraries' C interface: an expected failure
// becomes a result code here, while anything else (a logic error, a broken
// invariant) is a bug that ends the program at the boundary (noexcept)
// rather than passing for damaged data.

int RunCommand(const LibraryDef& lib, ARC_HWND, const char* cmdLine, char* output, uint32_t size) noexcept {
  LibraryDiagnosticsScope diagnostics;
  RunningScope running;
  try {
    if (!cmdLine) return ERROR_COMMAND_NAME;
    auto tokens = TokenizeCommandLine(cmdLine);
    if (lib.creatingParser) {
      int r = TryCreating(lib.creatingParser, lib.creatingRunner, tokens, output, size);
      if (r != kNotCreating) return r;
    }
    ExtractRequest req;
    if (int r = lib.dialect(tokens, req)) {
      WriteOutput(output, size, "command not accepted");
      return r;
    }
    TakeFromCaller(req.archive);
    TakeFromCaller(req.destDir);
    TakeFromCaller(req.include);
    TakeFromCaller(req.exclude);
    std::string message;
    int r = req.kind == CommandKind::list   ? ListArchive(req, lib.openers, output ? size : 0, message)
            : req.kind == CommandKind::test ? TestArchive(req, lib.openers, message)
                                            : Extract(req, lib.openers, message);
    WriteOutput(output, size, message);
    return r;
  } catch (const ArcError& e) {
    return e.Code();
  } catch (const platform::Error&) {
    return ERROR_BROKEN_DATA;
  } catch (const std::bad_alloc&) {
    return ERROR_ENOUGH_MEMORY;
  }
}

bool RunGetRunning() noexcept { return g_running.load() > 0; }

HARC RunOpenArchive(const LibraryDef& lib, ARC_HWND, const char* fileName, uint32_t) noexcept {
  LibraryDiagnosticsScope diagnostics;
  try {
    return fileName ? OpenArchiveHandle(lib.openers, FromCaller(fileName)) : 0;
  } catch (const platform::Error&) {
    return 0;
  } catch (const std::bad_alloc&) {
    return 0;
  }
}

int RunCloseArchive(HARC harc) noexcept {
  LibraryDiagnosticsScope diagnostics;
  return CloseArchiveHandle(harc);
}

int RunFindFirst(HARC harc, const char* wildName, INDIVIDUALINFO* info) noexcept {
  LibraryDiagnosticsScope diagnostics;
  try {
    return FindFirstEntry(harc, FromCaller(wildName ? wildName : ""), info);
  } catch (const platform::Error&) {
    return ERROR_BROKEN_DATA;
  } catch (const std::bad_alloc&) {
    return ERROR_ENOUGH_MEMORY;
  }
}

int RunFindNext(HARC harc, INDIVIDUALINFO* info) noexcept {
  LibraryDiagnosticsScope diagnostics;
  try {
    return FindNextEntry(harc, info);
  } catch (const platform::Error&) {
    return ERROR_BROKEN_DATA;
  } catch (const std::bad_alloc&) {
    return ERROR_ENOUGH_MEMORY;
  }
}

int RunCheckArchive(const LibraryDef& lib, const char* fileName, int) noexcept {
  LibraryDiagnosticsScope diagnostics;
  try {
    return fileName && CheckArchiveFile(lib.openers, FromCaller(fileName)) ? 1 : 0;
  } catch (const platform::Error&) {
    return 0;
  } catch (const std::bad_alloc&) {
    return 0;
  }
}

int RunSetOwnerWindowEx(ARC_HWND hwnd, ARCHIVERPROC proc) noexcept { return SetOwnerWindow(hwnd, proc) ? 1 : 0; }
int RunKillOwnerWindowEx(ARC_HWND hwnd) noexcept { return KillOwnerWindow(hwnd) ? 1 : 0; }

int RunCreatingCommand(CreatingParser parser, CreatingRunner runner, const char* cmdLine, char* output,
                       uint32_t size) noexcept {
  RunningScope running;
  try {
    if (!cmdLine) return ERROR_COMMAND_NAME;
    int r = TryCreating(parser, runner, TokenizeCommandLine(cmdLine), output, size);
    return r == kNotCreating ? ERROR_COMMAND_NAME : r;
  } catch (const ArcError& e) {
    return e.Code();
  } catch (const platform::Error&) {
    return ERROR_CANNOT_WRITE;
  } catch (const std::bad_alloc&) {
    return ERROR_ENOUGH_MEMORY;
  }
}

}  // namespace arc
