// SPDX-License-Identifier: MIT
#include "drivers/zip32.h"

#include <array>
#include <mutex>

#include "archives/earchiver.h"
#include "archives/get_dll_proc.h"
#include "archives/unicode_line.h"
#include "drivers/family_dll.h"
#include "drivers/sfx_file.h"
#include "drivers/unicode_call.h"
#include "drivers/zip_name_converter.h"
#include "platform/replacement_file.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/search_path.h"

namespace {

enum Lib { kUnzip, kZip32j, kLmzip, kLibs };
const char* const kLibName[kLibs] = {"UNZIP32.DLL", "ZIP32J.DLL", "LMZIP32.DLL"};

enum Entry { eZip, eUnZip, eOpen, eClose, eFindFirst, eFindNext, eCheck, eSetOwner, eKillOwner, eListExtractMem, kEntries };
const char* const kEntryName[kEntries] = {"Zip", "UnZip", "UnZipOpenArchive", "UnZipCloseArchive",
                                          "UnZipFindFirst", "UnZipFindNext", "UnZipCheckArchive",
                                          "UnZipSetOwnerWindowEx", "UnZipKillOwnerWindowEx",
                                          "UnZipListExtractMem"};

// Two threads may load, bind and call at once; the lock covers the handles
// and the table, not the calls.
struct Module {
  std::recursive_mutex mutex;
  std::array<platform::ModuleHandle, kLibs> handle{};
  std::array<void*, kEntries> entry{};
};

Module& M() {
  static Module m;
  return m;
}

bool Loaded(Lib lib) {
  std::lock_guard<std::recursive_mutex> lock(M().mutex);
  return M().handle[lib] != nullptr;
}

const char* const kNoCreator = "ZIP 形式書庫の作成には ZIP32J.DLL または LMZIP32.DLL が必要です。";
const char* const kNoExtractor = "ZIP 形式書庫の解凍には UNZIP32.DLL または LMZIP32.DLL が必要です。";

// The libraries asked for an entry, in order; kLibs ends a shorter list.
std::array<Lib, 3> SearchOrder(Entry e) {
  switch (e) {
    case eZip: return {kZip32j, kLmzip, kLibs};
    case eUnZip: return {kUnzip, kLmzip, kLibs};
    case eCheck:
    case eListExtractMem: return {kUnzip, kLmzip, kZip32j};
    default: return {kLmzip, kZip32j, kUnzip};
  }
}

template <typename Fn>
Fn Bind(Entry e) {
  Module& m = M();
  std::lock_guard<std::recursive_mutex> lock(m.mutex);
  if (m.entry[e]) return reinterpret_cast<Fn>(m.entry[e]);
  if (e == eSetOwner || e == eKillOwner) {
    // Owner windows are UNZIP32.DLL's alone; its lookup error is not hidden.
    m.entry[e] = GetDLLProc(m.handle[kUnzip], kEntryName[e]);
    return reinterpret_cast<Fn>(m.entry[e]);
  }
  if (e == eZip && !Loaded(kZip32j) && !Loaded(kLmzip)) RaiseArchiver(kNoCreator);
  if (e == eUnZip && !Loaded(kUnzip) && !Loaded(kLmzip)) RaiseArchiver(kNoExtractor);
  for (Lib lib : SearchOrder(e)) {
    if (lib == kLibs || !Loaded(lib)) continue;
    std::string name = kEntryName[e];
    // LMZIP32.DLL spells these entries "Unzip...".
    if (lib == kLmzip && name.size() > 2 && name[2] == 'Z') name[2] = 'z';
    try {
      m.entry[e] = GetDLLProc(m.handle[lib], name.c_str());
      return reinterpret_cast<Fn>(m.entry[e]);
    } catch (const EArchiver&) {
    }
  }
  throw EArchiver(std::string(kEntryName[e]) + Cp932Text(" のエントリが見つかりません。"));
}

// The Unicode-mode switch of the library that serves entry `e` (each
// library names it with its own prefix); null when it has none.
ARC_SETUNICODE_FN UnicodeEntryFor(Entry e) {
  static const char* const kUnicodeName[kLibs] = {"UnZipSetUnicodeMode", "ZipSetUnicodeMode",
                                                  "UnzipSetUnicodeMode"};
  Bind<void*>(e);
  std::lock_guard<std::recursive_mutex> lock(M().mutex);
  for (Lib lib : SearchOrder(e)) {
    if (lib == kLibs || !Loaded(lib)) continue;
    void* served = platform::GetProcAddress(M().handle[lib], kEntryName[e]);
    if (!served && lib == kLmzip) {
      std::string name = kEntryName[e];
      if (name.size() > 2 && name[2] == 'Z') name[2] = 'z';
      served = platform::GetProcAddress(M().handle[lib], name.c_str());
    }
    if (served != M().entry[e]) continue;
    return reinterpret_cast<ARC_SETUNICODE_FN>(platform::GetProcAddress(M().handle[lib], kUnicodeName[lib]));
  }
  return nullptr;
}

std::string LibraryServing(Entry e) { return e == eZip ? "ZIP32J.DLL" : "UNZIP32.DLL"; }

int CallCommand(Entry e, WindowHandle wnd, const std::string& cmdLine, std::string& output) {
  TZip32::LoadDLL();
  UnicodeCall unicode(NeedsUnicode(cmdLine) ? UnicodeEntryFor(e) : nullptr, cmdLine, LibraryServing(e));
  int r = Bind<ARC_COMMAND_FN>(e)(wnd, unicode.Text(cmdLine).c_str(), OutputBuffer(output),
                                  static_cast<std::uint32_t>(output.size()));
  unicode.OutputBack(output);
  return r;
}

HARC CallOpen(WindowHandle wnd, const std::string& fullPath, std::uint32_t mode) {
  TZip32::LoadDLL();
  UnicodeCall unicode(NeedsUnicode(fullPath) ? UnicodeEntryFor(eOpen) : nullptr, fullPath, LibraryServing(eOpen));
  return Bind<ARC_OPEN_FN>(eOpen)(wnd, unicode.Text(fullPath).c_str(), mode);
}

int CallClose(HARC handle) {
  TZip32::LoadDLL();
  return Bind<ARC_CLOSE_FN>(eClose)(handle);
}

// The switches every builder ends with, and the command word in front.
std::string Finish(const char* word, TCmdOpt& cmd, const std::string& arc, const TArchiverOptions& o,
                   const std::string& baseDir, const TStringList* files, bool useResFile) {
  cmd.Add(o.UserOptions);
  TArchiver::AddArcAndDir(cmd, arc, baseDir);
  TArchiver::AddFiles(cmd, o, files, useResFile);
  return word + cmd.CommandText;
}

std::string BuildZip32j(const char* word, const std::string& arc, const TArchiverOptions& o,
                        const std::string& baseDir, const TStringList* files, bool useResFile) {
  TCmdOpt cmd;
  cmd.NameConverter = ZipNameConverter;
  if (o.a > 0) cmd.Add("-S");
  if (o.a < 2) cmd.Add("-D");
  if (o.l > 0) cmd.Add("-v");
  if (o.n > 0) cmd.Add("-q");
  if (o.r > 0) cmd.Add("-r");
  if (o.n > 0) cmd.Add("-o");
  if (o.u > 0) cmd.Add("-u");
  if (o.x == 0) cmd.Add("-j");
  if (o.jc > 0) cmd.Add("-FF");
  if (o.ji > 0) cmd.Add("-k");
  cmd.AddInt("", o.jm);
  if (o.gd > 0) cmd.Add("-J");
  return Finish(word, cmd, arc, o, baseDir, files, useResFile);
}

std::string BuildLmzip(const std::string& arc, const TArchiverOptions& o, const TStringList* files,
                       bool useResFile) {
  TCmdOpt cmd;
  if (o.c == 1) cmd.Add("-o");
  if (o.x == 0) cmd.Add("-j");
  return Finish("-ru", cmd, arc, o, "", files, useResFile);
}

}  // namespace

