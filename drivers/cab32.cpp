#include "drivers/cab32.h"

#include "drivers/family_dll.h"
#include "platform/paths.h"

namespace {
TFamilyDll& Dll() {
  static TFamilyDll dll("CAB32.DLL", "Cab", "CAB 形式書庫を扱うには CAB32.DLL が 必要です。");
  return dll;
}
}  // namespace

void TCab32::LoadDLL() { Dll().LoadDLL(); }
void TCab32::FreeDLL() { Dll().FreeDLL(); }
TFamilyDll& TCab32::ModuleDll() const { return Dll(); }

int TCab32::Run(const char* word, WindowHandle wnd, const std::string& arcName, const TArchiverOptions& o,
                const std::string& baseDir, const TStringList* files, bool useResFile, std::string& output) {
  TCmdOpt cmd;
  if (o.c == 1) cmd.Add("-o");
  if (o.n > 0 || FOwnerWnd != 0) cmd.Add("-i");
  if (o.r > 0) cmd.Add("-r");
  if (o.x == 0) cmd.Add("-j");
  if (o.ji > 0) cmd.Add("-q");
  cmd.Add(o.UserOptions);
  AddArcAndDir(cmd, arcName, baseDir);
  AddFiles(cmd, o, files, useResFile);
  FCmdLine = word + cmd.CommandText;
  return Dll().Command(wnd, FCmdLine, output);
}

int TCab32::Unpack(WindowHandle wnd, const std::string& arc, const TArchiverOptions& o, const std::string& baseDir,
                   const TStringList* files, bool, std::string& output) {
  return Run("-x", wnd, platform::ExpandFileName(arc), o, baseDir, files, o.ResFileUsage.Contains(ruOnUnpack),
             output);
}

int TCab32::Pack(WindowHandle wnd, const std::string& arc, const TArchiverOptions& o, const std::string& baseDir,
                 const TStringList* files, bool, std::string& output) {
  return Run("-a", wnd, arc, o, baseDir, files, o.ResFileUsage.Contains(ruOnPack), output);
}

int TCab32::MakeSFX(WindowHandle wnd, const std::string& arc, const TArchiverOptions& o, const std::string& baseDir,
                    std::string& output) {
  return Run("-f", wnd, arc, o, baseDir, nullptr, false, output);
}

bool IsCabArchive(const std::string& fileName) { return Dll().Recognises(fileName); }
