#include "drivers/arj32.h"

#include "drivers/family_dll.h"

namespace {
TFamilyDll& Dll() {
  static TFamilyDll dll("UNARJ32J.DLL", "Unarj", "ARJ 形式書庫を扱うには UNARJ32J.DLL が 必要です。");
  return dll;
}
}  // namespace

void TArj32::LoadDLL() { Dll().LoadDLL(); }
void TArj32::FreeDLL() { Dll().FreeDLL(); }
TFamilyDll& TArj32::ModuleDll() const { return Dll(); }

// UNARJ32J.DLL is given no window; the n switch still follows FOwnerWnd
// because the LHA builder is used.
int TArj32::Unpack(WindowHandle, const std::string& arc, const TArchiverOptions& o, const std::string& baseDir,
                   const TStringList* files, bool useResFile, std::string& output) {
  FCmdLine = BuildLhaCommand("x", arc, o, baseDir, files, useResFile);
  return Dll().Command(0, FCmdLine, output);
}

bool IsArjArchive(const std::string& fileName) { return Dll().Recognises(fileName); }
