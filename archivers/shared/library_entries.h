// SPDX-License-Identifier: MIT
#pragma once
// The entry points every library exports, implemented once. A library
// source names its formats and its dialect in a LibraryDef and exports the
// entries under its own prefix with the macros of library_exports.h.
// Nothing thrown inside ever crosses the C interface.
#include <string>
#include <vector>

#include "archiver_api.h"
#include "archivers/shared/creating_dialects.h"
#include "archivers/shared/dialects.h"
#include "archivers/shared/reader_opener.h"

namespace arc {

// Carries out a parsed creating command: 0 or a result code, and a
// one-line summary in `message`.
using CreatingRunner = int (*)(const CreateRequest& req, std::string& message);

struct LibraryDef {
  std::vector<ReaderOpener> openers;  // the formats it accepts
  DialectParser dialect;              // its command syntax
  // Creating commands, tried before the extracting dialect; none when null.
  CreatingParser creatingParser = nullptr;
  CreatingRunner creatingRunner = nullptr;
};

int RunCommand(const LibraryDef& lib, ARC_HWND hwnd, const char* cmdLine, char* output, uint32_t size) noexcept;
HARC RunOpenArchive(const LibraryDef& lib, ARC_HWND hwnd, const char* fileName, uint32_t mode) noexcept;
int RunCloseArchive(HARC harc) noexcept;
int RunFindFirst(HARC harc, const char* wildName, INDIVIDUALINFO* info) noexcept;
int RunFindNext(HARC harc, INDIVIDUALINFO* info) noexcept;
int RunCheckArchive(const LibraryDef& lib, const char* fileName, int mode) noexcept;
// True while a command of this library runs on any thread.
bool RunGetRunning() noexcept;
int RunSetOwnerWindowEx(ARC_HWND hwnd, ARCHIVERPROC proc) noexcept;
int RunKillOwnerWindowEx(ARC_HWND hwnd) noexcept;
// Unicode mode of the calling thread (unicode_mode.h): TRUE always taken.
int RunSetUnicodeMode(int on) noexcept;
int RunGetUnicodeMode() noexcept;
// A command entry that only creates (Zip of ZIP32J.DLL and LMZIP32.DLL).
int RunCreatingCommand(CreatingParser parser, CreatingRunner runner, const char* cmdLine, char* output,
                       uint32_t size) noexcept;

}  // namespace arc
