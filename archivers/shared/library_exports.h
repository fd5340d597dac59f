// SPDX-License-Identifier: MIT
#pragma once
// Export macros: each library source includes this once and names its
// prefix, e.g. ARC_EXPORT_COMMAND(Unlha, kLibrary) defines Unlha(...).
#include "archivers/shared/library_entries.h"

#ifdef _WIN32
#define ARC_EXPORT extern "C" __declspec(dllexport)
#else
#define ARC_EXPORT extern "C" __attribute__((visibility("default")))
#endif

// The command entry: Prefix(hwnd, cmdLine, output, size).
#define ARC_EXPORT_COMMAND(Prefix, def)                                                   \
  ARC_EXPORT int ARC_API Prefix(ARC_HWND hwnd, const char* cmdLine, char* output, uint32_t size) { \
    return arc::RunCommand(def, hwnd, cmdLine, output, size);                              \
  }

// OpenArchive, CloseArchive, FindFirst, FindNext, CheckArchive.
#define ARC_EXPORT_LISTING(Prefix, def)                                                              \
  ARC_EXPORT HARC ARC_API Prefix##OpenArchive(ARC_HWND hwnd, const char* fileName, uint32_t mode) {          \
    return arc::RunOpenArchive(def, hwnd, fileName, mode);                                           \
  }                                                                                                  \
  ARC_EXPORT int ARC_API Prefix##CloseArchive(HARC harc) { return arc::RunCloseArchive(harc); }              \
  ARC_EXPORT int ARC_API Prefix##FindFirst(HARC harc, const char* wildName, INDIVIDUALINFO* info) {          \
    return arc::RunFindFirst(harc, wildName, info);                                                  \
  }                                                                                                  \
  ARC_EXPORT int ARC_API Prefix##FindNext(HARC harc, INDIVIDUALINFO* info) { return arc::RunFindNext(harc, info); } \
  ARC_EXPORT int ARC_API Prefix##CheckArchive(const char* fileName, int mode) {                              \
    return arc::RunCheckArchive(def, fileName, mode);                                                \
  }

// SetOwnerWindowEx, KillOwnerWindowEx.
#define ARC_EXPORT_OWNER(Prefix)                                                                      \
  ARC_EXPORT int ARC_API Prefix##SetOwnerWindowEx(ARC_HWND hwnd, ARCHIVERPROC proc) {                         \
    return arc::RunSetOwnerWindowEx(hwnd, proc);                                                      \
  }                                                                                                   \
  ARC_EXPORT int ARC_API Prefix##KillOwnerWindowEx(ARC_HWND hwnd) { return arc::RunKillOwnerWindowEx(hwnd); }

// A command entry that only creates archives (Zip).
#define ARC_EXPORT_CREATING(Name, parser, runner)                                              \
  ARC_EXPORT int ARC_API Name(ARC_HWND, const char* cmdLine, char* output, uint32_t size) {            \
    return arc::RunCreatingCommand(parser, runner, cmdLine, output, size);                     \
  }

// GetVersion (the library's version times 100: 123 is 1.23) and
// GetRunning (TRUE while a command runs).
#define ARC_EXPORT_STATE(Prefix, version)                                                    \
  ARC_EXPORT uint16_t ARC_API Prefix##GetVersion() { return (version); }                     \
  ARC_EXPORT int ARC_API Prefix##GetRunning() { return arc::RunGetRunning() ? 1 : 0; }

// SetUnicodeMode (TRUE: the calling thread's texts are UTF-8) and
// GetUnicodeMode.
#define ARC_EXPORT_UNICODE(Prefix)                                                              \
  ARC_EXPORT int ARC_API Prefix##SetUnicodeMode(int on) { return arc::RunSetUnicodeMode(on); } \
  ARC_EXPORT int ARC_API Prefix##GetUnicodeMode() { return arc::RunGetUnicodeMode(); }
