// SPDX-License-Identifier: MIT
#pragma once
// Export macros: each library source includes this once and names its
// prefix, e.g. ARC_EXPORT_COMMAND(Unlha, kLibrary) defines Unlha(...).
#include "archivers/shared/library_entries.h"
#include "archivers/shared/library_extract_mem.h"
#include "archivers/shared/library_info_entries.h"
#include "archivers/shared/library_state_entries.h"

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

// SetOwnerWindowEx, KillOwnerWindowEx, and the older SetOwnerWindow,
// ClearOwnerWindow.
#define ARC_EXPORT_OWNER(Prefix)                                                                      \
  ARC_EXPORT int ARC_API Prefix##SetOwnerWindowEx(ARC_HWND hwnd, ARCHIVERPROC proc) {                         \
    return arc::RunSetOwnerWindowEx(hwnd, proc);                                                      \
  }                                                                                                   \
  ARC_EXPORT int ARC_API Prefix##KillOwnerWindowEx(ARC_HWND hwnd) { return arc::RunKillOwnerWindowEx(hwnd); } \
  ARC_EXPORT int ARC_API Prefix##SetOwnerWindow(ARC_HWND hwnd) { return arc::RunSetOwnerWindow(hwnd); }      \
  ARC_EXPORT int ARC_API Prefix##ClearOwnerWindow() { return arc::RunClearOwnerWindow(); }

// A command entry that only creates archives (Zip).
#define ARC_EXPORT_CREATING(Name, parser, runner)                                              \
  ARC_EXPORT int ARC_API Name(ARC_HWND, const char* cmdLine, char* output, uint32_t size) {            \
    return arc::RunCreatingCommand(parser, runner, cmdLine, output, size);                     \
  }

// ExtractMem and ListExtractMem; `firstTry` is a reader opener tried
// before the library's own (nullptr: none).
#define ARC_EXPORT_EXTRACT_MEM(Prefix, def, firstTry)                                                  \
  ARC_EXPORT int ARC_API Prefix##ExtractMem(ARC_HWND, const char* cmdLine, unsigned char* buffer,         \
                                            uint32_t size, int64_t* time, uint16_t* attributes,          \
                                            uint32_t* written) {                                         \
    return arc::RunExtractMem((def).openers, firstTry, cmdLine, buffer, size, time, attributes, written); \
  }                                                                                                      \
  ARC_EXPORT int ARC_API Prefix##ListExtractMem(const char* cmdLine, ENTRYMEMPROC proc, void* context) {  \
    return arc::RunListExtractMem((def).openers, firstTry, cmdLine, proc, context);                      \
  }

// The entries about the library itself: GetVersion (`version`: the
// version of the family member it stands in for, times 100), GetSubVersion,
// GetRunning, the modes, QueryFunctionList (`groups`: the arc::EntryGroup
// bits of the macros this library uses) and ConfigDialog (FALSE: nothing
// to set).
#define ARC_EXPORT_STATE(Prefix, version, groups)                                                          \
  ARC_EXPORT uint16_t ARC_API Prefix##GetVersion() { return (version); }                                   \
  ARC_EXPORT uint16_t ARC_API Prefix##GetSubVersion() { return arc::SubVersion(); }                        \
  ARC_EXPORT int ARC_API Prefix##GetRunning() { return arc::RunGetRunning() ? 1 : 0; }                     \
  ARC_EXPORT int ARC_API Prefix##GetBackGroundMode() { return arc::RunGetBackGroundMode(); }                \
  ARC_EXPORT int ARC_API Prefix##SetBackGroundMode(int mode) { return arc::RunSetBackGroundMode(mode); }    \
  ARC_EXPORT int ARC_API Prefix##GetCursorMode() { return arc::RunGetCursorMode(); }                        \
  ARC_EXPORT int ARC_API Prefix##SetCursorMode(int mode) { return arc::RunSetCursorMode(mode); }            \
  ARC_EXPORT uint16_t ARC_API Prefix##GetCursorInterval() { return arc::RunGetCursorInterval(); }          \
  ARC_EXPORT int ARC_API Prefix##SetCursorInterval(uint16_t interval) {                                    \
    return arc::RunSetCursorInterval(interval);                                                            \
  }                                                                                                        \
  ARC_EXPORT int ARC_API Prefix##QueryFunctionList(int function) {                                         \
    return arc::RunQueryFunctionList((groups) | arc::kStateEntries, function) ? 1 : 0;                     \
  }                                                                                                        \
  ARC_EXPORT int ARC_API Prefix##ConfigDialog(ARC_HWND, char*, int) { return 0; }