void TZip32::LoadDLL() {
  Module& m = M();
  std::lock_guard<std::recursive_mutex> lock(m.mutex);
  for (int lib = 0; lib < kLibs; ++lib)
    if (!m.handle[lib]) m.handle[lib] = platform::LoadLibrary(kLibName[lib]);
  if (!Loaded(kUnzip) && !Loaded(kZip32j) && !Loaded(kLmzip))
    RaiseArchiver("ZIP 形式書庫を解凍するには UNZIP32.DLL が、作成するには ZIP32J.DLL が必要です。");
}

void TZip32::FreeDLL() {
  Module& m = M();
  std::lock_guard<std::recursive_mutex> lock(m.mutex);
  for (Lib lib : {kUnzip, kLmzip, kZip32j}) {
    platform::FreeLibrary(m.handle[lib]);
    m.handle[lib] = nullptr;
  }
  m.entry.fill(nullptr);
}

HARC TZip32::OpenArchive(WindowHandle wnd, const std::string& fileName, std::uint32_t mode) {
  return CallOpen(wnd, platform::ExpandFileName(fileName), mode);
}

int TZip32::FindFirst(HARC handle, INDIVIDUALINFO* info, const std::string& wildName) {
  LoadDLL();
  return Bind<ARC_FINDFIRST_FN>(eFindFirst)(handle, wildName.c_str(), info);
}

int TZip32::FindNext(HARC handle, INDIVIDUALINFO* info) { return Bind<ARC_FINDNEXT_FN>(eFindNext)(handle, info); }

int TZip32::CloseArchive(HARC handle) { return CallClose(handle); }

int TZip32::RunZip(WindowHandle wnd, std::string cmdLine, std::string& output) {
  FCmdLine = std::move(cmdLine);
  return CallCommand(eZip, wnd, FCmdLine, output);
}

