// SPDX-License-Identifier: MIT
// A stand-in archiver library for the tests: it exports the entries of every
// family, records each call in the shared recorder and answers what the test
// configured. One build is copied under each library file name; it learns
// which one it is from its own file name. Built with RECORDING_PARTIAL it
// lacks the command and check entries.
#include <dlfcn.h>

#include <cstring>
#include <string>

#include "archivers/include/archiver_api.h"
#include "platform/msgwindow.h"
#include "tests/drivers/recording/recorder.h"

#define REC_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

std::string LibName() {
  Dl_info info{};
  if (!dladdr(reinterpret_cast<void*>(&LibName), &info) || !info.dli_fname) return "?";
  const char* slash = std::strrchr(info.dli_fname, '/');
  return slash ? slash + 1 : info.dli_fname;
}

recorder::Call NewCall(const char* entry) {
  recorder::Call c;
  c.lib = LibName();
  c.entry = entry;
  return c;
}

[[maybe_unused]] int Command(const char* entry, ARC_HWND wnd, const char* cmdLine, char* output, uint32_t size) {
  recorder::Call c = NewCall(entry);
  c.wnd = wnd;
  c.text = cmdLine ? cmdLine : "";
  c.nullBuffer = output == nullptr;
  c.size = size;
  if (output && size > 0) c.firstByte = static_cast<unsigned char>(output[0]);
  int state = recorder::ProgressState();
  ARC_HWND owner = recorder::Owner(c.lib);
  if (state >= 0 && owner != 0) {
    EXTRACTINGINFOEX eis{};
    std::strcpy(eis.exinfo.szSourceFileName, "song.bms");
    c.progressAnswer = platform::SendMessage(owner, platform::RegisterWindowMessage("wm_arcextract"),
                                             static_cast<std::uintptr_t>(state), reinterpret_cast<std::intptr_t>(&eis));
  }
  recorder::Record(c);
  if (c.progressAnswer == 1) return ERROR_USER_CANCEL;
  return recorder::Answer(c.lib, entry, 0);
}

HARC Open(const char* entry, ARC_HWND wnd, const char* fileName, uint32_t mode) {
  recorder::Call c = NewCall(entry);
  c.wnd = wnd;
  c.text = fileName ? fileName : "";
  c.mode = mode;
  recorder::Record(c);
  return static_cast<HARC>(recorder::Answer(c.lib, entry, 0));
}

int Close(const char* entry, HARC harc) {
  recorder::Call c = NewCall(entry);
  c.handle = harc;
  recorder::Record(c);
  return recorder::Answer(c.lib, entry, 0);
}

int Find(const char* entry, HARC harc, const char* wild) {
  recorder::Call c = NewCall(entry);
  c.handle = harc;
  c.text = wild ? wild : "";
  recorder::Record(c);
  return recorder::Answer(c.lib, entry, -1);
}

[[maybe_unused]] int Check(const char* entry, const char* fileName, int mode) {
  recorder::Call c = NewCall(entry);
  c.text = fileName ? fileName : "";
  c.mode = static_cast<uint32_t>(mode);
  recorder::Record(c);
  return recorder::Answer(c.lib, entry, 1);
}

int SetOwner(const char* entry, ARC_HWND wnd, ARCHIVERPROC proc) {
  recorder::Call c = NewCall(entry);
  c.wnd = wnd;
  c.nullProc = proc == nullptr;
  recorder::Record(c);
  recorder::SetOwner(c.lib, wnd);
  return recorder::Answer(c.lib, entry, 1);
}

[[maybe_unused]] int SetUnicode(const char* entry, int on) {
  recorder::Call c = NewCall(entry);
  c.mode = static_cast<uint32_t>(on);
  recorder::Record(c);
  return recorder::Answer(c.lib, entry, 1);
}
int KillOwner(const char* entry, ARC_HWND wnd) {
  recorder::Call c = NewCall(entry);
  c.wnd = wnd;
  recorder::Record(c);
  recorder::SetOwner(c.lib, 0);
  return recorder::Answer(c.lib, entry, 1);
}

}  // namespace

#ifdef RECORDING_PARTIAL
#define REC_COMMAND(P)
#define REC_CHECK(P)
#define REC_UNICODE(P)
#else
#define REC_UNICODE(P) \
  REC_EXPORT int P##SetUnicodeMode(int on) { return SetUnicode(#P "SetUnicodeMode", on); }
#define REC_COMMAND(P) \
  REC_EXPORT int P(ARC_HWND w, const char* c, char* o, uint32_t s) { return Command(#P, w, c, o, s); }
#define REC_CHECK(P) \
  REC_EXPORT int P##CheckArchive(const char* f, int m) { return Check(#P "CheckArchive", f, m); }
#endif

#define REC_FAMILY(P)                                                                                              \
  REC_COMMAND(P)                                                                                                   \
  REC_CHECK(P)                                                                                                     \
  REC_UNICODE(P)                                                                                                   \
  REC_EXPORT HARC P##OpenArchive(ARC_HWND w, const char* f, uint32_t m) { return Open(#P "OpenArchive", w, f, m); } \
  REC_EXPORT int P##CloseArchive(HARC h) { return Close(#P "CloseArchive", h); }                                  \
  REC_EXPORT int P##FindFirst(HARC h, const char* wild, INDIVIDUALINFO*) { return Find(#P "FindFirst", h, wild); } \
  REC_EXPORT int P##FindNext(HARC h, INDIVIDUALINFO*) { return Find(#P "FindNext", h, nullptr); }                 \
  REC_EXPORT int P##SetOwnerWindowEx(ARC_HWND w, ARCHIVERPROC p) { return SetOwner(#P "SetOwnerWindowEx", w, p); } \
  REC_EXPORT int P##KillOwnerWindowEx(ARC_HWND w) { return KillOwner(#P "KillOwnerWindowEx", w); }

REC_FAMILY(Unlha)
REC_FAMILY(UnZip)
REC_FAMILY(Unzip)
REC_FAMILY(Cab)
REC_FAMILY(Unarj)
REC_FAMILY(Tar)
REC_FAMILY(Unrar)
REC_FAMILY(SevenZip)
REC_COMMAND(Zip)
REC_UNICODE(Zip)

#ifndef RECORDING_PARTIAL
REC_EXPORT int TarGetArchiveType(const char* fileName) {
  recorder::Call c = NewCall("TarGetArchiveType");
  c.text = fileName ? fileName : "";
  recorder::Record(c);
  return recorder::Answer(c.lib, "TarGetArchiveType", 0);
}
#endif