// GetFileCount and the getters of an open handle (the archive's, and the
// entry's last found by FindFirst/FindNext).
#define ARC_EXPORT_INFO(Prefix, def)                                                                              \
  ARC_EXPORT int ARC_API Prefix##GetFileCount(const char* fileName) { return arc::RunGetFileCount(def, fileName); } \
  ARC_EXPORT int ARC_API Prefix##GetArcFileName(HARC h, char* buf, int size) {                                    \
    return arc::RunGetArcFileName(h, buf, size);                                                                  \
  }                                                                                                               \
  ARC_EXPORT uint32_t ARC_API Prefix##GetArcFileSize(HARC h) { return arc::RunGetArcFileSize(h); }                \
  ARC_EXPORT uint32_t ARC_API Prefix##GetArcOriginalSize(HARC h) { return arc::RunGetArcOriginalSize(h); }        \
  ARC_EXPORT uint32_t ARC_API Prefix##GetArcCompressedSize(HARC h) { return arc::RunGetArcCompressedSize(h); }    \
  ARC_EXPORT uint16_t ARC_API Prefix##GetArcRatio(HARC h) { return arc::RunGetArcRatio(h); }                      \
  ARC_EXPORT uint16_t ARC_API Prefix##GetArcDate(HARC h) { return arc::RunGetArcDate(h); }                        \
  ARC_EXPORT uint16_t ARC_API Prefix##GetArcTime(HARC h) { return arc::RunGetArcTime(h); }                        \
  ARC_EXPORT uint32_t ARC_API Prefix##GetArcOSType(HARC h) { return arc::RunGetArcOSType(h); }                    \
  ARC_EXPORT int ARC_API Prefix##IsSFXFile(HARC h) { return arc::RunIsSFXFile(h); }                               \
  ARC_EXPORT int ARC_API Prefix##GetArcWriteTimeEx(HARC h, ARC_FILETIME* t) { return arc::RunGetArcTimeEx(h, t); }  \
  ARC_EXPORT int ARC_API Prefix##GetArcCreateTimeEx(HARC h, ARC_FILETIME* t) { return arc::RunGetArcTimeEx(h, t); } \
  ARC_EXPORT int ARC_API Prefix##GetArcAccessTimeEx(HARC h, ARC_FILETIME* t) { return arc::RunGetArcTimeEx(h, t); } \
  ARC_EXPORT int ARC_API Prefix##GetArcFileSizeEx(HARC h, uint64_t* s) { return arc::RunGetArcFileSizeEx(h, s); }   \
  ARC_EXPORT int ARC_API Prefix##GetArcOriginalSizeEx(HARC h, uint64_t* s) {                                      \
    return arc::RunGetArcOriginalSizeEx(h, s);                                                                    \
  }                                                                                                               \
  ARC_EXPORT int ARC_API Prefix##GetArcCompressedSizeEx(HARC h, uint64_t* s) {                                    \
    return arc::RunGetArcCompressedSizeEx(h, s);                                                                  \
  }                                                                                                               \
  ARC_EXPORT int ARC_API Prefix##GetFileName(HARC h, char* buf, int size) { return arc::RunGetFileName(h, buf, size); } \
  ARC_EXPORT int ARC_API Prefix##GetMethod(HARC h, char* buf, int size) { return arc::RunGetMethod(h, buf, size); }     \
  ARC_EXPORT uint32_t ARC_API Prefix##GetOriginalSize(HARC h) { return arc::RunGetOriginalSize(h); }              \
  ARC_EXPORT uint32_t ARC_API Prefix##GetCompressedSize(HARC h) { return arc::RunGetCompressedSize(h); }          \
  ARC_EXPORT uint16_t ARC_API Prefix##GetRatio(HARC h) { return arc::RunGetRatio(h); }                            \
  ARC_EXPORT uint16_t ARC_API Prefix##GetDate(HARC h) { return arc::RunGetDate(h); }                              \
  ARC_EXPORT uint16_t ARC_API Prefix##GetTime(HARC h) { return arc::RunGetTime(h); }                              \
  ARC_EXPORT uint32_t ARC_API Prefix##GetWriteTime(HARC h) { return arc::RunGetWriteTime(h); }                    \
  ARC_EXPORT uint32_t ARC_API Prefix##GetCreateTime(HARC h) { return arc::RunGetWriteTime(h); }                   \
  ARC_EXPORT uint32_t ARC_API Prefix##GetAccessTime(HARC h) { return arc::RunGetWriteTime(h); }                   \
  ARC_EXPORT uint32_t ARC_API Prefix##GetCRC(HARC h) { return arc::RunGetCRC(h); }                                \
  ARC_EXPORT int ARC_API Prefix##GetAttribute(HARC h) { return arc::RunGetAttribute(h); }                         \
  ARC_EXPORT uint32_t ARC_API Prefix##GetOSType(HARC h) { return arc::RunGetOSType(h); }                          \
  ARC_EXPORT int ARC_API Prefix##GetWriteTimeEx(HARC h, ARC_FILETIME* t) { return arc::RunGetWriteTimeEx(h, t); }  \
  ARC_EXPORT int ARC_API Prefix##GetCreateTimeEx(HARC h, ARC_FILETIME* t) { return arc::RunGetWriteTimeEx(h, t); } \
  ARC_EXPORT int ARC_API Prefix##GetAccessTimeEx(HARC h, ARC_FILETIME* t) { return arc::RunGetWriteTimeEx(h, t); } \
  ARC_EXPORT int ARC_API Prefix##GetOriginalSizeEx(HARC h, uint64_t* s) { return arc::RunGetOriginalSizeEx(h, s); } \
  ARC_EXPORT int ARC_API Prefix##GetCompressedSizeEx(HARC h, uint64_t* s) {                                       \
    return arc::RunGetCompressedSizeEx(h, s);                                                                     \
  }

// SetUnicodeMode (TRUE: the calling thread's texts are UTF-8) and
// GetUnicodeMode.
#define ARC_EXPORT_UNICODE(Prefix)                                                              \
  ARC_EXPORT int ARC_API Prefix##SetUnicodeMode(int on) { return arc::RunSetUnicodeMode(on); } \
  ARC_EXPORT int ARC_API Prefix##GetUnicodeMode() { return arc::RunGetUnicodeMode(); }