int TZip32::Unpack(WindowHandle wnd, const std::string& arc, const TArchiverOptions& o, const std::string& baseDir,
                   const TStringList* files, bool useResFile, std::string& output) {
  TCmdOpt cmd;
  cmd.NameConverter = ZipNameConverter;
  if (o.c == 1) cmd.Add("-o");
  if (o.n > 0 || FOwnerWnd != 0) cmd.Add("--i");
  if (o.x == 0) cmd.Add("-j");
  FCmdLine = Finish("-x", cmd, arc, o, baseDir, files, useResFile);
  return CallCommand(eUnZip, wnd, FCmdLine, output);
}

int TZip32::Pack(WindowHandle wnd, const std::string& arc, const TArchiverOptions& o, const std::string& baseDir,
                 const TStringList* files, bool useResFile, std::string& output) {
  if (Loaded(kZip32j)) return RunZip(wnd, BuildZip32j("", arc, o, baseDir, files, useResFile), output);
  if (!Loaded(kLmzip)) RaiseArchiver(kNoCreator);
  std::string cmdLine = BuildLmzip(arc, o, files, useResFile);
  // LMZIP32.DLL adds to an existing archive, so the archive is built anew
  // from the given files only: the old one is set aside, and put back
  // unless the library succeeds.
  std::string aside;
  if (platform::FileExists(arc)) {
    aside = platform::SetAside(arc);
  }
  int result;
  try {
    result = RunZip(wnd, std::move(cmdLine), output);
  } catch (...) {
    if (!aside.empty()) platform::RenameFile(aside, arc);
    throw;
  }
  if (!aside.empty()) {
    if (result == 0)
      platform::DeleteFile(aside);
    else
      platform::RenameFile(aside, arc);
  }
  return result;
}

int TZip32::RemoveItem(WindowHandle wnd, const std::string& arc, const TArchiverOptions& o, const std::string&,
                       const TStringList* files, bool useResFile, std::string& output) {
  return RunZip(wnd, BuildZip32j("-d", arc, o, "", files, useResFile), output);
}

int TZip32::Update(WindowHandle wnd, const std::string& arc, const TArchiverOptions& o, const std::string& baseDir,
                   const TStringList* files, bool useResFile, std::string& output) {
  return RunZip(wnd, BuildZip32j("-f", arc, o, baseDir, files, useResFile), output);
}

int TZip32::MakeSFX(WindowHandle wnd, const std::string& arc, const TArchiverOptions& o, const std::string& baseDir,
                    std::string& output) {
  if (!Loaded(kZip32j)) RaiseArchiver("ZIP 形式書庫からの自己解凍書庫作成には ZIP32J.DLL が必要です。");
  bool win32 = o.gw > 0;
  std::string stub = platform::SearchPath(win32 ? "sfx32gui.dat" : "sfx16.dat");
  if (stub.empty())
    RaiseArchiver(win32 ? "zip 書庫からのWin32自己解凍書庫の作成には sfx32gui.dat が必要です。"
                        : "zip 書庫からのDOS自己解凍書庫の作成には sfx16.dat が必要です。");
  std::string outName = SfxOutputName(arc, baseDir);
  WriteSfxFile(stub, arc, outName);
  return RunZip(wnd, "-A " + outName, output);
}

int TZip32::CheckArchive(const std::string& fileName, int mode, int) {
  LoadDLL();
  UnicodeCall unicode(NeedsUnicode(fileName) ? UnicodeEntryFor(eCheck) : nullptr, fileName, LibraryServing(eCheck));
  return Bind<ARC_CHECK_FN>(eCheck)(unicode.Text(fileName).c_str(), mode);
}

bool TZip32::SetOwnerWindow(WindowHandle wnd, ARCHIVERPROC proc) {
  Bind<ARC_SETOWNER_FN>(eSetOwner)(wnd, proc);
  FOwnerWnd = wnd;
  return true;
}

int TZip32::ListExtractMem(const std::string& cmdLine, ENTRYMEMPROC proc, void* context) {
  LoadDLL();
  ARC_LISTEXTRACTMEM_FN entry = nullptr;
  try {
    entry = Bind<ARC_LISTEXTRACTMEM_FN>(eListExtractMem);
  } catch (const EArchiver&) {
    return ERROR_NOT_SUPPORT;  // an older library
  }
  return entry(cmdLine.c_str(), proc, context);
}

bool TZip32::KillOwnerWindow(WindowHandle wnd) {
  Bind<ARC_KILLOWNER_FN>(eKillOwner)(wnd);
  FOwnerWnd = 0;
  return true;
}

bool IsZipArchive(const std::string& fileName) {
  try {
    HARC h = CallOpen(0, platform::ExpandFileName(fileName), M_ERROR_MESSAGE_OFF | M_REGARDLESS_INIT_FILE);
    if (h != 0) CallClose(h);
    return h != 0;
  } catch (const platform::Error&) {  // no library, or no such entry
    return false;
  }
}
