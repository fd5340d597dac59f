// SPDX-License-Identifier: MIT
#include "drivers/family_dll.h"

#include "archives/earchiver.h"
#include "archives/get_dll_proc.h"
#include "archives/unicode_line.h"
#include "drivers/unicode_call.h"
#include "platform/paths.h"

namespace {
const char* const kSuffix[] = {"", "OpenArchive", "CloseArchive", "FindFirst", "FindNext",
                               "CheckArchive", "SetOwnerWindowEx", "KillOwnerWindowEx", "GetArchiveType", "ListExtractMem",
                               "SetUnicodeMode"};
}

TFamilyDll::TFamilyDll(const char* fileName, const char* prefix, const char* missing, bool oneCallAtATime)
    : fileName_(fileName), prefix_(prefix), missing_(missing), oneCallAtATime_(oneCallAtATime) {}

std::unique_lock<std::mutex> TFamilyDll::CallLock() {
  return oneCallAtATime_ ? std::unique_lock<std::mutex>(callMutex_) : std::unique_lock<std::mutex>();
}

void TFamilyDll::LoadDLL() {
  std::unique_lock<std::mutex> lock(mutex_);
  if (!handle_) handle_ = platform::LoadLibrary(fileName_);
  if (handle_) return;
  lock.unlock();
  RaiseArchiver(missing_.c_str());
}

platform::ModuleHandle TFamilyDll::Handle() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return handle_;
}

void TFamilyDll::FreeDLL() {
  std::lock_guard<std::mutex> lock(mutex_);
  entries_.fill(nullptr);
  if (handle_) {
    platform::FreeLibrary(handle_);
    handle_ = nullptr;
  }
}

template <typename Fn>
Fn TFamilyDll::Bind(Entry e) {
  // A missing entry stays unbound and is looked up again next time.
  std::lock_guard<std::mutex> lock(mutex_);
  if (!entries_[e]) entries_[e] = GetDLLProc(handle_, (prefix_ + kSuffix[e]).c_str());
  return reinterpret_cast<Fn>(entries_[e]);
}

ARC_SETUNICODE_FN TFamilyDll::UnicodeEntry() {
  try {
    return Bind<ARC_SETUNICODE_FN>(eSetUnicode);
  } catch (const platform::Error&) {  // an older library
    return nullptr;
  }
}

int TFamilyDll::Command(std::uint32_t wnd, const std::string& cmdLine, std::string& output) {
  LoadDLL();
  auto lock = CallLock();
  UnicodeCall unicode(NeedsUnicode(cmdLine) ? UnicodeEntry() : nullptr, cmdLine, fileName_);
  int r = Bind<ARC_COMMAND_FN>(eCommand)(wnd, unicode.Text(cmdLine).c_str(), OutputBuffer(output),
                                         static_cast<std::uint32_t>(output.size()));
  unicode.OutputBack(output);
  return r;
}

HARC TFamilyDll::OpenArchive(std::uint32_t wnd, const std::string& fullPath, std::uint32_t mode) {
  LoadDLL();
  auto lock = CallLock();
  UnicodeCall unicode(NeedsUnicode(fullPath) ? UnicodeEntry() : nullptr, fullPath, fileName_);
  return Bind<ARC_OPEN_FN>(eOpen)(wnd, unicode.Text(fullPath).c_str(), mode);
}

int TFamilyDll::CloseArchive(HARC handle) {
  LoadDLL();
  auto lock = CallLock();
  return Bind<ARC_CLOSE_FN>(eClose)(handle);
}

int TFamilyDll::FindFirst(HARC handle, const std::string& wildName, INDIVIDUALINFO* info) {
  LoadDLL();
  auto lock = CallLock();
  return Bind<ARC_FINDFIRST_FN>(eFindFirst)(handle, wildName.c_str(), info);
}

int TFamilyDll::FindNext(HARC handle, INDIVIDUALINFO* info) {
  auto lock = CallLock();
  return Bind<ARC_FINDNEXT_FN>(eFindNext)(handle, info);
}

int TFamilyDll::CheckArchive(const std::string& fileName, int mode) {
  LoadDLL();
  auto lock = CallLock();
  UnicodeCall unicode(NeedsUnicode(fileName) ? UnicodeEntry() : nullptr, fileName, fileName_);
  return Bind<ARC_CHECK_FN>(eCheck)(unicode.Text(fileName).c_str(), mode);
}

int TFamilyDll::SetOwnerWindowEx(std::uint32_t wnd, ARCHIVERPROC proc) {
  return Bind<ARC_SETOWNER_FN>(eSetOwner)(wnd, proc);
}

int TFamilyDll::KillOwnerWindowEx(std::uint32_t wnd) { return Bind<ARC_KILLOWNER_FN>(eKillOwner)(wnd); }

int TFamilyDll::GetArchiveType(const std::string& fileName) {
  LoadDLL();
  auto lock = CallLock();
  UnicodeCall unicode(NeedsUnicode(fileName) ? UnicodeEntry() : nullptr, fileName, fileName_);
  return Bind<ARC_GETTYPE_FN>(eGetType)(unicode.Text(fileName).c_str());
}

int TFamilyDll::ListExtractMem(const std::string& cmdLine, ENTRYMEMPROC proc, void* context) {
  LoadDLL();
  ARC_LISTEXTRACTMEM_FN entry = nullptr;
  try {
    entry = Bind<ARC_LISTEXTRACTMEM_FN>(eListExtractMem);
  } catch (const EArchiver&) {
    return ERROR_NOT_SUPPORT;
  }
  auto lock = CallLock();
  return entry(cmdLine.c_str(), proc, context);
}

bool TFamilyDll::Recognises(const std::string& fileName) {
  try {
    LoadDLL();
    HARC h = OpenArchive(0, platform::ExpandFileName(fileName), M_ERROR_MESSAGE_OFF | M_REGARDLESS_INIT_FILE);
    CloseArchive(h);
    return h != 0;
  } catch (const platform::Error&) {  // no library, or no such entry
    return false;
  }
}
