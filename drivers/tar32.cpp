#include "drivers/tar32.h"

#include "archives/earchiver.h"
#include "drivers/family_dll.h"
#include "drivers/sfx_file.h"
#include "platform/paths.h"
#include "platform/search_path.h"

namespace {
TFamilyDll& Dll() {
  static TFamilyDll dll("tar32.dll", "Tar", "tar/tgz/taz/bz2 形式書庫を扱うには tar32.dll が 必要です。");
  return dll;
}
}  // namespace

void TTar32::LoadDLL() { Dll().LoadDLL(); }
void TTar32::FreeDLL() { Dll().FreeDLL(); }
TFamilyDll& TTar32::ModuleDll() const { return Dll(); }

int TTar32::Run(const char* word, WindowHandle wnd, const std::string& arc, const TArchiverOptions& o,
                const std::string& baseDir, const TStringList* files, bool useResFile, std::string& output) {
  TCmdOpt cmd;
  cmd.QuoteValueOnly = true;
  if (o.a > 0) cmd.Add("-AH");
  if (o.a == 0) cmd.Add("-I");
  // With a progress window the library's own dialog stays on.
  if (FOwnerWnd == 0 && o.n > 0) cmd.Add("--display-dialog=0");
  if (o.o > 0) cmd.Add("-g");
  cmd.AddInt("-check-all-path=", o.p);
  cmd.AddInt("-use-directory=", o.x);
  if (dynamic_cast<const TTgz32*>(this)) {
    if (o.jm >= 1)
      cmd.AddInt("z", o.jm);
    else
      cmd.Add("-z");
  }
  if (dynamic_cast<const TBZ232*>(this)) {
    if (o.jm >= 1)
      cmd.AddInt("B", o.jm);
    else
      cmd.Add("-B");
  }
  cmd.Add(o.UserOptions);
  if (!arc.empty()) cmd.AddStr("f", arc);
  if (!baseDir.empty()) cmd.AddDir("o", baseDir);
  AddFiles(cmd, o, files, useResFile);
  FCmdLine = word + cmd.CommandText;
  int result = Dll().Command(wnd, FCmdLine, output);
  if (wnd != 0) platform::SetForegroundWindow(wnd);
  return result;
}

int TTar32::Unpack(WindowHandle wnd, const std::string& arc, const TArchiverOptions& o, const std::string& baseDir,
                   const TStringList* files, bool, std::string& output) {
  return Run("x", wnd, arc, o, baseDir, files, o.ResFileUsage.Contains(ruOnUnpack), output);
}

int TTar32::Pack(WindowHandle wnd, const std::string& arc, const TArchiverOptions& o, const std::string& baseDir,
                 const TStringList* files, bool, std::string& output) {
  return Run("c", wnd, arc, o, baseDir, files, o.ResFileUsage.Contains(ruOnPack), output);
}

// tar32.dll is not involved: the stub program followed by the archive is
// the self-extractor.
int TTar32::MakeSFX(WindowHandle, const std::string& arc, const TArchiverOptions&, const std::string& baseDir,
                    std::string&) {
  if (dynamic_cast<const TBZ232*>(this)) RaiseArchiver("BZ2 形式書庫は自己解凍形式にできません。");
  std::string stub = platform::SearchPath("kmtarsef.exe");
  if (stub.empty()) RaiseArchiver("tar/tgz 書庫からの自己解凍書庫の作成には kmtarsef.exe が必要です。");
  WriteSfxFile(stub, arc, SfxOutputName(arc, baseDir));
  return 0;
}

TArchiverType GetTarType(const std::string& fileName) {
  try {
    switch (Dll().GetArchiveType(fileName)) {
      case ARCHIVETYPE_TAR: return atTar;
      case ARCHIVETYPE_TARGZ:
      case ARCHIVETYPE_TARZ:
      case ARCHIVETYPE_GZ:
      case ARCHIVETYPE_Z: return atTgz;
      case ARCHIVETYPE_TARBZ2:
      case ARCHIVETYPE_BZ2: return atBZ2;
      default: return atNone;
    }
  } catch (...) {
    return atNone;
  }
}
