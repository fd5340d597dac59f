// SPDX-License-Identifier: MIT
#pragma once
// The module state of a one-library driver: the library handle and its entry
// table, shared by every object of the driver class and by its probe. Entries
// are bound by export name on first use and kept until FreeDLL. Two threads
// may load, bind and call at once (a drop unpacks two archives together);
// FreeDLL is for when no call is under way.
#include <array>
#include <cstdint>
#include <mutex>
#include <string>

#include "archivers/include/archiver_api.h"
#include "platform/dynlib.h"

class TFamilyDll {
 public:
  // `prefix` names the entries (Unlha, UnlhaOpenArchive...); `missing` is
  // the UTF-8 text of the error raised when the library cannot be loaded.
  // With `oneCallAtATime` a call waits while another thread's is under way.
  TFamilyDll(const char* fileName, const char* prefix, const char* missing, bool oneCallAtATime = false);

  void LoadDLL();
  void FreeDLL();
  platform::ModuleHandle Handle() const;

  // The wrappers of the entries that can start a conversation load the
  // library first; FindNext and the owner-window ones rely on it being loaded.
  int Command(std::uint32_t wnd, const std::string& cmdLine, std::string& output);
  HARC OpenArchive(std::uint32_t wnd, const std::string& fullPath, std::uint32_t mode);
  int CloseArchive(HARC handle);
  int FindFirst(HARC handle, const std::string& wildName, INDIVIDUALINFO* info);
  int FindNext(HARC handle, INDIVIDUALINFO* info);
  int CheckArchive(const std::string& fileName, int mode);
  int SetOwnerWindowEx(std::uint32_t wnd, ARCHIVERPROC proc);
  int KillOwnerWindowEx(std::uint32_t wnd);
  int GetArchiveType(const std::string& fileName);  // tar32.dll only
  // ERROR_NOT_SUPPORT when the library has no such entry (an older one).
  int ListExtractMem(const std::string& cmdLine, ENTRYMEMPROC proc, void* context);

  // The probe: open with no window and mode 0x00800002, close whatever
  // came back, answer whether it was a handle. Never raises.
  bool Recognises(const std::string& fileName);

 private:
  enum Entry {
    eCommand, eOpen, eClose, eFindFirst, eFindNext, eCheck, eSetOwner, eKillOwner, eGetType, eListExtractMem,
    eSetUnicode, kEntries
  };
  template <typename Fn>
  Fn Bind(Entry e);
  // ...SetUnicodeMode, null for a library without it.
  ARC_SETUNICODE_FN UnicodeEntry();

  // Held over a call when calls must not overlap; empty otherwise.
  std::unique_lock<std::mutex> CallLock();

  std::string fileName_, prefix_, missing_;
  bool oneCallAtATime_;
  std::mutex callMutex_;
  mutable std::mutex mutex_;  // over the handle and the table, not the calls
  platform::ModuleHandle handle_ = nullptr;
  std::array<void*, kEntries> entries_{};
};

// The output buffer as the libraries take it: none for an empty text.
inline char* OutputBuffer(std::string& output) { return output.empty() ? nullptr : output.data(); }
